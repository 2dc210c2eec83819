#include "image/Lector_icns.h"

#include "image/Fichero_imagen.h"

#include <cstring>

namespace {

constexpr size_t bytesCabecera = 8;
constexpr uint64_t maxFicheroICNS = uint64_t{64} << 20;
constexpr uint8_t firmaPNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t U32BE(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The sides in the IHDR chunk that follows a PNG signature.
void MidePNGEn(std::span<const uint8_t> datos, TEntradaICNS& entrada) {
    if (datos.size() < 24 || std::memcmp(datos.data(), firmaPNG, sizeof firmaPNG) != 0 ||
        std::memcmp(datos.data() + 12, "IHDR", 4) != 0)
        return;
    entrada.ancho = U32BE(datos.data() + 16);
    entrada.alto = U32BE(datos.data() + 20);
}

} // namespace

bool ListaICNS(std::span<const uint8_t> datos, std::vector<TEntradaICNS>& entradas) {
    entradas.clear();
    if (datos.size() < bytesCabecera || std::memcmp(datos.data(), "icns", 4) != 0 ||
        U32BE(datos.data() + 4) != datos.size())
        return false;
    for (size_t en = bytesCabecera; en < datos.size();) {
        if (datos.size() - en < bytesCabecera) return false;
        const size_t longitud = U32BE(datos.data() + en + 4);
        if (longitud < bytesCabecera || longitud > datos.size() - en) return false;
        TEntradaICNS entrada;
        entrada.tipo.assign(reinterpret_cast<const char*>(datos.data() + en), 4);
        entrada.inicio = en + bytesCabecera;
        entrada.bytes = longitud - bytesCabecera;
        MidePNGEn(datos.subspan(entrada.inicio, entrada.bytes), entrada);
        entradas.push_back(std::move(entrada));
        en += longitud;
    }
    return true;
}

bool ListaFicheroICNS(const char* nombre, std::vector<TEntradaICNS>& entradas) {
    entradas.clear();
    const TFicheroC f = AbreLectura(nombre);
    if (!f) return false;
    const uint64_t bytes = BytesHastaFin(f.get());
    if (bytes == 0 || bytes > maxFicheroICNS) return false;
    std::vector<uint8_t> datos(static_cast<size_t>(bytes));
    if (std::fread(datos.data(), 1, datos.size(), f.get()) != datos.size()) return false;
    return ListaICNS(datos, entradas);
}
