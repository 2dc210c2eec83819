#include "image/Tdibig.h"

#include "image/Orden_bytes.h"
#include "support/Throw_qor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr const char* textoSinMemoria = "TXOutOfMemory::Raise()";
constexpr const char* textoCabeceraInvalida = "TXGdi::Raise(IDS_INVALIDDIBHANDLE)";
constexpr size_t tamanoCabecera = sizeof(TCabeceraDIB);
constexpr size_t tamanoMascaras = 3 * sizeof(uint32_t);
// Image sizes travel in u32 header fields and i32 progress counters.
constexpr uint64_t bloqueMaximo = std::numeric_limits<int32_t>::max();
// The colour reserved by ReduceA256 for index 0.
constexpr uint32_t colorReservado = ColorRGB(99, 99, 99);

int64_t AltoSinSigno(int32_t alto) {
    return alto < 0 ? -static_cast<int64_t>(alto) : alto;
}

// Stride x |height| for an image built by the program; raises when it cannot be held.
uint32_t TamanoImagenCreada(int32_t ancho, int32_t alto, int32_t bits) {
    const int64_t fila = BytesFilaDib(ancho, bits);
    if (fila < 0) LanzaTexto(textoSinMemoria);
    const uint64_t tamano = static_cast<uint64_t>(fila) * static_cast<uint64_t>(AltoSinSigno(alto));
    if (tamano > bloqueMaximo) LanzaTexto(textoSinMemoria);
    return static_cast<uint32_t>(tamano);
}

// The header of an image that the program builds, without compression; the caller
// sizes its colour table.
TCabeceraDIB CabeceraCreada(int32_t ancho, int32_t alto, int32_t bits) {
    TCabeceraDIB cabecera;
    cabecera.ancho = ancho;
    cabecera.alto = alto;
    cabecera.bitsPixel = static_cast<uint16_t>(bits);
    cabecera.tamanoImagen = TamanoImagenCreada(ancho, alto, bits);
    return cabecera;
}

// The palette indices (1 to 254) of the colours of a picture reduced to 256 colours, in
// a table of fixed size with open addressing: it never fills (at most 254 of its 512
// places are taken) and takes nothing from the heap, so a small picture's load costs
// no more than its bitmap.
class TIndicesColor {
public:
    // The colour's index; 0 when it has none.
    uint8_t Indice(uint32_t color) const { return indices[Lugar(color)]; }
    void Pon(uint32_t color, uint8_t indice) {
        const size_t i = Lugar(color);
        colores[i] = color;
        indices[i] = indice;
    }

private:
    static constexpr size_t lugares = 512;
    // Where the colour is, or the free place where it would go.
    size_t Lugar(uint32_t color) const {
        size_t i = (color * 2654435761u) >> 23;
        while (indices[i] != 0 && colores[i] != color)
            i = (i + 1) % lugares;
        return i;
    }
    std::array<uint32_t, lugares> colores{};
    std::array<uint8_t, lugares> indices{}; // 0: a free place
};

// Zero-filled, so that gaps a reader leaves (and padding bytes) never hold stale memory.
TBloqueDib NuevoBloque(uint64_t tamano) {
    if (tamano > bloqueMaximo) LanzaTexto(textoSinMemoria);
    auto* p = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(tamano), 1));
    if (!p) LanzaTexto(textoSinMemoria);
    return TBloqueDib(p);
}

// Colours of the table that a header describes (colours used, or the depth's full table).
uint64_t ColoresDeCabecera(const TCabeceraDIB& c) {
    if (c.coloresUsados) return c.coloresUsados;
    return static_cast<uint64_t>(std::max(TDibIG::ColoresPorBits(c.bitsPixel), 0));
}

// Colour-table size that Crea and Prepara give a depth when none is asked for: the full
// table of a palette depth, including 2 bits, which no file here stores; none otherwise.
int32_t ColoresPorDefecto(int32_t bits) {
    return bits == 2 ? 4 : std::max(TDibIG::ColoresPorBits(bits), 0);
}

