// qorgeotiff.so: the TIFF codec module, libtiff behind the program's reader record.
// Palette and grey images of 1, 4 or 8 bits and 8-bit RGB(A) in strips are read line by
// line straight into the bitmap rows; everything else libtiff can turn into RGBA (tiles,
// 16-bit samples, YCbCr, CMYK, separate planes...) goes through its RGBA reader one
// strip or one tile at a time. Rows are stored top-down, colours red first. libtiff's
// errors are kept for _Get_TIFF_Error and its warnings dropped.
#include "image/Limites_imagen.h"
#include "image/codecs/Registros_codec.h"
#include "support/Descriptor_regular.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Fax, LZW and deflate codes give far fewer bytes than this per byte of the file.
constexpr uint64_t proporcionTIFF = 8192;
constexpr tmsize_t asignacionMaxima = tmsize_t{1} << 28;

char ultimoError[512] = "";

int GuardaError(TIFF*, void*, const char* modulo, const char* formato, va_list argumentos) {
    int n = 0;
    if (modulo) n = std::snprintf(ultimoError, sizeof ultimoError, "%s: ", modulo);
    n = std::clamp(n, 0, static_cast<int>(sizeof ultimoError) - 1);
    std::vsnprintf(ultimoError + n, sizeof ultimoError - static_cast<size_t>(n), formato, argumentos);
    return 1;
}

int CallaAviso(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

void Error(const char* texto) {
    std::snprintf(ultimoError, sizeof ultimoError, "%s", texto);
}

struct TEstadoTIFF {
    TIFF* tif = nullptr;
    bool rgba = false; // through libtiff's RGBA reader
    int32_t bytesFila = 0;
    ~TEstadoTIFF() {
        if (tif) TIFFClose(tif);
    }
};

// The TIFF takes over the descriptor (TIFFClose closes it).
TIFF* Abre(const char* nombre) {
    const int fd = AbreLecturaRegular(nombre);
    if (fd < 0) return nullptr;
    TIFFOpenOptions* opciones = TIFFOpenOptionsAlloc();
    TIFF* tif = nullptr;
    if (opciones) {
        TIFFOpenOptionsSetMaxSingleMemAlloc(opciones, asignacionMaxima);
        TIFFOpenOptionsSetErrorHandlerExtR(opciones, GuardaError, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(opciones, CallaAviso, nullptr);
        tif = TIFFFdOpenExt(fd, nombre, "r", opciones);
        TIFFOpenOptionsFree(opciones);
    }
    if (!tif) ::close(fd);
    return tif;
}

uint64_t TamanoFichero(TIFF* tif) {
    struct stat datos {};
    if (::fstat(TIFFFileno(tif), &datos) != 0 || datos.st_size < 0) return 0;
    return static_cast<uint64_t>(datos.st_size);
}

// A grey ramp over the depth's entries, dark to light (or light to dark).
void Rampa(TRegistroTIFF* r, int bits, bool invertida) {
    r->numColores = 1 << bits;
    for (int i = 0; i < r->numColores; ++i) {
        const int v = i * 255 / (r->numColores - 1);
        const auto g = static_cast<uint8_t>(invertida ? 255 - v : v);
        r->paleta[i][0] = r->paleta[i][1] = r->paleta[i][2] = g;
        r->paleta[i][3] = 0;
    }
}

bool Paleta(TIFF* tif, TRegistroTIFF* r, int bits) {
    uint16_t* rojo = nullptr;
    uint16_t* verde = nullptr;
    uint16_t* azul = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &rojo, &verde, &azul)) return false;
    r->numColores = 1 << bits;
    // Some writers store 8-bit values in the 16-bit map.
    bool ocho = true;
    for (int i = 0; i < r->numColores && ocho; ++i)
        ocho = rojo[i] < 256 && verde[i] < 256 && azul[i] < 256;
    const int desplaza = ocho ? 0 : 8;
    for (int i = 0; i < r->numColores; ++i) {
        r->paleta[i][0] = static_cast<uint8_t>(azul[i] >> desplaza);
        r->paleta[i][1] = static_cast<uint8_t>(verde[i] >> desplaza);
        r->paleta[i][2] = static_cast<uint8_t>(rojo[i] >> desplaza);
        r->paleta[i][3] = 0;
    }
    return true;
}

// The depth of a file read line by line into the bitmap, or 0 for the RGBA reader.
int ProfundidadDirecta(TIFF* tif, TRegistroTIFF* r) {
    uint16_t muestras = 1, bits = 1, planos = PLANARCONFIG_CONTIG, fotometria = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &muestras);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planos);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &fotometria) || TIFFIsTiled(tif) ||
        (planos != PLANARCONFIG_CONTIG && muestras > 1))
        return 0;
    if (muestras == 1 && (bits == 1 || bits == 4 || bits == 8)) {
        if (fotometria == PHOTOMETRIC_PALETTE) return Paleta(tif, r, bits) ? bits : 0;
        if (fotometria != PHOTOMETRIC_MINISBLACK && fotometria != PHOTOMETRIC_MINISWHITE) return 0;
        Rampa(r, bits, fotometria == PHOTOMETRIC_MINISWHITE);
        return bits;
    }
    if (fotometria == PHOTOMETRIC_RGB && bits == 8 && (muestras == 3 || muestras == 4)) return 8 * muestras;
    return 0;
}

