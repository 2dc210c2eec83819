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

# A new window opens at least 1000 x 700 where the screen has the room: on a screen of
# just that size (and no window manager) it fills the screen, which is what is kept.
xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
  "$1" "$2" &
  pid=$!
  sleep 4
  import -window root "$3"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' _ "$editor" "$script" "$out"
echo "$out"
