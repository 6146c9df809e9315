#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each of them in turn:
#     bash tools/fuzz.sh                      # short run, 5 s a target, about 30 s (CI)
#     bash tools/fuzz.sh --long               # each target 10 million runs or 10 minutes
#     bash tools/fuzz.sh --seconds 60 --runs 1000000
# Each target's corpus grows in build-fuzz/corpus/<target>; an input that breaks a target is
# kept in build-fuzz/findings/<target>/ (crash-*, with the log) and makes the script fail.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${TEL_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds=5
runs=-1
while (($#)); do
    case "$1" in
        --long) seconds=600 runs=10000000 ;;
        --seconds) seconds="$2"; shift ;;
        --runs) runs="$2"; shift ;;
        *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
    shift
done

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    echo "Installing clang and its libFuzzer runtime"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

# The targets fuzz/CMakeLists.txt declares, one tel_add_fuzzer(<target> ...) line each.
mapfile -t targets < <(sed -n 's/^tel_add_fuzzer(\([a-z_0-9]*\).*/\1/p' "$root/fuzz/CMakeLists.txt")
if ((${#targets[@]} == 0)); then
    echo "no tel_add_fuzzer(...) line found in $root/fuzz/CMakeLists.txt" >&2
    exit 2
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTEL_FUZZ=ON >/dev/null
ninja -C "$dir" "${targets[@]}" >/dev/null

failed=0
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    findings="$dir/findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$findings/last-run.log"
    if (cd "$findings" && "$dir/fuzz/$target" -max_total_time="$seconds" -runs="$runs" \
        -print_final_stats=1 "$corpus") >"$log" 2>&1; then
        verdict="no findings"
    else
        verdict="FOUND A FAULT, see $findings"
        failed=1
    fi
    executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    took=$(awk '/^Done [0-9]+ runs in/ {print $5}' "$log")
    printf '%-20s %10s executions in %4s s: %s\n' "$target" "${executions:-?}" "${took:-?}" \
        "$verdict"
done
exit "$failed"
