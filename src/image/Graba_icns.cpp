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

bool CodificaICNS(std::span<const TImagenICNS> imagenes, std::vector<uint8_t>& datos, DString& error) {
    datos.clear();
    if (imagenes.empty()) {
        error = "A macOS icon file holds at least one image.";
        return false;
    }
    AnadeCabecera(datos, CodigoTipoICNS("icns"), 0);
    for (const TImagenICNS& i : imagenes) {
        const int lado = i.tipo->lado * i.tipo->densidad;
        if (i.imagen->BitsPixel() != 32 || i.imagen->Ancho() != lado || i.imagen->AltoAbsoluto() != lado) {
            error.Format("The %s image of a macOS icon file is a 32-bit picture of %d pixels a side.",
                         i.tipo->tipo, lado);
            return false;
        }
        const auto png = CodificaPNG(*i.imagen);
        if (!png) {
            error = png.Mensaje();
            return false;
        }
        AnadeCabecera(datos, CodigoTipoICNS(i.tipo->tipo),
                      static_cast<uint32_t>(bytesCabecera + png->size()));
        datos.insert(datos.end(), png->begin(), png->end());
    }
    PonU32BE(datos, 4, static_cast<uint32_t>(datos.size()));
    return true;
}

bool GrabaICNS(std::span<const TImagenICNS> imagenes, const char* nombre, DString& error) {
    std::vector<uint8_t> datos;
    if (!CodificaICNS(imagenes, datos, error)) return false;
    const auto grabado = GrabaFichero(nombre, datos);
    error = MensajeDe(grabado);
    return grabado.Correcto();
}
