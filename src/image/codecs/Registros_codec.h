// What passes between the program and its two image codec modules, qorjpg.so (JPEG)
// and qorgeotiff.so (TIFF), which it loads from its own folder. The records keep the
// field order of the modules' first interface; addresses take their natural size.
// Pixel rows are bitmap rows: padded to 4 bytes, 24- and 32-bit pixels blue first for
// JPEG, red first for TIFF (the reader swaps them).
#pragma once

#include <cstdint>

extern "C" {

// ---- qorjpg.so ----

constexpr int32_t versionRegistroJPG = 1;

struct TRegistroJPG;
// Makes the bitmap for the size the module stored in the record, stores the row stride,
// and returns the first pixel row (null when the bitmap cannot be made).
using TReservaJPG = uint8_t* (*)(TRegistroJPG* registro);

struct TRegistroJPG {
    int32_t version = versionRegistroJPG; // set by the program
    int32_t respuesta = 0;                // 1 when the module reads this version
    int32_t ancho = 0;                    // set by the module before the callback
    int32_t alto = 0;                     // negative: the rows come top-down
    int32_t bytesFila = 0;                // set by the callback
    int32_t bitsPixel = 0;                // 8 (grey) or 24; set by the module
    void* imagen = nullptr;               // the program's bitmap
    TReservaJPG reserva = nullptr;
    int32_t* progresoTotal = nullptr;
    int32_t* progresoHechas = nullptr;
    bool* cancelado = nullptr;
};

// Reads a JPEG file; non-zero on success.
using TLeeJPG = int (*)(const char* nombre, TRegistroJPG* registro);
inline constexpr const char* entradaLeeJPG = "_Lee_JPG";
// Why the last read failed, as a zero-terminated text; empty when there is nothing to add
// to the failure itself (damaged data).
using TErrorJPG = const char* (*)();
inline constexpr const char* entradaErrorJPG = "_Get_JPG_Error";

// ---- qorgeotiff.so ----

inline constexpr int32_t versionGeoTIFF = 13;

// Georeferencing buffer: the program sets the version; the rest belongs to the module.
struct TBufferGeoTIFF {
    int32_t version = versionGeoTIFF;
    uint8_t datos[1916] = {};
};

struct TRegistroTIFF {
    int32_t ancho = 0;
    int32_t alto = 0; // negative: the rows are stored top-down
    int32_t bitsPixel = 0;
    uint8_t* pixeles = nullptr; // owned by the module until _Cierra_TIFF
    void* interno = nullptr;    // the module's own state
    int32_t numColores = 0;
    uint8_t paleta[256][4] = {}; // blue, green, red, 0
    int32_t* progresoTotal = nullptr;
    int32_t* progresoHechas = nullptr;
    bool* cancelado = nullptr;
};

using TLeeGeoTIFF = int (*)(const char* nombre, TBufferGeoTIFF* buffer);
using TLeeCabeceraTIFF = int (*)(const char* nombre, TRegistroTIFF* registro);
using TLeeBitsTIFF = int (*)(TRegistroTIFF* registro);
using TCierraTIFF = void (*)(TRegistroTIFF* registro);
using TErrorTIFF = const char* (*)();

inline constexpr const char* entradaLeeGeoTIFF = "_Lee_GeoTIFF";
inline constexpr const char* entradaLeeCabeceraTIFF = "_Lee_Cabecera_TIFF";
inline constexpr const char* entradaLeeBitsTIFF = "_Lee_Bits_TIFF";
inline constexpr const char* entradaCierraTIFF = "_Cierra_TIFF";
inline constexpr const char* entradaErrorTIFF = "_Get_TIFF_Error";

} // extern "C"
