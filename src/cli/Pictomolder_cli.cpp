// pictomolder-cli: the editor's work without a display. It parses 3DI scripts (or
// imports 3D Studio meshes) as the editor does, dumps the scene, renders it headless to
// a BMP file, exports the 32 x 32 icon and the icon at every size.
#include "cli/Diagnosticos_cli.h"
#include "cli/Escena_cli.h"
#include "cli/Orden_exporta.h"
#include "cli/Orden_imagen.h"
#include "cli/Salidas_cli.h"
#include "image/Graba_png.h"
#include "image/Tdibig.h"
#include "render/Icono_2d.h"
#include "render/Pinta_vista.h"
#include "script/Volcado_json.h"
#include "support/Rutas.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int tamanoMaximo = 8192;

const char* const textoAyuda =
    "Usage: pictomolder-cli COMMAND FILE [options]\n"
    "\n"
    "Commands:\n"
    "  check FILE [--format pane|gcc|json]\n"
    "                    parse FILE and print what the editor's error pane shows, or\n"
    "                    the errors as FILE:LINE:COLUMN: error: MESSAGE, or as JSON\n"
    "  dump FILE         print the parsed scene as JSON\n"
    "  render FILE -o OUT.bmp|OUT.png [--size WxH] [--angles X,Y] [--zoom S] [--pan X,Y]\n"
    "                    [--perspective] [--distance D] [--highlight LINE[:POINT]]\n"
    "                    [--view front|back|left|right|top|bottom|iso] [--fit]\n"
    "                    draw the scene headless into a 24-bit BMP or PNG file (by the\n"
    "                    name's extension); --view turns the model as the editor's View\n"
    "                    menu does, --fit frames it whole\n"
    "  icon FILE [-o OUT.bmp|OUT.png] [--size WxH]\n"
    "                    export the 32 x 32 icon (default output FILE.bmp)\n"
    "  export FILE... -o OUT | --icon-theme DIR --name NAME | --outdir DIR [options]\n"
    "                    the icon at every size a desktop asks for, transparent,\n"
    "                    antialiased and framed; many scripts in one run, dependency\n"
    "                    files, watching (pictomolder-cli export --help)\n"
    "  image FILE [-o OUT.bmp]\n"
    "                    load an image file as a texture: its size as JSON (exit 1 and the\n"
    "                    loader's message when it cannot), written unchanged as BMP with -o\n"
    "\n"
    "FILE is a 3DI script, or a 3D Studio mesh when its name ends in .3ds (any case);\n"
    "FILE - reads a script from standard input.\n"
    "A relative TEXTURET image is looked for in the script's folder, or in the current\n"
    "folder for a script read from standard input.\n"
    "No output may be one of the inputs (FILE or a texture it reads), by name or link:\n"
    "such a command writes nothing.\n"
    "Exit status: 0 success, 1 the script or mesh has errors, 2 usage or file errors.\n";

struct TOpciones {
    std::string orden;
    std::string fichero;
    std::string salida;
    int ancho = 256;
    int alto = 256;
    TCamara camara;
    bool encuadra = false;
    TSeleccion seleccion;
    TFormatoDiagnosticos formato = TFormatoDiagnosticos::pane;
    bool png = false;
};

// Whether a picture goes out as PNG (".png") or BMP (".bmp"), any case; any other name
// is a mistake, so that no file holds a format its name does not say.
bool SalidaPNG(const std::string& salida) {
    std::string extension = std::filesystem::path(salida).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".bmp" && extension != ".png")
        throw TErrorUso("-o wants a file name ending in .bmp or .png: " + salida);
    return extension == ".png";
}

// Every file the command writes: an option that names one adds it here, so that none
// replaces an input.
std::vector<std::filesystem::path> SalidasDe(const TOpciones& o) {
    if (o.salida.empty()) return {};
    return {RutaSistema(o.salida.c_str())};
}

// A number that must fit an int (a script line or a point index).
int LeeEntero(const std::string& texto, const char* opcion) {
    const double v = LeeNumero(texto, opcion);
    if (v < INT32_MIN || v > INT32_MAX)
        throw TErrorUso(std::string("number out of range for ") + opcion + ": " + texto);
    return static_cast<int>(v);
}

void LeeTamano(const std::string& texto, TOpciones& o) {
    const auto [w, h] = LeePar(texto, 'x', "--size");
    if (w < 1 || h < 1 || w > tamanoMaximo || h > tamanoMaximo || w != static_cast<int>(w) ||
        h != static_cast<int>(h))
        throw TErrorUso("--size wants whole numbers from 1 to 8192, as in 256x256: " + texto);
    o.ancho = static_cast<int>(w);
    o.alto = static_cast<int>(h);
}

