// Where one exported icon goes and at which sizes, as the command-line tool and the
// Export dialog both choose it: a format, the sizes of a preset or given one by one, and
// the pictures that follow from them (a theme's @2 folders and the @2x types of a macOS
// icon file are drawn at twice the density). Drawing and writing go through one
// exporter, so that many icons share one OpenGL context.
#pragma once

#include "image/Graba_icono.h"
#include "render/Exporta_icono.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A set of sizes for a platform: Windows' scale factors 100 to 400 %, the freedesktop
// hicolor theme (with its @2 folders), the macOS icon file.
struct TPresetIcono {
    const char* nombre;
    std::vector<int> lados;
    bool dobles; // the sizes at twice the density too, where the destination has room
};
std::span<const TPresetIcono> PresetsIcono();
const TPresetIcono* PresetPorNombre(std::string_view nombre);

// The sizes of a macOS icon file: the sides of its types in pixels.
std::vector<int> LadosICNS();

struct TDestinoIcono {
    TFormatoIcono formato = TFormatoIcono::ico;
    bool tema = false;       // an icon-theme folder (its pictures PNG files) instead of a file
    std::string ruta;        // the file, or the theme's folder
    std::string nombre;      // the icon's name in the theme
    std::vector<int> lados;  // drawn at their side
    std::vector<int> dobles; // drawn at twice their side with their framing and lines
};

// The pictures a destination needs for the sizes asked (in pixels), `dobles` asking for
// a theme's @2 folders; a failure (a phrase to go after a colon) when the destination
// cannot hold them.
TResultado<void> FijaLados(TDestinoIcono& destino, const std::vector<int>& lados, bool dobles);
// Every file the destination writes.
std::vector<std::filesystem::path> SalidasDestino(const TDestinoIcono& destino);
// Draws the scene's pictures for the destination and writes them there.
TResultado<void> GrabaDestino(TExportadorIcono& exportador, std::shared_ptr<const TObjeto3D> escena,
                              const TOpcionesIcono& opciones, const TDestinoIcono& destino);
