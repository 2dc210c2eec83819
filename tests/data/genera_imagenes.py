#!/usr/bin/env python3
"""Writes the hand-made image files of tests/data/<format>/built/ (odd but valid files)
and tests/data/<format>/malformed/ (damaged and hostile files) for GIF, PNG, ICO, RAS,
JPEG and TIFF, each folder with an expected.txt.

A line of expected.txt is "FILE|RESULT". RESULT is either the loader's message (%s
stands for the file's path; a final * lets the rest be anything), or
"ok WIDTH HEIGHT BITS" followed, where the picture is known, by the CRC-32 of its
pixels: red, green, blue of every pixel, rows from the top of the picture.

Run it again only when a case is added (JPEG bases come from ImageMagick's convert);
the files are kept in the repository as they are.
"""
import os
import struct
import subprocess
import tempfile
import zlib

from corpus import escribe_corpus

AQUI = os.path.dirname(os.path.abspath(__file__))
CASOS = {}


def caso(formato, carpeta, nombre, datos, resultado):
    CASOS.setdefault((formato, carpeta), {})[nombre] = (datos, resultado)


def crc_picture(filas):
    """filas: rows from the top, each a list of (r, g, b)."""
    datos = bytearray()
    for fila in filas:
        for r, g, b in fila:
            datos += bytes((r, g, b))
    return f"{zlib.crc32(bytes(datos)) & 0xFFFFFFFF:08X}", bytes(datos)


ESPERADOS_RGB = {}  # an "ok" result -> the pixels it stands for


def ok(ancho, alto, bits, filas=None):
    if filas is None:
        return f"ok {ancho} {alto} {bits}"
    crc, rgb = crc_picture(filas)
    resultado = f"ok {ancho} {alto} {bits} {crc}"
    ESPERADOS_RGB[resultado] = rgb
    return resultado


# ---------------------------------------------------------------- GIF

NEGRO, ROJO, VERDE, AZUL, BLANCO = (0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)
PALETA4 = [NEGRO, ROJO, VERDE, AZUL]


class Bits:
    def __init__(self):
        self.valor = 0
        self.n = 0
        self.datos = bytearray()

    def pon(self, codigo, tamano):
        self.valor |= codigo << self.n
        self.n += tamano
        while self.n >= 8:
            self.datos.append(self.valor & 0xFF)
            self.valor >>= 8
            self.n -= 8

    def fin(self):
        if self.n:
            self.datos.append(self.valor & 0xFF)
        return bytes(self.datos)


def codigos_literales(indices, minimo=8, con_fin=True):
    """Each pixel as its own code, with a clear code before the table would grow the
    code size, so that every code has minimo + 1 bits. Returns (code, size) pairs."""
    limpia = 1 << minimo
    salida = []
    libres = (1 << (minimo + 1)) - (limpia + 2) - 1
    for i, v in enumerate(indices):
        if i % libres == 0:
            salida.append((limpia, minimo + 1))
        salida.append((v, minimo + 1))
    if con_fin:
        salida.append((limpia + 1, minimo + 1))
    return salida


def subbloques(datos, terminador=True):
    s = bytearray()
    for i in range(0, len(datos), 255):
        trozo = datos[i:i + 255]
        s += bytes((len(trozo),)) + trozo
    return bytes(s) + (b"\x00" if terminador else b"")


def tabla_gif(colores, tamano):
    colores = list(colores) + [NEGRO] * (tamano - len(colores))
    return b"".join(bytes(c) for c in colores)


def gif(ancho, alto, codigos, paleta=PALETA4, tamano_tabla=4, minimo=8, entrelazado=False, gce=None,
        global_=True, local=None, cola=b";", datos_crudos=None):
    """datos_crudos, when given, replaces the image data (sub-blocks and terminator)."""
    codigo_tabla = tamano_tabla.bit_length() - 2
    s = b"GIF89a" + struct.pack("<HHBBB", ancho, alto, (0x80 if global_ else 0) | codigo_tabla, 0, 0)
    if global_:
        s += tabla_gif(paleta, tamano_tabla)
    if gce is not None:
        s += b"!\xf9" + gce + b"\x00"
    marcas = 0x40 if entrelazado else 0
    if local:
        marcas |= 0x80 | (len(local).bit_length() - 2)
    s += b"," + struct.pack("<HHHHB", 0, 0, ancho, alto, marcas)
    if local:
        s += tabla_gif(local, len(local))
    if datos_crudos is None:
        b = Bits()
        for c, t in codigos:
            b.pon(c, t)
        datos_crudos = subbloques(b.fin())
    return s + bytes((minimo,)) + datos_crudos + cola


def filas_gif(ancho, alto, escritas, colores):
    """The picture after the decoder wrote `escritas` {row: indices}; other pixels index 0."""
    filas = []
    for y in range(alto):
        fila = escritas.get(y, [])
        filas.append([colores[fila[x]] if x < len(fila) else colores[0] for x in range(ancho)])
    return filas


def colores_bitmap(paleta, tamano_tabla, bits):
    tabla = list(paleta) + [NEGRO] * (tamano_tabla - len(paleta))
    return tabla + [NEGRO] * ((1 << bits) - len(tabla))


def gif_secuencial(ancho, alto, indices):
    escritas = {}
    for i, v in enumerate(indices):
        y = i // ancho
        if y < alto:
            escritas.setdefault(y, []).append(v)
    return escritas


PATRON = [(x + 2 * y) % 4 for y in range(4) for x in range(4)]
C4 = colores_bitmap(PALETA4, 4, 4)
E2 = "Error 2 opening %s"

caso("gif", "built", "reference_4x4.gif", gif(4, 4, codigos_literales(PATRON)),
     ok(4, 4, 4, filas_gif(4, 4, gif_secuencial(4, 4, PATRON), C4)))
caso("gif", "built", "no_clear_code_first.gif", gif(4, 1, codigos_literales([1, 2, 3, 1])[1:]),
     ok(4, 1, 4, [[ROJO, VERDE, AZUL, ROJO]]))
# Without a clear code first, the first code makes no entry: 258 is then 1 + 1 (as the Go
# encoder writes a run).
caso("gif", "built", "no_clear_code_first_then_a_run.gif", gif(4, 1, [(1, 9), (258, 9), (1, 9), (257, 9)]),
     ok(4, 1, 4, [[ROJO] * 4]))
# A minimum code size of 11: 12-bit codes from the start, clear code 2048.
caso("gif", "built", "code_size_11.gif", gif(4, 1, [(2048, 12), (1, 12), (2050, 12), (3, 12), (2049, 12)], minimo=11),
     ok(4, 1, 4, [[ROJO, ROJO, ROJO, AZUL]]))
# Code 258 is the entry about to be made: the previous string plus its own first byte.
caso("gif", "built", "code_for_the_entry_being_made.gif",
     gif(4, 1, [(256, 9), (1, 9), (258, 9), (3, 9), (257, 9)]), ok(4, 1, 4, [[ROJO, ROJO, ROJO, AZUL]]))
