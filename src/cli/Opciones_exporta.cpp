#include "cli/Opciones_exporta.h"

#include "cli/Escena_cli.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

const char* const usoExporta =
    "Usage: pictomolder-cli export FILE -o OUT.ico|OUT.png|OUT.icns [options]\n"
    "       pictomolder-cli export FILE --icon-theme DIR --name NAME [options]\n"
    "       pictomolder-cli export FILE... --outdir DIR [--format ico|png|icns|theme] [options]\n"
    "\n"
    "Draws the icon of FILE transparent, antialiased and framed (the model fills the\n"
    "square but a margin of 1/16 of the side), each size drawn at its own size, into an\n"
    "icon file (every size), a PNG file (one size), a macOS icon file (every size it has\n"
    "a type for) or an icon-theme folder (DIR/NxN/apps/NAME.png for each size).\n"
    "With --outdir every FILE is drawn in one process, each into DIR/NAME.EXT (NAME the\n"
    "script's name without its extension; a theme: DIR/NxN/apps/NAME.png).\n"
    "\n"
    "Options:\n"
    "  --sizes 16,24,32,48,64,128,256   the sizes (the default for .ico and themes;\n"
    "                                   up to 256 in an icon file, 1024 elsewhere)\n"
    "  --size N                         one size (a PNG file's default is 256)\n"
    "  --preset windows|hicolor|macos   the sizes of a platform: Windows' scale factors\n"
    "                                   (16 to 96 and 256), the hicolor theme (16 to 512,\n"
    "                                   with @2 folders), a macOS icon file (16 to 1024,\n"
    "                                   the default for .icns); --sizes overrides them\n"
    "  --hidpi                          a theme's @2 folders too (DIR/NxN@2/apps/NAME.png,\n"
    "                                   each size drawn at twice its side)\n"
    "  --outdir DIR                     one icon per FILE in DIR\n"
    "  --format ico|png|icns|theme      what --outdir holds (default ico)\n"
    "  --depfile FILE                   write a Make dependency file: each output, then\n"
    "                                   its script and every file the script read\n"
    "  --watch                          keep running: draw again when a script or a file\n"
    "                                   it read changes (Ctrl+C ends)\n"
    "  --background none|#RRGGBB        transparent (the default) or this colour\n"
    "  --angles X,Y                     the view's angles in radians (default -0.785,0)\n"
    "  --view front|back|left|right|top|bottom|iso   a named view instead\n"
    "  --perspective [--distance D]     perspective, the eye D model units away\n"
    "  --zoom S                         pixels per model unit at 256 pixels, no framing\n"
    "  --pan X,Y                        pan (2 = the whole side), no framing\n"
    "\n"
    "Exit status: 0 written, 1 written although a script has errors, 2 usage, drawing\n"
    "or file errors (with several files, the worst of them; the others are written).\n";

namespace {

// The size of a PNG file when none is given.
constexpr int ladoPNG = 256;

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

// An option that names a file or a word; false when `a` is none of them.
bool LeeOpcionTexto(const std::string& a, const std::function<std::string()>& valor, TOpcionesExporta& o) {
    std::string* destino = a == "-o"             ? &o.salida
                           : a == "--icon-theme" ? &o.tema
                           : a == "--name"       ? &o.nombre
                           : a == "--outdir"     ? &o.carpeta
                           : a == "--format"     ? &o.formato
                           : a == "--depfile"    ? &o.dependencias
                                                 : nullptr;
    if (destino) *destino = valor();
    return destino != nullptr;
}

// The format of the destination, from -o's extension, --icon-theme or --format.
void FijaFormato(const TOpcionesExporta& o, TDestinoIcono& destino) {
    if (!o.tema.empty()) {
        destino.tema = true;
    } else if (!o.salida.empty()) {
        if (!FormatoPorNombre(o.salida, destino.formato))
            throw TErrorUso("-o wants a file name ending in .ico, .png or .icns: " + o.salida);
    } else if (o.formato == "theme") {
        destino.tema = true;
    } else if (!o.formato.empty() && !FormatoPorNombre("icon." + o.formato, destino.formato)) {
        throw TErrorUso("--format wants ico, png, icns or theme: " + o.formato);
    }
}

// The sizes asked, or those of the preset, or the destination's own.
std::vector<int> LadosPedidos(const TOpcionesExporta& o, const TDestinoIcono& destino) {
    if (!o.lados.empty()) return o.lados;
    if (o.preset) return o.preset->lados;
    if (destino.tema) return o.icono.lados;
    switch (destino.formato) {
    case TFormatoIcono::png:
        return {ladoPNG};
    case TFormatoIcono::icns:
        return LadosICNS();
    default:
        return o.icono.lados;
    }
}

void CompruebaDestinos(const TOpcionesExporta& o) {
    if (o.ficheros.empty()) throw TErrorUso("no file given");
    const int destinos = !o.salida.empty() + !o.tema.empty() + !o.carpeta.empty();
    if (destinos != 1) throw TErrorUso("give one of -o OUT, --icon-theme DIR or --outdir DIR");
    if (!o.tema.empty() && o.nombre.empty()) throw TErrorUso("--icon-theme needs --name NAME");
    if (o.tema.empty() && !o.nombre.empty()) throw TErrorUso("--name goes with --icon-theme");
    if (o.carpeta.empty() && !o.formato.empty()) throw TErrorUso("--format goes with --outdir");
    if (o.carpeta.empty() && o.ficheros.size() > 1)
        throw TErrorUso("more than one file given: " + o.ficheros[1] + " (several go with --outdir)");
    if (o.icono.camara.perspectiva && !(o.icono.camara.distancia > 0))
        throw TErrorUso("--distance wants a positive number");
    for (const std::string& f : o.ficheros)
        if (f == "-" && (!o.carpeta.empty() || o.vigila))
            throw TErrorUso(o.vigila ? "--watch needs script files, not standard input"
                                     : "--outdir names each icon after its script: standard input has none");
}

// The name of the icon of `fichero` in a folder of icons: its name without folder and
// extension. Two scripts of one name are refused before anything is drawn.
std::string NombreIcono(const std::string& fichero, std::map<std::string, std::string>& vistos) {
    const std::string nombre = RutaSistema(fichero.c_str()).stem().string();
    const auto [previo, nuevo] = vistos.emplace(nombre, fichero);
    if (!nuevo)
        throw TErrorUso("two scripts would make the icon " + nombre + ": " + previo->second + " and " +
                        fichero + "; nothing was drawn");
    return nombre;
}

const char* Extension(TFormatoIcono formato) {
    return formato == TFormatoIcono::png ? ".png" : formato == TFormatoIcono::icns ? ".icns" : ".ico";
}

} // namespace

