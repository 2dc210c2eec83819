// What every image file reader has in common: one signature to read a file into a bitmap,
// and one to read only the picture's size from the file's header. The loader's table of
// formats (Tdibigformat.h) holds one of each per extension.
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <cstdint>

struct TMonitorProcesos;

struct TMedidasImagen {
    int32_t ancho = 0;
    int32_t alto = 0; // always positive
};

// Reads the file `nombre` into `destino`. A failure carries the reader's message; the
// image may then hold part of a picture, which the loader discards. `progreso`, when
// given, counts the rows done against their total, and the reader stops when it finds the
// cancel flag set.
using TLectorImagen = TResultado<void> (*)(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
// The sides of the picture that the reader would decode, as the file's header states them,
// without decoding a pixel; false when the header cannot be read (the reader says why).
using TMedidorImagen = bool (*)(const char* nombre, TMedidasImagen& medidas);
