// pm-genera-ayudas: what the install puts beside the programs for other tools, written at
// build time from what the programs themselves say, so that it follows them without edits.
//
//   pm-genera-ayudas sintaxis TEMPLATE OUT
//       TEMPLATE with "@COMANDOS_3DI@" replaced by the script's command words joined by
//       "|" (the syntax definitions of other editors)
//   pm-genera-ayudas cli PROGRAM VERSION SUMMARY COMPLETION_TEMPLATE OUT.1 OUT_COMPLETION
//       the manual page of the command-line tool and its bash completion, from
//       `PROGRAM --help` and the own help of each of its commands that has one
//   pm-genera-ayudas editor MANUAL.md VERSION SUMMARY OUT.1
//       the manual page of the editor, from the manual's guide and language chapters
#include "Paginas_man.h"

#include "script/Objetos_3d.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string LeeFichero(const std::string& nombre) {
    std::ifstream entrada(nombre, std::ios::binary);
    if (!entrada) throw std::runtime_error("cannot read " + nombre);
    std::stringstream texto;
    texto << entrada.rdbuf();
    return texto.str();
}

void EscribeFichero(const std::string& nombre, const std::string& texto) {
    std::ofstream salida(nombre, std::ios::binary);
    salida << texto;
    if (!salida.flush()) throw std::runtime_error("cannot write " + nombre);
}

std::string Sustituye(std::string texto, const std::string& marca, const std::string& valor) {
    for (size_t i = texto.find(marca); i != std::string::npos; i = texto.find(marca, i + valor.size()))
        texto.replace(i, marca.size(), valor);
    return texto;
}

// What a program prints on standard output (its exit status does not matter: a command
// without a help of its own may refuse --help).
std::string SalidaDe(const std::vector<std::string>& argumentos) {
    int tubo[2];
    if (pipe(tubo) != 0) throw std::runtime_error("pipe");
    const pid_t hijo = fork();
    if (hijo < 0) throw std::runtime_error("fork");
    if (hijo == 0) {
        dup2(tubo[1], STDOUT_FILENO);
        // A command that refuses --help says so on standard error: not for the build log.
        if (const int nulo = open("/dev/null", O_WRONLY); nulo >= 0) dup2(nulo, STDERR_FILENO);
        close(tubo[0]);
        close(tubo[1]);
        std::vector<char*> argv;
        for (const std::string& a : argumentos)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(tubo[1]);
    std::string texto;
    char bloque[4096];
    for (ssize_t n; (n = read(tubo[0], bloque, sizeof bloque)) > 0;)
        texto.append(bloque, static_cast<size_t>(n));
    close(tubo[0]);
    int estado = 0;
    waitpid(hijo, &estado, 0);
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) == 127)
        throw std::runtime_error("cannot run " + argumentos[0]);
    return texto;
}

int Sintaxis(const std::string& plantilla, const std::string& salida) {
    std::string palabras;
    for (const char* p : Comandos3Di())
        Junta(palabras, p, "|");
    EscribeFichero(salida, Sustituye(LeeFichero(plantilla), "@COMANDOS_3DI@", palabras));
    return 0;
}

struct TOpcionEnTexto {
    std::string nombre; // with its "=" when written with one ("--format=")
    std::string valor;  // the word after it ("WxH", "front|back"), or empty
};

std::vector<TOpcionEnTexto> OpcionesDe(const std::string& texto) {
    std::vector<TOpcionEnTexto> opciones;
    const auto esNombre = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
    for (size_t i = 0; i + 1 < texto.size(); ++i) {
        if (!EsInicioOpcion(texto, i)) continue;
        size_t fin = i + 1;
        while (fin < texto.size() && esNombre(texto[fin]))
            ++fin;
        TOpcionEnTexto o{texto.substr(i, fin - i), ""};
        if (fin < texto.size() && (texto[fin] == '=' || texto[fin] == ' ')) {
            if (texto[fin] == '=') o.nombre += '=';
            const size_t desde = fin + 1;
            size_t hasta = desde;
            while (hasta < texto.size() && texto[hasta] != ' ' && texto[hasta] != ']')
                ++hasta;
            const std::string palabra = texto.substr(desde, hasta - desde);
            if (!palabra.empty() && std::string("[-|").find(palabra[0]) == std::string::npos)
                o.valor = palabra;
        }
        opciones.push_back(o);
        i = fin;
    }
    return opciones;
}

