#!/usr/bin/env bash
# Builds tel_bench (RelWithDebInfo, into build-bench/) and runs every benchmark of the program
# on a 1,000,000-entry directory, generated once into build-bench/bench-data/ and kept for
# later runs. Prints one table; the exit code is 1 when a goal is missed.
# Further arguments go to tel_bench, e.g. --runs 7 or --only search,sort (see bench/main.cpp).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
bash "$root/tools/setup_debian.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" tel_bench
cd "$build"
QT_QPA_PLATFORM=offscreen ./bench/tel_bench --data "$build/bench-data" "$@"
