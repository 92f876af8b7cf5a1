#!/usr/bin/env bash
# Sets up everything needed on a Debian 12 machine, builds, and runs all tests.
set -euo pipefail
here=$(dirname "$0")
bash "$here/setup.sh"
bash "$here/build.sh"
bash "$here/ctest.sh" "$@"
