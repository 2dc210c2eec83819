#!/usr/bin/env python3
"""Decodes every image of a folder (and its subfolders) with an independent reader, for the
corpus test of the image readers: Pillow, else ImageMagick. Beside each FILE it writes
FILE.ref: a first line "ok WIDTH HEIGHT READER" followed by the picture as RGBA bytes, rows
from the top, or "fail READER: reason" when neither reader takes the file.

A GIF gives its first image only, at its own size (the frame, not the logical screen),
as the program reads it."""
import os
import resource
import signal
import subprocess
import sys
import warnings

from PIL import Image

EXTENSIONES = {".bmp", ".gif", ".png", ".jpg", ".jpeg", ".jpe", ".tif", ".tiff", ".ico", ".ras", ".rs"}
# The corpus holds hostile files: no reference decoding may take more than this many pixels,
# 4 GB of memory or a minute.
Image.MAX_IMAGE_PIXELS = 1 << 27
warnings.simplefilter("error", Image.DecompressionBombWarning)
resource.setrlimit(resource.RLIMIT_AS, (4 << 30, 4 << 30))
LIMITES_IM = ["-limit", "memory", "1GiB", "-limit", "map", "1GiB", "-limit", "disk", "0", "-limit", "area", "512MP"]


def plazo(*_):
    raise TimeoutError("took more than a minute")


def con_pillow(ruta):
    signal.signal(signal.SIGALRM, plazo)
    signal.alarm(60)
    try:
        return pillow(ruta)
    finally:
        signal.alarm(0)


def gris_png_con_clave(im, ruta):
    """Pillow widens grey PNGs of 1, 2 or 4 bits to 8 but leaves their transparent grey
    (tRNS) as written: the key is widened here too."""
    with open(ruta, "rb") as f:
        profundidad = f.read(25)[24]
    clave = im.info["transparency"] * 255 // ((1 << profundidad) - 1)
    gris = im.convert("L")
    alfa = gris.point(lambda v: 0 if v == clave else 255)
    rgba = gris.convert("RGBA")
    rgba.putalpha(alfa)
    return rgba


def pillow(ruta):
    with Image.open(ruta) as im:
        if im.mode in ("I;16", "I;16B", "I;16L", "I"):
            # Pillow clips 16-bit grey to 8 bits when it converts it: scaled here instead.
            im = im.point(lambda v: v * (1 / 257)).convert("L")
        if im.format == "PNG" and im.mode in ("L", "1") and isinstance(im.info.get("transparency"), int):
            rgba = gris_png_con_clave(im, ruta)
            return rgba.size, rgba.tobytes()
        caja = None
        if im.format == "GIF" and im.tile:
            caja = im.tile[0][1]
        rgba = im.convert("RGBA")
        if caja:
            rgba = rgba.crop(caja)
        return rgba.size, rgba.tobytes()


def con_imagemagick(ruta):
    medidas = subprocess.run(["identify", *LIMITES_IM, "-format", "%w %h", ruta + "[0]"], capture_output=True,
                             text=True, check=True, timeout=60).stdout.split()
    datos = subprocess.run(["convert", *LIMITES_IM, ruta + "[0]", "-depth", "8", "rgba:-"], capture_output=True,
                           check=True, timeout=60).stdout
    ancho, alto = int(medidas[0]), int(medidas[1])
    if len(datos) != ancho * alto * 4:
        raise ValueError("unexpected size of the decoded picture")
    return (ancho, alto), datos


def referencia(ruta):
    motivos = []
    for nombre, lector in (("pillow", con_pillow), ("imagemagick", con_imagemagick)):
        try:
            (ancho, alto), datos = lector(ruta)
            return f"ok {ancho} {alto} {nombre}\n".encode() + datos
        except Exception as e:  # any failure of a reader is its verdict on the file
            motivos.append(f"{nombre}: {str(e).splitlines()[0] if str(e) else type(e).__name__}"[:200])
    return ("fail " + "; ".join(motivos) + "\n").encode()


def main():
    cuantos = 0
    for carpeta, _, ficheros in os.walk(sys.argv[1]):
        for f in sorted(ficheros):
            if os.path.splitext(f)[1].lower() not in EXTENSIONES:
                continue
            ruta = os.path.join(carpeta, f)
            with open(ruta + ".ref", "wb") as salida:
                salida.write(referencia(ruta))
            cuantos += 1
    print(f"{cuantos} reference decodings")


if __name__ == "__main__":
    main()
