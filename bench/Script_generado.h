// The script the keystroke benchmarks parse and paint: `n` lines laid out on a grid, with
// formulas, macros and transforms. With `comandos` 16 every command of the language comes
// in turn; with 8 only the flat ones (faces, lines, rings, colours, turns), the make-up of
// most hand-written and imported icons. With a texture, a TEXTURET line goes where the
// last `texturados` elements that take a texture (QUAD, SPHERE, ELIPSOID, XTRUSION,
// REVOLUTION) follow it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

inline std::string ScriptMixto(int n, int comandos = 16, const std::string& textura = "",
                               int texturados = 0) {
    std::vector<std::string> lineas;
    std::vector<bool> conTextura;
    for (int i = 0; i < n; ++i) {
        std::string s;
        const std::string x = std::to_string(i % 20 - 10) + "*0.5";
        const std::string y = std::to_string(i / 20 % 20 - 10) + "*0.5";
        switch (i % comandos) {
        case 0:
            s += "COLOR=(" + std::to_string(i % 256) + ",128,64)\n";
            break;
        case 1:
            s += "QUAD=[" + x + "," + y + ",0]:[" + x + "+R," + y + ",0]:[" + x + "+R," + y + "+R,0]:[" + x +
                 "," + y + "+R,0]\n";
            break;
        case 2:
            s += "TRIANGLE=[" + x + "," + y + ",1]:[" + x + "+R," + y + ",1]:[" + x + "," + y +
                 "+R*cos(0.3),1]\n";
            break;
        case 3:
            s += "LINE=[" + x + "," + y + ",0]:[" + x + "," + y + ",2]\n";
            break;
        case 4:
            s += "DISK=[" + x + "," + y + ",0.5]:UP:R\n";
            break;
        case 5:
            s += "PUSHTURN=UP|" + std::to_string(i % 360) + "\n";
            break;
        case 6:
            s += "CIRCLE=[" + x + "," + y + ",0.2]:UP:R*2\n";
            break;
        case 7:
            s += "POP\n";
            break;
        case 8:
            s += "CONE=[" + x + "," + y + ",0]:[" + x + "," + y + ",1]:R:0\n";
            break;
        case 9:
            s += "CYLINDER=[" + x + "," + y + ",0]:[" + x + "," + y + ",1]:R\n";
            break;
        case 10:
            s += "SPHERE=[" + x + "," + y + ",1]:R\n";
            break;
        case 11:
            s += "ELIPSOID=[" + x + "," + y + ",1]:[1,0,0]:[0,1,0]:R:R/2:R\n";
            break;
        case 12:
            s += "CUBE=[" + x + "," + y + ",0]:R:0\n";
            break;
        case 13:
            s += "PRISM=[" + x + "," + y + ",0]:[R,R*2,R/2]:0\n";
            break;
        case 14:
            s += "XTRUSION=[" + x + "," + y +
                 ",0]|[-0.2,-0.2,0]:[0.2,-0.2,0]:[0.2,0.2,0]:[-0.2,0.2,0]:[-0.2,-0.2,0]"
                 "|[0,0,0]:1:[0,0,1]:0.5\n";
            break;
        default:
            s += "REVOLUTION=[" + x + "," + y + ",0]|[" + x + "," + y +
                 ",1]|[0.3,0,1]:[0.4,0,0.5]:[0.3,0,0]\n";
            break;
        }
        const int orden = i % comandos;
        conTextura.push_back(orden == 1 || orden == 10 || orden == 11 || orden == 14 || orden == 15);
        lineas.push_back(std::move(s));
    }
    size_t desde = lineas.size();
    for (int quedan = textura.empty() ? 0 : texturados; quedan > 0 && desde > 0;)
        if (conTextura[--desde]) --quedan;
    std::string s = "#define R=0.4\n#define UP=[0,0,1]\nCENTER=[0,0,0]\n";
    for (size_t i = 0; i < lineas.size(); ++i) {
        if (i == desde && !textura.empty()) s += "TEXTURET=" + textura + "\n";
        s += lineas[i];
    }
    return s;
}

// A 1024 x 1024 PNG of fractal noise (ImageMagick), made once per run in a folder of its
// own that goes at exit; empty when it cannot be made.
inline const std::string& TexturaBanco() {
    struct TCarpeta {
        std::filesystem::path ruta =
            std::filesystem::temp_directory_path() / ("pm_bench_textura_" + std::to_string(::getpid()));
        std::string png;
        TCarpeta() {
            std::filesystem::create_directories(ruta);
            const std::string destino = (ruta / "noise.png").string();
            const std::string orden =
                "convert -seed 7 -size 1024x1024 plasma:fractal -depth 8 " + destino + " 2>/dev/null";
            if (std::system(orden.c_str()) == 0) png = destino;
        }
        ~TCarpeta() {
            std::error_code ec;
            std::filesystem::remove_all(ruta, ec);
        }
    };
    static const TCarpeta carpeta;
    return carpeta.png;
}

// ScriptMixto with `texturados` elements textured from TexturaBanco; false when the
// texture cannot be made.
inline bool ScriptTexturado(int n, int comandos, int texturados, std::string& texto) {
    if (texturados > 0 && TexturaBanco().empty()) return false;
    texto = ScriptMixto(n, comandos, texturados > 0 ? TexturaBanco() : std::string(), texturados);
    return true;
}