TOpcionesExporta LeeOpcionesExporta(int cuantos, char** argumentos) {
    TOpcionesExporta o;
    o.icono.camara.ResetView();
    for (int i = 0; i < cuantos; ++i) {
        const std::string a = argumentos[i];
        const auto valor = [&]() -> std::string {
            if (i + 1 >= cuantos) throw TErrorUso("option " + a + " needs a value");
            return argumentos[++i];
        };
        if (LeeOpcionCamara(a, valor, o.icono.camara, o.encuadreDado) || LeeOpcionTexto(a, valor, o)) {
            continue;
        } else if (a == "--help" || a == "-h") {
            o.ayuda = true;
            return o;
        } else if (a == "--sizes") {
            o.lados = LeeLados(valor());
        } else if (a == "--size") {
            o.lados = {LeeLado(valor(), "--size")};
        } else if (a == "--preset") {
            const std::string nombre = valor();
            o.preset = PresetPorNombre(nombre);
            if (!o.preset) throw TErrorUso("--preset wants windows, hicolor or macos: " + nombre);
        } else if (a == "--hidpi") {
            o.dobles = true;
        } else if (a == "--watch") {
            o.vigila = true;
        } else if (a == "--background") {
            LeeFondo(valor(), o.icono);
        } else if (a.size() > 1 && a[0] == '-') {
            throw TErrorUso("unknown option for export: " + a);
        } else {
            o.ficheros.push_back(a);
        }
    }
    return o;
}

std::vector<TTareaExporta> TareasExporta(TOpcionesExporta& o) {
    CompruebaDestinos(o);
    TDestinoIcono modelo;
    FijaFormato(o, modelo);
    if (o.dobles && !modelo.tema) throw TErrorUso("--hidpi goes with --icon-theme or --format theme");
    const bool dobles = o.dobles || (o.preset && o.preset->dobles && modelo.tema);
    if (const auto fijados = FijaLados(modelo, LadosPedidos(o, modelo), dobles); !fijados)
        throw TErrorUso(fijados.Mensaje().c_str());
    // A zoom or pan given by hand is kept as given.
    o.icono.encuadra = !o.encuadreDado;
    std::vector<TTareaExporta> tareas;
    std::map<std::string, std::string> vistos;
    for (const std::string& fichero : o.ficheros) {
        TTareaExporta t{fichero, modelo};
        if (!o.salida.empty()) {
            t.destino.ruta = o.salida;
        } else if (!o.tema.empty()) {
            t.destino.ruta = o.tema;
            t.destino.nombre = o.nombre;
        } else if (modelo.tema) {
            t.destino.ruta = o.carpeta;
            t.destino.nombre = NombreIcono(fichero, vistos);
        } else {
            const std::string nombre = NombreIcono(fichero, vistos) + Extension(modelo.formato);
            t.destino.ruta = (RutaSistema(o.carpeta.c_str()) / nombre).string();
        }
        tareas.push_back(std::move(t));
    }
    if (!o.dependencias.empty()) {
        const auto dependencias = RutaSistema(o.dependencias.c_str()).lexically_normal();
        for (const TTareaExporta& t : tareas)
            for (const auto& salida : SalidasDestino(t.destino))
                if (salida.lexically_normal() == dependencias)
                    throw TErrorUso("--depfile names an icon the command writes: " + o.dependencias);
    }
    return tareas;
}
