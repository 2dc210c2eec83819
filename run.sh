#!/usr/bin/env bash
# Installs what is missing, builds, and opens FILE (default: examples/house.3di) in the editor.
#   ./run.sh [FILE]
set -euo pipefail

# FILE is taken relative to where the command was given, before moving to the tree.
file=${1:-}
if [ -n "$file" ]; then
  file=$(realpath -m -- "$file")
fi
cd "$(dirname "$0")"
file=${file:-$PWD/examples/house.3di}

./scripts/install-deps.sh
dir=$(./scripts/build.sh | tail -n 1)

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to open the editor on. Without one, the command-line tool draws the icon:" >&2
  echo "  $dir/bin/pictomolder-cli render \"$file\" -o icon.bmp" >&2
  exit 1
fi
exec "$dir/bin/pictomolder" "$file"
