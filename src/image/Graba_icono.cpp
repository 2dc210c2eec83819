#include "image/Graba_icono.h"

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
    return false;
}

TResultado<void> GrabaIcono(const TImagenesIcono& imagenes, TFormatoIcono formato,
                            const std::string& nombre) {
    if (formato == TFormatoIcono::png) {
        if (imagenes.size() != 1) return TFallo{TCausa::uso, "A PNG file holds one size of the icon."};
        return GrabaPNG(*imagenes.front(), nombre.c_str());
    }
    std::vector<const TDibIG*> punteros;
    for (const auto& imagen : imagenes)
        punteros.push_back(imagen.get());
    return GrabaICO(punteros, nombre.c_str());
}

fs::path RutaEnTema(const std::string& carpeta, int lado, const std::string& nombre) {
    const std::string tamano = std::to_string(lado) + "x" + std::to_string(lado);
    return RutaSistema(carpeta.c_str()) / tamano / "apps" / (nombre + ".png");
}

TResultado<void> GrabaTemaIconos(const TImagenesIcono& imagenes, const std::string& carpeta,
                                 const std::string& nombre) {
    if (nombre.empty() || nombre == "." || nombre == ".." || nombre.find_first_of("/\\") != std::string::npos)
        return FalloNombrando(TCausa::uso, "An icon's name in a theme is a plain file name, not \"",
                              nombre.c_str(), "\".");
    for (const auto& imagen : imagenes) {
        const fs::path fichero = RutaEnTema(carpeta, imagen->Ancho(), nombre);
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
