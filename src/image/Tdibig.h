// TDibIG: the program's one bitmap type, a device-independent bitmap held in memory.
// One heap block holds, in this order, the 40-byte information header, the three
// colour masks (only with bit-field compression), the colour table and the pixel
// rows, so that the block can be written to a BMP file as it stands. Pixels are
// exchanged as packed colours red | green << 8 | blue << 16; in memory 24- and
// 32-bit pixels and colour-table entries store blue first.
#pragma once

#include "image/Limites_imagen.h"
#include "support/Dstring.h"
#include "support/Resultado.h"
#include "support/Vectores_dg.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

class TFicheroQOR;
struct TMonitorProcesos;

// The block is written to and read from BMP files byte for byte.
static_assert(std::endian::native == std::endian::little, "TDibIG keeps its header in file byte order");

// The Windows BITMAPINFOHEADER layout.
struct TCabeceraDIB {
    uint32_t tamano = 40;
    int32_t ancho = 0;
    int32_t alto = 0; // positive: rows stored bottom-up; negative: top-down
    uint16_t planos = 1;
    uint16_t bitsPixel = 0;
    uint32_t compresion = 0; // 0 none, 3 bit fields
    uint32_t tamanoImagen = 0;
    int32_t resolucionX = 0;
    int32_t resolucionY = 0;
    uint32_t coloresUsados = 0;
    uint32_t coloresImportantes = 0;
};
static_assert(sizeof(TCabeceraDIB) == 40);

// One colour-table entry (the Windows RGBQUAD layout).
struct TColorPaleta {
    uint8_t azul = 0;
    uint8_t verde = 0;
    uint8_t rojo = 0;
    uint8_t reservado = 0;
};
static_assert(sizeof(TColorPaleta) == 4);

constexpr uint32_t compresionNinguna = 0;
constexpr uint32_t compresionCamposBits = 3;

// Rectangle of pixels: right and bottom are exclusive.
struct TRectanguloDib {
    int32_t izquierda = 0;
    int32_t arriba = 0;
    int32_t derecha = 0;
    int32_t abajo = 0;
};

// Packed colour helpers.
constexpr uint32_t ColorRGB(uint32_t rojo, uint32_t verde, uint32_t azul) {
    return (rojo & 0xFF) | (verde & 0xFF) << 8 | (azul & 0xFF) << 16;
}
constexpr uint8_t RojoDe(uint32_t color) {
    return static_cast<uint8_t>(color);
}
constexpr uint8_t VerdeDe(uint32_t color) {
    return static_cast<uint8_t>(color >> 8);
}
constexpr uint8_t AzulDe(uint32_t color) {
    return static_cast<uint8_t>(color >> 16);
}

// The memory block of a bitmap. It is zero-filled by calloc: large blocks come as fresh
// zero pages, at no cost beyond what writing the pixels costs anyway.
struct TLiberaBloqueDib {
    void operator()(uint8_t* p) const { std::free(p); }
};
using TBloqueDib = std::unique_ptr<uint8_t[], TLiberaBloqueDib>;

class TDibIG;

// Receives the temporary copy that EntregaCopia makes of an image.
class TReceptorDibIG {
public:
    virtual ~TReceptorDibIG();
    virtual void Recibe(TDibIG& copia, const TDibIG& original) = 0;
};

class TDibIG {
public:
    TDibIG();
    // The picture of `memoria` (see DesdeBitmap); empty when it cannot be copied.
    TDibIG(const TDibIG& memoria, bool convierte16, bool abajoArriba);
    TDibIG(const TDibIG&) = delete;
    TDibIG& operator=(const TDibIG&) = delete;

    // Virtual operations, in the order derived image classes rely on.
    virtual ~TDibIG();
    virtual int32_t Ancho() const;
    virtual int32_t Alto() const; // signed: negative for a top-down image
    // Packed colour of a pixel; black (0) outside the image or without pixels.
    virtual uint32_t Pixel(int32_t x, int32_t y) const;
    virtual uint32_t Color(int32_t x, int32_t y) const;
    virtual void Libera();
    virtual int32_t ConsultaA() const { return 0; }
    virtual int32_t ConsultaB() const { return 0; }
    virtual int32_t BitsPixel() const;
    virtual void EntregaCopia(TReceptorDibIG& receptor) const;
    virtual void Actualiza() {} // a hook for derived images; a plain bitmap has nothing to refresh

    // BMP files. Read failures carry a message; write failures give false only.
    TResultado<void> LeeBMP(const char* nombre, TMonitorProcesos* progreso = nullptr);
    bool GrabaBMP(const char* nombre, TMonitorProcesos* progreso = nullptr) const;
    TResultado<void> LeeDIB(TFicheroQOR& fichero, bool conCabeceraFichero,
                            TMonitorProcesos* progreso = nullptr);
    bool GrabaDIB(TFicheroQOR& fichero, bool conCabeceraFichero, TMonitorProcesos* progreso = nullptr) const;

