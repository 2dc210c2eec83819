// Sun raster files (.ras, .rs): uncompressed images of 1, 8, 24 or 32 bits per pixel,
// read into a top-down bitmap.
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"

struct TMonitorProcesos;

bool LeeRAS(const char* nombre, TDibIG& destino, DString& error, TMonitorProcesos* progreso);
