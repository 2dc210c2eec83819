#include "editor/Ficheros_recientes.h"

#include "editor/Ajustes_editor.h"
#include "editor/Archivo_script.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

TFicherosRecientes::TFicherosRecientes(QMenu* menu, QObject* padre)
    : QObject(padre), menu(menu), lista(LeeRecientes(maxRecientes)) {
    RehaceMenu();
}

namespace {

QByteArray Absoluta(const QByteArray& fichero) {
    return QByteArray::fromStdString(RutaAbsoluta(fichero.toStdString()));
}

} // namespace

void TFicherosRecientes::Anade(const QByteArray& fichero) {
    const QByteArray ruta = Absoluta(fichero);
    QByteArrayList nueva = lista;
    nueva.removeAll(ruta);
    nueva.prepend(ruta);
    Cambia(nueva.mid(0, maxRecientes));
}

void TFicherosRecientes::Quita(const QByteArray& fichero) {
    QByteArrayList nueva = lista;
    nueva.removeAll(Absoluta(fichero));
    Cambia(nueva);
}

void TFicherosRecientes::Vacia() {
    Cambia({});
}

void TFicherosRecientes::Cambia(const QByteArrayList& nueva) {
    if (nueva == lista) return;
    lista = nueva;
    GuardaRecientes(lista, maxRecientes);
    RehaceMenu();
}

void TFicherosRecientes::RehaceMenu() {
    menu->clear();
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const QByteArray& fichero = lista[i];
        const QString texto = QFile::decodeName(fichero);
        // "&1 house.3di": the number is the key that picks it in the open menu.
        QAction* accion = menu->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(texto).fileName()));
        accion->setToolTip(QDir::toNativeSeparators(texto));
        accion->setStatusTip(QDir::toNativeSeparators(texto));
        connect(accion, &QAction::triggered, this, [this, fichero] { emit elegido(fichero); });
    }
    menu->addSeparator();
    QAction* vaciar = menu->addAction("&Clear Recent Files", this, &TFicherosRecientes::Vacia);
    vaciar->setEnabled(!lista.isEmpty());
    menu->setEnabled(!lista.isEmpty());
}
