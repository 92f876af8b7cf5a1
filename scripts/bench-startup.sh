#!/usr/bin/env bash
# Start-up benchmark (not a test): builds Brisquelton.exe and its driver, then starts the
# program RUNS times (default 6) in a fresh Wine prefix on a 1280x1024 Xvfb display and
# prints, for each start, the time from process creation to a visible frame and the
# working set one second later.
#   bash scripts/bench-startup.sh [RUNS]
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh"
bash "$here/build.sh" --target app_startup_bench >/dev/null
bash "$here/on-display.sh" 1280x1024 "$BRISQUELTON_BUILD/bin/app_startup_bench.exe" "${1:-6}"
