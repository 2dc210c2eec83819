// The Sun raster reader. A big-endian 32-byte header, an optional colour map stored as
// three planes (all reds, all greens, all blues), then the rows, each padded in the
// file to an even number of bytes. Type 1 files store 24- and 32-bit pixels blue first
// (after a pad or alpha byte at 32 bits), type 3 files red first; type 2 files hold the
// bytes of type 1 run-length encoded (0x80 escapes a run). Everything the header
// announces is checked against the file before anything is allocated or read.
#include "image/Lector_ras.h"

#include "image/Orden_bytes.h"
#include "support/Ficheroqor.h"
#include "support/Monitor_procesos.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t magiaRAS = 0x59A66A95;
constexpr uint32_t tipoEstandar = 1;
constexpr uint32_t tipoRLE = 2;
constexpr uint32_t tipoRGB = 3;
constexpr uint8_t escapeRLE = 0x80;
// A run of 256 bytes takes 3 bytes of the file.
constexpr uint64_t proporcionRLE = 86;
constexpr const char* msgMagia = "Error reading RAS: Wrong Magic number";
constexpr const char* msgTipo = "Error reading RAS: Wrong Type";
constexpr const char* msgTamano = "Error reading RAS: Wrong Size";
constexpr const char* msgProfundidad = "Error reading RAS: Wrong Depth";
constexpr const char* msgLargo = "Error reading RAS: Wrong Length";
constexpr const char* msgCorto = "Error reading RAS: File too short";

struct TCabeceraRAS {
    uint32_t magia, ancho, alto, profundidad, largo, tipo, tipoMapa, largoMapa;
};

TFallo Falla(const char* texto, TCausa causa = TCausa::entrada) {
    return {causa, texto};
}

// The colour map's three planes as palette entries; at most 256 are kept, the rest skipped.
bool LeeMapa(TFicheroQOR& f, uint32_t largoMapa, std::vector<TColorPaleta>& paleta) {
    const uint32_t n = largoMapa / 3;
    const uint32_t guardados = std::min(n, 256u);
    paleta.assign(guardados, TColorPaleta{});
    uint8_t plano[256];
    for (int canal = 0; canal < 3; ++canal) {
        if (!f.LeeBloque(plano, guardados)) return false;
        for (uint32_t i = 0; i < guardados; ++i) {
            TColorPaleta& c = paleta[i];
            (canal == 0 ? c.rojo : canal == 1 ? c.verde : c.azul) = plano[i];
        }
        f.Salta(static_cast<long>(n - guardados));
    }
    f.Salta(static_cast<long>(largoMapa - 3 * n));
    return true;
}

// The bitmap stores blue, green, red (and a fourth byte at 32 bits).
void OrdenaFila(uint8_t* p, uint32_t ancho, uint32_t profundidad, uint32_t tipo) {
    if (profundidad == 24) {
        if (tipo == tipoRGB)
            for (uint32_t x = 0; x < ancho; ++x, p += 3)
                std::swap(p[0], p[2]);
        return;
    }
    for (uint32_t x = 0; x < ancho; ++x, p += 4) {
        const uint8_t a = p[0];
        if (tipo == tipoRGB) {
            p[0] = p[3];
            std::swap(p[1], p[2]);
        } else {
            p[0] = p[1];
            p[1] = p[2];
            p[2] = p[3];
        }
        p[3] = a;
    }
}

// The bytes of a type 2 file: runs "0x80 n v" (n + 1 bytes v), "0x80 0" (one 0x80),
// any other byte as itself.
class TRunsRAS {
public:
    explicit TRunsRAS(std::vector<uint8_t> d) : datos(std::move(d)) {}

    // The next n bytes into `destino` (skipped when it is null); false when the data ends first.
    bool Lee(uint8_t* destino, uint64_t n) {
        while (n > 0) {
            if (repeticiones == 0 && !Siguiente()) return false;
            const uint64_t k = std::min<uint64_t>(n, repeticiones);
            if (destino) {
                std::memset(destino, valor, static_cast<size_t>(k));
                destino += k;
            }
            repeticiones -= static_cast<uint32_t>(k);
            n -= k;
        }
        return true;
    }

private:
    bool Siguiente() {
        if (posicion >= datos.size()) return false;
        valor = datos[posicion++];
        repeticiones = 1;
        if (valor != escapeRLE) return true;
        if (posicion >= datos.size()) return false;
        const uint8_t n = datos[posicion++];
        if (n == 0) return true;
        if (posicion >= datos.size()) return false;
        valor = datos[posicion++];
        repeticiones = uint32_t{n} + 1;
        return true;
    }

    std::vector<uint8_t> datos;
    size_t posicion = 0;
    uint8_t valor = 0;
    uint32_t repeticiones = 0;
};

