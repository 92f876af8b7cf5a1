#!/usr/bin/env bash
# Configures and builds everything into build/ (assumes scripts/setup.sh has run).
set -euo pipefail
source "$(dirname "$0")/env.sh"
cmake -S "$BRISQUELTON_ROOT" -B "$BRISQUELTON_BUILD" \
  -DCMAKE_TOOLCHAIN_FILE="$BRISQUELTON_ROOT/cmake/toolchain-mingw64.cmake" \
  -DBRISQUELTON_THIRDPARTY="$BRISQUELTON_THIRDPARTY" >/dev/null || die "cmake configure"
cmake --build "$BRISQUELTON_BUILD" -j"$(nproc)" "$@" || die "build"
