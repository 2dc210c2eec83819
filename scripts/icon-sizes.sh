#!/usr/bin/env bash
# Draws docs/icon-sizes.png for the README: the icon of an example as
# `pictomolder-cli export` writes it at every size, side by side at their real sizes on
# a checkerboard that shows through the clear parts.
#   scripts/icon-sizes.sh [BUILD_DIR] [SCRIPT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
script=${2:-examples/mushroom.3di}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/bin/pictomolder-cli" export "$script" --icon-theme "$tmp/tema" --name icono
iconos=()
for n in 16 24 32 48 64 128 256; do
  iconos+=("$tmp/tema/${n}x$n/apps/icono.png")
done
# Bottom-aligned with 16 pixels around each.
convert "${iconos[@]}" -background none -gravity west -splice 16x0 -gravity south +append \
  -gravity east -splice 16x0 -gravity north -splice 0x16 -gravity south -splice 0x16 "$tmp/fila.png"
convert -size "$(identify -format %wx%h "$tmp/fila.png")" pattern:checkerboard "$tmp/fila.png" \
  -composite -depth 8 docs/icon-sizes.png
echo docs/icon-sizes.png
