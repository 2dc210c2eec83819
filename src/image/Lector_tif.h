// TIFF files through the codec module qorgeotiff.so: a top-down bitmap of 1, 4 or 8 bits
// with the file's palette or a grey ramp, or 24 or 32 bits blue first. The pixel rows
// stay in the module's memory for as long as the image shows them.
#pragma once

#include "image/Modulo_codec.h"
#include "image/Tdibig.h"
#include "image/codecs/Registros_codec.h"
#include "support/Dstring.h"

#include <memory>

struct TMonitorProcesos;

inline constexpr const char* moduloTIFF = "qorgeotiff.so";

struct TEntradasTIFF {
    TLeeGeoTIFF geo = nullptr;
    TLeeCabeceraTIFF cabecera = nullptr;
    TLeeBitsTIFF bits = nullptr;
    TCierraTIFF cierra = nullptr;
    TErrorTIFF error = nullptr;
};

// One read: the record, whose pixels the module holds until the read is destroyed.
class TLecturaTIFF {
public:
    TLecturaTIFF(const TEntradasTIFF& e, TModuloCodec m) : entradas(e), modulo(std::move(m)) {}
    ~TLecturaTIFF() { entradas.cierra(&registro); }
    TLecturaTIFF(const TLecturaTIFF&) = delete;
    TLecturaTIFF& operator=(const TLecturaTIFF&) = delete;

    TRegistroTIFF registro;

private:
    TEntradasTIFF entradas;
    TModuloCodec modulo; // stays open while the module holds the pixels
};

// Loads the module and reads the file. On success `lectura` holds the read whose pixels
// `destino` shows; release the image before the read.
bool LeeTIF(const char* nombre, TDibIG& destino, std::unique_ptr<TLecturaTIFF>& lectura, DString& error,
            TMonitorProcesos* progreso);
// The same read through entry points already at hand (`modulo` may be empty).
bool LeeTIFcon(const TEntradasTIFF& entradas, TModuloCodec modulo, const char* nombre, TDibIG& destino,
               std::unique_ptr<TLecturaTIFF>& lectura, DString& error, TMonitorProcesos* progreso);
