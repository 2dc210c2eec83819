// Progress record of a long operation: the operation sets the total, counts the
// units it has done, and gives up when it finds the cancel flag set.
#pragma once

#include <cstdint>

struct TMonitorProcesos {
    int32_t hechas = 0;
    int32_t total = 0;
    bool cancelado = false;

    void Inicia(int32_t unidades) {
        total = unidades;
        hechas = 0;
        cancelado = false;
    }
    void Avanza(int32_t n) { hechas += n; }
};
