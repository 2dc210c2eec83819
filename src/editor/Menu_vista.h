// The View menu's commands on the view itself: Reset View, Fit to View and the named
// orientations (Front ... Isometric), each a state of the view's fields.
#pragma once

#include <functional>
#include <vector>

class QAction;
class QMenu;
struct TCamara;

struct TMenuVista {
    QAction* restablece = nullptr;
    QAction* encuadra = nullptr;
    std::vector<QAction*> orientaciones; // in the order of `orientacionesVista`
};

// Adds the commands to `menu`. Each one changes `camara` and then calls `repinta`;
// Fit to View calls `encuadra`, which measures the model on the preview.
TMenuVista CreaMenuVista(QMenu* menu, TCamara& camara, const std::function<void()>& repinta,
                         const std::function<void()>& encuadra);
