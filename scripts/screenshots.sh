#!/usr/bin/env bash
# Pictures of every window state of Brisquelton.exe, written as PNG into docs/screenshots/:
# the program is started on a private Xvfb and walked through its states with real mouse
# and key input by build/bin/screen_tour.exe; once at 1280x1024 (UI scale 1) with every
# state, once at 2560x1700 (UI scale 2) with the two views. Run after scripts/build.sh.
set -euo pipefail
source "$(dirname "$0")/env.sh"
out=$BRISQUELTON_ROOT/docs/screenshots
# ImageMagick's own convert (another program of that name may come first on PATH).
[ -x /usr/bin/convert ] || { apt-get update -qq && apt-get install -y -qq imagemagick >/dev/null; }
bash "$BRISQUELTON_ROOT/scripts/build.sh" --target screen_tour >/dev/null
tour=$BRISQUELTON_BUILD/bin/screen_tour.exe
[ -f "$tour" ] || die "screen_tour.exe is not built"
template=$BRISQUELTON_CACHE/wineprefix-template
[ -f "$template/.complete" ] || die "no Wine prefix template yet: run scripts/ctest.sh once"

# One walk on a display of size: its own prefix, server and Xvfb; BMPs into $shots.
walk() {
  local size=$1; shift
  export WINEPREFIX; WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/brisquelton-shots-XXXXXX")
  rmdir "$WINEPREFIX"; cp -a "$template" "$WINEPREFIX"
  local displayfile; displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  local xvfb=$!
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -n 1 "$displayfile")
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  # As in the tests: no window manager, so unmanaged windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
  local status=0
  wine "$tour" "$(winepath -w "$shots")" "$@" || status=$?
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$displayfile"
  return $status
}

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
failed=0
walk 1280x1024 || failed=1
walk 2560x1700 scale2- || failed=1
mkdir -p "$out"
for bmp in "$shots"/*.bmp; do
  /usr/bin/convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
done
ls "$out"
[ $failed = 0 ] || die "some steps of the walk failed (see above); the pictures show where"
