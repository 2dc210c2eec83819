#!/usr/bin/env bash
# Configures and builds one build tree: build/ (normal), build-sanitize/
# (AddressSanitizer + UndefinedBehaviorSanitizer), build-release/ (-O3, the programs
# only: no tests, no benchmarks) or build-fuzz/ (the libFuzzer targets only, with clang
# and the sanitizers; see fuzz/README.md). Usage: scripts/build.sh [--sanitize | --release | --fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."

target=all
case "${1:-}" in
--sanitize)
  dir=build-sanitize
  flags=(-DPM_SANITIZE=ON -DPM_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  ;;
--release)
  dir=build-release
  flags=(-DCMAKE_BUILD_TYPE=Release -DPM_BUILD_TESTS=OFF -DPM_BUILD_BENCH=OFF)
  ;;
--fuzz)
  dir=build-fuzz
  target=fuzz
  flags=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPM_BUILD_FUZZ=ON -DPM_SANITIZE=ON
    -DPM_BUILD_TESTS=OFF -DPM_BUILD_BENCH=OFF -DPM_BUILD_EDITOR=OFF)
  ;;
*)
  dir=build
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  ;;
esac

# Rebuilds in a second checkout reuse the compiler's work when ccache is installed.
if command -v ccache >/dev/null; then
  flags+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# A new warning fails the build.
cmake -S . -B "$dir" -G Ninja -DPM_WERROR=ON "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "$target"
echo "$dir"
