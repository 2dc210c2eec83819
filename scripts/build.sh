#!/usr/bin/env bash
# Configures and builds one build tree: build/ (normal) or build-sanitize/
# (AddressSanitizer + UndefinedBehaviorSanitizer). Usage: scripts/build.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  flags=(-DPM_SANITIZE=ON -DPM_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
else
  dir=build
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi

# Rebuilds in a second checkout reuse the compiler's work when ccache is installed.
if command -v ccache >/dev/null; then
  flags+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# A new warning fails the build.
cmake -S . -B "$dir" -G Ninja -DPM_WERROR=ON "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
