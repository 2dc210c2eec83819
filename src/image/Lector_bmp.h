// BMP files through the loader's reader signature (the reading itself is TDibIG::LeeBMP).
#pragma once

#include "image/Lector_imagen.h"

TResultado<void> LeeBMP(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
bool MideBMP(const char* nombre, TMedidasImagen& medidas);
