#include "editor/Menu_vista.h"

#include "render/Camara.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

TMenuVista CreaMenuVista(QMenu* menu, TCamara& camara, const std::function<void()>& repinta,
                         const std::function<void()>& encuadra) {
    TMenuVista m;
    m.restablece = menu->addAction("&Reset View", [&camara, repinta] {
        camara.Restablece();
        repinta();
    });
    m.restablece->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    m.encuadra = menu->addAction("Fit to &View", encuadra);
    m.encuadra->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    menu->addSeparator();
    // Ctrl+1 to Ctrl+7, in the table's order.
    int tecla = Qt::Key_1;
    for (const TOrientacionVista& o : orientacionesVista) {
        QAction* accion = menu->addAction(o.titulo, [&camara, repinta, nombre = o.nombre] {
            camara.Orienta(nombre);
            repinta();
        });
        accion->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(tecla++)));
        m.orientaciones.push_back(accion);
    }
    menu->addSeparator();
    return m;
}
