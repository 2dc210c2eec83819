// The GIF decoder: the block loop of the stream, the palette, and an LZW decoder that
// writes each code's string straight into a line buffer. Every byte comes through a
// bounded read buffer that reports the end of the file; the LZW tables are only ever
// indexed by codes below 4096, and every table entry points at a lower code, so no
// string walk can loop or leave the tables.
#include "image/Gif.h"

#include "image/Fichero_imagen.h"
#include "image/Orden_bytes.h"
#include "support/Monitor_procesos.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int32_t tamanoBuffer = 16384;
constexpr int32_t maxCodigos = 4096;
constexpr int32_t maxBitsCodigo = 12;
constexpr int32_t pasadasEntrelazado = 4;
// An LZW code has at least 3 bits and yields at most 4096 pixels.
constexpr uint64_t pixelesPorByte = 8 * maxCodigos / 3 + 1;

// Packs a line of one-byte pixels in place at 1 or 4 bits per pixel, most significant first.
void Empaqueta(uint8_t* linea, int32_t n, int32_t bits) {
    if (bits == 4) {
        for (int32_t x = 0; x < n; x += 2) {
            const int alto = linea[x] & 0x0F;
            const int bajo = x + 1 < n ? linea[x + 1] & 0x0F : 0;
            linea[x / 2] = static_cast<uint8_t>(alto << 4 | bajo);
        }
    } else if (bits == 1) {
        for (int32_t i = 0; i * 8 < n; ++i) {
            int v = 0;
            for (int32_t b = 0; b < 8 && i * 8 + b < n; ++b)
                v |= (linea[i * 8 + b] & 1) << (7 - b);
            linea[i] = static_cast<uint8_t>(v);
        }
    }
}

class TLectorGIF {
public:
    TLectorGIF(std::FILE* f, TDibIG& d, TMonitorProcesos* p) : fichero(f), destino(d), progreso(p) {}
    // True when the file is a GIF and its first image was found (decoded whole or in part).
    // With `medidas`, only the first image's descriptor is read, into it.
    bool Lee(TMedidasImagen* medidas = nullptr);

private:
    bool Rellena();
    int LeeByte();
    size_t LeeBytes(uint8_t* d, size_t n);
    void Salta(int32_t n);
    uint64_t BytesRestantes();

    bool SaltaExtension();
    bool LeeTabla(int32_t entradas);
    bool LeeDescriptor(TMedidasImagen* medidas);
    bool PreparaDestino(int32_t ancho, int32_t alto);

    int ByteDatos();
    bool Recarga();
    int32_t LeeCodigo(int32_t tamano);
    void Decodifica(int minimo, int32_t ancho);
    bool EscribeLinea(uint8_t* linea, int32_t pixeles);

    std::FILE* fichero;
    TDibIG& destino;
    TMonitorProcesos* progreso;
    std::unique_ptr<CImageIterator> iterador;
    int32_t bitsPixel = 8;
    int32_t transparente = -1;

    // The palette of the file (global, then local) before it goes into the bitmap.
    std::array<TColorPaleta, 256> paleta{};
    int32_t tamanoTabla = 2;
    bool hayTabla = false;

    // Interlace state.
    bool entrelazada = false;
    int32_t filaEntrelazada = 0;
    int32_t paso = 8;
    int32_t alto = 0;
    int32_t pasadas = 0;

    // LZW tables: each code's last byte, the code before it and the length of its string.
    std::array<uint8_t, maxCodigos> sufijo{};
    std::array<uint16_t, maxCodigos> prefijo{};
    std::array<uint16_t, maxCodigos> largo{};

    // Read buffer and the image data's sub-blocks.
    std::array<uint8_t, tamanoBuffer> buffer{};
    int32_t posicion = 0;
    int32_t disponibles = 0;
    int32_t restantesSubbloque = 0;
    bool finDatos = false;
    uint64_t acumulador = 0;
    int32_t bitsAcumulados = 0;
};

bool TLectorGIF::Rellena() {
    posicion = 0;
    disponibles = static_cast<int32_t>(std::fread(buffer.data(), 1, buffer.size(), fichero));
    return disponibles > 0;
}

int TLectorGIF::LeeByte() {
    if (posicion == disponibles && !Rellena()) return -1;
    return buffer[static_cast<size_t>(posicion++)];
}