caso("gif", "built", "more_data_than_rows.gif", gif(4, 2, codigos_literales(PATRON)),
     ok(4, 2, 4, filas_gif(4, 2, gif_secuencial(4, 2, PATRON), C4)))
caso("gif", "built", "no_colour_table.gif", gif(2, 1, codigos_literales([0, 3]), global_=False),
     ok(2, 1, 4, [[NEGRO, BLANCO]]))
caso("gif", "built", "local_table_of_2.gif",
     gif(2, 1, codigos_literales([0, 1]), paleta=[ROJO] * 256, tamano_tabla=256, local=[VERDE, AZUL]),
     ok(2, 1, 1, [[VERDE, AZUL]]))
# A transparent index with a full table and no white: entry 255 becomes white.
caso("gif", "built", "transparent_full_table_without_white.gif",
     gif(2, 1, codigos_literales([1, 255]), paleta=[NEGRO, ROJO] + [AZUL] * 254, tamano_tabla=256,
         gce=b"\x04\x01\x00\x00\x05"), ok(2, 1, 8, [[ROJO, BLANCO]]))
# Interlaced rows arrive in the order 0, 8, 4, 2, 6, 1, 3, 5, 7, 9: with k rows of data only
# the first k of them are written.
ORDEN_ENTRELAZADO = [0, 8, 4, 2, 6, 1, 3, 5, 7, 9]
for k in range(1, 11):
    datos = [1 + j % 3 for j in range(k) for _ in range(2)]
    caso("gif", "built", f"interlaced_height_10_with_{k}_rows.gif", gif(2, 10, codigos_literales(datos), entrelazado=True),
         ok(2, 10, 4, filas_gif(2, 10, {ORDEN_ENTRELAZADO[j]: [1 + j % 3] * 2 for j in range(k)}, C4)))
caso("gif", "built", "interlaced_height_1_with_surplus_rows.gif",
     gif(4, 1, codigos_literales(PATRON), entrelazado=True), ok(4, 1, 4, filas_gif(4, 1, {0: PATRON[:4]}, C4)))
# 4096 pixels of literal codes without clear codes: the table fills up and the codes grow
# to 12 bits, then stay there.
def sin_limpiar(indices):
    salida, siguiente, tamano, tope = [(256, 9)], 258, 9, 512
    for i, v in enumerate(indices):
        salida.append((v, tamano))
        if i > 0 and siguiente < tope:
            siguiente += 1
        if i > 0 and siguiente >= tope and tamano < 12:
            tamano, tope = tamano + 1, tope << 1
    return salida + [(257, tamano)]


LARGOS = [(x * 7 + y) % 4 for y in range(64) for x in range(64)]
caso("gif", "built", "table_full_without_clear.gif", gif(64, 64, sin_limpiar(LARGOS)),
     ok(64, 64, 4, filas_gif(64, 64, gif_secuencial(64, 64, LARGOS), C4)))

SEIS = [1, 2, 3, 1, 2, 3]
seis = filas_gif(4, 4, gif_secuencial(4, 4, SEIS), C4)
caso("gif", "malformed", "empty_file.gif", b"", E2)
caso("gif", "malformed", "signature_GIF7.gif", b"GIF7" + gif(4, 4, codigos_literales(PATRON))[4:], E2)
caso("gif", "malformed", "header_cut_at_10_bytes.gif", gif(4, 4, codigos_literales(PATRON))[:10], E2)
caso("gif", "malformed", "global_table_cut.gif", gif(4, 4, codigos_literales(PATRON))[:16], E2)
caso("gif", "malformed", "trailer_without_image.gif", gif(4, 4, [])[:13 + 12] + b";", E2)
caso("gif", "malformed", "ends_after_the_colour_table.gif", gif(4, 4, [])[:13 + 12], E2)
caso("gif", "malformed", "control_block_size_5.gif", gif(4, 4, codigos_literales(PATRON), gce=b"\x05\x01\x00\x00\x00"),
     E2)
caso("gif", "malformed", "extension_cut.gif", gif(4, 4, codigos_literales(PATRON), gce=b"\x04\x01\x00\x00\x00")[:30],
     E2)
caso("gif", "malformed", "descriptor_cut.gif", gif(4, 4, codigos_literales(PATRON))[:13 + 12 + 5], E2)
caso("gif", "malformed", "local_table_cut.gif", gif(4, 4, codigos_literales(PATRON), local=PALETA4)[:13 + 12 + 10 + 5],
     E2)
caso("gif", "malformed", "width_0.gif", gif(0, 4, codigos_literales(PATRON)), E2)
caso("gif", "malformed", "height_0.gif", gif(4, 0, codigos_literales(PATRON)), E2)
caso("gif", "malformed", "width_40000.gif", gif(40000, 1, codigos_literales(PATRON)), E2)
caso("gif", "malformed", "32768x32768_from_50_bytes.gif", gif(32768, 32768, codigos_literales(PATRON)), E2)
caso("gif", "malformed", "unknown_block_before_image.gif", gif(4, 4, [])[:13 + 12] + b"\x99", E2)
caso("gif", "malformed", "code_size_1.gif", gif(4, 4, codigos_literales(PATRON), minimo=1),
     ok(4, 4, 4, filas_gif(4, 4, {}, C4)))
caso("gif", "malformed", "code_size_12.gif", gif(4, 4, codigos_literales(PATRON), minimo=12),
     ok(4, 4, 4, filas_gif(4, 4, {}, C4)))
caso("gif", "malformed", "no_code_size_file_ends.gif", gif(4, 4, [])[:13 + 12 + 10], ok(4, 4, 4, filas_gif(4, 4, {}, C4)))
caso("gif", "malformed", "only_clear_codes.gif", gif(4, 4, [(256, 9)] * 5 + [(257, 9)]),
     ok(4, 4, 4, filas_gif(4, 4, {}, C4)))
caso("gif", "malformed", "end_code_after_6_pixels.gif", gif(4, 4, codigos_literales(SEIS)), ok(4, 4, 4, seis))
# The file ends inside the image data: the bytes hold the clear code and 6 pixel codes.
b = Bits()
for c, t in codigos_literales(SEIS, con_fin=False):
    b.pon(c, t)
caso("gif", "malformed", "file_ends_after_6_pixels.gif",
     gif(4, 4, [], datos_crudos=bytes((40,)) + b.fin(), cola=b""), ok(4, 4, 4, seis))
caso("gif", "malformed", "data_terminator_after_6_pixels.gif",
     gif(4, 4, [], datos_crudos=bytes((len(b.fin()),)) + b.fin() + b"\x00"), ok(4, 4, 4, seis))
caso("gif", "malformed", "code_past_the_next_free_entry.gif",
     gif(4, 4, [(256, 9), (1, 9), (2, 9), (3, 9), (300, 9), (1, 9), (257, 9)]),
     ok(4, 4, 4, filas_gif(4, 4, {0: [1, 2, 3]}, C4)))
