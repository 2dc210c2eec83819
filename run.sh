#!/usr/bin/env bash
# Installs what is missing, builds, and opens FILE (or an example icon) in the editor.
#   ./run.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
dir=$(./scripts/build.sh | tail -n 1)

if [ -x "$dir/src/editor/pictomolder" ]; then
  exec "$dir/src/editor/pictomolder" "${1:-examples/house.3di}"
fi
if [ -x "$dir/src/cli/pictomolder-cli" ] && [ -f "${1:-examples/house.3di}" ]; then
  file=${1:-examples/house.3di}
  "$dir/src/cli/pictomolder-cli" render "$file" -o "$file.png.bmp"
  echo "Rendered $file to $file.png.bmp"
  exit 0
fi
echo "Built in $dir. The editor and the command-line tool are not part of this build yet."
