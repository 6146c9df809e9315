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
figures="$root/build-bench"
read -r small large <<<"${TEL_SCALE_SIZES:-1000000 10000000}"
status=0
bash "$root/bench/run_bench.sh" --entries "$small" --figures "$figures/figures-$small.tsv" "$@" ||
    status=1
bash "$root/bench/run_bench.sh" --entries "$large" --reference "$figures/figures-$small.tsv" \
    --figures "$figures/figures-$large.tsv" "$@" || status=1
python3 "$root/bench/scale_table.py" "$figures/figures-$small.tsv" "$figures/figures-$large.tsv"
exit "$status"
