// PNG images through libpng: a PNG file read into a bottom-up bitmap at the nearest
// depth the bitmap holds (palette and grey at 1, 4 or 8 bits, RGB at 24, RGB with alpha
// and grey with alpha at 32; 16-bit channels scaled to 8). A palette's transparency
// (tRNS) is kept as the alpha of its entries; a grey or RGB image with a transparent
// colour comes as RGB with alpha.
#pragma once

#include "image/Lector_imagen.h"

#include <cstdint>
#include <cstdio>

struct png_struct_def;
struct png_info_def;

class TParserPNG {
public:
    TParserPNG() = default;
    ~TParserPNG();
    TParserPNG(const TParserPNG&) = delete;
    TParserPNG& operator=(const TParserPNG&) = delete;

    // Reads the open file (which the caller closes) into `destino`. A libpng error ends
    // the read with its message; a cancel through the progress record ends it
    // early with true.
    TResultado<void> Lee(std::FILE* fichero, TDibIG& destino, TMonitorProcesos* progreso);

    // Pixels always as 32-bit blue, green, red, alpha (palette transparency, grey and
    // missing alpha expanded): for readers that need the alpha channel.
    bool conAlfa = false;
    // The background colour of the file's bKGD chunk (kept, not applied).
    uint8_t fondoRojo = 0;
    uint8_t fondoVerde = 0;
    uint8_t fondoAzul = 0;

private:
    bool LeeCabecera(std::FILE* fichero);
    void PideTransformaciones();
    void LeeFondo();
    bool LeePixeles(TDibIG& destino, TMonitorProcesos* progreso);
    void Limpia();

    png_struct_def* png = nullptr;
    png_info_def* info = nullptr;
    uint32_t ancho = 0;
    uint32_t alto = 0;
    int profundidad = 0;
    int tipoColor = 0;
    int pasadas = 1;
};

// Opens `nombre` ("Can't open file: NAME" when it cannot) and reads it with a TParserPNG.
TResultado<void> LeePNG(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
bool MidePNG(const char* nombre, TMedidasImagen& medidas);
