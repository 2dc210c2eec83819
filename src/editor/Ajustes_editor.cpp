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

} // namespace

QStringList LeeRecientes(int maximo) {
    QStringList ficheros;
    for (int i = 0; i < maximo; ++i) {
        const std::string valor = LeePerfil(seccionRecientes, ClaveReciente(i).c_str(), "", ficheroAjustes);
        if (!valor.empty()) ficheros << QString::fromLocal8Bit(valor);
    }
    return ficheros;
}

void GuardaRecientes(const QStringList& ficheros, int maximo) {
    for (int i = 0; i < maximo; ++i) {
        const QByteArray valor = i < ficheros.size() ? ficheros[i].toLocal8Bit() : QByteArray();
        EscribePerfil(seccionRecientes, ClaveReciente(i).c_str(), valor.constData(), ficheroAjustes);
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