size_t TLectorGIF::LeeBytes(uint8_t* d, size_t n) {
    size_t hechos = 0;
    while (hechos < n) {
        if (posicion == disponibles && !Rellena()) break;
        const size_t trozo = std::min(n - hechos, static_cast<size_t>(disponibles - posicion));
        std::memcpy(d + hechos, buffer.data() + posicion, trozo);
        posicion += static_cast<int32_t>(trozo);
        hechos += trozo;
    }
    return hechos;
}

void TLectorGIF::Salta(int32_t n) {
    while (n > 0) {
        if (posicion == disponibles && !Rellena()) return;
        const int32_t trozo = std::min(n, disponibles - posicion);
        posicion += trozo;
        n -= trozo;
    }
}

uint64_t TLectorGIF::BytesRestantes() {
    return BytesHastaFin(fichero) + static_cast<uint64_t>(disponibles - posicion);
}

bool TLectorGIF::Lee(TMedidasImagen* medidas) {
    uint8_t cabecera[13];
    if (LeeBytes(cabecera, sizeof cabecera) != sizeof cabecera || std::memcmp(cabecera, "GIF8", 4) != 0)
        return false;
    const uint8_t marcas = cabecera[10];
    tamanoTabla = 2 << (marcas & 7);
    if ((marcas & 0x80) && !LeeTabla(tamanoTabla)) return false;
    for (;;) {
        switch (LeeByte()) {
        case 0x21:
            if (!SaltaExtension()) return false;
            break;
        case 0x2C:
            return LeeDescriptor(medidas);
        default: // the trailer, damage or the end of the file: no image
            return false;
        }
    }
}

// Reads the transparent index of a graphic control extension and skips any extension's
// data sub-blocks. False when the file ends or the control block has the wrong size.
bool TLectorGIF::SaltaExtension() {
    const int etiqueta = LeeByte();
    if (etiqueta < 0) return false;
    if (etiqueta == 0xF9) {
        const int tamano = LeeByte();
        uint8_t control[4];
        if (tamano < 0 || LeeBytes(control, sizeof control) != static_cast<size_t>(tamano)) return false;
        if (control[0] & 1) transparente = control[3];
    }
    for (;;) {
        const int tamano = LeeByte();
        if (tamano <= 0) return tamano == 0;
        Salta(tamano);
    }
}

