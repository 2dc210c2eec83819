// JPEG files through the codec module qorjpg.so: a top-down bitmap of 8 bits (grey,
// with a grey ramp) or 24 bits.
#pragma once

#include "image/Tdibig.h"
#include "image/codecs/Registros_codec.h"
#include "support/Dstring.h"

struct TMonitorProcesos;

inline constexpr const char* moduloJPG = "qorjpg.so";

// Loads the module and reads the file. The image is empty after a failure.
bool LeeJPG(const char* nombre, TDibIG& destino, DString& error, TMonitorProcesos* progreso);
// The same read through an entry point already at hand.
bool LeeJPGcon(TLeeJPG lee, const char* nombre, TDibIG& destino, DString& error, TMonitorProcesos* progreso);
