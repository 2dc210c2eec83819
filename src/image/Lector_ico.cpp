// The icon decoder. An icon file is a directory of images; each is either a PNG file or
// a headerless BMP whose height counts twice, once for the colour rows and once for the
// 1-bit AND mask that follows them. Images are chosen by what their own headers say
// (the directory's sizes are often wrong), and every size is checked against the file.
#include "image/Lector_ico.h"

#include "image/Fichero_imagen.h"
#include "image/Orden_bytes.h"
#include "image/Qor_png.h"
#include "image/Tdibigymask.h"
#include "support/Monitor_procesos.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t firmaPNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t tamanoCabeceraDib = 40;
// A PNG's signature and its IHDR chunk up to the CRC.
constexpr uint32_t inicioPNG = 29;
// Alpha below one half counts as transparent in the 1-bit mask.
constexpr uint8_t alfaOpaco = 128;

// One image of the directory, as its own header describes it.
struct TCandidato {
    uint32_t desplazamiento = 0;
    uint32_t bytes = 0;
    TImagenDirectorio imagen;
    int64_t Area() const { return int64_t{imagen.ancho} * imagen.alto; }
};

bool LeeEn(std::FILE* f, uint64_t desplazamiento, void* destino, size_t n) {
    return std::fseek(f, static_cast<long>(desplazamiento), SEEK_SET) == 0 &&
           std::fread(destino, 1, n, f) == n;
}

// Reads the header at the image's start; false when it is no image this decoder reads.
bool Describe(std::FILE* f, TCandidato& c) {
    uint8_t h[tamanoCabeceraDib];
    if (c.bytes < inicioPNG || !LeeEn(f, c.desplazamiento, h, inicioPNG)) return false;
    if (std::memcmp(h, firmaPNG, sizeof firmaPNG) == 0) {
        // The IHDR chunk: width, height, bit depth, colour type.
        static constexpr int canales[] = {1, 0, 3, 1, 2, 0, 4};
        const uint8_t tipo = h[25];
        const uint32_t ancho = LeeU32be(h + 16);
        const uint32_t alto = LeeU32be(h + 20);
        if (ancho > ladoMaximoImagen || alto > ladoMaximoImagen) return false;
        c.imagen = {static_cast<int32_t>(ancho), static_cast<int32_t>(alto),
                    h[24] * (tipo < 7 ? canales[tipo] : 0), true};
        return c.Area() > 0 && c.imagen.bits > 0;
    }
    if (c.bytes < tamanoCabeceraDib || !LeeEn(f, c.desplazamiento, h, tamanoCabeceraDib)) return false;
    const auto ancho = static_cast<int32_t>(LeeU32(h + 4));
    const auto alto = static_cast<int32_t>(LeeU32(h + 8)) / 2;
    c.imagen = {ancho, alto, LeeU16(h + 14), false};
    return LeeU32(h) == tamanoCabeceraDib && ancho > 0 && alto > 0;
}

// True for a colour image that carries alpha: 32 bits with any alpha byte set (an icon
// of 32 bits whose alpha is all 0 leaves its transparency to the mask).
bool TieneAlfa(const TDibIG& color) {
    if (color.BitsPixel() != 32) return false;
    const uint8_t* p = color.Bits();
    const int64_t bytes = int64_t{color.BytesFila()} * color.AltoAbsoluto();
    for (int64_t i = 3; i < bytes; i += 4)
        if (p[i] != 0) return true;
    return false;
}

// True for a colour image with alpha between transparent and opaque somewhere.
bool AlfaParcial(const TDibIG& color) {
    if (!TieneAlfa(color)) return false;
    const uint8_t* p = color.Bits();
    const int64_t bytes = int64_t{color.BytesFila()} * color.AltoAbsoluto();
    for (int64_t i = 3; i < bytes; i += 4)
        if (p[i] != 0 && p[i] != 0xFF) return true;
    return false;
}

// Marks transparent in the mask every pixel whose alpha is below one half, for colour
// images that carry alpha.
void MascaraDeAlfa(const TDibIG& color, TDibIG& mascara) {
    if (!TieneAlfa(color)) return;
    const int32_t ancho = color.Ancho();
    const int32_t alto = color.AltoAbsoluto();
    const int32_t fila = color.BytesFila();
    const uint8_t* p = color.Bits();
    for (int32_t y = 0; y < alto; ++y)
        for (int32_t x = 0; x < ancho; ++x)
            if (p[int64_t{y} * fila + 4 * x + 3] < alfaOpaco) mascara.PonIndice(x, y, 1);
}

