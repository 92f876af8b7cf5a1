#!/usr/bin/env bash
# Runs a Windows program under Wine on a display of the given size, in a Wine prefix and
# server of its own: a desktop keeps the screen size it first saw, so another size needs
# both. The program's output is passed through and its exit code returned.
#   bash scripts/on-display.sh 2560x1700 build/bin/app_tests.exe --gtest_filter='ProgramTest.*'
set -euo pipefail
size=$1; shift
source "$(dirname "$0")/env.sh"
template=$BRISQUELTON_CACHE/wineprefix-template
if [ ! -f "$template/.complete" ]; then
  rm -rf "$template"; mkdir -p "$BRISQUELTON_CACHE"
  WINEPREFIX=$template wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$template wineserver -w
  [ -f "$template/system.reg" ] || die "wineboot did not create a prefix"
  touch "$template/.complete"
fi
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/brisquelton-display-XXXXXX")
export WINEPREFIX
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
DISPLAY=:$(head -n 1 "$displayfile")
export DISPLAY
# As scripts/ctest.sh: a persistent server, and a throwaway start that takes the output
# winedevice.exe would otherwise keep open.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
# No window manager runs here: unmanaged windows spare Wine its 2 s wait for one on every
# show and hide (as scripts/ctest.sh).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
wine "$@"
