#include "render/Destino_icono.h"

#include "image/Graba_icns.h"
#include "image/Graba_ico.h"
#include "support/Rutas.h"

#include <algorithm>
#include <array>

namespace {

bool Contiene(const std::vector<int>& lados, int lado) {
    return std::find(lados.begin(), lados.end(), lado) != lados.end();
}

std::string Lista(const std::vector<int>& lados) {
    std::string texto;
    for (const int lado : lados)
        texto += (texto.empty() ? "" : ", ") + std::to_string(lado);
    return texto;
}

TFallo NoCabe(const std::string& motivo) {
    return {TCausa::uso, DString(motivo.c_str())};
}

} // namespace

std::vector<int> LadosICNS() {
    std::vector<int> lados;
    for (const TTipoICNS& t : tiposICNS)
        if (!Contiene(lados, t.lado * t.densidad)) lados.push_back(t.lado * t.densidad);
    std::sort(lados.begin(), lados.end());
    return lados;
}

std::span<const TPresetIcono> PresetsIcono() {
    static const std::array<TPresetIcono, 3> presets{{
        {"windows", {16, 20, 24, 30, 32, 36, 40, 48, 60, 64, 72, 80, 96, 256}, false},
        {"hicolor", {16, 22, 24, 32, 48, 64, 96, 128, 256, 512}, true},
        {"macos", LadosICNS(), false},
    }};
    return presets;
}

const TPresetIcono* PresetPorNombre(std::string_view nombre) {
    for (const TPresetIcono& p : PresetsIcono())
        if (nombre == p.nombre) return &p;
    return nullptr;
}

TResultado<void> FijaLados(TDestinoIcono& destino, const std::vector<int>& lados, bool dobles) {
    destino.lados.clear();
    destino.dobles.clear();
    if (destino.tema) {
        destino.lados = lados;
        if (dobles) {
            for (const int lado : lados)
                if (lado > ladoMaximoExportado / 2)
                    return NoCabe("an @2 folder holds its size drawn at twice the side, up to " +
                                  std::to_string(ladoMaximoExportado / 2));
            destino.dobles = lados;
        }
        return {};
    }
    switch (destino.formato) {
    case TFormatoIcono::png:
        if (lados.size() != 1) return NoCabe("a PNG file holds one size: give --size N");
        destino.lados = lados;
        break;
    case TFormatoIcono::ico:
        if (std::any_of(lados.begin(), lados.end(), [](int lado) { return lado > ladoMaximoIcono; }))
            return NoCabe("an icon file holds sizes up to 256");
        destino.lados = lados;
        break;
    case TFormatoIcono::icns:
        for (const int lado : lados)
            if (!Contiene(LadosICNS(), lado))
                return NoCabe("a macOS icon file holds the sizes " + Lista(LadosICNS()) + ", not " +
                              std::to_string(lado));
        // Every type whose picture has a side asked, in the order of the types.
        for (const TTipoICNS& t : tiposICNS)
            if (Contiene(lados, t.lado * t.densidad))
                (t.densidad == 1 ? destino.lados : destino.dobles).push_back(t.lado);
        break;
    }
    return {};
}

std::vector<std::filesystem::path> SalidasDestino(const TDestinoIcono& destino) {
    if (!destino.tema) return {RutaSistema(destino.ruta.c_str())};
    std::vector<std::filesystem::path> salidas;
    for (const int densidad : {1, 2})
        for (const int lado : densidad == 1 ? destino.lados : destino.dobles)
            salidas.push_back(RutaEnTema(destino.ruta, lado, destino.nombre, densidad));
    return salidas;
}

TResultado<void> GrabaDestino(TExportadorIcono& exportador, std::shared_ptr<const TObjeto3D> escena,
                              const TOpcionesIcono& opciones, const TDestinoIcono& destino) {
    TImagenesIcono sencillas, dobles;
    TOpcionesIcono o = opciones;
    for (const int densidad : {1, 2}) {
        o.lados = densidad == 1 ? destino.lados : destino.dobles;
        o.densidad = densidad;
        if (o.lados.empty()) continue;
        auto dibujadas = exportador.Exporta(escena, o);
        if (!dibujadas) return std::move(dibujadas).Fallo();
        (densidad == 1 ? sencillas : dobles) = std::move(*dibujadas);
    }
    if (!destino.tema) return GrabaIcono(sencillas, destino.formato, destino.ruta, dobles);
    if (auto grabado = GrabaTemaIconos(sencillas, destino.ruta, destino.nombre); !grabado || dobles.empty())
        return grabado;
    return GrabaTemaIconos(dobles, destino.ruta, destino.nombre, 2);
}
