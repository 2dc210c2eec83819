#include "editor/Ajustes_editor.h"

#include "support/Var_config.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>

#include <algorithm>
#include <string>

namespace {

constexpr const char* seccionRecientes = "Recent Files";
constexpr const char* seccionVentana = "Window";

QByteArray LeeBinario(const char* clave) {
    return QByteArray::fromBase64(
        QByteArray::fromStdString(LeePerfil(seccionVentana, clave, "", ficheroAjustes)));
}

void GuardaBinario(const char* clave, const QByteArray& datos) {
    EscribePerfil(seccionVentana, clave, datos.toBase64().constData(), ficheroAjustes);
}

std::string ClaveReciente(int i) {
    return "File" + std::to_string(i + 1);
}

// The length of the UTF-8 character that begins `texto`, 0 when it begins with no valid
// one (a stray byte, a cut or overlong sequence, a surrogate, a code past U+10FFFF).
size_t LargoUtf8(std::string_view texto) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(texto[i]); };
    const unsigned char b = byte(0);
    const size_t largo = b < 0x80                ? 1
                         : b >= 0xC2 && b < 0xE0 ? 2
                         : b >= 0xE0 && b < 0xF0 ? 3
                         : b >= 0xF0 && b < 0xF5 ? 4
                                                 : 0;
    if (largo == 0 || texto.size() < largo) return 0;
    for (size_t i = 1; i < largo; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    if (largo == 3 && ((b == 0xE0 && byte(1) < 0xA0) || (b == 0xED && byte(1) >= 0xA0))) return 0;
    if (largo == 4 && ((b == 0xF0 && byte(1) < 0x90) || (b == 0xF4 && byte(1) >= 0x90))) return 0;
    return largo;
}

int ValorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::string EscapaNombre(std::string_view nombre) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string guardado;
    while (!nombre.empty()) {
        const auto b = static_cast<unsigned char>(nombre[0]);
        const size_t largo = LargoUtf8(nombre);
        if (largo > 0 && b >= 0x20 && b != 0x7F && b != '%') {
            guardado.append(nombre.substr(0, largo));
            nombre.remove_prefix(largo);
            continue;
        }
        guardado += '%';
        guardado += hex[b >> 4];
        guardado += hex[b & 0xF];
        nombre.remove_prefix(1);
    }
    return guardado;
}

std::string RecuperaNombre(std::string_view guardado) {
    std::string nombre;
    for (size_t i = 0; i < guardado.size(); ++i) {
        if (guardado[i] == '%' && i + 2 < guardado.size()) {
            const int alto = ValorHex(guardado[i + 1]);
            const int bajo = ValorHex(guardado[i + 2]);
            if (alto >= 0 && bajo >= 0) {
                nombre += static_cast<char>(alto << 4 | bajo);
                i += 2;
                continue;
            }
        }
        nombre += guardado[i];
    }
    return nombre;
}

QByteArrayList LeeRecientes(int maximo) {
    QByteArrayList ficheros;
    for (int i = 0; i < maximo; ++i) {
        const std::string valor = LeePerfil(seccionRecientes, ClaveReciente(i).c_str(), "", ficheroAjustes);
        if (!valor.empty()) ficheros << QByteArray::fromStdString(RecuperaNombre(valor));
    }
    return ficheros;
}

void GuardaRecientes(const QByteArrayList& ficheros, int maximo) {
    for (int i = 0; i < maximo; ++i) {
        const std::string valor =
            i < ficheros.size() ? EscapaNombre(ficheros[i].toStdString()) : std::string();
        EscribePerfil(seccionRecientes, ClaveReciente(i).c_str(), valor.c_str(), ficheroAjustes);
    }
}

void RestauraVentana(QMainWindow& ventana, QSplitter& preview, QSplitter& script) {
    if (!ventana.restoreGeometry(LeeBinario("Geometry"))) {
        const QScreen* pantalla = ventana.screen() ? ventana.screen() : QGuiApplication::primaryScreen();
        const QRect libre = pantalla ? pantalla->availableGeometry() : QRect(0, 0, 1280, 800);
        const QSize tamano(std::min(libre.width(), std::max(1000, libre.width() * 2 / 3)),
                           std::min(libre.height(), std::max(700, libre.height() * 2 / 3)));
        ventana.resize(tamano);
        ventana.move(libre.center() - QPoint(tamano.width() / 2, tamano.height() / 2));
    }
    if (!preview.restoreState(LeeBinario("Splitter1"))) {
        const int ancho = ventana.width();
        preview.setSizes({ancho * 3 / 5, ancho - ancho * 3 / 5});
    }
    if (!script.restoreState(LeeBinario("Splitter2"))) {
        const int alto = ventana.height();
        script.setSizes({alto - 120, 120});
    }
}

void GuardaVentana(const QMainWindow& ventana, const QSplitter& preview, const QSplitter& script) {
    GuardaBinario("Geometry", ventana.saveGeometry());
    GuardaBinario("Splitter1", preview.saveState());
    GuardaBinario("Splitter2", script.saveState());
}