void PonPalabra(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

TColorPaleta EntradaDe(uint32_t color) {
    return {AzulDe(color), VerdeDe(color), RojoDe(color), 0};
}

int32_t Trunca(double v) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return -1; // far outside any image
    return static_cast<int32_t>(v);
}

} // namespace

TReceptorDibIG::~TReceptorDibIG() = default;

TDibIG::TDibIG() = default;

TDibIG::TDibIG(const TDibIG& memoria, bool convierte16, bool abajoArriba) {
    DesdeBitmap(memoria, convierte16, abajoArriba);
}

TDibIG::~TDibIG() {
    TDibIG::Libera();
}

int32_t TDibIG::Ancho() const {
    return cabecera ? cabecera->ancho : 0;
}

int32_t TDibIG::Alto() const {
    return cabecera ? cabecera->alto : 0;
}

int32_t TDibIG::BitsPixel() const {
    return cabecera ? cabecera->bitsPixel : 0;
}

int32_t TDibIG::AltoAbsoluto() const {
    const int64_t alto = AltoSinSigno(Alto());
    return alto > std::numeric_limits<int32_t>::max() ? 0 : static_cast<int32_t>(alto);
}

int32_t TDibIG::ColoresPorBits(int32_t bits) {
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    case 16:
    case 24:
    case 32:
        return 0;
    default:
        return -1;
    }
}

int32_t TDibIG::BytesFila(int32_t ancho, int32_t bits) {
    const int64_t fila = BytesFilaDib(ancho, bits);
    return fila < 0 || fila > std::numeric_limits<int32_t>::max() ? 0 : static_cast<int32_t>(fila);
}

int32_t TDibIG::BytesFila() const {
    return cabecera ? BytesFila(cabecera->ancho, cabecera->bitsPixel) : 0;
}

void TDibIG::Libera() {
    bloque.reset();
    tamanoBloque = 0;
    cabecera = nullptr;
    mascaras = nullptr;
    tablaColores = nullptr;
    numColores = 0;
    bits = nullptr;
    bytesPixeles = 0;
    duenoPixeles.reset();
    alfaTabla.clear();
}

bool TDibIG::Reserva(const TCabeceraDIB& nueva) {
    // The table is sized as EnlazaCabecera will read it, so that the pixel rows
    // always start where the block has room for them.
    const uint64_t tamano = tamanoCabecera + (nueva.compresion == compresionCamposBits ? tamanoMascaras : 0) +
                            ColoresDeCabecera(nueva) * sizeof(TColorPaleta) + nueva.tamanoImagen;
    auto nuevo = NuevoBloque(tamano);
    Libera();
    bloque = std::move(nuevo);
    tamanoBloque = static_cast<size_t>(tamano);
    std::memcpy(bloque.get(), &nueva, tamanoCabecera);
    EnlazaCabecera();
    return true;
}

void TDibIG::EnlazaCabecera() {
    if (!bloque || tamanoBloque < tamanoCabecera) return;
    uint8_t* p = bloque.get();
    cabecera = reinterpret_cast<TCabeceraDIB*>(p);
    if (cabecera->tamano != tamanoCabecera) {
        // A block whose header is not ours must not stay half linked.
        Libera();
        LanzaTexto(textoCabeceraInvalida);
    }
    size_t desplazamiento = tamanoCabecera;
    mascaras = nullptr;
    if (cabecera->compresion == compresionCamposBits && tamanoBloque >= desplazamiento + tamanoMascaras) {
        mascaras = reinterpret_cast<uint32_t*>(p + desplazamiento);
        desplazamiento += tamanoMascaras;
    }
    const uint64_t caben = (tamanoBloque - desplazamiento) / sizeof(TColorPaleta);
    numColores = static_cast<int32_t>(std::min(ColoresDeCabecera(*cabecera), caben));
    tablaColores = numColores ? reinterpret_cast<TColorPaleta*>(p + desplazamiento) : nullptr;
    desplazamiento += static_cast<size_t>(numColores) * sizeof(TColorPaleta);
    bytesPixeles = tamanoBloque - desplazamiento;
    bits = bytesPixeles ? p + desplazamiento : nullptr;
}

