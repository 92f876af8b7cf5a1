#!/usr/bin/env bash
# Runs the tests under Wine: a fresh copy of a template prefix, one persistent wineserver
# and one Xvfb display for tests that create windows. Arguments go to ctest (-L core ...).
set -euo pipefail
source "$(dirname "$0")/env.sh"

template=$BRISQUELTON_CACHE/wineprefix-template
if [ ! -f "$template/.complete" ]; then
  log "Creating the Wine prefix template"
  rm -rf "$template"; mkdir -p "$BRISQUELTON_CACHE"
  WINEPREFIX=$template wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$template wineserver -w
  [ -f "$template/system.reg" ] || die "wineboot did not create a prefix"
  touch "$template/.complete"
fi
# A prefix of its own per run, so runs side by side never share a wineserver or registry.
export WINEPREFIX=$BRISQUELTON_BUILD/wineprefix-$$
rm -rf "$WINEPREFIX"; cp -a "$template" "$WINEPREFIX"

# Xvfb picks a free display number itself and writes it to the file.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
display=:$(head -n 1 "$displayfile"); rm -f "$displayfile"
[ "$display" != ":" ] || die "Xvfb did not start"
export DISPLAY=$display
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# A persistent server, and one throwaway start whose winedevice.exe takes the inherited
# output: otherwise ctest's output capture waits on it for ever.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
# Xvfb runs no window manager, so Wine would wait 2 s for one on every show and hide of
# a top-level window: the tests' windows go unmanaged instead.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true

cd "$BRISQUELTON_BUILD"
ctest --output-on-failure --timeout 900 "$@"
