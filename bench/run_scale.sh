#!/usr/bin/env bash
# The benchmark at two directory sizes, 1,000,000 and 10,000,000 entries by default (the
# larger file is made once, in about 70 s, and kept), then every figure side by side with the
# ratio of the larger run to the smaller: a cost that grows faster than the work shows as a
# ratio well above the ratio of the sizes. Each run's own table, with its goals, is printed
# first. Further arguments go to both runs of tel_bench, e.g. --runs 3.
#     bash bench/run_scale.sh [--runs N] ...
#     TEL_SCALE_SIZES="1000000 10000000" bash bench/run_scale.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
bash "$root/tools/setup_debian.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" tel_bench
read -r small large <<<"${TEL_SCALE_SIZES:-1000000 10000000}"
cd "$build"
status=0
QT_QPA_PLATFORM=offscreen ./bench/tel_bench --data "$build/bench-data" --entries "$small" \
    --figures "$build/figures-$small.tsv" "$@" || status=1
QT_QPA_PLATFORM=offscreen ./bench/tel_bench --data "$build/bench-data" --entries "$large" \
    --reference "$build/figures-$small.tsv" --figures "$build/figures-$large.tsv" "$@" || status=1
python3 "$root/bench/scale_table.py" "$build/figures-$small.tsv" "$build/figures-$large.tsv"
exit "$status"
