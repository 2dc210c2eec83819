#include "cli/Salidas_cli.h"

#include "script/Ficheros_leidos.h"
#include "support/Resultado.h"
#include "support/Rutas.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The file a name stands for, links followed; false when there is none.
bool Identidad(const fs::path& ruta, struct stat& datos) {
    return ::stat(ruta.c_str(), &datos) == 0;
}

} // namespace

std::vector<fs::path> EntradasDe(const std::string& fichero, const TObjeto3D& escena) {
    std::vector<fs::path> entradas;
    // Standard input may be a file too ("render - -o h.3di <h.3di").
    entradas.push_back(fichero == "-" ? fs::path("/dev/stdin") : RutaSistema(fichero.c_str()));
    for (fs::path& leido : FicherosLeidos(escena))
        entradas.push_back(std::move(leido));
    return entradas;
}

void CompruebaSalidas(std::span<const fs::path> entradas, std::span<const fs::path> salidas) {
    for (const fs::path& salida : salidas) {
        struct stat destino {};
        if (!Identidad(salida, destino)) continue;
        for (const fs::path& entrada : entradas) {
            struct stat origen {};
            if (Identidad(entrada, origen) && origen.st_dev == destino.st_dev &&
                origen.st_ino == destino.st_ino)
                throw TXPictomolder(TCausa::uso, "the output " + salida.string() +
                                                     " is the same file as the input " + entrada.string() +
                                                     "; nothing was written");
        }
    }
}
