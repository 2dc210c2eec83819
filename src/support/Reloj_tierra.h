// Wait-cursor guard: shows the wait cursor for the lifetime of a scope and puts
// the previous cursor back on every exit. The cursor itself belongs to the GUI, so
// the guard talks to it through a process-wide hook; without a hook it does nothing.
#pragma once

#include <cstdint>

// Cursor handles as the hook understands them; 0 means "no cursor kept", so a
// hook never hands out 0 for a real cursor.
using CursorQOR = intptr_t;
constexpr CursorQOR cursorEspera = 1;
constexpr CursorQOR cursorNormal = 2;

// Makes `cursor` current and returns the cursor that showed before.
using PonCursorQOR = CursorQOR (*)(CursorQOR cursor);

// Installs the hook (nullptr removes it); returns the previous hook.
PonCursorQOR InstalaCursorQOR(PonCursorQOR gancho);

class TRelojTierra {
public:
    explicit TRelojTierra(bool activar = true);
    ~TRelojTierra();
    TRelojTierra(const TRelojTierra&) = delete;
    TRelojTierra& operator=(const TRelojTierra&) = delete;

    void Activa();

private:
    CursorQOR anterior = 0;
};
