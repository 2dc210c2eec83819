#include "cli/Fichero_dependencias.h"

namespace {

std::string Escapa(const std::filesystem::path& ruta) {
    std::string texto;
    for (const char c : ruta.string()) {
        if (c == ' ' || c == '#') texto += '\\';
        if (c == '$') texto += '$';
        texto += c;
    }
    return texto;
}

} // namespace

std::string TextoDependencias(const std::vector<TReglaDependencias>& reglas) {
    std::string texto;
    for (const TReglaDependencias& r : reglas) {
        texto += Escapa(r.salida) + ":";
        for (const auto& entrada : r.entradas)
            texto += " \\\n  " + Escapa(entrada);
        texto += "\n";
    }
    return texto;
}