TOpciones LeeOpciones(int argc, char** argv) {
    if (argc < 2) throw TErrorUso("no command given");
    TOpciones o;
    o.orden = argv[1];
    if (o.orden == "--help" || o.orden == "-h" || o.orden == "help") return o;
    if (o.orden != "check" && o.orden != "dump" && o.orden != "render" && o.orden != "icon")
        throw TErrorUso("unknown command: " + o.orden);
    o.camara.ResetView();
    std::vector<std::string> resto(argv + 2, argv + argc);
    bool encuadreDado = false;
    for (size_t i = 0; i < resto.size(); ++i) {
        const std::string& a = resto[i];
        const auto valor = [&]() -> const std::string& {
            if (i + 1 >= resto.size()) throw TErrorUso("option " + a + " needs a value");
            return resto[++i];
        };
        const bool dibuja = o.orden == "render" || o.orden == "icon";
        if (o.orden == "render" && LeeOpcionCamara(a, valor, o.camara, encuadreDado)) {
            continue;
        } else if (a == "--help" || a == "-h") {
            o.orden = "--help";
            return o;
        } else if (a == "-o" && dibuja) {
            o.salida = valor();
        } else if (a == "--size" && dibuja) {
            LeeTamano(valor(), o);
        } else if (o.orden == "check" && (a == "--format" || a.starts_with("--format="))) {
            o.formato = FormatoDiagnosticos(a == "--format" ? valor() : a.substr(9));
        } else if (o.orden == "render" && a == "--fit") {
            o.encuadra = true;
        } else if (o.orden == "render" && a == "--highlight") {
            const std::string v = valor();
            const size_t p = v.find(':');
            o.seleccion.lineaResaltada = LeeEntero(v.substr(0, p), "--highlight");
            if (p != std::string::npos)
                o.seleccion.puntoResaltado = LeeEntero(v.substr(p + 1), "--highlight");
        } else if (a.size() > 1 && a[0] == '-') {
            throw TErrorUso("unknown option for " + o.orden + ": " + a);
        } else if (o.fichero.empty()) {
            o.fichero = a;
        } else {
            throw TErrorUso("more than one file given: " + a);
        }
    }
    if (o.fichero.empty()) throw TErrorUso("no file given");
    if (o.orden == "render" && o.salida.empty()) throw TErrorUso("render needs -o OUT.bmp");
    if (o.orden == "icon" && o.salida.empty()) {
        if (o.fichero == "-") throw TErrorUso("icon of standard input needs -o OUT.bmp");
        o.salida = o.fichero + ".bmp";
    }
    if (!o.salida.empty()) o.png = SalidaPNG(o.salida);
    return o;
}

void EscribeTexto(const DString& texto) {
    std::fputs(texto.c_str(), stdout);
    if (texto.IsEmpty() || texto.CharAt(texto.Length() - 1) != '\n') std::fputc('\n', stdout);
}

int Renderiza(const TOpciones& o, const TLecturaEscena& lectura, bool icono) {
    TVistaEscena vista(lectura.escena, o.camara);
    vista.seleccion = o.seleccion;
    TDibIG imagen;
    if (const auto dibujada = RenderizaEscena(vista, o.encuadra, o.ancho, o.alto, imagen); !dibujada) {
        std::fprintf(stderr, "pictomolder-cli: cannot draw: %s\n", dibujada.Mensaje().c_str());
        return salidaUso;
    }
    TDibIG icono32;
    if (icono)
        if (const auto reducida = ReduceAIcono(imagen, icono32); !reducida) {
            std::fprintf(stderr, "pictomolder-cli: cannot shrink the picture to an icon: %s\n",
                         reducida.Mensaje().c_str());
            return salidaUso;
        }
    const TDibIG& salida = icono ? icono32 : imagen;
    TResultado<void> escrita;
    if (o.png)
        escrita = GrabaPNG(salida, o.salida.c_str());
    else if (!salida.GrabaBMP(o.salida.c_str(), nullptr))
        escrita = TFallo{TCausa::entradaSalida, {}}; // a BMP write gives no reason
    if (!escrita) {
        const DString& fallo = escrita.Mensaje();
        std::fprintf(stderr, "pictomolder-cli: cannot write %s%s%s\n", o.salida.c_str(),
                     fallo.IsEmpty() ? "" : ": ", fallo.c_str());
        return salidaUso;
    }
    return lectura.Correcta() ? salidaCorrecta : salidaFallo;
}

int Ejecuta(const TOpciones& o) {
    std::string texto;
    const bool conColumnas = o.formato != TFormatoDiagnosticos::pane;
    const TLecturaEscena lectura = LeeEntrada(o.fichero, nullptr, conColumnas ? &texto : nullptr);
    const bool correcto = lectura.Correcta();
    if (o.orden == "check") {
        if (conColumnas)
            std::fputs(TextoDiagnosticos(o.formato, o.fichero, texto, lectura.informe).c_str(), stdout);
        else
            EscribeTexto(lectura.informe.Texto());
        return correcto ? salidaCorrecta : salidaFallo;
    }
    if (o.orden == "dump") {
        std::cout << VuelcaEscena(lectura.Escena(), correcto, lectura.informe.Mensajes().c_str()) << '\n';
        return correcto ? salidaCorrecta : salidaFallo;
    }
    CompruebaSalidas(EntradasDe(o.fichero, lectura.Escena()), SalidasDe(o));
    if (!correcto) std::fprintf(stderr, "%s\n", lectura.informe.Texto().c_str());
    return Renderiza(o, lectura, o.orden == "icon");
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc >= 2 && std::strcmp(argv[1], "image") == 0) return OrdenImagen(argc - 2, argv + 2);
        if (argc >= 2 && std::strcmp(argv[1], "export") == 0) return OrdenExporta(argc - 2, argv + 2);
        const TOpciones o = LeeOpciones(argc, argv);
        if (o.orden == "--help") {
            std::fputs(textoAyuda, stdout);
            return salidaCorrecta;
        }
        return Ejecuta(o);
    } catch (const TErrorUso& e) {
        return AvisaUso(e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pictomolder-cli: %s\n", e.what());
        return salidaUso;
    }
}
