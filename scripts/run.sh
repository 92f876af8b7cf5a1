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
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$exe" "$@"
fi
exec wine "$exe" "$@"
