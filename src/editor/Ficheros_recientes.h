// TFicherosRecientes: "Recent Files" in the File menu, the last 8 scripts opened or
// saved, newest first, kept in the settings file so that the next run has them too.
#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

inline constexpr int maxRecientes = 8;

class TFicherosRecientes : public QObject {
    Q_OBJECT
public:
    // Fills `menu` (a submenu of its own) from the settings file.
    TFicherosRecientes(QMenu* menu, QObject* padre = nullptr);

    // The file goes to the top (once); past 8 the oldest drops out.
    void Anade(const QString& fichero);
    void Quita(const QString& fichero);
    void Vacia();
    const QStringList& Lista() const { return lista; }

    QMenu* menu;

signals:
    // The user chose a file of the list.
    void elegido(const QString& fichero);

private:
    void Cambia(const QStringList& nueva);
    void RehaceMenu();

    QStringList lista;
};
