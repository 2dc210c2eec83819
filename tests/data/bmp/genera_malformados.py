#!/usr/bin/env python3
"""Writes the hostile BMP files of malformed/ and malformed/expected.txt.

Each file is named by what is wrong with it; expected.txt pairs every file with the
text that the reader must append to "Error reading the BMP file.". Run it again only
when a case is added: the files are kept in the repository as they are.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from corpus import escribe_corpus  # noqa: E402

AQUI = os.path.dirname(os.path.abspath(__file__))
DESTINO = os.path.join(AQUI, "malformed")


def cabecera_fichero(tamano, desplazamiento, firma=b"BM"):
    return firma + struct.pack("<IHHI", tamano, 0, 0, desplazamiento)


def cabecera_windows(ancho, alto, bits=8, planos=1, compresion=0, colores=0, tamano_imagen=0, tamano=40):
    return struct.pack("<IiiHHIIiiII", tamano, ancho, alto, planos, bits, compresion, tamano_imagen, 0, 0,
                       colores, 0)


def cabecera_os2(ancho, alto, bits=8, planos=1):
    return struct.pack("<IHHHH", 12, ancho, alto, planos, bits)


def fichero(dib, desplazamiento=0):
    return cabecera_fichero(14 + len(dib), desplazamiento) + dib


def fila(ancho, bits):
    return ((ancho * bits + 31) // 32) * 4


def tabla(n, bytes_entrada=4):
    return bytes(range(n * bytes_entrada)) if n * bytes_entrada < 256 else bytes(n * bytes_entrada)


def valido_8bits(ancho=4, alto=2):
    return cabecera_windows(ancho, alto) + tabla(256) + bytes(fila(ancho, 8) * alto)


CASOS = {}


def caso(nombre, datos, sufijo):
    CASOS[nombre] = (datos, sufijo)


# The file header.
caso("empty_file.bmp", b"", " 1")
caso("file_header_cut_at_10_bytes.bmp", cabecera_fichero(100, 0)[:10], " 1")
caso("signature_not_BM.bmp", cabecera_fichero(0, 0, b"MB") + valido_8bits(), " 1")
caso("signature_PNG.bmp", b"\x89PNG\r\n\x1a\n" + bytes(60), " 1")
# The information header.
caso("no_info_header.bmp", cabecera_fichero(14, 0), " 2")
caso("info_header_size_cut.bmp", cabecera_fichero(16, 0) + b"\x28\x00", " 2")
caso("info_header_size_64.bmp", fichero(cabecera_windows(4, 2, tamano=64) + bytes(64)), " 3")
# Larger headers (52, 56, 108, 124 bytes) hold the colour masks themselves.


def cabecera_mayor(ancho, alto, bits, compresion, mascaras=(0xF800, 0x7E0, 0x1F, 0), tamano=124):
    cab = cabecera_windows(ancho, alto, bits=bits, compresion=compresion, tamano=tamano)
    return (cab + struct.pack("<4I", *mascaras)).ljust(tamano, b"\0")[:tamano]


caso("v5_bitfields_at_24_bits.bmp", fichero(cabecera_mayor(4, 2, 24, 3) + bytes(32)), " Unsupported compression")
caso("v5_rle8.bmp", fichero(cabecera_mayor(4, 2, 8, 1) + tabla(256) + bytes(16)), " Unsupported compression")
caso("v5_mask_not_one_run.bmp", fichero(cabecera_mayor(4, 2, 16, 3, (0xF00F, 0x7E0, 0x1F, 0)) + bytes(16)),
     " Unsupported bit fields")
caso("v5_mask_past_16_bits.bmp", fichero(cabecera_mayor(4, 2, 16, 3, (0x1F0000, 0x7E0, 0x1F, 0)) + bytes(16)),
     " Unsupported bit fields")
caso("v4_header_cut.bmp", fichero(cabecera_mayor(4, 2, 16, 3, tamano=108)[:80]), " Invalid PM 1.x DIB Header")
# 16-bit pixels with an alpha mask become 32-bit ones: twice the bytes the file's size check saw.
caso("v5_16_bit_alpha_30000_square.bmp", fichero(cabecera_mayor(30000, 30000, 16, 3, (0xF00, 0xF0, 0xF, 0xF000))),
     " Image too large")
caso("info_header_size_0.bmp", fichero(bytes(60)), " 3")
caso("windows_header_cut.bmp", fichero(cabecera_windows(4, 2)[:30]), " Invalid PM 1.x DIB Header")
caso("os2_header_cut.bmp", fichero(cabecera_os2(4, 2)[:9]), " Invalid PM 1.x DIB Header")
caso("planes_0.bmp", fichero(cabecera_windows(4, 2, planos=0) + tabla(256) + bytes(8)),
     "Invalid number of planes in DIB")
caso("planes_3_os2.bmp", fichero(cabecera_os2(4, 2, planos=3) + tabla(256, 3) + bytes(8)),
     "Invalid number of planes in DIB")
# Depths and compressions the pixel operations cannot handle.
for b in (0, 2, 3, 7, 9, 15, 48, 64, 65535):
    caso(f"bit_count_{b}.bmp", fichero(cabecera_windows(4, 2, bits=b) + bytes(64)), " Unsupported bit count")
caso("bit_count_2_os2.bmp", fichero(cabecera_os2(4, 2, bits=2) + bytes(32)), " Unsupported bit count")
for c, nombre in ((1, "rle8"), (2, "rle4"), (4, "jpeg"), (5, "png"), (6, "alpha_bitfields"), (0xFFFFFFFF, "all_ones")):
    caso(f"compression_{nombre}.bmp", fichero(cabecera_windows(4, 2, compresion=c) + tabla(256) + bytes(8)),
         " Unsupported compression")
# Sizes.
malo = " Invalid image size"
caso("width_0.bmp", fichero(cabecera_windows(0, 2, bits=24) + bytes(24)), malo)
caso("width_negative.bmp", fichero(cabecera_windows(-4, 2, bits=24) + bytes(24)), malo)
caso("width_int_min.bmp", fichero(cabecera_windows(-2**31, 2, bits=24) + bytes(24)), malo)
caso("width_32769.bmp", fichero(cabecera_windows(32769, 1, bits=1) + bytes(4100)), malo)
caso("width_int_max.bmp", fichero(cabecera_windows(2**31 - 1, 1, bits=32) + bytes(64)), malo)
caso("height_0.bmp", fichero(cabecera_windows(4, 0, bits=24) + bytes(24)), malo)
caso("height_32769.bmp", fichero(cabecera_windows(1, 32769, bits=1) + bytes(64)), malo)
caso("height_minus_32769.bmp", fichero(cabecera_windows(1, -32769, bits=1) + bytes(64)), malo)
caso("height_int_min.bmp", fichero(cabecera_windows(4, -2**31, bits=24) + bytes(24)), malo)
caso("height_int_max.bmp", fichero(cabecera_windows(4, 2**31 - 1, bits=24) + bytes(24)), malo)
caso("os2_width_0.bmp", fichero(cabecera_os2(0, 2, bits=24) + bytes(24)), malo)
caso("os2_height_65535.bmp", fichero(cabecera_os2(4, 65535, bits=24) + bytes(24)), malo)
caso("os2_width_65535.bmp", fichero(cabecera_os2(65535, 1, bits=24) + bytes(24)), malo)
caso("pixels_32768x32768x32_claimed.bmp", fichero(cabecera_windows(32768, 32768, bits=32) + bytes(16)),
     " Image too large")
caso("pixels_32768x-32768x24_claimed.bmp", fichero(cabecera_windows(32768, -32768, bits=24) + bytes(16)),
     " Image too large")
# Plausible sizes that the file does not back: refused before the block is allocated.
caso("pixels_512MiB_claimed_in_tiny_file.bmp",
     fichero(cabecera_windows(32768, 16384, bits=8) + tabla(256) + bytes(16)), "Could not read DIB bits")
caso("pixels_1GiB_claimed_in_tiny_file.bmp",
     fichero(cabecera_windows(32768, 8192, bits=32) + bytes(16)), "Could not read DIB bits")
# Colour tables.
demasiados = " Too many colors in the DIB color table"
caso("colors_used_3_at_1_bit.bmp", fichero(cabecera_windows(8, 1, bits=1, colores=3) + tabla(3) + bytes(4)),
     demasiados)
caso("colors_used_17_at_4_bits.bmp", fichero(cabecera_windows(2, 1, bits=4, colores=17) + tabla(17) + bytes(4)),
     demasiados)
caso("colors_used_257_at_8_bits.bmp", fichero(cabecera_windows(4, 1, colores=257) + tabla(257) + bytes(4)),
     demasiados)
caso("colors_used_257_at_24_bits.bmp",
     fichero(cabecera_windows(4, 1, bits=24, colores=257) + tabla(257) + bytes(12)), demasiados)
caso("colors_used_4294967295.bmp", fichero(cabecera_windows(4, 1, colores=0xFFFFFFFF) + bytes(64)), demasiados)
caso("color_table_cut.bmp", fichero(cabecera_windows(4, 2) + tabla(100)), "Could not read DIB color table")
caso("color_table_missing_16_colors.bmp", fichero(cabecera_windows(4, 2, bits=4)),
     "Could not read DIB color table")
caso("os2_color_table_cut.bmp", fichero(cabecera_os2(4, 2) + tabla(255, 3)), "Could not read DIB color table")
caso("os2_color_table_missing.bmp", fichero(cabecera_os2(4, 2, bits=1)), "Could not read DIB color table")
# Bit-field masks.
caso("bitfield_masks_missing.bmp", fichero(cabecera_windows(4, 2, bits=16, compresion=3)),
     "Could not read DIB color mask")
caso("bitfield_masks_cut.bmp", fichero(cabecera_windows(4, 2, bits=32, compresion=3) + b"\x00\xf8\x00"),
     "Could not read DIB color mask")
caso("bitfield_pixels_missing.bmp",
     fichero(cabecera_windows(4, 2, bits=32, compresion=3) + struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)),
     "Could not read DIB bits")
# Pixel data.
caso("pixels_missing.bmp", fichero(cabecera_windows(4, 2) + tabla(256)), "Could not read DIB bits")
caso("pixels_one_byte_short.bmp", fichero(cabecera_windows(4, 2) + tabla(256) + bytes(7)), "Could not read DIB bits")
caso("pixels_24bit_one_row_short.bmp", fichero(cabecera_windows(5, 3, bits=24) + bytes(fila(5, 24) * 2)),
     "Could not read DIB bits")
caso("top_down_pixels_short.bmp", fichero(cabecera_windows(5, -3, bits=24) + bytes(fila(5, 24) * 3 - 1)),
     "Could not read DIB bits")
caso("os2_pixels_short.bmp", fichero(cabecera_os2(3, 3, bits=24) + bytes(fila(3, 24) * 3 - 2)),
     "Could not read DIB bits")
# Pixel-data offsets.
fuera = " Pixel data offset beyond the end of the file"
dib = cabecera_windows(4, 2, bits=24) + bytes(fila(4, 24) * 2)
caso("offset_4294967295.bmp", fichero(dib, 0xFFFFFFFF), fuera)
caso("offset_past_end.bmp", fichero(dib, 14 + len(dib) + 100), fuera)
caso("offset_leaves_pixels_short.bmp", fichero(dib, 14 + 40 + 4), "Could not read DIB bits")


def main():
    escribe_corpus(DESTINO, CASOS)
    print(len(CASOS), "files")


if __name__ == "__main__":
    main()
