#include "support/Reloj_tierra.h"

namespace {
PonCursorQOR ganchoCursor = nullptr; // set by the editor at start-up
}

PonCursorQOR InstalaCursorQOR(PonCursorQOR gancho) {
    const PonCursorQOR previo = ganchoCursor;
    ganchoCursor = gancho;
    return previo;
}

TRelojTierra::TRelojTierra(bool activar) {
    if (activar) Activa();
}

TRelojTierra::~TRelojTierra() {
    if (anterior && ganchoCursor) ganchoCursor(anterior);
}

void TRelojTierra::Activa() {
    if (ganchoCursor && !anterior) anterior = ganchoCursor(cursorEspera);
}
