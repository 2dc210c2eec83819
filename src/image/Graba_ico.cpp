#include "image/Graba_ico.h"

#include "image/Fichero_imagen.h"
#include "image/Graba_png.h"

#include <cstring>

namespace {

constexpr size_t bytesDirectorio = 6;
constexpr size_t bytesEntrada = 16;
constexpr uint32_t bytesCabeceraDib = 40;
// A pixel less than half opaque is transparent for programs that read only the mask.
constexpr uint8_t alfaMascara = 128;
// Far more than any icon has, and few enough that no offset outgrows 32 bits.
constexpr size_t maxImagenesIcono = 256;

void PonU16(std::vector<uint8_t>& d, size_t en, uint32_t v) {
    d[en] = static_cast<uint8_t>(v);
    d[en + 1] = static_cast<uint8_t>(v >> 8);
}

void PonU32(std::vector<uint8_t>& d, size_t en, uint32_t v) {
    PonU16(d, en, v & 0xFFFF);
    PonU16(d, en + 2, v >> 16);
}

// A row of the picture, counted from the bottom as icon images store them.
const uint8_t* FilaDesdeAbajo(const TDibIG& imagen, int32_t y) {
    const int32_t fila = imagen.Alto() < 0 ? imagen.AltoAbsoluto() - 1 - y : y;
    return imagen.Bits() + static_cast<size_t>(fila) * imagen.BytesFila();
}

// The headerless BMP of an icon image: the header with the height counted twice (colour
// rows and mask rows), the colour rows, then the mask rows (1 = transparent).
void AnadeBMP(const TDibIG& imagen, std::vector<uint8_t>& d) {
    const int32_t ancho = imagen.Ancho(), alto = imagen.AltoAbsoluto();
    const auto filaMascara = static_cast<size_t>(BytesFilaDib(ancho, 1));
    const size_t bytesColor = size_t{4} * ancho * alto;
    const size_t inicio = d.size();
    d.resize(inicio + bytesCabeceraDib + bytesColor + filaMascara * alto);
    PonU32(d, inicio, bytesCabeceraDib);
    PonU32(d, inicio + 4, static_cast<uint32_t>(ancho));
    PonU32(d, inicio + 8, static_cast<uint32_t>(2 * alto));
    PonU16(d, inicio + 12, 1);
    PonU16(d, inicio + 14, 32);
    PonU32(d, inicio + 20, static_cast<uint32_t>(bytesColor + filaMascara * alto));
    uint8_t* color = d.data() + inicio + bytesCabeceraDib;
    uint8_t* mascara = color + bytesColor;
    for (int32_t y = 0; y < alto; ++y) {
        const uint8_t* fila = FilaDesdeAbajo(imagen, y);
        std::memcpy(color + size_t{4} * ancho * y, fila, size_t{4} * ancho);
        for (int32_t x = 0; x < ancho; ++x)
            if (fila[4 * x + 3] < alfaMascara)
                mascara[filaMascara * y + x / 8] |= static_cast<uint8_t>(0x80 >> x % 8);
    }
}

bool Admisible(const TDibIG* imagen) {
    return imagen && imagen->BitsPixel() == 32 && imagen->Legible() && imagen->Ancho() >= 1 &&
           imagen->Ancho() <= ladoMaximoIcono && imagen->AltoAbsoluto() >= 1 &&
           imagen->AltoAbsoluto() <= ladoMaximoIcono;
}

} // namespace

TResultado<std::vector<uint8_t>> CodificaICO(std::span<const TDibIG* const> imagenes) {
    if (imagenes.empty() || imagenes.size() > maxImagenesIcono)
        return TFallo{TCausa::uso, "An icon file holds from 1 to 256 images."};
    for (const TDibIG* imagen : imagenes)
        if (!Admisible(imagen))
            return TFallo{TCausa::uso, "An icon image is a 32-bit picture of 1 to 256 pixels a side."};
    std::vector<uint8_t> datos;
    datos.resize(bytesDirectorio + bytesEntrada * imagenes.size());
    PonU16(datos, 2, 1); // an icon, not a cursor
    PonU16(datos, 4, static_cast<uint32_t>(imagenes.size()));
    for (size_t i = 0; i < imagenes.size(); ++i) {
        const TDibIG& imagen = *imagenes[i];
        const size_t inicio = datos.size();
        if (imagen.Ancho() == ladoMaximoIcono || imagen.AltoAbsoluto() == ladoMaximoIcono) {
            const auto png = CodificaPNG(imagen);
            if (!png) return png.Fallo();
            datos.insert(datos.end(), png->begin(), png->end());
        } else {
            AnadeBMP(imagen, datos);
        }
        // The directory writes 256 as 0.
        const size_t entrada = bytesDirectorio + bytesEntrada * i;
        datos[entrada] = static_cast<uint8_t>(imagen.Ancho());
        datos[entrada + 1] = static_cast<uint8_t>(imagen.AltoAbsoluto());
        PonU16(datos, entrada + 4, 1);
        PonU16(datos, entrada + 6, 32);
        PonU32(datos, entrada + 8, static_cast<uint32_t>(datos.size() - inicio));
        PonU32(datos, entrada + 12, static_cast<uint32_t>(inicio));
    }
    return datos;
}

TResultado<void> GrabaICO(std::span<const TDibIG* const> imagenes, const char* nombre) {
    const auto datos = CodificaICO(imagenes);
    if (!datos) return datos.Fallo();
    return GrabaFichero(nombre, *datos);
}
