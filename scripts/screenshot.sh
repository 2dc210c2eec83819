#!/usr/bin/env bash
# Takes docs/screenshot.png: the editor showing an example icon, run on a virtual
# screen (Xvfb) and grabbed with ImageMagick.
#   scripts/screenshot.sh [BUILD_DIR] [SCRIPT]     (defaults: build, examples/mushroom.3di)
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build}
script=${2:-examples/mushroom.3di}
editor="$dir/bin/pictomolder"
out=docs/screenshot.png
[ -x "$editor" ] || { echo "no editor at $editor: build first (scripts/build.sh)" >&2; exit 1; }
mkdir -p docs

# A settings folder of its own, so the shot does not depend on the last file used.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME="$config"

# Without a window manager the window opens at the top left corner at its design
# size (761 x 484), which is the part of the screen kept.
xvfb-run -a -s "-screen 0 1024x700x24" bash -c '
  "$1" "$2" &
  pid=$!
  sleep 4
  import -window root -crop 761x484+0+0 +repage "$3"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$editor" "$script" "$out"
echo "$out"