bool LeeCabecera(TFicheroQOR& f, TCabeceraRAS& c) {
    uint8_t bytes[32];
    if (!f.LeeBloque(bytes, sizeof bytes)) return false;
    uint32_t* campos[] = {&c.magia, &c.ancho, &c.alto,     &c.profundidad,
                          &c.largo, &c.tipo,  &c.tipoMapa, &c.largoMapa};
    for (int i = 0; i < 8; ++i)
        *campos[i] = LeeU32be(bytes + 4 * i);
    return true;
}

} // namespace

bool MideRAS(const char* nombre, TMedidasImagen& medidas) {
    TFicheroQOR f;
    TCabeceraRAS c{};
    if (!f.Abre(nombre, fqLeeBinario) || !LeeCabecera(f, c) || c.magia != magiaRAS ||
        c.ancho > ladoMaximoImagen || c.alto > ladoMaximoImagen)
        return false;
    medidas = {static_cast<int32_t>(c.ancho), static_cast<int32_t>(c.alto)};
    return true;
}

TResultado<void> LeeRAS(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    TFicheroQOR f;
    if (!f.Abre(nombre, fqLeeBinario)) {
        return FalloNombrando(TCausa::entradaSalida, "Error: File ", nombre, " not found.");
    }
    TCabeceraRAS c{};
    if (!LeeCabecera(f, c)) return Falla(msgCorto);
    if (c.magia != magiaRAS) return Falla(msgMagia);
    if (c.tipo != tipoEstandar && c.tipo != tipoRLE && c.tipo != tipoRGB) return Falla(msgTipo);
    if (c.profundidad != 1 && c.profundidad != 8 && c.profundidad != 24 && c.profundidad != 32)
        return Falla(msgProfundidad);
    const auto bits = static_cast<int32_t>(c.profundidad);
    if (!ImagenAdmisible(c.ancho, c.alto, bits)) return Falla(msgTamano, TCausa::limite);

    // Rows are padded to 16 bits; a length of 0 (written by some programs) means exactly
    // that, and so does any length of a run-length encoded file, which counts its bytes.
    const bool rle = c.tipo == tipoRLE;
    const uint64_t necesarios = (uint64_t{c.ancho} * c.profundidad + 7) / 8;
    const uint64_t filaFichero = c.largo && !rle ? c.largo / c.alto : (necesarios + 1) & ~uint64_t{1};
    if (filaFichero < necesarios) return Falla(msgLargo);
    const long resto = f.Tamano() - f.Posicion();
    if (resto < 0 || c.largoMapa > static_cast<uint64_t>(resto)) return Falla(msgCorto);
    const uint64_t trasMapa = static_cast<uint64_t>(resto) - c.largoMapa;
    const uint64_t bytesImagen = filaFichero * c.alto;
    const uint64_t bytesDatos = !rle ? bytesImagen : (c.largo ? c.largo : trasMapa);
    if (bytesDatos > trasMapa || (rle && !CabeEnDatos(bytesImagen, bytesDatos, proporcionRLE)))
        return Falla(msgCorto);

    std::vector<TColorPaleta> paleta;
    if (c.profundidad <= 8 && c.largoMapa >= 3) {
        if (!LeeMapa(f, c.largoMapa, paleta)) return Falla(msgCorto);
    } else {
        f.Salta(static_cast<long>(c.largoMapa));
        // Without a map a mono raster is black on white, a byte raster a grey ramp.
        if (c.profundidad == 1) paleta = {{255, 255, 255, 0}, {0, 0, 0, 0}};
        for (int i = 0; c.profundidad == 8 && i < 256; ++i) {
            const auto g = static_cast<uint8_t>(i);
            paleta.push_back({g, g, g, 0});
        }
    }
    destino.Prepara(static_cast<int32_t>(c.ancho), -static_cast<int32_t>(c.alto), bits,
                    static_cast<int32_t>(paleta.size()), paleta.empty() ? nullptr : paleta.data());

    std::unique_ptr<TRunsRAS> runs;
    if (rle) {
        std::vector<uint8_t> comprimidos(bytesDatos);
        if (!f.LeeBloque(comprimidos.data(), static_cast<long>(bytesDatos))) return Falla(msgCorto);
        runs = std::make_unique<TRunsRAS>(std::move(comprimidos));
    }
    const auto bytesFila = static_cast<uint64_t>(destino.BytesFila());
    const uint64_t leidos = std::min(filaFichero, bytesFila);
    if (progreso) progreso->Inicia(static_cast<int32_t>(c.alto));
    for (uint32_t r = 0; r < c.alto; ++r) {
        uint8_t* fila = destino.Bits() + r * bytesFila;
        if (runs) {
            if (!runs->Lee(fila, leidos) || !runs->Lee(nullptr, filaFichero - leidos)) return Falla(msgCorto);
        } else {
            if (!f.LeeBloque(fila, static_cast<long>(leidos))) return Falla(msgCorto);
            f.Salta(static_cast<long>(filaFichero - leidos));
        }
        if (c.profundidad >= 24) OrdenaFila(fila, c.ancho, c.profundidad, c.tipo);
        if (progreso) progreso->Avanza(1);
    }
    return {};
}
