// TIFF files through the codec module qorgeotiff.so: a top-down bitmap of 1, 4 or 8 bits
// with the file's palette or a grey ramp, or 24 or 32 bits blue first. The pixel rows
// stay in the module's memory for as long as the image shows them.
#pragma once

#include "image/Lector_imagen.h"
#include "image/Modulo_codec.h"
#include "image/codecs/Registros_codec.h"

inline constexpr const char* moduloTIFF = "qorgeotiff.so";

struct TEntradasTIFF {
    TLeeGeoTIFF geo = nullptr;
    TLeeCabeceraTIFF cabecera = nullptr;
    TLeeBitsTIFF bits = nullptr;
    TCierraTIFF cierra = nullptr;
    TErrorTIFF error = nullptr;
};

// Loads the module and reads the file. On success the image shows the module's pixels and
// holds the read (and the module) until it lets them go.
TResultado<void> LeeTIF(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
// The same read through entry points already at hand (`modulo` may be empty).
TResultado<void> LeeTIFcon(const TEntradasTIFF& entradas, TModuloCodec modulo, const char* nombre,
                           TDibIG& destino, TMonitorProcesos* progreso);
// The sides of the first image, from the tags of the file's first directory (classic and
// BigTIFF, either byte order).
bool MideTIF(const char* nombre, TMedidasImagen& medidas);
