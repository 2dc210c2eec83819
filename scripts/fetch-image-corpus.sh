#!/usr/bin/env bash
# Fetches the real-world test images that the distribution's image libraries and
# toolkits ship into a cache outside the repository, and decodes each with an
# independent reader (Pillow, else ImageMagick) for the corpus test of the image readers
# (tests/image/Test_corpus_imagenes.cpp), which runs whenever the cache is there.
#   scripts/fetch-image-corpus.sh [CACHE]
# CACHE defaults to $PM_IMAGE_CORPUS, else ${XDG_CACHE_HOME:-~/.cache}/pictomolder/image-corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

cache=${1:-${PM_IMAGE_CORPUS:-${XDG_CACHE_HOME:-$HOME/.cache}/pictomolder/image-corpus}}
packages=(
  gdk-pixbuf-tests          # GdkPixbuf's test images: GIF suite, BMP, ICO, TIFF, fuzzed files
  golang-1.19-src           # Go's image, image/png (PngSuite), image/gif and image/jpeg test data
  golang-golang-x-image-dev # Go's x/image: BMP and TIFF test data
  libsdl2-image-tests       # SDL_image's samples
  libsdl2-tests             # SDL's sample bitmaps
  gtk-4-tests               # GTK's image loader test data
  imagemagick-6-doc         # ImageMagick's documentation images
)

for tool in apt-get dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "fetch-image-corpus: $tool is needed" >&2; exit 2; }
done
if ! /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
  echo "fetch-image-corpus: Pillow is needed (apt-get install python3-pil)" >&2
  exit 2
fi

mkdir -p "$cache/debs" "$cache/files"
# apt-get download writes into the current folder; its sandbox user may not reach the cache.
chmod a+rwx "$cache/debs" 2>/dev/null || true
(cd "$cache/debs" && apt-get download "${packages[@]}")

rm -rf "$cache/files"
for p in "${packages[@]}"; do
  deb=$(ls "$cache/debs/${p}_"*.deb | tail -n 1)
  tmp=$(mktemp -d)
  dpkg-deb -x "$deb" "$tmp"
  # Only the files of the formats the program reads, under the package's name.
  (cd "$tmp" && find . -type f -iregex '.*\.\(bmp\|gif\|png\|jpe?g\|jpe\|tiff?\|ico\|ras\|rs\)' -print0) |
    while IFS= read -r -d '' f; do
      mkdir -p "$cache/files/$p/$(dirname "$f")"
      cp "$tmp/$f" "$cache/files/$p/$f"
    done
  rm -rf "$tmp"
done

/usr/bin/python3 tests/data/referencia_corpus.py "$cache/files"
echo "image corpus: $(find "$cache/files" -type f ! -name '*.ref' | wc -l) files in $cache/files"