bool TLectorGIF::LeeTabla(int32_t entradas) {
    uint8_t rgb[256 * 3];
    const auto bytes = static_cast<size_t>(entradas) * 3;
    if (LeeBytes(rgb, bytes) != bytes) return false;
    for (int32_t i = 0; i < entradas; ++i)
        paleta[static_cast<size_t>(i)] = {rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
    hayTabla = true;
    return true;
}

bool TLectorGIF::LeeDescriptor(TMedidasImagen* medidas) {
    uint8_t descriptor[9];
    if (LeeBytes(descriptor, sizeof descriptor) != sizeof descriptor) return false;
    if (medidas) {
        *medidas = {LeeU16(descriptor + 4), LeeU16(descriptor + 6)};
        return true;
    }
    const uint8_t marcas = descriptor[8];
    if (marcas & 0x80) {
        tamanoTabla = 2 << (marcas & 7);
        if (!LeeTabla(tamanoTabla)) return false;
    }
    if (!PreparaDestino(LeeU16(descriptor + 4), LeeU16(descriptor + 6))) return false;
    entrelazada = (marcas & 0x40) != 0;
    Decodifica(LeeByte(), destino.Ancho());
    return true;
}

bool TLectorGIF::PreparaDestino(int32_t ancho, int32_t altoImagen) {
    bitsPixel = tamanoTabla < 3 ? 1 : (tamanoTabla < 17 ? 4 : 8);
    const auto pixeles = static_cast<uint64_t>(ancho) * static_cast<uint64_t>(altoImagen);
    if (!ImagenAdmisible(ancho, altoImagen, bitsPixel) ||
        !CabeEnDatos(pixeles, BytesRestantes(), pixelesPorByte))
        return false;
    // Without a colour table the indices show as a grey ramp.
    if (!hayTabla) {
        for (int32_t i = 0; i < tamanoTabla; ++i) {
            const auto g = static_cast<uint8_t>(i * 255 / (tamanoTabla - 1));
            paleta[static_cast<size_t>(i)] = {g, g, g, 0};
        }
    }
    const auto blanco = [](const TColorPaleta& c) {
        return c.rojo == 255 && c.verde == 255 && c.azul == 255;
    };
    int32_t entradas = tamanoTabla;
    if (transparente >= 0) {
        std::fill(paleta.begin() + tamanoTabla, paleta.end(), TColorPaleta{255, 255, 255, 0});
        if (tamanoTabla == 256 && std::none_of(paleta.begin(), paleta.end(), blanco))
            paleta[255] = {255, 255, 255, 0};
        entradas = 256;
    }
    destino.Prepara(ancho, altoImagen, bitsPixel, entradas, paleta.data());
    // The transparent index is kept as the alpha of its entry.
    if (transparente >= 0 && transparente < destino.NumColores()) {
        std::vector<uint8_t> alfa(static_cast<size_t>(destino.NumColores()), 0xFF);
        alfa[static_cast<size_t>(transparente)] = 0;
        destino.PonAlfaTabla(std::move(alfa));
    }
    if (progreso) progreso->Inicia(altoImagen);
    iterador = std::make_unique<CImageIterator>(destino);
    iterador->IrUltimaFila();
    alto = altoImagen;
    return destino.Legible();
}

// The next byte of the image data, across its sub-blocks; -1 after the terminator or at
// the end of the file.
int TLectorGIF::ByteDatos() {
    while (restantesSubbloque == 0) {
        const int tamano = finDatos ? -1 : LeeByte();
        if (tamano <= 0) {
            finDatos = true;
            return -1;
        }
        restantesSubbloque = tamano;
    }
    const int b = LeeByte();
    if (b < 0) {
        finDatos = true;
        return -1;
    }
    --restantesSubbloque;
    return b;
}

// Fills the bit accumulator as far as it goes; false when no byte came.
bool TLectorGIF::Recarga() {
    bool alguno = false;
    while (bitsAcumulados <= 56) {
        // The common case: whole bytes of the current sub-block already in the buffer.
        const int32_t n = std::min({restantesSubbloque, disponibles - posicion, (64 - bitsAcumulados) / 8});
        if (n > 0) {
            for (int32_t i = 0; i < n; ++i) {
                acumulador |= static_cast<uint64_t>(buffer[static_cast<size_t>(posicion++)])
                              << bitsAcumulados;
                bitsAcumulados += 8;
            }
            restantesSubbloque -= n;
            alguno = true;
            continue;
        }
        const int b = ByteDatos();
        if (b < 0) break;
        acumulador |= static_cast<uint64_t>(b) << bitsAcumulados;
        bitsAcumulados += 8;
        alguno = true;
    }
    return alguno;
}

int32_t TLectorGIF::LeeCodigo(int32_t tamano) {
    if (bitsAcumulados < tamano) {
        Recarga();
        if (bitsAcumulados < tamano) return -1;
    }
    const auto codigo = static_cast<int32_t>(acumulador & ((1u << tamano) - 1));
    acumulador >>= tamano;
    bitsAcumulados -= tamano;
    return codigo;
}

void TLectorGIF::Decodifica(int minimo, int32_t ancho) {
    // Codes grow to 12 bits, so the first code size is at most 12: a minimum of 11.
    if (minimo < 2 || minimo > maxBitsCodigo - 1) return;
    // Room for a whole row plus the longest string that can start near its end.
    std::unique_ptr<uint8_t[]> linea(new (std::nothrow) uint8_t[static_cast<size_t>(ancho) + maxCodigos + 1]);
    if (!linea) return;
    const int32_t limpia = 1 << minimo;
    const int32_t fin = limpia + 1;
    const int32_t primeroLibre = limpia + 2;
    for (int32_t c = 0; c < primeroLibre; ++c) {
        sufijo[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
        prefijo[static_cast<size_t>(c)] = 0;
        largo[static_cast<size_t>(c)] = 1;
    }
    int32_t tamano = minimo + 1;
    int32_t tope = 1 << tamano;
    int32_t siguiente = primeroLibre;
    // The code before, -1 when there is none: the first code of the data, and the first
    // after a clear code, make no entry (many encoders start without a clear code).
    int32_t viejo = -1;
    uint8_t primerByte = 0;
    int32_t pos = 0;
    for (;;) {
        const int32_t c = LeeCodigo(tamano);
        if (c < 0 || c == fin) break;
        if (c == limpia) {
            tamano = minimo + 1;
            tope = 1 << tamano;
            siguiente = primeroLibre;
            viejo = -1;
            continue;
        }
        if (viejo < 0) {
            viejo = c < siguiente ? c : 0;
            primerByte = static_cast<uint8_t>(viejo);
            linea[static_cast<size_t>(pos++)] = primerByte;
        } else {
            // A code past the next free entry names no string: the data is damaged.
            if (c > siguiente) break;
            // The entry about to be made (c == siguiente) is the previous string plus its
            // own first byte.
            const bool nueva = c == siguiente;
            int32_t codigo = nueva ? viejo : c;
            const int32_t n = largo[static_cast<size_t>(codigo)] + (nueva ? 1 : 0);
            if (nueva) linea[static_cast<size_t>(pos + n - 1)] = primerByte;
            uint8_t* p = linea.get() + pos + largo[static_cast<size_t>(codigo)] - 1;
            while (codigo >= primeroLibre) {
                *p-- = sufijo[static_cast<size_t>(codigo)];
                codigo = prefijo[static_cast<size_t>(codigo)];
            }
            *p = static_cast<uint8_t>(codigo);
            primerByte = *p;
            pos += n;
            // A full table takes no more entries until the next clear code.
            if (siguiente < tope) {
                const auto s = static_cast<size_t>(siguiente);
                sufijo[s] = primerByte;
                prefijo[s] = static_cast<uint16_t>(viejo);
                largo[s] = static_cast<uint16_t>(largo[static_cast<size_t>(viejo)] + 1);
                ++siguiente;
            }
            viejo = c;
            if (siguiente >= tope && tamano < maxBitsCodigo) {
                tope <<= 1;
                ++tamano;
            }
        }
        while (pos >= ancho) {
            if (!EscribeLinea(linea.get(), ancho)) return;
            pos -= ancho;
            std::memmove(linea.get(), linea.get() + ancho, static_cast<size_t>(pos));
        }
    }
    if (pos > 0) EscribeLinea(linea.get(), pos);
}

// Writes one decoded line (or the part of one that the data held); false when it belongs
// to no row of the image, which ends the decoding.
bool TLectorGIF::EscribeLinea(uint8_t* linea, int32_t pixeles) {
    Empaqueta(linea, pixeles, bitsPixel);
    const int32_t bytes = (pixeles * bitsPixel + 7) / 8;
    // A cancel ends the decoding; the rows written so far stay, as after damage.
    if (progreso) {
        if (progreso->cancelado) return false;
        progreso->Avanza(1);
    }
    if (!entrelazada) {
        if (!iterador->Dentro()) return false;
        iterador->CopiaFila(linea, bytes);
        iterador->FilaAnterior();
        return true;
    }
    // Rows 0, 8, 16, ... then 4, 12, ... then 2, 6, ... then 1, 3, 5, ...
    if (pasadas >= pasadasEntrelazado || !iterador->IrFila(alto - filaEntrelazada - 1)) return false;
    iterador->CopiaFila(linea, bytes);
    filaEntrelazada += paso;
    while (filaEntrelazada >= alto && pasadas < pasadasEntrelazado) {
        if (++pasadas >= 2) paso /= 2;
        filaEntrelazada = paso / 2;
    }
    return true;
}

} // namespace

CImageIterator::CImageIterator(TDibIG& d)
    : destino(d), bytesFila(d.Legible() ? d.BytesFila() : 0), alto(d.Legible() ? d.AltoAbsoluto() : 0) {}

void CImageIterator::IrUltimaFila() {
    x = 0;
    y = alto - 1;
}

bool CImageIterator::IrFila(int32_t fila) {
    if (fila < 0 || fila >= alto) return false;
    y = fila;
    return true;
}

bool CImageIterator::Dentro() const {
    return bytesFila > 0 && x >= 0 && x < destino.Ancho() && y >= 0 && y < alto;
}

void CImageIterator::CopiaFila(const uint8_t* origen, int32_t n) {
    if (!Dentro()) return;
    const int32_t bytes = n < 0 ? bytesFila : std::min(n, bytesFila);
    std::memcpy(destino.Bits() + static_cast<size_t>(y) * static_cast<size_t>(bytesFila), origen,
                static_cast<size_t>(bytes));
}

bool CImageIterator::FilaAnterior() {
    --y;
    return y >= 0;
}

TResultado<void> LeeGIF(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    const TFicheroC fichero = AbreLectura(nombre);
    if (!fichero) return FalloNombrando(TCausa::entradaSalida, "Error opening ", nombre);
    // About 60 KB of tables and buffers: kept off the stack.
    const auto lector = std::make_unique<TLectorGIF>(fichero.get(), destino, progreso);
    if (lector->Lee()) return {};
    return FalloNombrando(TCausa::entrada, "Error 2 opening ", nombre);
}

bool MideGIF(const char* nombre, TMedidasImagen& medidas) {
    const TFicheroC fichero = AbreLectura(nombre);
    TDibIG nada;
    return fichero && std::make_unique<TLectorGIF>(fichero.get(), nada, nullptr)->Lee(&medidas);
}