bool DecodificaBMP(std::FILE* f, const TCandidato& c, TImagenIcono& icono) {
    uint8_t h[tamanoCabeceraDib];
    if (!LeeEn(f, c.desplazamiento, h, sizeof h)) return false;
    const auto ancho = static_cast<int32_t>(LeeU32(h + 4));
    const int32_t alto = static_cast<int32_t>(LeeU32(h + 8)) / 2;
    const int32_t bits = LeeU16(h + 14);
    const uint32_t compresion = LeeU32(h + 16);
    uint32_t colores = LeeU32(h + 32);
    const int32_t tabla = TDibIG::ColoresPorBits(bits);
    if ((bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) || compresion != 0 ||
        !ImagenAdmisible(ancho, alto, bits))
        return false;
    if (colores == 0) colores = static_cast<uint32_t>(tabla);
    if (colores > 256 || (tabla > 0 && colores > static_cast<uint32_t>(tabla))) return false;
    const uint64_t bytesTabla = uint64_t{colores} * 4;
    const auto bytesColor = static_cast<uint64_t>(BytesFilaDib(ancho, bits)) * alto;
    const auto bytesMascara = static_cast<uint64_t>(BytesFilaDib(ancho, 1)) * alto;
    // The colour rows must be there; a mask cut short leaves the missing rows opaque.
    if (tamanoCabeceraDib + bytesTabla + bytesColor > c.bytes) return false;

    TColorPaleta paleta[256];
    if (bytesTabla && !LeeEn(f, uint64_t{c.desplazamiento} + tamanoCabeceraDib, paleta, bytesTabla))
        return false;
    icono.color.Crea(ancho, alto, bits, bits <= 8 ? static_cast<int32_t>(colores) : 0, paleta, true);
    if (std::fread(icono.color.Bits(), 1, bytesColor, f) != bytesColor) return false;
    icono.mascara.Crea(ancho, alto, 1, 2, nullptr, true);
    const uint64_t resto = c.bytes - tamanoCabeceraDib - bytesTabla - bytesColor;
    const size_t mascara = static_cast<size_t>(std::min(resto, bytesMascara));
    if (std::fread(icono.mascara.Bits(), 1, mascara, f) != mascara) return false;
    MascaraDeAlfa(icono.color, icono.mascara);
    return true;
}

bool DecodificaPNG(std::FILE* f, const TCandidato& c, TImagenIcono& icono) {
    if (std::fseek(f, static_cast<long>(c.desplazamiento), SEEK_SET) != 0) return false;
    TParserPNG parser;
    parser.conAlfa = true;
    if (!parser.Lee(f, icono.color, nullptr)) return false;
    icono.mascara.Crea(icono.color.Ancho(), icono.color.Alto(), 1, 2, nullptr, true);
    MascaraDeAlfa(icono.color, icono.mascara);
    return true;
}

bool Decodifica(std::FILE* f, const TCandidato& c, TImagenIcono& icono) {
    if (c.imagen.png ? DecodificaPNG(f, c, icono) : DecodificaBMP(f, c, icono)) return true;
    icono.color.Libera();
    icono.mascara.Libera();
    return false;
}

// The order in which the decoder tries the images: the largest first, the deepest among
// equals, the directory's order among the rest.
void Ordena(std::vector<TCandidato>& candidatos) {
    std::stable_sort(candidatos.begin(), candidatos.end(), [](const TCandidato& a, const TCandidato& b) {
        return a.Area() != b.Area() ? a.Area() > b.Area() : a.imagen.bits > b.imagen.bits;
    });
}

