#!/usr/bin/env bash
# Crash trials: a child posts entries through the program's data sets and is killed with
# SIGKILL at a random moment, 20 times, each after at least 1,000 acknowledged posts; every
# file is then checked (integrity, every acknowledged post present, nothing else, reopens).
# Builds into build/ (or the folder in TEL_BUILD_DIR); arguments go to crash_trials, e.g.
#     bash tools/crash_trials.sh --trials 50 --posts 2000 --seed 7
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${TEL_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$dir" crash_trials >/dev/null
"$dir/tests/reliability/crash_trials" "$@"
