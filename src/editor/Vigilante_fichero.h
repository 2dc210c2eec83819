// TVigilanteFichero: tells the editor when the file it has open (or the files its scene
// read: textures, a mesh) is changed on disk by someone else. What the editor itself loads or saves is
// recorded (Vigila after each), so only a change that leaves other content in the file is reported, once. A
// file replaced by a rename (as the editor's own safe save and many other programs do) stays watched: the
// folder is watched too, and the file's watch is put back. Something that is no regular file put in the
// file's place (a FIFO, a device, a folder) is reported too, and never opened: a FIFO would keep the window
// waiting for a writer.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <vector>

class TVigilanteFichero : public QObject {
    Q_OBJECT
public:
    explicit TVigilanteFichero(QObject* padre = nullptr);

    // Watches `ficheros` (their names as the system's bytes) from now on, and nothing
    // else; what they hold now is what the editor has. One report covers every file that
    // changed in a burst.
    void Vigila(const QByteArrayList& ficheros);
    // The same, but a file watched already keeps what it was last noted to hold (a
    // large texture is not read again because another name came into the list).
    void CambiaLista(const QByteArrayList& ficheros);
    void Vigila(const QByteArray& fichero) { Vigila(QByteArrayList{fichero}); }
    // Watches nothing.
    void Deja();
    // The files watched, absolute.
    QByteArrayList Ficheros() const;
    // Whether a change reported put something that is no regular file in a file's place
    // (it stays so until a regular file is back).
    bool NoRegular() const;

signals:
    // The file holds something other than what the editor last loaded or saved, or is
    // no regular file any more.
    void cambiado();

private:
    void Avisado();
    struct TVigilado {
        QByteArray fichero; // absolute
        QByteArray huella;  // digest of the content
        int64_t fecha = 0;  // modification time, ns
        int64_t tamano = -1;
        bool noRegular = false;
    };
    void Comprueba();
    // Whether `v` holds something else than it did, which is noted as what it holds now.
    bool Cambiado(TVigilado& v);
    static void Anota(TVigilado& v, const QByteArray& huellaActual);
    void VigilaRuta(const QByteArray& ruta);

    QFileSystemWatcher vigia;
    // A save is a burst of events (a temporary file, a rename): they are looked at
    // together once the burst is over.
    QTimer espera;
    std::vector<TVigilado> vigilados;
};