// The RGBA reader's depth: 32 when the file has alpha, else 24; 0 when it cannot read the file.
int ProfundidadRGBA(TIFF* tif) {
    // Starting the reader is the test: it fails for layouts it has no routine for.
    char mensaje[1024] = "";
    TIFFRGBAImage img;
    if (!TIFFRGBAImageOK(tif, mensaje) || !TIFFRGBAImageBegin(&img, tif, 0, mensaje)) {
        Error(mensaje);
        return 0;
    }
    const bool alfa = img.alpha != 0;
    TIFFRGBAImageEnd(&img);
    return alfa ? 32 : 24;
}

// A colour premultiplied by its alpha, as associated alpha stores it and as libtiff's RGBA
// reader gives every colour with alpha, back to the colour itself (the bitmap's alpha is
// unassociated, as PNG's).
uint32_t Desmultiplica(uint32_t c, uint32_t alfa) {
    return alfa == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + alfa / 2) / alfa);
}

// True for RGB with alpha whose colours are stored premultiplied (associated alpha).
bool AlfaAsociada(TIFF* tif) {
    uint16_t cuantas = 0;
    uint16_t* tipos = nullptr;
    return TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &cuantas, &tipos) && cuantas > 0 &&
           tipos[0] == EXTRASAMPLE_ASSOCALPHA;
}

bool LeeDirecto(TEstadoTIFF& e, TRegistroTIFF* r, uint32_t alto) {
    if (TIFFScanlineSize(e.tif) > e.bytesFila) return false;
    const bool asociada = r->bitsPixel == 32 && AlfaAsociada(e.tif);
    for (uint32_t y = 0; y < alto; ++y) {
        uint8_t* fila = r->pixeles + static_cast<size_t>(y) * static_cast<size_t>(e.bytesFila);
        if (TIFFReadScanline(e.tif, fila, y, 0) < 0) return false;
        for (int32_t x = 0; asociada && x < r->ancho; ++x, fila += 4)
            for (int c = 0; c < 3 && fila[3] < 255; ++c)
                fila[c] = static_cast<uint8_t>(Desmultiplica(fila[c], fila[3]));
        if (r->progresoHechas) ++*r->progresoHechas;
        if (r->cancelado && *r->cancelado) return false;
    }
    return true;
}

// Copies `filas` rows of `ancho` RGBA pixels (rows `paso` pixels apart) into the bitmap
// at row y, column x.
void CopiaRGBA(TEstadoTIFF& e, TRegistroTIFF* r, const uint32_t* q, uint32_t paso, uint32_t x, uint32_t y,
               uint32_t ancho, uint32_t filas, bool asociada) {
    const int bytesPixel = r->bitsPixel / 8;
    for (uint32_t f = 0; f < filas; ++f, q += paso) {
        uint8_t* p = r->pixeles + static_cast<size_t>(y + f) * static_cast<size_t>(e.bytesFila) +
                     static_cast<size_t>(x) * static_cast<size_t>(bytesPixel);
        for (uint32_t i = 0; i < ancho; ++i, p += bytesPixel) {
            const uint32_t alfa = TIFFGetA(q[i]);
            const bool desmultiplica = asociada && alfa < 255;
            p[0] = static_cast<uint8_t>(desmultiplica ? Desmultiplica(TIFFGetR(q[i]), alfa) : TIFFGetR(q[i]));
            p[1] = static_cast<uint8_t>(desmultiplica ? Desmultiplica(TIFFGetG(q[i]), alfa) : TIFFGetG(q[i]));
            p[2] = static_cast<uint8_t>(desmultiplica ? Desmultiplica(TIFFGetB(q[i]), alfa) : TIFFGetB(q[i]));
            if (bytesPixel == 4) p[3] = static_cast<uint8_t>(alfa);
        }
    }
}

