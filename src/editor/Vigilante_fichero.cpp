#include "editor/Vigilante_fichero.h"

#include "editor/Archivo_script.h"
#include "support/Descriptor_regular.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int esperaRafaga = 100; // ms

bool Estado(const QByteArray& fichero, struct stat& datos) {
    return ::stat(fichero.constData(), &datos) == 0;
}

// What the file holds, as a digest (a mesh may be large, and it is never kept whole);
// empty when it cannot be read. Only a regular file is opened, without waiting, and it is
// checked again on its descriptor, since another may take its name in between.
QByteArray Huella(const QByteArray& fichero) {
    struct stat datos {};
    if (!Estado(fichero, datos) || !S_ISREG(datos.st_mode)) return QByteArray();
    const int fd = AbreLecturaRegular(fichero.constData());
    if (fd < 0) return QByteArray();
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QByteArray();
    }
    QCryptographicHash suma(QCryptographicHash::Sha256);
    if (!suma.addData(&f)) return QByteArray();
    return suma.result();
}

int64_t Nanosegundos(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

TVigilanteFichero::TVigilanteFichero(QObject* padre) : QObject(padre) {
    espera.setSingleShot(true);
    espera.setInterval(esperaRafaga);
    connect(&vigia, &QFileSystemWatcher::fileChanged, this, &TVigilanteFichero::Avisado);
    connect(&vigia, &QFileSystemWatcher::directoryChanged, this, &TVigilanteFichero::Avisado);
    connect(&espera, &QTimer::timeout, this, &TVigilanteFichero::Comprueba);
}

void TVigilanteFichero::VigilaRuta(const QByteArray& ruta) {
    // The watcher takes names as text: a name that text cannot give back exactly is not
    // watched by itself (its folder's watch still sees it replaced).
    const QString texto = QFile::decodeName(ruta);
    if (QFile::encodeName(texto) == ruta) vigia.addPath(texto);
}

void TVigilanteFichero::Vigila(const QByteArray& nombre) {
    Deja();
    fichero = QByteArray::fromStdString(RutaAbsoluta(nombre.toStdString()));
    const qsizetype barra = fichero.lastIndexOf('/');
    VigilaRuta(barra > 0 ? fichero.left(barra) : QByteArray("/"));
    struct stat datos {};
    if (Estado(fichero, datos)) VigilaRuta(fichero);
    Anota(Huella(fichero));
}

void TVigilanteFichero::Deja() {
    espera.stop();
    if (!vigia.files().isEmpty()) vigia.removePaths(vigia.files());
    if (!vigia.directories().isEmpty()) vigia.removePaths(vigia.directories());
    fichero.clear();
    huella.clear();
    tamano = -1;
    noRegular = false;
}

void TVigilanteFichero::Avisado() {
    if (!fichero.isEmpty()) espera.start();
}

void TVigilanteFichero::Anota(const QByteArray& huellaActual) {
    struct stat datos {};
    const bool existe = Estado(fichero, datos);
    huella = huellaActual;
    fecha = existe ? Nanosegundos(datos.st_mtim) : 0;
    tamano = existe ? static_cast<int64_t>(datos.st_size) : -1;
}

void TVigilanteFichero::Comprueba() {
    if (fichero.isEmpty()) return;
    // Not in the middle of another question: it is asked once that one is answered.
    if (QApplication::activeModalWidget()) {
        espera.start();
        return;
    }
    struct stat datos {};
    // Gone for now (a program that deletes and writes anew): the folder's watch tells
    // when it is back.
    if (!Estado(fichero, datos)) return;
    // The watch goes to the file that has the name now: after a rename it would stay
    // on the old one (gone, or kept as a backup by a second link).
    const QString texto = QFile::decodeName(fichero);
    if (vigia.files().contains(texto)) vigia.removePath(texto);
    VigilaRuta(fichero);
    if (!S_ISREG(datos.st_mode)) {
        // Reported once, and nothing is read.
        if (noRegular) return;
        noRegular = true;
        emit cambiado();
        return;
    }
    noRegular = false;
    if (static_cast<int64_t>(datos.st_size) == tamano && Nanosegundos(datos.st_mtim) == fecha) return;
    const QByteArray actual = Huella(fichero);
    const bool otro = actual != huella;
    Anota(actual);
    if (otro) emit cambiado();
}
