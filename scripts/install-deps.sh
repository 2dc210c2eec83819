#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the editor need.
# Does nothing when all of them are present; runs `apt-get update` only when
# something is missing. Safe to run again and again.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config clang clang-format
  # OpenGL 1.1 + GLU, headless EGL on Mesa (llvmpipe without a GPU)
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  # image codecs
  libpng-dev zlib1g-dev libjpeg62-turbo-dev libtiff-dev
  # editor
  qt6-base-dev libqt6opengl6-dev
  # tests and benchmarks (giflib: the reference decoder the GIF benchmark runs against;
  # netpbm writes the run-length Sun rasters the image tests read; Pillow decodes the
  # real-world image corpus for comparison, and cjpeg writes the test data's progressive
  # JPEG files)
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth imagemagick libgif-dev netpbm python3-pil
  libjpeg-turbo-progs
  # the reader of macOS icon files that checks the exported ones
  icnsutils
  # reference library that the 3D Studio import benchmark compares against (bench only)
  libassimp-dev
  # fonts for the editor under Xvfb
  fonts-dejavu-core
  # the install test: the desktop's checkers of the desktop entry and MIME type, and
  # what cpack needs to build the Debian package
  desktop-file-utils shared-mime-info file dpkg-dev
  # ... and the programs that read the rest of what is installed: the AppStream
  # validator, man, bash's completion helpers, Kate's command-line highlighter, the
  # schema of GtkSourceView's language files with xmllint, and Neovim
  appstream man-db bash-completion libkf5syntaxhighlighting-tools libgtksourceview-5-common
  libxml2-utils neovim
  # JSON of the language server and of the command line's machine-readable messages
  nlohmann-json3-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
