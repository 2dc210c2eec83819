// TFicheroQORdatos: a TFicheroQOR whose bytes live in a memory block. The editor
// wraps the script pane's text in one so that the scene reader parses it with the
// same line reader, comments and line numbers as a file on disk.
#pragma once

#include "support/Ficheroqor.h"

#include <cstdint>
#include <memory>

class TFicheroQORdatos : public TFicheroQOR {
public:
    // Reads the caller's block (never copied, never freed, never written).
    TFicheroQORdatos(int32_t modoDatos, const char* datos, int32_t tamanoDatos);
    // An empty block of its own, which grows as it is written.
    explicit TFicheroQORdatos(int32_t modoDatos);

    int LeeCaracter() override;
    int LeeLinea(DString& linea) override;
    void Posiciona(long p) override;
    long Posicion() override { return posicion; }
    long Tamano() override { return tamano; }
    bool FinFichero() override { return posicion > tamano; }
    bool EscribeBloque(const void* buffer, long bytes, TMonitorProcesos* progreso = nullptr,
                       long paso = 0) override;
    bool LeeBloque(void* buffer, long bytes, TMonitorProcesos* progreso = nullptr, long paso = 0) override;

    // Makes room for `necesarios` bytes; a block that is not ours cannot grow.
    void ActuLenMax(int32_t necesarios);
    const char* Datos() const { return bloque; }

    int32_t capacidad = 0;
    int32_t tamano = 0;
    int32_t posicion = 0;
    bool propio = false;
    int32_t margen = 0;

private:
    const char* bloque = nullptr;
    std::unique_ptr<char[]> almacen; // the block when it is our own
};
