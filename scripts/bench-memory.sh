#!/usr/bin/env bash
# Memory benchmark (not a test): builds Brisquelton.exe and its driver, then converts one
# 1-second WAV to MP3 COUNT times (default 200) in a single run of the program, in a fresh
# Wine prefix on a 1280x1024 Xvfb display, printing the working set and committed memory
# after the first runs and every 25 runs.
#   bash scripts/bench-memory.sh [COUNT]
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh"
bash "$here/build.sh" --target converter_memory_bench >/dev/null
bash "$here/on-display.sh" 1280x1024 "$BRISQUELTON_BUILD/bin/converter_memory_bench.exe" "${1:-200}"
