#include "cli/Orden_exporta.h"

#include "cli/Escena_cli.h"
#include "cli/Salidas_cli.h"
#include "image/Graba_ico.h"
#include "image/Graba_icono.h"
#include "render/Exporta_icono.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const usoExporta =
    "Usage: pictomolder-cli export FILE -o OUT.ico|OUT.png [options]\n"
    "       pictomolder-cli export FILE --icon-theme DIR --name NAME [options]\n"
    "\n"
    "Draws the icon of FILE transparent, antialiased and framed (the model fills the\n"
    "square but a margin of 1/16 of the side), each size drawn at its own size, into an\n"
    "icon file (every size), a PNG file (one size) or an icon-theme folder\n"
    "(DIR/NxN/apps/NAME.png for each size).\n"
    "\n"
    "Options:\n"
    "  --sizes 16,24,32,48,64,128,256   the sizes (the default for .ico and themes;\n"
    "                                   up to 256 in an icon file, 1024 elsewhere)\n"
    "  --size N                         one size (a PNG file's default is 256)\n"
    "  --background none|#RRGGBB        transparent (the default) or this colour\n"
    "  --angles X,Y                     the view's angles in radians (default -0.785,0)\n"
    "  --view front|back|left|right|top|bottom|iso   a named view instead\n"
    "  --perspective [--distance D]     perspective, the eye D model units away\n"
    "  --zoom S                         pixels per model unit at 256 pixels, no framing\n"
    "  --pan X,Y                        pan (2 = the whole side), no framing\n"
    "\n"
    "Exit status: 0 written, 1 written although the script has errors, 2 usage, drawing\n"
    "or file errors.\n";

// The size of a PNG file when none is given.
constexpr int ladoPNG = 256;

struct TOpcionesExporta {
    std::string fichero;
    std::string salida;
    std::string tema;
    std::string nombre;
    std::vector<int> lados; // empty: the default of the destination
    TOpcionesIcono icono;
    bool encuadreDado = false;
    bool ayuda = false;
};

int LeeLado(const std::string& texto, const char* opcion) {
    const double v = LeeNumero(texto, opcion);
    if (v < 1 || v > ladoMaximoExportado || v != static_cast<int>(v))
        throw TErrorUso(std::string(opcion) + " wants whole numbers from 1 to " +
                        std::to_string(ladoMaximoExportado) + ": " + texto);
    return static_cast<int>(v);
}

// "16,24,32" in that order, each once.
std::vector<int> LeeLados(const std::string& texto) {
    std::vector<int> lados;
    size_t desde = 0;
    for (;;) {
        const size_t coma = texto.find(',', desde);
        const int lado = LeeLado(texto.substr(desde, coma - desde), "--sizes");
        if (std::find(lados.begin(), lados.end(), lado) == lados.end()) lados.push_back(lado);
        if (coma == std::string::npos) return lados;
        desde = coma + 1;
    }
}

// "none" or "#RRGGBB".
void LeeFondo(const std::string& texto, TOpcionesIcono& icono) {
    if (texto == "none") {
        icono.transparente = true;
        return;
    }
    const bool hex = texto.size() == 7 && texto[0] == '#' &&
                     texto.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (!hex) throw TErrorUso("--background wants none or #RRGGBB: " + texto);
    const unsigned long rgb = std::strtoul(texto.c_str() + 1, nullptr, 16);
    icono.transparente = false;
    icono.fondo = ColorRGB(static_cast<uint32_t>(rgb >> 16 & 0xFF), static_cast<uint32_t>(rgb >> 8 & 0xFF),
                           static_cast<uint32_t>(rgb & 0xFF));
}

