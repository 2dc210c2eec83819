// TVigilanteFichero: tells the editor when the file it has open is changed on disk by
// someone else. What the editor itself loads or saves is recorded (Vigila after each),
// so only a change that leaves other content in the file is reported, once. A file
// replaced by a rename (as the editor's own safe save and many other programs do) stays
// watched: the folder is watched too, and the file's watch is put back.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

class TVigilanteFichero : public QObject {
    Q_OBJECT
public:
    explicit TVigilanteFichero(QObject* padre = nullptr);

    // Watches `fichero` from now on; what it holds now is what the editor has.
    void Vigila(const QString& fichero);
    // Watches nothing.
    void Deja();

signals:
    // The file holds something other than what the editor last loaded or saved.
    void cambiado();

private:
    void Avisado();
    void Comprueba();
    void Anota(const QByteArray& huellaActual);

    QFileSystemWatcher vigia;
    // A save is a burst of events (a temporary file, a rename): they are looked at
    // together once the burst is over.
    QTimer espera;
    QString fichero;
    QByteArray huella; // digest of the content
    QDateTime fecha;
    qint64 tamano = -1;
};
