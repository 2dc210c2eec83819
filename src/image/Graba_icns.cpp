#include "image/Graba_icns.h"

#include "image/Fichero_imagen.h"
#include "image/Graba_png.h"

namespace {

constexpr size_t bytesCabecera = 8;

void PonU32BE(std::vector<uint8_t>& d, size_t en, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        d[en + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void AnadeCabecera(std::vector<uint8_t>& d, uint32_t tipo, uint32_t longitud) {
    const size_t en = d.size();
    d.resize(en + bytesCabecera);
    PonU32BE(d, en, tipo);
    PonU32BE(d, en + 4, longitud);
}

} // namespace

uint32_t CodigoTipoICNS(const char* tipo) {
    uint32_t codigo = 0;
    for (int i = 0; i < 4; ++i)
        codigo = codigo << 8 | static_cast<uint8_t>(tipo[i]);
    return codigo;
}

TResultado<std::vector<uint8_t>> CodificaICNS(std::span<const TImagenICNS> imagenes) {
    if (imagenes.empty()) return TFallo{TCausa::uso, "A macOS icon file holds at least one image."};
    std::vector<uint8_t> datos;
    AnadeCabecera(datos, CodigoTipoICNS("icns"), 0);
    for (const TImagenICNS& i : imagenes) {
        const int lado = i.tipo->lado * i.tipo->densidad;
        if (i.imagen->BitsPixel() != 32 || i.imagen->Ancho() != lado || i.imagen->AltoAbsoluto() != lado) {
            return FalloFormato(TCausa::uso,
                                "The %s image of a macOS icon file is a 32-bit picture of %d pixels a side.",
                                i.tipo->tipo, lado);
        }
        const auto png = CodificaPNG(*i.imagen);
        if (!png) return png.Fallo();
        AnadeCabecera(datos, CodigoTipoICNS(i.tipo->tipo),
                      static_cast<uint32_t>(bytesCabecera + png->size()));
        datos.insert(datos.end(), png->begin(), png->end());
    }
    PonU32BE(datos, 4, static_cast<uint32_t>(datos.size()));
    return datos;
}

TResultado<void> GrabaICNS(std::span<const TImagenICNS> imagenes, const char* nombre) {
    const auto datos = CodificaICNS(imagenes);
    if (!datos) return datos.Fallo();
    return GrabaFichero(nombre, *datos);
}
