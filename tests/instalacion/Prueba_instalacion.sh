#!/usr/bin/env bash
# The program installed as a desktop would have it: `cmake --install` into a temporary
# prefix holds the programs (reached through bin/), their codec modules and manual, the
# desktop entry, the MIME type of .3di scripts, the icon at every size, the manual pages,
# the bash completion, the AppStream metainfo and the syntax definitions of other editors,
# each accepted by the tool that reads it; the installed tool finds its modules; the CMake
# package draws a sample application's icons and draws again only the one whose texture
# changed;
# `cpack -G DEB` builds a package that holds the same.
#   Prueba_instalacion.sh BUILD_DIR
set -euo pipefail
build=$1
fuente=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fallo() { echo "FAILED: $*" >&2; exit 1; }
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"

prefijo=$tmp/prefijo
cmake --install "$build" --prefix "$prefijo" >/dev/null
sizes="16 24 32 48 64 128 256"
# The files of share/ that the package holds too.
compartidos="share/applications/pictomolder.desktop share/mime/packages/pictomolder.xml
  share/metainfo/io.github.pictomolder.Pictomolder.metainfo.xml share/man/man1/pictomolder-cli.1
  share/bash-completion/completions/pictomolder-cli share/org.kde.syntax-highlighting/syntax/3di.xml
  share/gtksourceview-4/language-specs/3di.lang share/gtksourceview-5/language-specs/3di.lang
  share/vim/vimfiles/syntax/3di.vim share/vim/vimfiles/ftdetect/3di.vim
  share/nvim/site/syntax/3di.vim share/nvim/site/ftdetect/3di.vim"
esperados="lib/cmake/Pictomolder/PictomolderConfig.cmake lib/cmake/Pictomolder/PictomolderConfigVersion.cmake
  lib/pictomolder/pictomolder-cli lib/pictomolder/pictomolder-lsp lib/pictomolder/qorjpg.so lib/pictomolder/qorgeotiff.so $compartidos"
if [ -e "$build/bin/pictomolder" ]; then
  esperados+=" lib/pictomolder/pictomolder lib/pictomolder/HELP?Pictomolder?1.pdf lib/pictomolder/manual/manual.md
    share/man/man1/pictomolder.1"
fi
for f in $esperados; do
  compgen -G "$prefijo/$f" >/dev/null || fallo "missing $f"
done
for programa in pictomolder pictomolder-cli pictomolder-lsp; do
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

# The desktop entry also offers the editor for 3D Studio meshes.
grep -q '^MimeType=.*image/x-3ds;' "$prefijo/share/applications/pictomolder.desktop" || fallo "no image/x-3ds"

# Software centres accept the metainfo, beside the desktop entry it launches.
appstreamcli validate-tree --no-net "$prefijo" >"$tmp/appstream" || fallo "metainfo: $(cat "$tmp/appstream")"