// How bash completes the value of an option, from the word a synopsis gives for it: one of
// the lower-case words of "a|b|c", a folder for a DIR, a file for a FILE or a name with an
// extension, nothing else for the rest (numbers, names).
std::string CompletadoDeValor(const std::string& valor) {
    std::string palabras;
    if (valor.find('|') != std::string::npos) {
        std::stringstream alternativas(valor);
        for (std::string a; std::getline(alternativas, a, '|');)
            if (!a.empty() && std::islower(static_cast<unsigned char>(a[0])) &&
                a.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_-") == std::string::npos)
                Junta(palabras, a);
    }
    if (!palabras.empty()) return "COMPREPLY=($(compgen -W '" + palabras + "' -- \"$cur\")); return";
    if (valor.find("DIR") != std::string::npos) return "_filedir -d; return";
    if (valor.find("FILE") != std::string::npos || valor.find('.') != std::string::npos)
        return "_filedir; return";
    return "return";
}

// Appends a word to a list that does not hold it yet; whether it did.
bool Anade(std::vector<std::string>& lista, const std::string& palabra) {
    if (std::find(lista.begin(), lista.end(), palabra) != lista.end()) return false;
    lista.push_back(palabra);
    return true;
}

using TAyudasPropias = std::vector<std::pair<std::string, TAyudaCli>>;

const TAyudaCli* AyudaPropia(const TAyudasPropias& propias, const std::string& orden) {
    for (const auto& [nombre, ayuda] : propias)
        if (nombre == orden) return &ayuda;
    return nullptr;
}

// A command's branch of the completion: how the value of each of its options that takes
// one is completed (from its synopses and usage lines, where the word after an option is
// its value), grouped by how, and its options (all that its entry of the main help and
// its own help name).
std::string RamaDeOrden(const TEntradaAyuda& orden, const TAyudaCli* propia) {
    std::vector<std::string> sinopsis{orden.sinopsis};
    std::string texto = orden.sinopsis + " " + orden.descripcion;
    if (propia) {
        // Appended piece by piece: GCC 12 at -O3 takes " " + std::string for an overlapping copy.
        texto += ' ';
        texto += propia->TextoEntero();
        sinopsis.insert(sinopsis.end(), propia->uso.begin(), propia->uso.end());
        for (const TBloqueAyuda& b : propia->bloques)
            for (const TEntradaAyuda& e : b.entradas)
                sinopsis.push_back(e.sinopsis);
    }
    std::vector<std::pair<std::string, std::string>> valores; // (how, "--a|--b")
    std::vector<std::string> conValor;
    for (const std::string& s : sinopsis)
        for (const TOpcionEnTexto& o : OpcionesDe(s)) {
            std::string nombre = o.nombre;
            if (nombre.back() == '=') nombre.pop_back();
            if (o.valor.empty() || !Anade(conValor, nombre)) continue;
            const std::string como = CompletadoDeValor(o.valor);
            const auto grupo =
                std::find_if(valores.begin(), valores.end(), [&](const auto& g) { return g.first == como; });
            if (grupo == valores.end())
                valores.emplace_back(como, nombre);
            else
                Junta(grupo->second, nombre, "|");
        }
    std::vector<std::string> opciones;
    for (const TOpcionEnTexto& o : OpcionesDe(texto))
        Anade(opciones, o.nombre);
    Anade(opciones, "--help");
    std::string lista;
    for (const std::string& o : opciones)
        Junta(lista, o);

    std::string rama = "    " + orden.Nombre() + ")\n";
    if (!valores.empty()) {
        rama += "        case $prev in\n";
        for (const auto& [como, nombres] : valores)
            rama += "        " + nombres + ") " + como + " ;;\n";
        rama += "        esac\n";
    }
    return rama + "        opciones='" + lista + "'\n        ;;\n";
}

std::string Completado(const std::string& plantilla, const TAyudaCli& ayuda, const TAyudasPropias& propias) {
    std::string ordenes;
    std::string ramas;
    for (const TEntradaAyuda& orden : ayuda.Ordenes()) {
        Junta(ordenes, orden.Nombre());
        ramas += RamaDeOrden(orden, AyudaPropia(propias, orden.Nombre()));
    }
    return Sustituye(Sustituye(plantilla, "@ORDENES@", ordenes), "@RAMAS@\n", ramas);
}

int Cli(const std::string& programa, const std::string& version, const std::string& resumen,
        const std::string& plantilla, const std::string& salidaMan, const std::string& salidaCompletado) {
    const TAyudaCli ayuda = TAyudaCli::Lee(SalidaDe({programa, "--help"}));
    // A command has a help of its own when `COMMAND --help` prints a usage of it.
    TAyudasPropias propias;
    for (const TEntradaAyuda& orden : ayuda.Ordenes()) {
        TAyudaCli propia = TAyudaCli::Lee(SalidaDe({programa, orden.Nombre(), "--help"}));
        if (!propia.uso.empty() && propia.uso[0].rfind(ayuda.Programa() + " " + orden.Nombre() + " ", 0) == 0)
            propias.emplace_back(orden.Nombre(), std::move(propia));
    }
    EscribeFichero(salidaMan, PaginaManCli(ayuda, propias, version, resumen));
    EscribeFichero(salidaCompletado, Completado(LeeFichero(plantilla), ayuda, propias));
    return 0;
}

int Editor(const std::string& manual, const std::string& version, const std::string& resumen,
           const std::string& salida) {
    EscribeFichero(salida, PaginaManEditor(LeeFichero(manual), version, resumen));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    try {
        if (a.size() == 3 && a[0] == "sintaxis") return Sintaxis(a[1], a[2]);
        if (a.size() == 7 && a[0] == "cli") return Cli(a[1], a[2], a[3], a[4], a[5], a[6]);
        if (a.size() == 5 && a[0] == "editor") return Editor(a[1], a[2], a[3], a[4]);
    } catch (const std::exception& e) {
        std::cerr << "pm-genera-ayudas: " << e.what() << '\n';
        return 1;
    }
    std::cerr << "usage: pm-genera-ayudas sintaxis|cli|editor ... (see the source)\n";
    return 2;
}
