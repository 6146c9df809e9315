#!/usr/bin/env bash
# The whole test suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer
# (part of AddressSanitizer on Linux), built into build-asan/. Any report fails the test it
# comes from: UBSan stops at the first finding, LeakSanitizer fails the test at its exit.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${TEL_ASAN_BUILD_DIR:-$root/build-asan}"
bash "$root/tools/setup_debian.sh"
bash "$root/tools/build.sh" "$dir" -DTEL_SANITIZE=ON
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$dir"
ctest --output-on-failure -j2
