# Shared settings of the project scripts; sourced, never run.
BRISQUELTON_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BRISQUELTON_CACHE=${BRISQUELTON_CACHE:-/var/cache/brisquelton}
# The third-party prefix is keyed by the recipe, so a changed recipe rebuilds and an
# unchanged one is reused in seconds.
BRISQUELTON_KEY=$(cat "$BRISQUELTON_ROOT/scripts/thirdparty.sh" | sha256sum | cut -c1-16)
BRISQUELTON_THIRDPARTY=$BRISQUELTON_CACHE/thirdparty-$BRISQUELTON_KEY
BRISQUELTON_BUILD=${BRISQUELTON_BUILD:-$BRISQUELTON_ROOT/build}
export BRISQUELTON_ROOT BRISQUELTON_CACHE BRISQUELTON_KEY BRISQUELTON_THIRDPARTY BRISQUELTON_BUILD
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
log() { printf '\n==> %s\n' "$*" >&2; }
die() { printf '\n*** FAILED: %s\n' "$*" >&2; exit 1; }
# Where ccache is installed, work trees of one machine share their compiled objects.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$BRISQUELTON_ROOT")}
  # Debug info would otherwise tie every object to its own tree.
  export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi
# A Wine prefix of a benchmark's own in $1 (a fresh temporary folder, removed on exit with
# its server), from the tests' template when there is one; a persistent server and one
# throwaway start, as the program's own runs have.
private_wine_prefix() {
  export WINEPREFIX=$1/prefix
  local template=$BRISQUELTON_CACHE/wineprefix-template
  if [ -f "$template/.complete" ]; then cp -a "$template" "$WINEPREFIX"; else wineboot -i >/dev/null 2>&1 || true; fi
  trap "wineserver -k 2>/dev/null || true; rm -rf '$1'" EXIT
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