// The picture in pieces that match the file's strips (the whole width, a strip's rows)
// or tiles (one tile), so that each is decoded once and the buffer is never larger than
// the image or one tile.
bool LeeRGBA(TEstadoTIFF& e, TRegistroTIFF* r, uint32_t ancho, uint32_t alto) {
    uint32_t altoPieza = 0;
    uint32_t anchoPieza = ancho;
    if (TIFFIsTiled(e.tif)) {
        TIFFGetField(e.tif, TIFFTAG_TILELENGTH, &altoPieza);
        TIFFGetField(e.tif, TIFFTAG_TILEWIDTH, &anchoPieza);
    } else {
        TIFFGetFieldDefaulted(e.tif, TIFFTAG_ROWSPERSTRIP, &altoPieza);
    }
    altoPieza = std::clamp<uint32_t>(altoPieza, 1, alto);
    anchoPieza = std::clamp<uint32_t>(anchoPieza, 1, ancho);
    char mensaje[1024] = "";
    TIFFRGBAImage img;
    if (!TIFFRGBAImageBegin(&img, e.tif, 0, mensaje)) {
        Error(mensaje);
        return false;
    }
    img.req_orientation = ORIENTATION_TOPLEFT;
    std::unique_ptr<uint32_t[]> trama(new (std::nothrow)
                                          uint32_t[static_cast<size_t>(anchoPieza) * altoPieza]);
    bool correcto = trama != nullptr;
    for (uint32_t y = 0; correcto && y < alto; y += altoPieza) {
        const uint32_t filas = std::min(altoPieza, alto - y);
        for (uint32_t x = 0; correcto && x < ancho; x += anchoPieza) {
            const uint32_t columnas = std::min(anchoPieza, ancho - x);
            img.row_offset = static_cast<int>(y);
            img.col_offset = static_cast<int>(x);
            correcto = TIFFRGBAImageGet(&img, trama.get(), columnas, filas) != 0;
            if (correcto) CopiaRGBA(e, r, trama.get(), columnas, x, y, columnas, filas, img.alpha != 0);
        }
        if (r->progresoHechas) *r->progresoHechas += static_cast<int32_t>(filas);
        if (r->cancelado && *r->cancelado) correcto = false;
    }
    TIFFRGBAImageEnd(&img);
    return correcto;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int _Lee_GeoTIFF(const char*, TBufferGeoTIFF* buffer) {
    // This module keeps no georeferencing; it answers the version it understands.
    if (!buffer || buffer->version != versionGeoTIFF) return 0;
    std::memset(buffer->datos, 0, sizeof buffer->datos);
    return 1;
}

__attribute__((visibility("default"))) int _Lee_Cabecera_TIFF(const char* nombre, TRegistroTIFF* r) {
    if (!r || !nombre) return 0;
    Error("");
    auto e = std::make_unique<TEstadoTIFF>();
    e->tif = Abre(nombre);
    if (!e->tif) {
        if (!*ultimoError) Error("cannot open the file");
        return 0;
    }
    uint16_t compresion = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(e->tif, TIFFTAG_COMPRESSION, &compresion);
    if (!TIFFIsCODECConfigured(compresion)) {
        Error("unsupported compression");
        return 0;
    }
    uint32_t ancho = 0, alto = 0;
    TIFFGetField(e->tif, TIFFTAG_IMAGEWIDTH, &ancho);
    TIFFGetField(e->tif, TIFFTAG_IMAGELENGTH, &alto);
    int bits = ProfundidadDirecta(e->tif, r);
    e->rgba = bits == 0;
    if (e->rgba) {
        r->numColores = 0;
        bits = ProfundidadRGBA(e->tif);
        if (!bits) return 0;
    }
    const int64_t fila = BytesFilaDib(ancho, bits);
    if (!ImagenAdmisible(ancho, alto, bits) ||
        !CabeEnDatos(static_cast<uint64_t>(fila) * alto, TamanoFichero(e->tif), proporcionTIFF)) {
        Error("image size out of range");
        return 0;
    }
    r->pixeles = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(fila) * alto, 1));
    if (!r->pixeles) {
        Error("out of memory");
        return 0;
    }
    r->ancho = static_cast<int32_t>(ancho);
    r->alto = -static_cast<int32_t>(alto);
    r->bitsPixel = bits;
    e->bytesFila = static_cast<int32_t>(fila);
    r->interno = e.release();
    return 1;
}

__attribute__((visibility("default"))) int _Lee_Bits_TIFF(TRegistroTIFF* r) {
    if (!r || !r->interno || !r->pixeles) return 0;
    auto& e = *static_cast<TEstadoTIFF*>(r->interno);
    const auto ancho = static_cast<uint32_t>(r->ancho);
    const auto alto = static_cast<uint32_t>(-r->alto);
    if (r->progresoTotal) *r->progresoTotal = static_cast<int32_t>(alto);
    if (r->progresoHechas) *r->progresoHechas = 0;
    return (e.rgba ? LeeRGBA(e, r, ancho, alto) : LeeDirecto(e, r, alto)) ? 1 : 0;
}

__attribute__((visibility("default"))) void _Cierra_TIFF(TRegistroTIFF* r) {
    if (!r) return;
    delete static_cast<TEstadoTIFF*>(r->interno);
    std::free(r->pixeles);
    r->interno = nullptr;
    r->pixeles = nullptr;
}

__attribute__((visibility("default"))) const char* _Get_TIFF_Error() {
    return ultimoError;
}

} // extern "C"
