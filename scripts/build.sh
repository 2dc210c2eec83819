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

# A new warning fails the build.
cmake -S . -B "$dir" -G Ninja -DPM_WERROR=ON "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
