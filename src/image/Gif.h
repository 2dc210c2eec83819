// GIF images: the first image of a GIF87a or GIF89a file decoded into a bottom-up
// bitmap with a palette of 1, 4 or 8 bits per pixel. The decoder is the program's own.
#pragma once

#include "image/Lector_imagen.h"

#include <cstdint>

// Row cursor over a bitmap for the decoder: where the next decoded row goes.
class CImageIterator {
public:
    explicit CImageIterator(TDibIG& destino);

    // The last stored row: the top row of a bottom-up picture.
    void IrUltimaFila();
    // Moves to stored row y; false (and nothing moves) outside 0 <= y < height.
    bool IrFila(int32_t y);
    bool Dentro() const;
    // Copies min(n, stride) bytes, or a whole stride when n is negative, into the current row.
    void CopiaFila(const uint8_t* buffer, int32_t n);
    // One stored row back; false once the first stored row has been passed.
    bool FilaAnterior();
    int32_t Fila() const { return y; }

private:
    TDibIG& destino;
    int32_t bytesFila;
    int32_t alto;
    int32_t x = 0;
    int32_t y = 0;
};

// Reads `nombre` into `destino`. Messages: "Error opening NAME" when the file cannot be
// opened, "Error 2 opening NAME" when it holds no GIF image. Damage inside the image
// data, or a cancel, ends the decoding: the rows decoded so far stay and the load
// succeeds. A transparent index is kept as the alpha of its colour-table entry.
TResultado<void> LeeGIF(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
bool MideGIF(const char* nombre, TMedidasImagen& medidas);
