#include "editor/Vigilante_fichero.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {

constexpr int esperaRafaga = 100; // ms

// What the file holds, as a digest: a mesh may be large, and it is never kept whole.
QByteArray Huella(const QString& fichero) {
    QFile f(fichero);
    QCryptographicHash suma(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !suma.addData(&f)) return QByteArray();
    return suma.result();
}

} // namespace

TVigilanteFichero::TVigilanteFichero(QObject* padre) : QObject(padre) {
    espera.setSingleShot(true);
    espera.setInterval(esperaRafaga);
    connect(&vigia, &QFileSystemWatcher::fileChanged, this, &TVigilanteFichero::Avisado);
    connect(&vigia, &QFileSystemWatcher::directoryChanged, this, &TVigilanteFichero::Avisado);
    connect(&espera, &QTimer::timeout, this, &TVigilanteFichero::Comprueba);
}

void TVigilanteFichero::Vigila(const QString& nombre) {
    Deja();
    fichero = QFileInfo(nombre).absoluteFilePath();
    vigia.addPath(QFileInfo(fichero).absolutePath());
    if (QFileInfo::exists(fichero)) vigia.addPath(fichero);
    Anota(Huella(fichero));
}

void TVigilanteFichero::Deja() {
    espera.stop();
    if (!vigia.files().isEmpty()) vigia.removePaths(vigia.files());
    if (!vigia.directories().isEmpty()) vigia.removePaths(vigia.directories());
    fichero.clear();
    huella.clear();
    tamano = -1;
}

void TVigilanteFichero::Avisado() {
    if (!fichero.isEmpty()) espera.start();
}

void TVigilanteFichero::Anota(const QByteArray& huellaActual) {
    const QFileInfo datos(fichero);
    huella = huellaActual;
    fecha = datos.lastModified();
    tamano = datos.exists() ? datos.size() : -1;
}

void TVigilanteFichero::Comprueba() {
    if (fichero.isEmpty()) return;
    // Not in the middle of another question: it is asked once that one is answered.
    if (QApplication::activeModalWidget()) {
        espera.start();
        return;
    }
    const QFileInfo datos(fichero);
    // Gone for now (a program that deletes and writes anew): the folder's watch tells
    // when it is back.
    if (!datos.exists()) return;
    // The watch goes to the file that has the name now: after a rename it would stay
    // on the old one (gone, or kept as a backup by a second link).
    if (vigia.files().contains(fichero)) vigia.removePath(fichero);
    vigia.addPath(fichero);
    if (datos.size() == tamano && datos.lastModified() == fecha) return;
    const QByteArray actual = Huella(fichero);
    const bool otro = actual != huella;
    Anota(actual);
    if (otro) emit cambiado();
}
