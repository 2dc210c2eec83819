// TFicherosRecientes: "Recent Files" in the File menu, the last 8 scripts opened or
// saved, newest first, kept in the settings file so that the next run has them too.
// Names are the system's bytes, whatever their encoding; they become text only to be
// shown.
#pragma once

#include <QByteArrayList>
#include <QObject>

class QMenu;

inline constexpr int maxRecientes = 8;

class TFicherosRecientes : public QObject {
    Q_OBJECT
public:
    // Fills `menu` (a submenu of its own) from the settings file.
    TFicherosRecientes(QMenu* menu, QObject* padre = nullptr);

    // The file goes to the top (once); past 8 the oldest drops out.
    void Anade(const QByteArray& fichero);
    void Quita(const QByteArray& fichero);
    void Vacia();
    const QByteArrayList& Lista() const { return lista; }

    QMenu* menu;

signals:
    // The user chose a file of the list.
    void elegido(const QByteArray& fichero);

private:
    void Cambia(const QByteArrayList& nueva);
    void RehaceMenu();

    QByteArrayList lista;
};