    // Building. Each releases the previous image first; allocation failure raises
    // the text "TXOutOfMemory::Raise()". New blocks are zero-filled, so the pixels of a
    // new 16-, 24- or 32-bit image start black.
    bool Reserva(const TCabeceraDIB& cabecera);
    void EnlazaCabecera();
    void Crea(int32_t ancho, int32_t alto, int32_t bits, int32_t colores, const TColorPaleta* paleta,
              bool conPixeles);
    bool Prepara(int32_t ancho, int32_t alto, int32_t bits, int32_t entradas, const TColorPaleta* paleta);
    // Copies another memory image: same width, height (positive when abajoArriba,
    // negated otherwise) and bit count, the same picture whatever the row orders,
    // the colour table; 16-bit pixels become 24-bit when convierte16.
    bool DesdeBitmap(const TDibIG& memoria, bool convierte16, bool abajoArriba);
    // Points the pixel rows of an image made without pixels (Crea) at storage held
    // elsewhere, such as a codec module's buffer; `dueno` keeps that storage alive and is
    // let go by Libera.
    void EnlazaPixeles(uint8_t* pixeles, size_t bytes, std::shared_ptr<void> dueno);

    // Pixels. Coordinates address row y in memory order and pixel x in it.
    uint32_t Indice(int32_t x, int32_t y) const;
    void PonPixel(int32_t x, int32_t y, uint32_t color);
    void PonIndice(int32_t x, int32_t y, uint32_t valor);
    void Rellena(uint32_t color);
    // Palette index of a colour: the first equal entry; otherwise 0, or with
    // `cercano` the nearest entry (-1 when there is no colour table).
    int32_t BuscaIndice(uint32_t color, bool cercano) const;
    // 16 -> 24, 32 -> 24 and 24 -> 32; true when the image now has that depth.
    bool Convierte(int32_t bits);
    void IntercambiaRojoAzul();
    // A 32-bit image whose fourth byte is alpha: a palette image takes the alpha of its
    // entries (AlfaTabla), a 24-bit one becomes opaque, a 32-bit one stays as it is.
    // False when the image cannot be read as its header says.
    bool ConvierteConAlfa();
    // An 8-bit copy into `destino` with index 0 reserved for (99, 99, 99); false and
    // `destino` untouched when the image has 255 or more colours. Time linear in the pixels.
    bool ReduceA256(TDibIG& destino) const;
    bool CopiaEscalada(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& fuente);

    // Layout.
    static int32_t ColoresPorBits(int32_t bits);
    // Bytes of one row padded to 4 bytes; 0 when it cannot be represented.
    static int32_t BytesFila(int32_t ancho, int32_t bits);
    int32_t BytesFila() const;
    int32_t AltoAbsoluto() const;
    bool Vacia() const { return cabecera == nullptr; }
    bool TienePixeles() const { return bits != nullptr; }
    // True when the pixels can be read as the header describes them: a known depth and
    // compression, and every row within the pixel bytes held.
    bool Legible() const;

    // Access for the drawing device, the texture upload and the image readers.
    TCabeceraDIB* Cabecera() { return cabecera; }
    const TCabeceraDIB* Cabecera() const { return cabecera; }
    uint32_t* Mascaras() { return mascaras; }
    const uint32_t* Mascaras() const { return mascaras; }
    TColorPaleta* TablaColores() { return tablaColores; }
    const TColorPaleta* TablaColores() const { return tablaColores; }
    int32_t NumColores() const { return numColores; }
    uint8_t* Bits() { return bits; }
    const uint8_t* Bits() const { return bits; }
    // Pixel bytes held at Bits().
    size_t BytesPixeles() const { return bytesPixeles; }
    // Packed colour of a colour-table entry, black outside the table.
    uint32_t ColorTabla(int32_t i) const;
    // The alpha of each colour-table entry (0 transparent, 255 opaque) when the file
    // stated transparency for its palette (a PNG's tRNS chunk, a GIF's transparent
    // index); empty when every entry is opaque. Kept beside the block, which a BMP file
    // holds as it stands: ConvierteConAlfa turns it into alpha.
    const std::vector<uint8_t>& AlfaTabla() const { return alfaTabla; }
    void PonAlfaTabla(std::vector<uint8_t> alfa) { alfaTabla = std::move(alfa); }
    VectorP<TDibIG>& Bandas() { return bandas; }
    const VectorP<TDibIG>& Bandas() const { return bandas; }

private:
    // Address of a pixel's first byte; null outside the image or the pixel bytes held.
    uint8_t* DireccionPixel(int32_t x, int32_t y) const;
    void Intercambia(TDibIG& otra);
    void PonEntradasTabla(const TColorPaleta* paleta, int32_t entradas);
    TResultado<void> LeeDIBcuerpo(TFicheroQOR& fichero, bool conCabeceraFichero, TMonitorProcesos* progreso);

    VectorP<TDibIG> bandas{10, 10, true};
    TBloqueDib bloque;
    size_t tamanoBloque = 0;
    TCabeceraDIB* cabecera = nullptr;
    uint32_t* mascaras = nullptr;
    TColorPaleta* tablaColores = nullptr;
    int32_t numColores = 0;
    uint8_t* bits = nullptr;
    size_t bytesPixeles = 0;
    std::shared_ptr<void> duenoPixeles; // the owner of pixels held outside the block
    std::vector<uint8_t> alfaTabla;
};