void TDibIG::EnlazaPixeles(uint8_t* pixeles, size_t bytes, std::shared_ptr<void> dueno) {
    bits = pixeles;
    bytesPixeles = pixeles ? bytes : 0;
    duenoPixeles = std::move(dueno);
}

void TDibIG::Intercambia(TDibIG& otra) {
    std::swap(bloque, otra.bloque);
    std::swap(tamanoBloque, otra.tamanoBloque);
    std::swap(cabecera, otra.cabecera);
    std::swap(mascaras, otra.mascaras);
    std::swap(tablaColores, otra.tablaColores);
    std::swap(numColores, otra.numColores);
    std::swap(bits, otra.bits);
    std::swap(bytesPixeles, otra.bytesPixeles);
    std::swap(duenoPixeles, otra.duenoPixeles);
    std::swap(alfaTabla, otra.alfaTabla);
}

void TDibIG::PonEntradasTabla(const TColorPaleta* paleta, int32_t entradas) {
    if (!paleta || !tablaColores) return;
    const int32_t n = std::min(entradas, numColores);
    for (int32_t i = 0; i < n; ++i) {
        tablaColores[i] = paleta[i];
        tablaColores[i].reservado = 0;
    }
}

void TDibIG::Crea(int32_t ancho, int32_t alto, int32_t bitsPixel, int32_t colores, const TColorPaleta* paleta,
                  bool conPixeles) {
    Libera();
    if (colores <= 0) colores = ColoresPorDefecto(bitsPixel);
    TCabeceraDIB nueva = CabeceraCreada(ancho, alto, bitsPixel);
    nueva.coloresUsados = static_cast<uint32_t>(colores);
    const uint64_t tamano = tamanoCabecera + static_cast<uint64_t>(colores) * sizeof(TColorPaleta) +
                            (conPixeles ? nueva.tamanoImagen : 0);
    bloque = NuevoBloque(tamano);
    tamanoBloque = static_cast<size_t>(tamano);
    std::memcpy(bloque.get(), &nueva, tamanoCabecera);
    EnlazaCabecera();
    if (bitsPixel > 8 || !tablaColores) return; // deeper images keep their (zeroed) table unused
    if (paleta) {
        PonEntradasTabla(paleta, numColores);
        return;
    }
    // A grey ramp from black to white; a one-entry table is just black.
    const double paso = numColores > 1 ? 255.0 / (numColores - 1) : 0.0;
    for (int32_t i = 0; i < numColores; ++i) {
        const auto g = static_cast<uint8_t>(static_cast<int32_t>(i * paso));
        tablaColores[i] = {g, g, g, 0};
    }
}

bool TDibIG::Prepara(int32_t ancho, int32_t alto, int32_t bitsPixel, int32_t entradas,
                     const TColorPaleta* paleta) {
    if (cabecera && cabecera->ancho == ancho && cabecera->alto == alto && cabecera->bitsPixel == bitsPixel)
        return true;
    Libera();
    TCabeceraDIB nueva = CabeceraCreada(ancho, alto, bitsPixel);
    nueva.coloresUsados = static_cast<uint32_t>(ColoresPorDefecto(bitsPixel));
    Reserva(nueva);
    if (bitsPixel == 1 && numColores == 2) tablaColores[1] = {255, 255, 255, 0};
    PonEntradasTabla(paleta, entradas);
    return true;
}

bool TDibIG::Legible() const {
    if (!cabecera || !bits || ColoresPorBits(cabecera->bitsPixel) < 0) return false;
    if (cabecera->compresion != compresionNinguna && cabecera->compresion != compresionCamposBits)
        return false;
    const int64_t fila = BytesFilaDib(cabecera->ancho, cabecera->bitsPixel);
    // Unsigned: the widest row times the most rows still fits in 64 bits.
    return fila >= 0 && static_cast<uint64_t>(fila) * static_cast<uint64_t>(AltoAbsoluto()) <= bytesPixeles;
}

