#!/usr/bin/env bash
# Sets up everything needed, builds, and starts Brisquelton under Wine on the current
# display (or on a private Xvfb when there is none).
set -euo pipefail
here=$(dirname "$0")
bash "$here/setup.sh"
bash "$here/build.sh"
source "$here/env.sh"
exe=$BRISQUELTON_BUILD/bin/Brisquelton.exe
[ -f "$exe" ] || die "Brisquelton.exe is not built yet"
export WINEPREFIX=${WINEPREFIX:-$BRISQUELTON_CACHE/wineprefix-user}
if [ -z "${DISPLAY:-}" ]; then
  # No window manager runs on the private Xvfb: unmanaged windows spare Wine its wait for
  # one on every show and hide (as the test scripts do).
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    exec wine "$@"' run "$exe" "$@"
fi
# On a desktop the window manager frames the windows again.
wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 </dev/null || true
exec wine "$exe" "$@"