caso("gif", "malformed", "code_far_past_the_table.gif", gif(4, 4, [(256, 9), (1, 9), (511, 9), (257, 9)]),
     ok(4, 4, 4, filas_gif(4, 4, {0: [1]}, C4)))
caso("gif", "malformed", "interlaced_3_rows_of_10.gif",
     gif(4, 10, codigos_literales([1] * 4 + [2] * 4 + [3] * 4), entrelazado=True),
     ok(4, 10, 4, filas_gif(4, 10, {0: [1] * 4, 8: [2] * 4, 4: [3] * 4}, C4)))

# ---------------------------------------------------------------- PNG


def trozo(tipo, datos):
    return struct.pack(">I", len(datos)) + tipo + datos + struct.pack(">I", zlib.crc32(tipo + datos) & 0xFFFFFFFF)


def png(ancho, alto, profundidad, tipo, filas_crudas=None, plte=None, idat=None, entrelazado=0, final=True,
        trns=None):
    s = b"\x89PNG\r\n\x1a\n" + trozo(b"IHDR", struct.pack(">IIBBBBB", ancho, alto, profundidad, tipo, 0, 0,
                                                           entrelazado))
    if plte is not None:
        s += trozo(b"PLTE", plte)
    if trns is not None:
        s += trozo(b"tRNS", trns)
    if idat is None:
        idat = zlib.compress(b"".join(b"\x00" + f for f in filas_crudas))
    s += trozo(b"IDAT", idat)
    return s + (trozo(b"IEND", b"") if final else b"")


def filas_rgb(ancho, alto):
    return [[((x * 60) % 256, (y * 80) % 256, (x * y * 30) % 256) for x in range(ancho)] for y in range(alto)]


RGB = filas_rgb(4, 3)
CRUDAS_RGB = [b"".join(bytes(p) for p in fila) for fila in RGB]
VALIDO = png(4, 3, 8, 2, CRUDAS_RGB)
EF = "Error reading PNG file."
EB = "Error reading png bits, setjmp= 1  Error reading PNG bits."

caso("png", "built", "reference_rgb.png", VALIDO, ok(4, 3, 24, RGB))
caso("png", "built", "grey_2_bit.png", png(4, 1, 2, 0, [bytes((0b00011011,))]),
     ok(4, 1, 8, [[(v, v, v) for v in (0, 85, 170, 255)]]))
caso("png", "built", "palette_2_bit.png", png(4, 1, 2, 3, [bytes((0b11100100,))], plte=bytes(ROJO + VERDE + AZUL + BLANCO)),
     ok(4, 1, 8, [[BLANCO, AZUL, VERDE, ROJO]]))
caso("png", "built", "grey_alpha_16_bit.png",
     png(2, 1, 16, 4, [struct.pack(">HHHH", 0x0000, 0xFFFF, 0xFFFF, 0x0000)]), ok(2, 1, 32, [[NEGRO, BLANCO]]))
caso("png", "built", "rgb_16_bit.png", png(1, 1, 16, 2, [struct.pack(">HHH", 0xFFFF, 0x8080, 0x0101)]),
     ok(1, 1, 24, [[(255, 128, 1)]]))
# The palette's transparency (tRNS) leaves the colours as they are.
caso("png", "built", "palette_with_trns.png", png(4, 1, 8, 3, [bytes((0, 1, 2, 3))], plte=bytes(ROJO + VERDE + AZUL + BLANCO),
                                                  trns=bytes((0, 128))), ok(4, 1, 8, [[ROJO, VERDE, AZUL, BLANCO]]))
caso("png", "built", "grey_1_bit.png", png(8, 1, 1, 0, [b"\xa5"]),
     ok(8, 1, 1, [[BLANCO if (0xA5 >> (7 - x)) & 1 else NEGRO for x in range(8)]]))

caso("png", "malformed", "empty_file.png", b"", EF)
caso("png", "malformed", "signature_wrong.png", b"\x89PNX" + VALIDO[4:], EF)
caso("png", "malformed", "ihdr_cut.png", VALIDO[:20], EF)
caso("png", "malformed", "ihdr_crc_wrong.png", VALIDO[:29] + b"\x00\x00\x00\x00" + VALIDO[33:], EF)
caso("png", "malformed", "width_0.png", png(0, 3, 8, 2, CRUDAS_RGB), EF)
caso("png", "malformed", "height_0.png", png(4, 0, 8, 2, CRUDAS_RGB), EF)
caso("png", "malformed", "width_2147483648.png", png(2 ** 31, 1, 8, 2, CRUDAS_RGB), EF)
caso("png", "malformed", "width_32769.png", png(32769, 1, 8, 0, [bytes(32769)]), EF)
caso("png", "malformed", "32768x32768_from_100_bytes.png", png(32768, 32768, 8, 0, CRUDAS_RGB), EF)
caso("png", "malformed", "bit_depth_3.png", png(4, 3, 3, 0, CRUDAS_RGB), EF)
caso("png", "malformed", "colour_type_5.png", png(4, 3, 8, 5, CRUDAS_RGB), EF)
caso("png", "malformed", "palette_at_16_bits.png", png(4, 3, 16, 3, CRUDAS_RGB, plte=bytes(6)), EF)
caso("png", "malformed", "palette_missing.png", png(4, 1, 8, 3, [bytes(4)]), EF)
caso("png", "malformed", "idat_cut.png", VALIDO[:-12 - 10], EB)
caso("png", "malformed", "idat_crc_wrong.png", VALIDO[:-16] + b"\x00\x00\x00\x00" + VALIDO[-12:], EB)
caso("png", "malformed", "idat_not_zlib.png", png(4, 3, 8, 2, idat=b"\x78\x9c" + bytes(range(40))), EB)
caso("png", "malformed", "idat_two_rows_of_three.png", png(4, 3, 8, 2, CRUDAS_RGB[:2]), EB)
caso("png", "malformed", "filter_type_9.png", png(4, 3, 8, 2, idat=zlib.compress(b"".join(b"\x09" + f for f in CRUDAS_RGB))),
     EB)
caso("png", "malformed", "iend_missing.png", png(4, 3, 8, 2, CRUDAS_RGB, final=False), EB)

# ---------------------------------------------------------------- ICO

RESERVADO = (99, 99, 99)


def fila_dib(valores, bits):
    b = Bits()
    datos = bytearray()
    if bits >= 8:
        for v in valores:
            datos += v if isinstance(v, bytes) else bytes((v,))
    else:
        valor, n = 0, 0
        for v in valores:
            valor = (valor << bits) | v
            n += bits
            if n == 8:
                datos.append(valor)
                valor, n = 0, 0
        if n:
            datos.append(valor << (8 - n))
    while len(datos) % 4:
        datos.append(0)
    return bytes(datos)


