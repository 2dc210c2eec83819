#include "image/Graba_icono.h"

#include "image/Graba_icns.h"
#include "image/Graba_ico.h"
#include "image/Graba_png.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool TerminaEn(const std::string& nombre, const char* extension) {
    const std::string final(extension);
    return nombre.size() > final.size() &&
           std::equal(final.rbegin(), final.rend(), nombre.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

bool FormatoPorNombre(const std::string& nombre, TFormatoIcono& formato) {
    if (TerminaEn(nombre, ".ico")) {
        formato = TFormatoIcono::ico;
        return true;
    }
    if (TerminaEn(nombre, ".png")) {
        formato = TFormatoIcono::png;
        return true;
    }
    if (TerminaEn(nombre, ".icns")) {
        formato = TFormatoIcono::icns;
        return true;
    }
    return false;
}

namespace {

// Each picture under the macOS type of its side at its density.
TResultado<void> GrabaICNSDe(const TImagenesIcono& sencillas, const TImagenesIcono& dobles,
                             const std::string& nombre) {
    std::vector<TImagenICNS> imagenes;
    for (const int densidad : {1, 2})
        for (const auto& imagen : densidad == 1 ? sencillas : dobles) {
            const auto tipo = std::find_if(tiposICNS.begin(), tiposICNS.end(), [&](const TTipoICNS& t) {
                return t.densidad == densidad && t.lado * densidad == imagen->Ancho();
            });
            if (tipo == tiposICNS.end())
                return FalloFormato(
                    TCausa::uso, "A macOS icon file has no place for a picture of %d pixels at density %d.",
                    imagen->Ancho(), densidad);
            imagenes.push_back({&*tipo, imagen.get()});
        }
    return GrabaICNS(imagenes, nombre.c_str());
}

} // namespace

TResultado<void> GrabaIcono(const TImagenesIcono& imagenes, TFormatoIcono formato, const std::string& nombre,
                            const TImagenesIcono& dobles) {
    if (formato == TFormatoIcono::icns) return GrabaICNSDe(imagenes, dobles, nombre);
    if (formato == TFormatoIcono::png) {
        if (imagenes.size() != 1) return TFallo{TCausa::uso, "A PNG file holds one size of the icon."};
        return GrabaPNG(*imagenes.front(), nombre.c_str());
    }
    std::vector<const TDibIG*> punteros;
    for (const auto& imagen : imagenes)
        punteros.push_back(imagen.get());
    return GrabaICO(punteros, nombre.c_str());
}

fs::path RutaEnTema(const std::string& carpeta, int lado, const std::string& nombre, int densidad) {
    std::string tamano = std::to_string(lado) + "x" + std::to_string(lado);
    // Appended piece by piece: GCC 12 at -O3 takes "@" + std::string for an overlapping copy.
    if (densidad != 1) {
        tamano += '@';
        tamano += std::to_string(densidad);
    }
    return RutaSistema(carpeta.c_str()) / tamano / "apps" / (nombre + ".png");
}

TResultado<void> GrabaTemaIconos(const TImagenesIcono& imagenes, const std::string& carpeta,
                                 const std::string& nombre, int densidad) {
    if (nombre.empty() || nombre == "." || nombre == ".." || nombre.find_first_of("/\\") != std::string::npos)
        return FalloNombrando(TCausa::uso, "An icon's name in a theme is a plain file name, not \"",
                              nombre.c_str(), "\".");
    for (const auto& imagen : imagenes) {
        const fs::path fichero = RutaEnTema(carpeta, imagen->Ancho() / densidad, nombre, densidad);
        const fs::path apps = fichero.parent_path();
        std::error_code ec;
        fs::create_directories(apps, ec);
        if (ec)
            return FalloNombrando(TCausa::entradaSalida, "Can't make the folder ", apps.c_str(),
                                  (": " + ec.message()).c_str());
        if (auto grabado = GrabaPNG(*imagen, fichero.c_str()); !grabado) return grabado;
    }
    return {};
}
