// JPEG files through the codec module qorjpg.so: a top-down bitmap of 8 bits (grey,
// with a grey ramp) or 24 bits.
#pragma once

#include "image/Lector_imagen.h"
#include "image/codecs/Registros_codec.h"

inline constexpr const char* moduloJPG = "qorjpg.so";

struct TEntradasJPG {
    TLeeJPG lee = nullptr;
    TErrorJPG error = nullptr; // may be missing: an older module gives no reasons
};

// Loads the module and reads the file. The image is empty after a failure, whose message
// is "Error reading JPG", followed by ": " and the reason where the module gives one.
TResultado<void> LeeJPG(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
// The same read through entry points already at hand.
TResultado<void> LeeJPGcon(const TEntradasJPG& entradas, const char* nombre, TDibIG& destino,
                           TMonitorProcesos* progreso);
// The sides of the frame header (SOF), found by walking the file's markers.
bool MideJPG(const char* nombre, TMedidasImagen& medidas);
