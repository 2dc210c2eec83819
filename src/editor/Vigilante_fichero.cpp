#include "editor/Vigilante_fichero.h"

#include "editor/Archivo_script.h"
#include "support/Descriptor_regular.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <QWidget>

#include <algorithm>
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
    if (QFile::encodeName(texto) != ruta || vigia.files().contains(texto) ||
        vigia.directories().contains(texto))
        return;
    vigia.addPath(texto);
}

void TVigilanteFichero::Vigila(const QByteArrayList& nombres) {
    Deja();
    CambiaLista(nombres);
}

void TVigilanteFichero::CambiaLista(const QByteArrayList& nombres) {
    std::vector<TVigilado> antes = std::move(vigilados);
    Deja();
    for (const QByteArray& nombre : nombres) {
        TVigilado v;
        v.fichero = QByteArray::fromStdString(RutaAbsoluta(nombre.toStdString()));
        const qsizetype barra = v.fichero.lastIndexOf('/');
        VigilaRuta(barra > 0 ? v.fichero.left(barra) : QByteArray("/"));
        struct stat datos {};
        if (Estado(v.fichero, datos)) VigilaRuta(v.fichero);
        const auto visto = std::find_if(antes.begin(), antes.end(),
                                        [&](const TVigilado& a) { return a.fichero == v.fichero; });
        if (visto != antes.end())
            v = *visto;
        else
            Anota(v, Huella(v.fichero));
        vigilados.push_back(std::move(v));
    }
}

QByteArrayList TVigilanteFichero::Ficheros() const {
    QByteArrayList ficheros;
    for (const TVigilado& v : vigilados)
        ficheros << v.fichero;
    return ficheros;
}

void TVigilanteFichero::Deja() {
    espera.stop();
    if (!vigia.files().isEmpty()) vigia.removePaths(vigia.files());
    if (!vigia.directories().isEmpty()) vigia.removePaths(vigia.directories());
    vigilados.clear();
}

bool TVigilanteFichero::NoRegular() const {
    return std::any_of(vigilados.begin(), vigilados.end(), [](const TVigilado& v) { return v.noRegular; });
}

void TVigilanteFichero::Avisado() {
    if (!vigilados.empty()) espera.start();
}

void TVigilanteFichero::Anota(TVigilado& v, const QByteArray& huellaActual) {
    struct stat datos {};
    const bool existe = Estado(v.fichero, datos);
    v.huella = huellaActual;
    v.fecha = existe ? Nanosegundos(datos.st_mtim) : 0;
    v.tamano = existe ? static_cast<int64_t>(datos.st_size) : -1;
}

void TVigilanteFichero::Comprueba() {
    if (vigilados.empty()) return;
    // Not in the middle of another question: it is asked once that one is answered.
    if (QApplication::activeModalWidget()) {
        espera.start();
        return;
    }
    bool cambio = false;
    for (TVigilado& v : vigilados)
        cambio = Cambiado(v) || cambio;
    if (cambio) emit cambiado();
}

bool TVigilanteFichero::Cambiado(TVigilado& v) {
    struct stat datos {};
    // Gone for now (a program that deletes and writes anew): the folder's watch tells
    // when it is back.
    if (!Estado(v.fichero, datos)) return false;
    // The watch goes to the file that has the name now: after a rename it would stay
    // on the old one (gone, or kept as a backup by a second link).
    const QString texto = QFile::decodeName(v.fichero);
    if (vigia.files().contains(texto)) vigia.removePath(texto);
    VigilaRuta(v.fichero);
    if (!S_ISREG(datos.st_mode)) {
        // Reported once, and nothing is read.
        if (v.noRegular) return false;
        v.noRegular = true;
        return true;
    }
    v.noRegular = false;
    if (static_cast<int64_t>(datos.st_size) == v.tamano && Nanosegundos(datos.st_mtim) == v.fecha)
        return false;
    const QByteArray actual = Huella(v.fichero);
    const bool otro = actual != v.huella;
    Anota(v, actual);
    return otro;
}