TOpcionesExporta LeeOpciones(int cuantos, char** argumentos) {
    TOpcionesExporta o;
    o.icono.camara.ResetView();
    for (int i = 0; i < cuantos; ++i) {
        const std::string a = argumentos[i];
        const auto valor = [&]() -> std::string {
            if (i + 1 >= cuantos) throw TErrorUso("option " + a + " needs a value");
            return argumentos[++i];
        };
        if (LeeOpcionCamara(a, valor, o.icono.camara, o.encuadreDado)) {
            continue;
        } else if (a == "--help" || a == "-h") {
            o.ayuda = true;
            return o;
        } else if (a == "-o") {
            o.salida = valor();
        } else if (a == "--icon-theme") {
            o.tema = valor();
        } else if (a == "--name") {
            o.nombre = valor();
        } else if (a == "--sizes") {
            o.lados = LeeLados(valor());
        } else if (a == "--size") {
            o.lados = {LeeLado(valor(), "--size")};
        } else if (a == "--background") {
            LeeFondo(valor(), o.icono);
        } else if (a.size() > 1 && a[0] == '-') {
            throw TErrorUso("unknown option for export: " + a);
        } else if (o.fichero.empty()) {
            o.fichero = a;
        } else {
            throw TErrorUso("more than one file given: " + a);
        }
    }
    return o;
}

// The destination's rules on top of the options.
void Comprueba(TOpcionesExporta& o, TFormatoIcono& formato) {
    if (o.fichero.empty()) throw TErrorUso("no file given");
    if (o.salida.empty() == o.tema.empty())
        throw TErrorUso("give either -o OUT.ico|OUT.png or --icon-theme DIR");
    if (!o.tema.empty() && o.nombre.empty()) throw TErrorUso("--icon-theme needs --name NAME");
    if (o.tema.empty() && !o.nombre.empty()) throw TErrorUso("--name goes with --icon-theme");
    if (!o.salida.empty() && !FormatoPorNombre(o.salida, formato))
        throw TErrorUso("-o wants a file name ending in .ico or .png: " + o.salida);
    const bool png = o.tema.empty() && formato == TFormatoIcono::png;
    if (o.lados.empty()) o.lados = png ? std::vector<int>{ladoPNG} : o.icono.lados;
    if (png && o.lados.size() != 1) throw TErrorUso("a PNG file holds one size: give --size N");
    if (o.tema.empty() && formato == TFormatoIcono::ico &&
        std::any_of(o.lados.begin(), o.lados.end(), [](int lado) { return lado > ladoMaximoIcono; }))
        throw TErrorUso("an icon file holds sizes up to 256");
    if (o.icono.camara.perspectiva && !(o.icono.camara.distancia > 0))
        throw TErrorUso("--distance wants a positive number");
    o.icono.lados = o.lados;
    // A zoom or pan given by hand is kept as given.
    o.icono.encuadra = !o.encuadreDado;
}

// Every file the command writes: an option that names one adds it here, so that none
// replaces an input.
std::vector<std::filesystem::path> SalidasDe(const TOpcionesExporta& o) {
    if (o.tema.empty()) return {RutaSistema(o.salida.c_str())};
    std::vector<std::filesystem::path> salidas;
    for (const int lado : o.lados)
        salidas.push_back(RutaEnTema(o.tema, lado, o.nombre));
    return salidas;
}

} // namespace

int OrdenExporta(int cuantos, char** argumentos) {
    TOpcionesExporta o;
    TFormatoIcono formato = TFormatoIcono::ico;
    try {
        o = LeeOpciones(cuantos, argumentos);
        if (o.ayuda) {
            std::fputs(usoExporta, stdout);
            return salidaCorrecta;
        }
        Comprueba(o, formato);
    } catch (const TErrorUso& e) {
        return AvisaUso(e.what(), "pictomolder-cli export --help");
    }

    const TLecturaEscena lectura = LeeEntrada(o.fichero);
    const bool correcto = lectura.Correcta();
    CompruebaSalidas(EntradasDe(o.fichero, lectura.Escena()), SalidasDe(o));
    if (!correcto) std::fprintf(stderr, "%s\n", lectura.informe.Texto().c_str());
    const auto imagenes = ExportaIcono(lectura.escena, o.icono);
    TResultado<void> escrito = imagenes ? TResultado<void>() : imagenes.Fallo();
    if (escrito)
        escrito = o.tema.empty() ? GrabaIcono(*imagenes, formato, o.salida)
                                 : GrabaTemaIconos(*imagenes, o.tema, o.nombre);
    if (!escrito) {
        std::fprintf(stderr, "pictomolder-cli: %s\n", escrito.Mensaje().c_str());
        return salidaUso;
    }
    return correcto ? salidaCorrecta : salidaFallo;
}
