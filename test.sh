#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh             normal build (build/)
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build (build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
dir=$(./scripts/build.sh "$@" | tail -n 1)

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 600