# The manual pages render without a warning of the formatter.
for pagina in "$prefijo"/share/man/man1/*.1; do
  avisos=$(MANWIDTH=80 man -l --warnings "$pagina" 2>&1 >"$tmp/pagina")
  [ -z "$avisos" ] || fallo "$pagina: $avisos"
  grep -q '^SYNOPSIS' "$tmp/pagina" || fallo "$pagina has no synopsis"
done

# The completion loads in bash, beside bash-completion's helpers, and completes a command,
# an option of it and the value of an option.
completa() {
  bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    shift
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE}
    _pictomolder_cli pictomolder-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"' _ "$prefijo/share/bash-completion/completions/pictomolder-cli" "$@"
}
for caso in "exp:export" "render --per:--perspective" "export a.3di --view i:iso"; do
  completado=$(completa pictomolder-cli ${caso%%:*})
  [ "$completado" = "${caso#*:}" ] || fallo "completion of '${caso%%:*}': '$completado'"
done

# Other editors colour every example with the installed definitions: Kate's highlighter
# (finding the definition by the file's name among the prefix's data) and Neovim (finding
# the file type in the prefix's data, and again from Vim's folder), without a warning,
# with commands, numbers, comments and #define lines coloured somewhere.
coloreados() { # TEXT FORMATS EDITOR: fails unless TEXT names every format
  for formato in $2; do
    grep -qw "$formato" <<<"$1" || fallo "$3 coloured nothing as $formato"
  done
}
formatos=
for ejemplo in "$fuente"/examples/*.3di; do
  formatos+=$(QT_LOGGING_RULES='kf.syntaxhighlighting*=true' XDG_DATA_HOME="$tmp/vacio" XDG_DATA_DIRS="$prefijo/share" \
    kate-syntax-highlighter -f ansi --syntax-trace=format "$ejemplo" 2>"$tmp/kate" | sed 's/\x1b\[[0-9;]*[mK]//g')
  [ ! -s "$tmp/kate" ] || fallo "kate-syntax-highlighter on $ejemplo: $(cat "$tmp/kate")"
done
coloreados "$formatos" "Command Number Comment Define" "Kate"
cat >"$tmp/colores.vim" <<'EOF'
let s:grupos = {}
for s:f in argv()
  execute 'edit' fnameescape(s:f)
  if &filetype !=# '3di' || get(b:, 'current_syntax', '') !=# '3di'
    call writefile([s:f . ': file type "' . &filetype . '"'], $SALIDA)
    cquit 1
  endif
  for s:l in range(1, line('$'))
    for s:c in range(1, col([s:l, '$']) - 1)
      let s:grupos[synIDattr(synID(s:l, s:c, 1), 'name')] = 1
    endfor
  endfor
endfor
call writefile([join(keys(s:grupos))], $SALIDA)
if v:errmsg !=# '' | cquit 1 | endif
qall!
EOF
colores_nvim() { # [NVIM OPTION...]
  SALIDA=$tmp/nvim nvim --headless --clean "$@" -S "$tmp/colores.vim" "$fuente"/examples/*.3di </dev/null \
    >"$tmp/nvim.err" 2>&1 || fallo "nvim $*: $(cat "$tmp/nvim" "$tmp/nvim.err")"
  [ ! -s "$tmp/nvim.err" ] || fallo "nvim $*: $(cat "$tmp/nvim.err")"
  coloreados "$(cat "$tmp/nvim")" "pm3diCommand pm3diNumber pm3diComment pm3diDefine" "Neovim"
}
XDG_DATA_DIRS="$prefijo/share" colores_nvim
XDG_DATA_DIRS="$tmp/vacio" colores_nvim --cmd "set rtp^=$prefijo/share/vim/vimfiles"
# gedit's and GNOME Text Editor's language files follow GtkSourceView's schema.
xmllint --noout --relaxng /usr/share/gtksourceview-5/language-specs/language2.rng \
  "$prefijo"/share/gtksourceview-[45]/language-specs/3di.lang 2>"$tmp/xmllint" || fallo "$(cat "$tmp/xmllint")"

# The installed tool, started through its link, loads a codec module from its folder
# and exports an icon.
convert -size 4x4 xc:red "$tmp/a.jpg"
"$prefijo/bin/pictomolder-cli" image "$tmp/a.jpg" | grep -q '"width": 4' || fallo "JPEG module not found"
echo 'SPHERE=[0,0,0]:1' >"$tmp/a.3di"
"$prefijo/bin/pictomolder-cli" export "$tmp/a.3di" -o "$tmp/a.ico" || fallo "export"
# The installed language server answers an editor that starts it by its name (it ends
# with status 1 at the end of its input, without a shutdown).
mensaje='{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
respuesta=$(printf 'Content-Length: %d\r\n\r\n%s' ${#mensaje} "$mensaje" | PATH="$prefijo/bin:$PATH" pictomolder-lsp || true)
grep -q '"hoverProvider":true' <<<"$respuesta" || fallo "pictomolder-lsp does not answer: $respuesta"

# An application built against the installed CMake package: every icon drawn, then after
# one texture is touched only the icons of its script.
app=$tmp/aplicacion
cp -r "$fuente/tests/instalacion/iconos" "$app"
cp "$fuente/examples/wood.bmp" "$app/caja.bmp"
cp "$fuente/examples/pattern.bmp" "$app/dibujo.bmp"
cmake -S "$app" -B "$app/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefijo" >"$tmp/cmake" 2>&1 || fallo "configure: $(cat "$tmp/cmake")"
cmake --build "$app/build" >"$tmp/cmake" 2>&1 || fallo "build: $(cat "$tmp/cmake")"
for f in caja.ico dibujo.ico caja.icns dibujo.icns 16x16/apps/caja.png 32x32@2/apps/dibujo.png; do
  [ -s "$app/build/icons/$f" ] || fallo "the sample's icon $f"
done
touch "$app/caja.bmp"
cmake --build "$app/build" >"$tmp/cmake" 2>&1 || fallo "build again: $(cat "$tmp/cmake")"
redibujados=$(grep -o 'Drawing the icon [a-z]* ([a-z]*)' "$tmp/cmake" | sort | tr '\n' ,)
[ "$redibujados" = "Drawing the icon caja (icns),Drawing the icon caja (ico),Drawing the icon caja (theme)," ] ||
  fallo "after touching one texture: $redibujados"

# The package.
(cd "$build" && cpack -G DEB -B "$tmp/paquete" >/dev/null) || fallo "cpack"
deb=$(compgen -G "$tmp/paquete/pictomolder_*.deb") || fallo "no package"
dpkg-deb -f "$deb" Depends | grep -q 'libpng16-16' || fallo "Depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libgl1-mesa-dri' || fallo "Depends without the OpenGL driver"
contenido=$(dpkg-deb -c "$deb")
for f in bin/pictomolder-cli bin/pictomolder-lsp lib/pictomolder/qorjpg.so share/icons/hicolor/256x256/apps/pictomolder.png $compartidos; do
  grep -qF " ./usr/$f" <<<"$contenido" || fallo "the package lacks $f"
done
echo "installed and packaged"
