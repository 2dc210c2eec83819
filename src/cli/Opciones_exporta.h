// The command line of `pictomolder-cli export`: its options, the usage text, and the
// icons it asks for, each a script and the destination of its icon.
#pragma once

#include "render/Destino_icono.h"

#include <string>
#include <vector>

// One icon of the command: the script it is drawn from and where it goes.
struct TTareaExporta {
    std::string fichero;
    TDestinoIcono destino;
};

struct TOpcionesExporta {
    std::vector<std::string> ficheros;
    std::string salida;       // -o
    std::string tema;         // --icon-theme
    std::string nombre;       // --name
    std::string carpeta;      // --outdir
    std::string formato;      // --format
    std::string dependencias; // --depfile
    std::vector<int> lados;   // empty: the preset's, or the default of the destination
    const TPresetIcono* preset = nullptr;
    bool dobles = false; // --hidpi
    bool vigila = false; // --watch
    TOpcionesIcono icono;
    bool encuadreDado = false;
    bool ayuda = false;
};

extern const char* const usoExporta;

// The options after the word "export"; TErrorUso for a mistake.
TOpcionesExporta LeeOpcionesExporta(int cuantos, char** argumentos);
// The icons the options ask for, one per script; TErrorUso when they contradict each
// other, a destination cannot hold the sizes, or two scripts would write one file.
std::vector<TTareaExporta> TareasExporta(TOpcionesExporta& o);