bool TDibIG::DesdeBitmap(const TDibIG& memoria, bool convierte16, bool abajoArriba) {
    if (!memoria.Legible()) {
        Libera();
        return false;
    }
    const int32_t profundidad = memoria.BitsPixel();
    const int64_t filas = memoria.AltoAbsoluto();
    const int64_t fila = BytesFilaDib(memoria.Ancho(), profundidad);
    TCabeceraDIB nueva;
    nueva.ancho = memoria.Ancho();
    nueva.alto = static_cast<int32_t>(abajoArriba ? filas : -filas);
    nueva.bitsPixel = static_cast<uint16_t>(profundidad);
    nueva.tamanoImagen = static_cast<uint32_t>(fila * filas);
    nueva.coloresUsados = nueva.coloresImportantes =
        static_cast<uint32_t>(ColoresPorBits(profundidad) & 0xFFFF);
    // Built aside, so that an image may be rebuilt from itself.
    TDibIG copia;
    copia.Reserva(nueva);
    // Memory row r shows the same picture row in both images when their orders agree.
    const bool mismoOrden = (memoria.Alto() > 0) == abajoArriba;
    for (int64_t r = 0; r < filas; ++r) {
        const int64_t origen = mismoOrden ? r : filas - 1 - r;
        std::memcpy(copia.bits + r * fila, memoria.bits + origen * fila, static_cast<size_t>(fila));
    }
    copia.PonEntradasTabla(memoria.tablaColores, memoria.numColores);
    copia.alfaTabla = memoria.alfaTabla;
    if (convierte16) copia.Convierte(24);
    Libera();
    Intercambia(copia);
    return true;
}

uint8_t* TDibIG::DireccionPixel(int32_t x, int32_t y) const {
    if (!bits || !cabecera || x < 0 || y < 0 || x >= cabecera->ancho || y >= AltoSinSigno(cabecera->alto))
        return nullptr;
    if (cabecera->compresion != compresionNinguna && cabecera->compresion != compresionCamposBits)
        return nullptr;
    const int64_t fila = BytesFilaDib(cabecera->ancho, cabecera->bitsPixel);
    if (fila <= 0 || static_cast<uint64_t>((y + int64_t{1}) * fila) > bytesPixeles) return nullptr;
    return bits + y * fila + (static_cast<int64_t>(x) * cabecera->bitsPixel) / 8;
}

uint32_t TDibIG::ColorTabla(int32_t i) const {
    if (i < 0 || i >= numColores) return 0;
    const TColorPaleta& c = tablaColores[i];
    return ColorRGB(c.rojo, c.verde, c.azul);
}

uint32_t TDibIG::Pixel(int32_t x, int32_t y) const {
    const uint8_t* p = DireccionPixel(x, y);
    if (!p) return 0;
    switch (cabecera->bitsPixel) {
    case 24:
    case 32:
        return ColorRGB(p[2], p[1], p[0]);
    case 16: {
        const uint32_t w = LeeU16(p);
        return ColorRGB(((w >> 10) & 0x1F) << 3, ((w >> 5) & 0x1F) << 3, (w & 0x1F) << 3);
    }
    case 8:
    case 4:
    case 1:
        return ColorTabla(static_cast<int32_t>(Indice(x, y)));
    default:
        return 0;
    }
}

uint32_t TDibIG::Color(int32_t x, int32_t y) const {
    return Pixel(x, y);
}

