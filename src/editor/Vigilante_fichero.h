// TVigilanteFichero: tells the editor when the file it has open is changed on disk by
// someone else. What the editor itself loads or saves is recorded (Vigila after each),
// so only a change that leaves other content in the file is reported, once. A file
// replaced by a rename (as the editor's own safe save and many other programs do) stays
// watched: the folder is watched too, and the file's watch is put back. Something that
// is no regular file put in the file's place (a FIFO, a device, a folder) is reported
// too, and never opened: a FIFO would keep the window waiting for a writer.
#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <cstdint>

class TVigilanteFichero : public QObject {
    Q_OBJECT
public:
    explicit TVigilanteFichero(QObject* padre = nullptr);

    // Watches `fichero` (its name as the system's bytes) from now on; what it holds now
    // is what the editor has.
    void Vigila(const QByteArray& fichero);
    // Watches nothing.
    void Deja();
    // Whether the last change reported put something that is no regular file in the
    // file's place.
    bool NoRegular() const { return noRegular; }

signals:
    // The file holds something other than what the editor last loaded or saved, or is
    // no regular file any more.
    void cambiado();

private:
    void Avisado();
    void Comprueba();
    void Anota(const QByteArray& huellaActual);
    void VigilaRuta(const QByteArray& ruta);

    QFileSystemWatcher vigia;
    // A save is a burst of events (a temporary file, a rename): they are looked at
    // together once the burst is over.
    QTimer espera;
    QByteArray fichero; // absolute
    QByteArray huella;  // digest of the content
    int64_t fecha = 0;  // modification time, ns
    int64_t tamano = -1;
    bool noRegular = false;
};