def imagen_bmp(ancho, alto, bits, filas, mascara, paleta=(), colores_usados=0, tamano_cabecera=40, compresion=0,
               alto_cabecera=None):
    """filas and mascara: rows from the top; stored bottom-up as a BMP stores them."""
    cab = struct.pack("<IiiHHIIiiII", tamano_cabecera, ancho, alto * 2 if alto_cabecera is None else alto_cabecera, 1,
                      bits, compresion, 0, 0, 0, colores_usados, 0)
    tabla = b"".join(bytes((c[2], c[1], c[0], 0)) for c in paleta)
    xor = b"".join(fila_dib(f, bits) for f in reversed(filas))
    y = b"".join(fila_dib(f, 1) for f in reversed(mascara))
    return cab + tabla + xor + y


def ico(imagenes, tipo=1, cuenta=None):
    """imagenes: (width, height, bits, data) each; returns the file."""
    s = struct.pack("<HHH", 0, tipo, len(imagenes) if cuenta is None else cuenta)
    desplazamiento = 6 + 16 * len(imagenes)
    cuerpo = b""
    for ancho, alto, bits, datos in imagenes:
        s += struct.pack("<BBBBHHII", ancho % 256, alto % 256, 0, 0, 1, bits, len(datos), desplazamiento)
        desplazamiento += len(datos)
        cuerpo += datos
    return s + cuerpo


def picture_ico(ancho, alto, colores):
    return [[colores[(x + y) % len(colores)] for x in range(ancho)] for y in range(alto)]


MASCARA = [[1 if (x == 0 and y == 0) or x == y + 1 else 0 for x in range(4)] for y in range(4)]


def esperado_ico(filas, mascara):
    return [[RESERVADO if mascara[y][x] else filas[y][x] for x in range(len(filas[0]))] for y in range(len(filas))]


def bgr(c):
    return bytes((c[2], c[1], c[0]))


P4 = [ROJO, VERDE, AZUL, BLANCO]
for bits in (1, 4, 8, 24, 32):
    colores = P4[:2] if bits == 1 else P4
    filas = picture_ico(4, 4, colores)
    if bits <= 8:
        valores = [[colores.index(c) for c in fila] for fila in filas]
        datos = imagen_bmp(4, 4, bits, valores, MASCARA, paleta=colores + [NEGRO] * ((1 << bits) - len(colores)))
    else:
        valores = [[bgr(c) + (b"\xff" if bits == 32 else b"") for c in fila] for fila in filas]
        datos = imagen_bmp(4, 4, bits, valores, MASCARA)
    caso("ico", "built", f"bmp_{bits}_bit_with_mask.ico", ico([(4, 4, bits, datos)]),
         ok(4, 4, 8, esperado_ico(filas, MASCARA)))
# 32 bits with all-or-nothing alpha: the alpha decides whatever the AND mask says.
filas = picture_ico(4, 4, P4)
binaria = [[0 if x == 3 else 255 for x in range(4)] for y in range(4)]
sin_mascara = [[0] * 4 for _ in range(4)]
caso("ico", "built", "bmp_32_bit_binary_alpha.ico",
     ico([(4, 4, 32, imagen_bmp(4, 4, 32, [[bgr(filas[y][x]) + bytes((binaria[y][x],)) for x in range(4)] for y in range(4)],
                                sin_mascara))]),
     ok(4, 4, 8, esperado_ico(filas, [[1 if binaria[y][x] == 0 else 0 for x in range(4)] for y in range(4)])))
# Partly transparent pixels: 32 bits with the icon's alpha, colours as they are.
alfa = [[0 if x == 3 else (100 if x == 2 else 200) for x in range(4)] for y in range(4)]
valores = [[bgr(filas[y][x]) + bytes((alfa[y][x],)) for x in range(4)] for y in range(4)]
caso("ico", "built", "bmp_32_bit_alpha.ico", ico([(4, 4, 32, imagen_bmp(4, 4, 32, valores, sin_mascara))]),
     ok(4, 4, 32, filas))
rgba = [b"".join(bytes(filas[y][x]) + bytes((alfa[y][x],)) for x in range(4)) for y in range(4)]
caso("ico", "built", "png_in_ico.ico", ico([(4, 4, 32, png(4, 4, 8, 6, rgba))]), ok(4, 4, 32, filas))
# The largest image, then the deepest: 8 x 8 at 24 bits over 8 x 8 at 4 and 4 x 4 at 32.
grande = picture_ico(8, 8, P4)
sin8 = [[0] * 8 for _ in range(8)]
caso("ico", "built", "largest_then_deepest.ico",
     ico([(4, 4, 32, imagen_bmp(4, 4, 32, [[bgr(c) + b"\xff" for c in f] for f in picture_ico(4, 4, P4)], sin_mascara)),
          (8, 8, 4, imagen_bmp(8, 8, 4, [[P4.index(c) for c in f] for f in grande], sin8, paleta=P4 + [NEGRO] * 12)),
          (8, 8, 24, imagen_bmp(8, 8, 24, [[bgr(c) for c in f] for f in grande], MASCARA + [[0] * 8] * 4))]),
     ok(8, 8, 8, esperado_ico(grande, [m + [0] * 4 for m in MASCARA] + [[0] * 8] * 4)))
caso("ico", "built", "broken_first_image_skipped.ico",
     ico([(8, 8, 24, b"\x28" + bytes(10)), (4, 4, 24, imagen_bmp(4, 4, 24, [[bgr(c) for c in f] for f in filas], MASCARA))]),
     ok(4, 4, 8, esperado_ico(filas, MASCARA)))
# Pixels of the reserved colour itself take index 0.
gris = picture_ico(4, 4, [RESERVADO, ROJO])
caso("ico", "built", "reserved_colour_pixels.ico",
     ico([(4, 4, 24, imagen_bmp(4, 4, 24, [[bgr(c) for c in f] for f in gris], sin_mascara))]), ok(4, 4, 8, gris))
muchos = [[((x * 16 + y) % 256, x, y) for x in range(16)] for y in range(16)]
# More colours than index 0 leaves room for: 32 bits, the alpha from the mask.
caso("ico", "built", "255_colours.ico",
     ico([(16, 16, 24, imagen_bmp(16, 16, 24, [[bgr(c) for c in f] for f in muchos], [[0] * 16] * 16))]),
     ok(16, 16, 32, muchos))

