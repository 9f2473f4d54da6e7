#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite.
#   scripts/test.sh              native build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

build="$top/build"
options=(-DCMAKE_BUILD_TYPE=Release -DUPDATETHEME_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
    build="$top/build-asan"
    options=(-DCMAKE_BUILD_TYPE=Debug -DUPDATETHEME_WERROR=ON -DUPDATETHEME_SANITIZE=ON)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
fi

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" "${options[@]}"
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
