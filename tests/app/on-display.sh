#!/usr/bin/env bash
# Runs a test program on a display of its own size (WxH), in a Wine prefix and server of
# its own: a desktop keeps the screen size it first saw, so another size needs both.
#   on-display.sh 2560x1700 app_tests.exe "ProgramTest.*"
set -euo pipefail
size=$1 exe=$2 filter=$3
source "$(dirname "$0")/../../scripts/env.sh"
template=$BRISQUELTON_CACHE/wineprefix-template
[ -f "$template/.complete" ] || die "no Wine prefix template (scripts/ctest.sh makes it)"
export WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/brisquelton-display-XXXXXX")
rmdir "$WINEPREFIX"; cp -a "$template" "$WINEPREFIX"
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || die "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$displayfile")
# As scripts/ctest.sh: a persistent server, and a throwaway start that takes the output
# winedevice.exe would otherwise keep open.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
wine "$exe" --gtest_color=no --gtest_filter="$filter"