BUENA = imagen_bmp(4, 4, 24, [[bgr(c) for c in f] for f in filas], MASCARA)
EI = "Error extracting icon"
caso("ico", "malformed", "empty_file.ico", b"", EI)
caso("ico", "malformed", "type_2_cursor.ico", ico([(4, 4, 24, BUENA)], tipo=2), EI)
caso("ico", "malformed", "no_images.ico", ico([]), EI)
caso("ico", "malformed", "directory_cut.ico", ico([(4, 4, 24, BUENA)])[:14], EI)
caso("ico", "malformed", "count_65535.ico", ico([(4, 4, 24, BUENA)], cuenta=65535), ok(4, 4, 8, esperado_ico(filas, MASCARA)))
caso("ico", "malformed", "offset_beyond_file.ico", ico([(4, 4, 24, BUENA)])[:18] + b"\xff\xff\xff\x7f" + BUENA, EI)
caso("ico", "malformed", "header_size_12.ico", ico([(4, 4, 24, b"\x0c" + BUENA[1:])]), EI)
caso("ico", "malformed", "bit_count_2.ico", ico([(4, 4, 2, imagen_bmp(4, 4, 2, [[0] * 4] * 4, MASCARA, paleta=P4))]), EI)
caso("ico", "malformed", "bit_count_16.ico", ico([(4, 4, 16, imagen_bmp(4, 4, 16, [[b"\0\0"] * 4] * 4, MASCARA))]), EI)
caso("ico", "malformed", "height_0.ico", ico([(4, 4, 24, imagen_bmp(4, 4, 24, [], [], alto_cabecera=0))]), EI)
caso("ico", "malformed", "height_negative.ico", ico([(4, 4, 24, imagen_bmp(4, 4, 24, [], [], alto_cabecera=-8))]), EI)
caso("ico", "malformed", "width_40000.ico", ico([(0, 4, 24, struct.pack("<I", 40) + struct.pack("<i", 40000) + BUENA[8:])]),
     EI)
caso("ico", "malformed", "compression_rle8.ico", ico([(4, 4, 8, imagen_bmp(4, 4, 8, [[0] * 4] * 4, MASCARA, paleta=P4,
                                                                            compresion=1))]), EI)
caso("ico", "malformed", "colors_used_300.ico",
     ico([(4, 4, 8, imagen_bmp(4, 4, 8, [[0] * 4] * 4, MASCARA, paleta=P4 * 75, colores_usados=300))]), EI)
caso("ico", "malformed", "colour_rows_cut.ico", ico([(4, 4, 24, BUENA[:40 + 30])]), EI)
caso("ico", "malformed", "mask_cut_after_one_row.ico", ico([(4, 4, 24, BUENA[:40 + 48 + 4])]),
     ok(4, 4, 8, esperado_ico(filas, [[0] * 4] * 3 + [MASCARA[3]])))
caso("ico", "malformed", "png_cut.ico", ico([(4, 4, 32, png(4, 4, 8, 6, rgba)[:50])]), EI)
caso("ico", "malformed", "png_sides_3570717908.ico", ico([(0, 0, 32, png(3570717908, 3570717908, 8, 6, rgba))]), EI)
caso("ico", "malformed", "png_32768x32768_claimed.ico", ico([(0, 0, 32, png(32768, 32768, 8, 6, rgba))]), EI)

# ---------------------------------------------------------------- BMP (headers after the 40-byte one)


def bmp_mayor(ancho, alto, bits, filas, tamano, compresion=0, mascaras=(0, 0, 0, 0), paleta=()):
    """filas: rows from the top, each the bytes of its pixels; stored bottom-up and padded."""
    tabla = b"".join(bytes((c[2], c[1], c[0], 0)) for c in paleta)
    cab = struct.pack("<IiiHHIIiiII", tamano, ancho, alto, 1, bits, compresion, 0, 2835, 2835, len(paleta), 0)
    cab = (cab + struct.pack("<4I", *mascaras)).ljust(tamano, b"\0")[:tamano]
    pixeles = b"".join(f + bytes(-len(f) % 4) for f in reversed(filas))
    return b"BM" + struct.pack("<IHHI", 14 + len(cab) + len(tabla) + len(pixeles), 0, 0, 14 + len(cab) + len(tabla)) + \
        cab + tabla + pixeles