uint32_t TDibIG::Indice(int32_t x, int32_t y) const {
    const uint8_t* p = DireccionPixel(x, y);
    if (!p) return 0;
    switch (cabecera->bitsPixel) {
    case 1:
        return (*p >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (*p & 0x0F) : (*p >> 4);
    case 8:
        return *p;
    case 16:
        return LeeU16(p);
    default:
        return 0;
    }
}

void TDibIG::PonIndice(int32_t x, int32_t y, uint32_t valor) {
    uint8_t* p = DireccionPixel(x, y);
    if (!p) return;
    switch (cabecera->bitsPixel) {
    case 1: {
        const auto bit = static_cast<uint8_t>(0x80 >> (x & 7));
        *p = valor ? (*p | bit) : (*p & ~bit);
        break;
    }
    case 4:
        // Only the low nibble of the value is meaningful at this depth.
        if (x & 1)
            *p = static_cast<uint8_t>((*p & 0xF0) | (valor & 0x0F));
        else
            *p = static_cast<uint8_t>((*p & 0x0F) | (valor & 0x0F) << 4);
        break;
    case 8:
        *p = static_cast<uint8_t>(valor);
        break;
    case 16:
        PonPalabra(p, valor);
        break;
    default:
        break;
    }
}

void TDibIG::PonPixel(int32_t x, int32_t y, uint32_t color) {
    uint8_t* p = DireccionPixel(x, y);
    if (!p) return;
    switch (cabecera->bitsPixel) {
    case 24:
    case 32:
        p[0] = AzulDe(color);
        p[1] = VerdeDe(color);
        p[2] = RojoDe(color);
        break;
    case 8:
    case 4:
    case 1:
        PonIndice(x, y, static_cast<uint32_t>(std::max(BuscaIndice(color, true), 0)));
        break;
    default:
        break;
    }
}

int32_t TDibIG::BuscaIndice(uint32_t color, bool cercano) const {
    if (numColores <= 0) return cercano ? -1 : 0;
    for (int32_t i = 0; i < numColores; ++i)
        if (ColorTabla(i) == (color & 0xFFFFFF)) return i;
    if (!cercano) return 0;
    int32_t mejor = 0;
    int64_t menor = std::numeric_limits<int64_t>::max();
    for (int32_t i = 0; i < numColores; ++i) {
        const TColorPaleta& c = tablaColores[i];
        const int64_t dr = int64_t{c.rojo} - RojoDe(color);
        const int64_t dg = int64_t{c.verde} - VerdeDe(color);
        const int64_t db = int64_t{c.azul} - AzulDe(color);
        const int64_t d = dr * dr + dg * dg + db * db;
        if (d < menor) { // strict: on a tie the lower index stays
            menor = d;
            mejor = i;
        }
    }
    return mejor;
}

void TDibIG::Rellena(uint32_t color) {
    const int32_t ancho = Ancho();
    const int32_t alto = AltoAbsoluto();
    const int32_t profundidad = BitsPixel();
    if (profundidad == 24 || profundidad == 32) {
        for (int32_t y = 0; y < alto; ++y)
            for (int32_t x = 0; x < ancho; ++x)
                PonPixel(x, y, color);
    } else if (profundidad == 8 || profundidad == 4 || profundidad == 1) {
        const auto indice = static_cast<uint32_t>(std::max(BuscaIndice(color, true), 0));
        for (int32_t y = 0; y < alto; ++y)
            for (int32_t x = 0; x < ancho; ++x)
                PonIndice(x, y, indice);
    }
}

bool TDibIG::Convierte(int32_t destino) {
    if (!cabecera) return false;
    const int32_t origen = cabecera->bitsPixel;
    if (origen == destino) return true;
    const bool admitida =
        (origen == 16 && destino == 24) || (origen == 32 && destino == 24) || (origen == 24 && destino == 32);
    const int32_t ancho = cabecera->ancho;
    const int32_t filas = AltoAbsoluto();
    const int64_t filaVieja = BytesFilaDib(ancho, origen);
    if (!admitida || !bits || filaVieja < 0 ||
        static_cast<uint64_t>(filaVieja) * static_cast<uint64_t>(filas) > bytesPixeles)
        return false;
    TDibIG convertida;
    convertida.Reserva(CabeceraCreada(ancho, cabecera->alto, destino));
    const int64_t filaNueva = BytesFilaDib(ancho, destino);
    for (int64_t y = 0; y < filas; ++y) {
        const uint8_t* o = bits + y * filaVieja;
        uint8_t* d = convertida.bits + y * filaNueva;
        for (int32_t x = 0; x < ancho; ++x) {
            if (origen == 16) {
                const uint32_t w = LeeU16(o + 2 * x);
                d[3 * x] = static_cast<uint8_t>((w & 0x1F) << 3);
                d[3 * x + 1] = static_cast<uint8_t>(((w & 0x3E0) >> 5) << 3);
                d[3 * x + 2] = static_cast<uint8_t>(((w & 0x7C00) >> 10) << 3);
            } else if (origen == 32) {
                std::memcpy(d + 3 * x, o + 4 * x, 3);
            } else {
                std::memcpy(d + 4 * x, o + 3 * x, 3); // the fourth byte stays 0
            }
        }
    }
    Libera();
    Intercambia(convertida);
    return true;
}

void TDibIG::IntercambiaRojoAzul() {
    const int32_t profundidad = BitsPixel();
    if ((profundidad != 24 && profundidad != 32) || !Legible()) return;
    const int64_t fila = BytesFilaDib(Ancho(), profundidad);
    const size_t paso = static_cast<size_t>(profundidad / 8);
    const size_t bytesUtiles = static_cast<size_t>(Ancho()) * paso;
    for (int64_t y = 0; y < AltoAbsoluto(); ++y) {
        uint8_t* p = bits + y * fila;
        for (size_t i = 0; i < bytesUtiles; i += paso)
            std::swap(p[i], p[i + 2]);
    }
}

bool TDibIG::ConvierteConAlfa() {
    if (!Legible()) return false;
    const int32_t origen = BitsPixel();
    if (origen == 32) return true;
    const int32_t ancho = Ancho();
    const int32_t filas = AltoAbsoluto();
    TDibIG nueva;
    nueva.Reserva(CabeceraCreada(ancho, Alto(), 32));
    const int64_t fila = BytesFilaDib(ancho, 32);
    for (int32_t y = 0; y < filas; ++y) {
        uint8_t* d = nueva.bits + y * fila;
        for (int32_t x = 0; x < ancho; ++x, d += 4) {
            uint32_t color = 0;
            uint8_t alfa = 0xFF;
            if (origen <= 8) {
                const uint32_t indice = Indice(x, y);
                color = ColorTabla(static_cast<int32_t>(indice));
                if (indice < alfaTabla.size()) alfa = alfaTabla[indice];
            } else {
                color = Pixel(x, y);
            }
            d[0] = AzulDe(color);
            d[1] = VerdeDe(color);
            d[2] = RojoDe(color);
            d[3] = alfa;
        }
    }
    Libera();
    Intercambia(nueva);
    return true;
}

bool TDibIG::ReduceA256(TDibIG& destino) const {
    if (Vacia()) return false;
    const int32_t ancho = Ancho();
    const int32_t alto = AltoAbsoluto();
    // Each colour with its palette index, in order of first appearance.
    TIndicesColor indices;
    std::array<uint32_t, 254> colores;
    size_t cuantos = 0;
    uint32_t anterior = 0xFFFFFFFF; // no packed colour: the first pixel is always looked up
    for (int32_t y = 0; y < alto; ++y) {
        for (int32_t x = 0; x < ancho; ++x) {
            const uint32_t c = Pixel(x, y);
            if (c == anterior) continue;
            anterior = c;
            if (indices.Indice(c) != 0) continue;
            if (cuantos == colores.size()) return false; // index 0 is taken: 254 colours at most
            colores[cuantos++] = c;
            indices.Pon(c, static_cast<uint8_t>(cuantos));
        }
    }
    TDibIG reducida;
    reducida.Crea(ancho, Alto(), 8, 256, nullptr, true);
    reducida.tablaColores[0] = EntradaDe(colorReservado);
    for (int32_t i = 1; i < 256; ++i)
        reducida.tablaColores[i] = i <= static_cast<int32_t>(cuantos)
                                       ? EntradaDe(colores[static_cast<size_t>(i - 1)])
                                       : TColorPaleta{};
    const int64_t fila = reducida.BytesFila();
    for (int32_t y = 0; y < alto; ++y) {
        uint8_t* d = reducida.bits + y * fila;
        for (int32_t x = 0; x < ancho; ++x) {
            // The reserved colour is entry 0 whatever its place in the list.
            const uint32_t c = Pixel(x, y);
            d[x] = c == colorReservado ? 0 : indices.Indice(c);
        }
    }
    destino.Libera();
    destino.Intercambia(reducida);
    return true;
}

bool TDibIG::CopiaEscalada(const TRectanguloDib& destino, const TRectanguloDib& origen,
                           const TDibIG& fuente) {
    if (Vacia() || fuente.Vacia()) return false;
    const int64_t anchoOrigen = int64_t{origen.derecha} - origen.izquierda;
    const int64_t altoOrigen = std::abs(int64_t{origen.abajo} - origen.arriba);
    const int64_t anchoDestino = int64_t{destino.derecha} - destino.izquierda;
    const int64_t altoDestino = std::abs(int64_t{destino.abajo} - destino.arriba);
    if (anchoOrigen < 1 || altoOrigen < 1 || anchoDestino < 1 || altoDestino < 1) return false;
    const double sx = static_cast<double>(anchoOrigen) / static_cast<double>(anchoDestino);
    const double sy = static_cast<double>(altoOrigen) / static_cast<double>(altoDestino);
    if (tablaColores && fuente.tablaColores) {
        const int32_t n = std::min(numColores, fuente.numColores);
        std::memmove(tablaColores, fuente.tablaColores, static_cast<size_t>(n) * sizeof(TColorPaleta));
    }
    // Rows and columns outside this image would be dropped anyway; skipping them bounds the loops.
    const int64_t y0 = std::max<int64_t>(destino.arriba, 0);
    const int64_t y1 = std::min<int64_t>(destino.arriba + altoDestino, AltoAbsoluto());
    const int64_t x0 = std::max<int64_t>(destino.izquierda, 0);
    const int64_t x1 = std::min<int64_t>(destino.izquierda + anchoDestino, Ancho());
    const int32_t profundidad = BitsPixel();
    const bool mismaProfundidad = profundidad == fuente.BitsPixel();
    for (int64_t y = y0; y < y1; ++y) {
        const int32_t fy = Trunca(origen.arriba + static_cast<double>(y - destino.arriba) * sy);
        for (int64_t x = x0; x < x1; ++x) {
            const int32_t fx = Trunca(origen.izquierda + static_cast<double>(x - destino.izquierda) * sx);
            const auto dx = static_cast<int32_t>(x);
            const auto dy = static_cast<int32_t>(y);
            if (!mismaProfundidad) {
                PonPixel(dx, dy, fuente.Pixel(fx, fy));
            } else if (profundidad >= 8) {
                uint8_t* d = DireccionPixel(dx, dy);
                const uint8_t* o = fuente.DireccionPixel(fx, fy);
                const auto n = static_cast<size_t>(profundidad / 8);
                if (d && o)
                    std::memmove(d, o, n);
                else if (d)
                    std::memset(d, 0, n); // outside the source reads as black, as Pixel does
            } else {
                PonIndice(dx, dy, fuente.Indice(fx, fy));
            }
        }
    }
    return true;
}

void TDibIG::EntregaCopia(TReceptorDibIG& receptor) const {
    if (Vacia()) return;
    TDibIG copia;
    copia.Prepara(Ancho(), Alto(), BitsPixel(), 0, nullptr);
    const TRectanguloDib todo{0, 0, Ancho(), AltoAbsoluto()};
    if (copia.CopiaEscalada(todo, todo, *this)) receptor.Recibe(copia, *this);
}
