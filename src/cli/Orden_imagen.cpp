#include "cli/Orden_imagen.h"

#include "cli/Escena_cli.h"
#include "cli/Salidas_cli.h"
#include "image/Tdibigformat.h"
#include "support/Rutas.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

int OrdenImagen(int cuantos, char** argumentos) {
    std::string fichero;
    std::string salida;
    for (int i = 0; i < cuantos; ++i) {
        const std::string a = argumentos[i];
        if (a == "-o") {
            if (++i >= cuantos) return AvisaUso("option -o needs a value");
            salida = argumentos[i];
        } else if (a.size() > 1 && a[0] == '-') {
            return AvisaUso("unknown option for image: " + a);
        } else if (fichero.empty()) {
            fichero = a;
        } else {
            return AvisaUso("more than one file given: " + a);
        }
    }
    if (fichero.empty()) return AvisaUso("no file given");
    const std::filesystem::path entradas[] = {RutaSistema(fichero.c_str())};
    const std::filesystem::path salidas[] = {RutaSistema(salida.c_str())};
    CompruebaSalidas(entradas, salidas);

    TDibIGformat imagen;
    if (const auto leida = imagen.LeeImagen(fichero.c_str()); !leida) {
        std::printf("%s\n", leida.Mensaje().c_str());
        return 1;
    }
    std::printf("{\"width\": %d, \"height\": %d, \"bits\": %d, \"colours\": %d, \"topDown\": %s}\n",
                imagen.Ancho(), imagen.AltoAbsoluto(), imagen.BitsPixel(), imagen.NumColores(),
                imagen.Alto() < 0 ? "true" : "false");
    if (!salida.empty() && !imagen.GrabaBMP(salida.c_str())) {
        std::fprintf(stderr, "pictomolder-cli: cannot write %s\n", salida.c_str());
        return 2;
    }
    return 0;
}
