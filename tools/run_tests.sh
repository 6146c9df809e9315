#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/setup_debian.sh"
# Tests on, should build/ have been configured for the package alone (-DBUILD_TESTING=OFF).
bash "$root/tools/build.sh" "$root/build" -DBUILD_TESTING=ON
cd "$root/build"
ctest --output-on-failure -j2
