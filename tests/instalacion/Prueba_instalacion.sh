#!/usr/bin/env bash
# The program installed as a desktop would have it: `cmake --install` into a temporary
# prefix holds the programs (reached through bin/), their codec modules and manual, the
# desktop entry, the MIME type of .3di scripts and the icon at every size; the installed
# tool finds its modules; `cpack -G DEB` builds a package that holds the same.
#   Prueba_instalacion.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fallo() { echo "FAILED: $*" >&2; exit 1; }
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"

prefijo=$tmp/prefijo
cmake --install "$build" --prefix "$prefijo" >/dev/null
sizes="16 24 32 48 64 128 256"
esperados="lib/pictomolder/pictomolder-cli lib/pictomolder/qorjpg.so lib/pictomolder/qorgeotiff.so
  share/applications/pictomolder.desktop share/mime/packages/pictomolder.xml"
if [ -e "$build/bin/pictomolder" ]; then
  esperados+=" lib/pictomolder/pictomolder lib/pictomolder/HELP?Pictomolder?1.pdf lib/pictomolder/manual/manual.md"
fi
for f in $esperados; do
  compgen -G "$prefijo/$f" >/dev/null || fallo "missing $f"
done
for programa in pictomolder pictomolder-cli; do
  [ -e "$build/bin/$programa" ] || continue
  [ "$(readlink "$prefijo/bin/$programa")" = "../lib/pictomolder/$programa" ] || fallo "bin/$programa is no link"
done
for n in $sizes; do
  icono=$prefijo/share/icons/hicolor/${n}x$n/apps/pictomolder.png
  [ "$(identify -format '%wx%h %[channels]' "$icono")" = "${n}x$n srgba" ] || fallo "icon $icono"
done

# The desktop entry and the MIME type are valid for the desktop's own tools.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefijo/share/applications/pictomolder.desktop" || fallo "desktop entry"
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefijo/share/mime" 2>/dev/null
  grep -q '^text/x-3di:\*\.3di$' "$prefijo/share/mime/globs" || fallo "no *.3di glob"
  grep -q '^text/x-3di text/plain$' "$prefijo/share/mime/subclasses" || fallo "not a kind of text/plain"
fi

# The installed tool, started through its link, loads a codec module from its folder
# and exports an icon.
convert -size 4x4 xc:red "$tmp/a.jpg"
"$prefijo/bin/pictomolder-cli" image "$tmp/a.jpg" | grep -q '"width": 4' || fallo "JPEG module not found"
echo 'SPHERE=[0,0,0]:1' >"$tmp/a.3di"
"$prefijo/bin/pictomolder-cli" export "$tmp/a.3di" -o "$tmp/a.ico" || fallo "export"

# The package.
(cd "$build" && cpack -G DEB -B "$tmp/paquete" >/dev/null) || fallo "cpack"
deb=$(compgen -G "$tmp/paquete/pictomolder_*.deb") || fallo "no package"
dpkg-deb -f "$deb" Depends | grep -q 'libpng16-16' || fallo "Depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libgl1-mesa-dri' || fallo "Depends without the OpenGL driver"
contenido=$(dpkg-deb -c "$deb")
for f in ./usr/bin/pictomolder-cli ./usr/lib/pictomolder/qorjpg.so ./usr/share/applications/pictomolder.desktop \
  ./usr/share/mime/packages/pictomolder.xml ./usr/share/icons/hicolor/256x256/apps/pictomolder.png; do
  grep -qF " $f" <<<"$contenido" || fallo "the package lacks $f"
done
echo "installed and packaged"
