#!/usr/bin/env bash
# Start-up benchmark (not a test): builds Brisquelton.exe, the bare window program it is
# measured against and the driver, then in a fresh Wine prefix on a 1280x1024 Xvfb display
# starts, round by round, the bare window, the bare window after loading the FFmpeg DLLs
# and Brisquelton.exe, and while Brisquelton.exe runs a second copy that hands over to it.
# Prints each start's time to a visible frame and working set a second later, then the
# medians of the warm rounds (all but the first), their ratios to the bare window, and the
# median hand-over time of the second copy.
#   bash scripts/bench-startup.sh [ROUNDS]     (default 9: one cold round and 8 warm ones)
# With --profile: one warm start with Wine's timestamps and the program's own start-up
# marks, printed step by step.
#   bash scripts/bench-startup.sh --profile
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh"
bash "$here/build.sh" --target app_startup_bench >/dev/null
driver=$BRISQUELTON_BUILD/bin/app_startup_bench.exe
if [ "${1:-}" = --profile ]; then
  out=$(mktemp); trace=$(mktemp)
  trap 'rm -f "$out" "$trace"' EXIT
  bash "$here/on-display.sh" 1280x1024 "$driver" --profile >"$out" 2>"$trace" || die "profiled start"
  python3 "$here/bench/startup-profile.py" "$out" "$trace"
else
  bash "$here/on-display.sh" 1280x1024 "$driver" "${1:-9}"
fi
