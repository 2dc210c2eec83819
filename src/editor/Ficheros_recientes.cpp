#include "editor/Ficheros_recientes.h"

#include "editor/Ajustes_editor.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

TFicherosRecientes::TFicherosRecientes(QMenu* menu, QObject* padre)
    : QObject(padre), menu(menu), lista(LeeRecientes(maxRecientes)) {
    RehaceMenu();
}

void TFicherosRecientes::Anade(const QString& fichero) {
    const QString ruta = QFileInfo(fichero).absoluteFilePath();
    QStringList nueva = lista;
    nueva.removeAll(ruta);
    nueva.prepend(ruta);
    Cambia(nueva.mid(0, maxRecientes));
}

void TFicherosRecientes::Quita(const QString& fichero) {
    QStringList nueva = lista;
    nueva.removeAll(QFileInfo(fichero).absoluteFilePath());
    Cambia(nueva);
}

void TFicherosRecientes::Vacia() {
    Cambia({});
}

void TFicherosRecientes::Cambia(const QStringList& nueva) {
    if (nueva == lista) return;
    lista = nueva;
    GuardaRecientes(lista, maxRecientes);
    RehaceMenu();
}

void TFicherosRecientes::RehaceMenu() {
    menu->clear();
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const QString& fichero = lista[i];
        // "&1 house.3di": the number is the key that picks it in the open menu.
        QAction* accion = menu->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(fichero).fileName()));
        accion->setToolTip(QDir::toNativeSeparators(fichero));
        accion->setStatusTip(QDir::toNativeSeparators(fichero));
        connect(accion, &QAction::triggered, this, [this, fichero] { emit elegido(fichero); });
    }
    menu->addSeparator();
    QAction* vaciar = menu->addAction("Clear Recent Files", this, &TFicherosRecientes::Vacia);
    vaciar->setEnabled(!lista.isEmpty());
    menu->setEnabled(!lista.isEmpty());
}
