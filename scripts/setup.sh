#!/usr/bin/env bash
# Installs what the build needs from Debian's packages and cross-builds the third-party
# libraries into the cache. Safe to run again: both steps skip what is already there.
set -euo pipefail
source "$(dirname "$0")/env.sh"

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          mingw-w64-x86-64-dev mingw-w64-tools wine wine64 xvfb xauth nasm cmake make
          pkg-config dpkg-dev googletest autoconf automake libtool xz-utils bzip2 patch python3 xdotool)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  log "Installing packages: ${missing[*]}"
  [ "$(id -u)" = 0 ] || die "installing packages needs root"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q || die "apt-get update"
  apt-get install -y -q --no-install-recommends "${missing[@]}" || die "apt-get install"
fi

if [ -f "$BRISQUELTON_THIRDPARTY/.complete" ]; then
  log "Third-party libraries: cached in $BRISQUELTON_THIRDPARTY"
else
  bash "$BRISQUELTON_ROOT/scripts/thirdparty.sh" "$BRISQUELTON_THIRDPARTY" || die "third-party build (see above)"
fi
