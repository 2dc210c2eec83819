// Sun raster files (.ras, .rs): images of 1, 8, 24 or 32 bits per pixel, plain or
// run-length encoded, read into a top-down bitmap.
#pragma once

#include "image/Lector_imagen.h"

TResultado<void> LeeRAS(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
bool MideRAS(const char* nombre, TMedidasImagen& medidas);