// The images of the directory that this decoder can read, in the directory's order;
// false when the file is no icon file.
bool LeeDirectorio(std::FILE* f, std::vector<TCandidato>& candidatos) {
    const uint64_t tamano = BytesHastaFin(f);
    uint8_t directorio[6];
    if (std::fread(directorio, 1, sizeof directorio, f) != sizeof directorio || LeeU16(directorio) != 0 ||
        LeeU16(directorio + 2) != 1)
        return false;
    const uint16_t imagenes = LeeU16(directorio + 4);
    for (uint32_t i = 0; i < imagenes; ++i) {
        uint8_t e[16];
        if (!LeeEn(f, 6 + 16 * uint64_t{i}, e, sizeof e)) break;
        TCandidato c;
        c.desplazamiento = LeeU32(e + 12);
        if (c.desplazamiento >= tamano) continue;
        c.bytes = static_cast<uint32_t>(std::min<uint64_t>(LeeU32(e + 8), tamano - c.desplazamiento));
        if (Describe(f, c)) candidatos.push_back(c);
    }
    return true;
}

} // namespace

bool DecodificaICO(const char* nombre, TImagenIcono& icono) {
    const TFicheroC fichero = AbreLectura(nombre);
    std::vector<TCandidato> candidatos;
    if (!fichero || !LeeDirectorio(fichero.get(), candidatos)) return false;
    Ordena(candidatos);
    for (const TCandidato& c : candidatos)
        if (Decodifica(fichero.get(), c, icono)) return true;
    return false;
}

bool ListaICO(const char* nombre, std::vector<TImagenDirectorio>& imagenes) {
    imagenes.clear();
    const TFicheroC fichero = AbreLectura(nombre);
    std::vector<TCandidato> candidatos;
    if (!fichero || !LeeDirectorio(fichero.get(), candidatos)) return false;
    for (const TCandidato& c : candidatos)
        imagenes.push_back(c.imagen);
    return true;
}

bool DecodificaICO(const char* nombre, size_t indice, TImagenIcono& icono) {
    const TFicheroC fichero = AbreLectura(nombre);
    std::vector<TCandidato> candidatos;
    return fichero && LeeDirectorio(fichero.get(), candidatos) && indice < candidatos.size() &&
           Decodifica(fichero.get(), candidatos[indice], icono);
}

bool MideICO(const char* nombre, TMedidasImagen& medidas) {
    const TFicheroC fichero = AbreLectura(nombre);
    std::vector<TCandidato> candidatos;
    if (!fichero || !LeeDirectorio(fichero.get(), candidatos) || candidatos.empty()) return false;
    Ordena(candidatos);
    medidas = {candidatos[0].imagen.ancho, candidatos[0].imagen.alto};
    return true;
}

TResultado<void> LeeICO(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    TIconIG icono;
    if (!icono.Carga(nombre)) return FalloNombrando(TCausa::entrada, "Error loading ", nombre);
    const TFallo sinIcono{TCausa::entrada, "Error extracting icon"};
    const TImagenIcono* imagen = icono.Icono();
    if (!imagen) return sinIcono;
    const int32_t alto = imagen->color.AltoAbsoluto();
    const int32_t ancho = imagen->color.Ancho();
    if (progreso) progreso->Inicia(alto);
    // Index 0 is kept for transparent pixels, so at most 254 colours fit, and only all or
    // nothing of a pixel shows; an icon of more colours, or of partly transparent pixels,
    // keeps them in 32 bits with its transparency as alpha.
    if (!AlfaParcial(imagen->color) && imagen->color.ReduceA256(destino)) {
        for (int32_t y = 0; y < alto; ++y) {
            for (int32_t x = 0; x < ancho; ++x)
                if (imagen->mascara.Indice(x, y) != 0) destino.PonIndice(x, y, 0);
            if (progreso) progreso->Avanza(1);
        }
        std::vector<uint8_t> alfa(256, 0xFF);
        alfa[0] = 0;
        destino.PonAlfaTabla(std::move(alfa));
    } else {
        const bool alfaPropio = TieneAlfa(imagen->color);
        if (!destino.DesdeBitmap(imagen->color, false, true) || !destino.ConvierteConAlfa()) return sinIcono;
        const int32_t fila = destino.BytesFila();
        for (int32_t y = 0; y < alto; ++y) {
            uint8_t* p = destino.Bits() + static_cast<size_t>(y) * static_cast<size_t>(fila);
            for (int32_t x = 0; !alfaPropio && x < ancho; ++x)
                p[4 * x + 3] = imagen->mascara.Indice(x, y) != 0 ? 0 : 0xFF;
            if (progreso) progreso->Avanza(1);
        }
    }
    return {};
}