def escala(v, bits):
    return (v * 255 + ((1 << bits) - 1) // 2) // ((1 << bits) - 1)


def campos(c, mascaras):
    """A pixel of colour c in the bit fields of `mascaras` (red, green, blue), and the colour read back."""
    pixel, leido = 0, []
    for v, m in zip(c, mascaras):
        bits, corrimiento = bin(m).count("1"), (m & -m).bit_length() - 1
        n = v * ((1 << bits) - 1) // 255
        pixel |= n << corrimiento
        leido.append(escala(n, bits))
    return pixel, tuple(leido)


PASO_IM = {}
COLORES_BMP = [ROJO, VERDE, AZUL, BLANCO, (200, 100, 50), (17, 34, 51)]
dibujo_bmp = [[COLORES_BMP[(x + 2 * y) % 6] for x in range(3)] for y in range(2)]
caso("bmp", "built", "v4_24_bit.bmp", bmp_mayor(3, 2, 24, [b"".join(bgr(c) for c in f) for f in dibujo_bmp], 108),
     ok(3, 2, 24, dibujo_bmp))
caso("bmp", "built", "v5_8_bit.bmp",
     bmp_mayor(3, 2, 8, [bytes(COLORES_BMP.index(c) for c in f) for f in dibujo_bmp], 124, paleta=COLORES_BMP),
     ok(3, 2, 8, dibujo_bmp))
for nombre, tamano, bits, mascaras, alfa in (("header_52_16_bit_565.bmp", 52, 16, (0xF800, 0x7E0, 0x1F), None),
                                             ("v5_16_bit_555.bmp", 124, 16, (0x7C00, 0x3E0, 0x1F), None),
                                             ("v4_16_bit_4444_alpha.bmp", 108, 16, (0xF00, 0xF0, 0xF), 0xF000),
                                             ("header_56_32_bit_abgr.bmp", 56, 32, (0xFF, 0xFF00, 0xFF0000), 0xFF000000),
                                             ("v5_32_bit_no_alpha_mask.bmp", 124, 32, (0xFF0000, 0xFF00, 0xFF), None)):
    filas, leidas = [], []
    for f in dibujo_bmp:
        pixeles = [campos(c, mascaras) for c in f]
        filas.append(b"".join(struct.pack("<H" if bits == 16 else "<I", p | (alfa or 0)) for p, _ in pixeles))
        leidas.append([l for _, l in pixeles])
    caso("bmp", "built", nombre, bmp_mayor(3, 2, bits, filas, tamano, 3, mascaras + (alfa or 0,)),
         ok(3, 2, 32 if alfa else 24, leidas))
    # ImageMagick widens short fields by shifting (and sometimes repeating) their bits; we
    # scale them: the two differ by less than one step of the field.
    PASO_IM[nombre] = 255 // ((1 << min(bin(m).count("1") for m in mascaras)) - 1)

# ---------------------------------------------------------------- RAS


def ras(ancho, alto, profundidad, datos, tipo=1, mapa=b"", largo=None, magia=0x59A66A95, tipo_mapa=None):
    if largo is None:
        largo = len(datos)
    if tipo_mapa is None:
        tipo_mapa = 1 if mapa else 0
    return struct.pack(">8I", magia, ancho, alto, profundidad, largo, tipo, tipo_mapa, len(mapa)) + mapa + datos


def filas_ras(filas, bytes_pixel):
    salida = b""
    for fila in filas:
        f = b"".join(fila)
        salida += f + (b"\x00" if len(f) % 2 else b"")
    return salida


P3 = [ROJO, VERDE, AZUL]
pic = [[P3[(x + y) % 3] for x in range(3)] for y in range(2)]
mapa256 = bytes(range(256)) + bytes(255 - i for i in range(256)) + bytes((i * 3) % 256 for i in range(256))
gris_ind = [[(x * 40 + y * 90) % 256 for x in range(3)] for y in range(2)]
caso("ras", "built", "8_bit_map_768.ras", ras(3, 2, 8, filas_ras([[bytes((v,)) for v in f] for f in gris_ind], 1), mapa=mapa256),
     ok(3, 2, 8, [[(v, 255 - v, (v * 3) % 256) for v in f] for f in gris_ind]))
caso("ras", "built", "8_bit_no_map.ras", ras(3, 2, 8, filas_ras([[bytes((v,)) for v in f] for f in gris_ind], 1)),
     ok(3, 2, 8, [[(v, v, v) for v in f] for f in gris_ind]))
caso("ras", "built", "1_bit_no_map.ras", ras(10, 1, 1, b"\xa5\x40"),
     ok(10, 1, 1, [[NEGRO if ((0xA540 >> (15 - x)) & 1) else BLANCO for x in range(10)]]))
caso("ras", "built", "24_bit_type_1_bgr.ras", ras(3, 2, 24, filas_ras([[bgr(c) for c in f] for f in pic], 3)), ok(3, 2, 24, pic))
caso("ras", "built", "24_bit_type_3_rgb.ras", ras(3, 2, 24, filas_ras([[bytes(c) for c in f] for f in pic], 3), tipo=3),
     ok(3, 2, 24, pic))
caso("ras", "built", "32_bit_type_1_xbgr.ras", ras(3, 2, 32, filas_ras([[b"\x80" + bgr(c) for c in f] for f in pic], 4)),
     ok(3, 2, 32, pic))
caso("ras", "built", "32_bit_type_3_xrgb.ras",
     ras(3, 2, 32, filas_ras([[b"\x80" + bytes(c) for c in f] for f in pic], 4), tipo=3), ok(3, 2, 32, pic))
caso("ras", "built", "length_0.ras", ras(3, 2, 24, filas_ras([[bgr(c) for c in f] for f in pic], 3), largo=0),
     ok(3, 2, 24, pic))


def rle(datos):
    """Type 2 data: runs of 3 or more (and every 0x80) as 0x80 n v, the rest as literals."""
    salida, i = bytearray(), 0
    while i < len(datos):
        n = 1
        while i + n < len(datos) and datos[i + n] == datos[i] and n < 256:
            n += 1
        if n >= 3 or datos[i] == 0x80:
            salida += bytes((0x80, 0)) if n == 1 else bytes((0x80, n - 1, datos[i]))
            i += n if n > 1 else 1
        else:
            salida.append(datos[i])
            i += 1
    return bytes(salida)


# 8 bits: a run crossing the end of a row, and the escaped byte 0x80 itself.
ind_rle = [[7, 7, 7, 7, 0x80], [7, 7, 1, 2, 0x80]]
filas_rle = filas_ras([[bytes((v,)) for v in f] for f in ind_rle], 1)
caso("ras", "built", "rle_8_bit.ras", ras(5, 2, 8, rle(filas_rle), tipo=2, mapa=mapa256),
     ok(5, 2, 8, [[(v, 255 - v, (v * 3) % 256) for v in f] for f in ind_rle]))
caso("ras", "built", "rle_24_bit.ras", ras(3, 2, 24, rle(filas_ras([[bgr(c) for c in f] for f in pic], 3)), tipo=2),
     ok(3, 2, 24, pic))

DATOS24 = filas_ras([[bgr(c) for c in f] for f in pic], 3)
caso("ras", "malformed", "empty_file.ras", b"", "Error reading RAS: File too short")
caso("ras", "malformed", "header_cut.ras", ras(3, 2, 24, DATOS24)[:20], "Error reading RAS: File too short")
caso("ras", "malformed", "magic_wrong.ras", ras(3, 2, 24, DATOS24, magia=0x956AA659), "Error reading RAS: Wrong Magic number")
caso("ras", "malformed", "type_4_tiff.ras", ras(3, 2, 24, DATOS24, tipo=4), "Error reading RAS: Wrong Type")
caso("ras", "malformed", "type_0_old.ras", ras(3, 2, 24, DATOS24, tipo=0), "Error reading RAS: Wrong Type")
for d in (0, 4, 16, 33):
    caso("ras", "malformed", f"depth_{d}.ras", ras(3, 2, d, DATOS24), "Error reading RAS: Wrong Depth")
caso("ras", "malformed", "height_0.ras", ras(3, 0, 24, DATOS24), "Error reading RAS: Wrong Size")
caso("ras", "malformed", "width_0.ras", ras(0, 2, 24, DATOS24), "Error reading RAS: Wrong Size")
caso("ras", "malformed", "width_4294967295.ras", ras(2 ** 32 - 1, 2, 8, DATOS24), "Error reading RAS: Wrong Size")
caso("ras", "malformed", "32768x32768_claimed.ras", ras(32768, 32768, 8, DATOS24, largo=32768 * 32768),
     "Error reading RAS: File too short")
caso("ras", "malformed", "length_less_than_rows.ras", ras(3, 2, 24, DATOS24, largo=10), "Error reading RAS: Wrong Length")
caso("ras", "malformed", "rows_cut.ras", ras(3, 2, 24, DATOS24)[:-3], "Error reading RAS: File too short")
caso("ras", "malformed", "colour_map_cut.ras", ras(3, 2, 8, b"", mapa=mapa256)[:32 + 500], "Error reading RAS: File too short")
caso("ras", "malformed", "colour_map_4294967295.ras", ras(3, 2, 8, b"\0" * 8)[:28] + b"\xff\xff\xff\xff" + b"\0" * 8,
     "Error reading RAS: File too short")
caso("ras", "malformed", "rle_runs_end_early.ras", ras(5, 2, 8, rle(filas_rle)[:-3], tipo=2), "Error reading RAS: File too short")
caso("ras", "malformed", "rle_escape_at_the_end.ras", ras(2, 1, 8, b"\x01\x80", tipo=2), "Error reading RAS: File too short")
caso("ras", "malformed", "rle_length_beyond_file.ras", ras(2, 1, 8, b"\x01\x02", tipo=2, largo=1000),
     "Error reading RAS: File too short")
# 1 GB of pixels claimed from a few runs: more than runs of that many bytes can give.
caso("ras", "malformed", "rle_32768_square_from_30_bytes.ras", ras(32768, 32768, 8, b"\x80\xff\x00" * 10, tipo=2),
     "Error reading RAS: File too short")
caso("ras", "malformed", "colour_map_1000_entries.ras",
     ras(3, 1, 8, b"\x00\x01\xff\x00", mapa=bytes(1000) + bytes((255,)) * 1000 + bytes(1000)),
     ok(3, 1, 8, [[(0, 255, 0), (0, 255, 0), (0, 255, 0)]]))
caso("ras", "malformed", "map_of_2_bytes.ras", ras(3, 1, 8, b"\x00\x01\x02\x00", mapa=b"\x01\x02"),
     ok(3, 1, 8, [[(0, 0, 0), (1, 1, 1), (2, 2, 2)]]))

# ---------------------------------------------------------------- JPEG


def convierte(*argumentos):
    with tempfile.TemporaryDirectory() as d:
        destino = os.path.join(d, "salida.jpg")
        subprocess.run(["convert", *argumentos, destino], check=True)
        with open(destino, "rb") as f:
            return f.read()


def segmentos(jpg):
    """(marker, start, end) of every segment before the scan data."""
    i, lista = 2, []
    while i < len(jpg) and jpg[i] == 0xFF:
        marca = jpg[i + 1]
        largo = struct.unpack(">H", jpg[i + 2:i + 4])[0]
        lista.append((marca, i, i + 2 + largo))
        if marca == 0xDA:
            break
        i += 2 + largo
    return lista


JPG = convierte("-size", "16x16", "gradient:red-blue", "-quality", "90", "-strip")
SOF = next(s for s in segmentos(JPG) if s[0] == 0xC0)
SOS = next(s for s in segmentos(JPG) if s[0] == 0xDA)
DHT = next(s for s in segmentos(JPG) if s[0] == 0xC4)
EJ = "Error reading JPG"


def con_sof(alto=None, ancho=None, precision=None, componentes=None):
    b = bytearray(JPG)
    p = SOF[1] + 4
    if precision is not None:
        b[p] = precision
    if alto is not None:
        b[p + 1:p + 3] = struct.pack(">H", alto)
    if ancho is not None:
        b[p + 3:p + 5] = struct.pack(">H", ancho)
    if componentes is not None:
        b[p + 5] = componentes
    return bytes(b)


def progresiva(escaneos):
    """A 16 x 16 grey progressive JPEG of `escaneos` scans. cjpeg's scan script puts the DC and each AC
    coefficient in its own scan at half precision, then refines them, up to its own limit of 100 scans;
    past it the last scan (with its Huffman table) is repeated, as a hostile file may do: decoders
    only warn about it."""
    guion = ["0: 0 0 0 1;"] + [f"0: {k} {k} 0 1;" for k in range(1, 64)] + ["0: 0 0 1 0;"] + \
        [f"0: {k} {k} 1 0;" for k in range(1, 36)]
    with tempfile.TemporaryDirectory() as d:
        with open(os.path.join(d, "guion"), "w") as f:
            f.write("\n".join(guion[:min(escaneos, 100)]))
        subprocess.run(["convert", "-size", "16x16", "gradient:black-white", os.path.join(d, "g.pgm")], check=True)
        jpg = subprocess.run(["cjpeg", "-scans", os.path.join(d, "guion"), os.path.join(d, "g.pgm")], check=True,
                             capture_output=True).stdout
    ultimo = jpg.rindex(b"\xff\xc4")  # the last scan's table, its SOS and its data, up to EOI
    return jpg[:-2] + jpg[ultimo:-2] * (escaneos - 100) + b"\xff\xd9"


# Each scan of a progressive file is a pass over the whole picture: past 100 the file is refused
# before any is decoded.
caso("jpg", "malformed", "100_scans.jpg", progresiva(100), ok(16, 16, 8))
caso("jpg", "malformed", "101_scans.jpg", progresiva(101), EJ + ": more than 100 scans")
caso("jpg", "malformed", "empty_file.jpg", b"", EJ)
caso("jpg", "malformed", "not_a_jpeg.jpg", b"GIF89a" + bytes(100), EJ)
caso("jpg", "malformed", "start_marker_only.jpg", b"\xff\xd8", EJ)
caso("jpg", "malformed", "cut_in_the_headers.jpg", JPG[:SOF[1] + 6], EJ)
caso("jpg", "malformed", "cut_in_the_scan.jpg", JPG[:SOS[2] + (len(JPG) - SOS[2]) // 2], EJ)
caso("jpg", "malformed", "no_end_marker.jpg", JPG[:-2], ok(16, 16, 24))
caso("jpg", "malformed", "width_0.jpg", con_sof(ancho=0), EJ)
caso("jpg", "malformed", "height_0.jpg", con_sof(alto=0), EJ)
caso("jpg", "malformed", "65500x65500_from_a_small_file.jpg", con_sof(alto=65500, ancho=65500), EJ)
caso("jpg", "malformed", "32768x32768_from_a_small_file.jpg", con_sof(alto=32768, ancho=32768), EJ)
caso("jpg", "malformed", "16000x16000_from_a_small_file.jpg", con_sof(alto=16000, ancho=16000), EJ)
caso("jpg", "malformed", "precision_12.jpg", con_sof(precision=12), EJ)
caso("jpg", "malformed", "components_0.jpg", con_sof(componentes=0), EJ)
caso("jpg", "malformed", "huffman_counts_overflow.jpg", JPG[:DHT[1] + 5] + b"\xff" * 16 + JPG[DHT[1] + 21:], EJ)
caso("jpg", "malformed", "scan_data_garbage.jpg", JPG[:SOS[2]] + bytes((i * 37) % 255 for i in range(200)) + b"\xff\xd9", EJ)

# ---------------------------------------------------------------- TIFF


def tiff(ancho, alto, etiquetas, datos, desplazamiento_ifd=None):
    """etiquetas: {tag: (type, [values])}. Header, directory, long values, then the strip
    data last; a value of None for tag 273 points at the data."""
    formatos = {1: "B", 3: "H", 4: "I"}
    n = len(etiquetas)
    fin_ifd = 8 + 2 + 12 * n + 4
    cargas = {}
    for tag, (tipo, valores) in etiquetas.items():
        cargas[tag] = struct.pack("<" + formatos[tipo] * len(valores or [0]), *(valores or [0]))
    extra_total = sum(len(c) for c in cargas.values() if len(c) > 4)
    inicio_datos = fin_ifd + extra_total
    entradas, extra = b"", b""
    for tag in sorted(etiquetas):
        tipo, valores = etiquetas[tag]
        if tag == 273 and valores is None:
            cargas[tag] = struct.pack("<I", inicio_datos)
        carga = cargas[tag]
        cuenta = len(carga) // struct.calcsize(formatos[tipo])
        if len(carga) <= 4:
            entradas += struct.pack("<HHI", tag, tipo, cuenta) + carga.ljust(4, b"\0")
        else:
            entradas += struct.pack("<HHII", tag, tipo, cuenta, fin_ifd + len(extra))
            extra += carga
    ifd = 8 if desplazamiento_ifd is None else desplazamiento_ifd
    return b"II*\x00" + struct.pack("<I", ifd) + struct.pack("<H", n) + entradas + b"\0\0\0\0" + extra + datos


def etiquetas_tiff(ancho, alto, bps, spp, foto, bytes_tira, extra=None):
    e = {256: (4, [ancho]), 257: (4, [alto]), 258: (3, [bps] * spp), 259: (3, [1]), 262: (3, [foto]),
         273: (4, None), 277: (3, [spp]), 278: (4, [alto]), 279: (4, [bytes_tira])}
    e.update(extra or {})
    return e


def planos_separados():
    """Two RGB pixels stored as three one-plane strips."""
    e = etiquetas_tiff(2, 1, 8, 3, 2, 6, {284: (3, [2]), 273: (4, [0, 0, 0]), 279: (4, [2, 2, 2])})
    datos = b"\xff\x00\x00\x00\x00\xff"
    inicio = len(tiff(2, 1, e, datos)) - len(datos)
    e[273] = (4, [inicio, inicio + 2, inicio + 4])
    return tiff(2, 1, e, datos)


RGBT = b"".join(bytes(c) for f in pic for c in f)
VALIDO_TIF = tiff(3, 2, etiquetas_tiff(3, 2, 8, 3, 2, len(RGBT)), RGBT)
paleta16 = {320: (3, [v * 257 for v in ([255, 0, 0] + [0] * 13) + ([0, 255, 0] + [0] * 13) + ([0, 0, 255] + [0] * 13)])}
ind4 = bytes((0x01, 0x20, 0x12, 0x00))
caso("tif", "built", "rgb_strip.tif", VALIDO_TIF, ok(3, 2, 24, pic))
caso("tif", "built", "palette_4_bit.tif", tiff(3, 2, etiquetas_tiff(3, 2, 4, 1, 3, 4, paleta16), ind4),
     ok(3, 2, 4, [[ROJO, VERDE, AZUL], [VERDE, AZUL, ROJO]]))
caso("tif", "built", "white_is_zero_1_bit.tif", tiff(8, 1, etiquetas_tiff(8, 1, 1, 1, 0, 1), b"\x0f"),
     ok(8, 1, 1, [[BLANCO] * 4 + [NEGRO] * 4]))
caso("tif", "built", "rgba_unassociated.tif",
     tiff(2, 1, etiquetas_tiff(2, 1, 8, 4, 2, 8, {338: (3, [2])}), b"\xff\x00\x00\x80\x00\x00\xff\xff"),
     ok(2, 1, 32, [[ROJO, AZUL]]))
caso("tif", "built", "grey_16_bit.tif", tiff(2, 1, etiquetas_tiff(2, 1, 16, 1, 1, 4), b"\x00\x00\xff\xff"),
     ok(2, 1, 24, [[NEGRO, BLANCO]]))
caso("tif", "built", "rgb_separate_planes.tif",
     planos_separados(), ok(2, 1, 24, [[ROJO, AZUL]]))
caso("tif", "built", "unknown_tag.tif", tiff(3, 2, etiquetas_tiff(3, 2, 8, 3, 2, len(RGBT), {65000: (3, [7])}), RGBT),
     ok(3, 2, 24, pic))
ET = "Error reading TIF header *"
caso("tif", "malformed", "empty_file.tif", b"", ET)
caso("tif", "malformed", "not_a_tiff.tif", b"GIF89a" + bytes(100), ET)
caso("tif", "malformed", "header_cut.tif", VALIDO_TIF[:6], ET)
caso("tif", "malformed", "directory_beyond_file.tif", tiff(3, 2, etiquetas_tiff(3, 2, 8, 3, 2, 18), RGBT, 1 << 30), ET)
caso("tif", "malformed", "directory_cut.tif", VALIDO_TIF[:-30], ET)
caso("tif", "malformed", "width_0.tif", tiff(0, 2, etiquetas_tiff(0, 2, 8, 3, 2, 18), RGBT), ET)
caso("tif", "malformed", "width_missing.tif",
     tiff(3, 2, {k: v for k, v in etiquetas_tiff(3, 2, 8, 3, 2, 18).items() if k != 256}, RGBT), ET)
caso("tif", "malformed", "32768x32768_claimed.tif", tiff(32768, 32768, etiquetas_tiff(32768, 32768, 8, 3, 2, 18), RGBT), ET)
caso("tif", "malformed", "strip_beyond_file.tif",
     tiff(3, 2, etiquetas_tiff(3, 2, 8, 3, 2, 18, {273: (4, [1 << 20])}), RGBT), "Error reading TIF bits")
caso("tif", "malformed", "strip_cut.tif", VALIDO_TIF[:-9], "Error reading TIF bits")
caso("tif", "malformed", "compression_12345.tif", tiff(3, 2, etiquetas_tiff(3, 2, 8, 3, 2, 18, {259: (3, [12345])}), RGBT),
     "Error reading TIF header unsupported compression")
caso("tif", "malformed", "bits_per_sample_3.tif", tiff(3, 2, etiquetas_tiff(3, 2, 3, 1, 1, 3), RGBT), ET)
# libtiff reads an 8-bit palette image without its colour map as grey.
caso("tif", "malformed", "palette_without_colormap.tif", tiff(3, 2, etiquetas_tiff(3, 2, 8, 1, 3, 6), RGBT[:6]),
     ok(3, 2, 8, [[(v, v, v) for v in RGBT[f * 3:f * 3 + 3]] for f in range(2)]))
caso("tif", "malformed", "cmyk_16_bit.tif", tiff(1, 1, etiquetas_tiff(1, 1, 16, 4, 5, 8), bytes(8)), ET)
caso("tif", "malformed", "samples_per_pixel_0.tif", tiff(3, 2, etiquetas_tiff(3, 2, 8, 0, 2, 18), RGBT), ET)
caso("tif", "malformed", "lzw_garbage.tif", tiff(3, 2, etiquetas_tiff(3, 2, 8, 3, 2, 18, {259: (3, [5])}), bytes(range(18))),
     "Error reading TIF bits")


def comprueba_con_imagemagick(formato):
    """ImageMagick's decoding of each valid file of the folder must give its listed pixels
    (within one step of a short bit field)."""
    for nombre, (datos, resultado) in CASOS[(formato, "built")].items():
        with tempfile.TemporaryDirectory() as d:
            ruta = os.path.join(d, nombre)
            with open(ruta, "wb") as f:
                f.write(datos)
            rgb = subprocess.run(["convert", ruta, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        esperado = ESPERADOS_RGB[resultado]
        assert len(rgb) == len(esperado), nombre
        assert all(abs(a - b) <= PASO_IM.get(nombre, 0) for a, b in zip(rgb, esperado)), (nombre, rgb, esperado)


def main():
    comprueba_con_imagemagick("bmp")
    for (formato, carpeta), casos in sorted(CASOS.items()):
        escribe_corpus(os.path.join(AQUI, formato, carpeta), casos)
        print(formato, carpeta, len(casos), "files")


if __name__ == "__main__":
    main()
