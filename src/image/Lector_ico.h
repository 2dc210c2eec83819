// Windows icon files (.ico): the program's own decoder of the icon directory, of
// BMP-in-ICO images (1, 4, 8, 24 or 32 bits with their AND mask) and of PNG-in-ICO
// images (through libpng), and the icon reader of the loader.
#pragma once

#include "image/Lector_imagen.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One image of an icon file: its colours and its mask (1 = transparent), both bottom-up
// and of the same size.
struct TImagenIcono {
    TDibIG color;
    TDibIG mascara;
};

// One image of an icon file as its own header describes it.
struct TImagenDirectorio {
    int32_t ancho = 0;
    int32_t alto = 0;
    int32_t bits = 0;
    bool png = false;
};

// Decodes the file's largest image (the deepest among equals); when it cannot be read,
// the next one in that order. False when no image of the file can be read.
bool DecodificaICO(const char* nombre, TImagenIcono& icono);
// The images of the file's directory that the decoder reads, in the directory's order;
// false when the file is no icon file.
bool ListaICO(const char* nombre, std::vector<TImagenDirectorio>& imagenes);
// Decodes image `indice` of that list.
bool DecodificaICO(const char* nombre, size_t indice, TImagenIcono& icono);

// The icon reader: an 8-bit image whose transparent pixels hold index 0, the reserved
// colour 99, 99, 99 (see TDibIG::ReduceA256), whose alpha is 0; an icon of more than 254
// colours, or with partly transparent pixels, becomes a 32-bit image whose alpha is the
// icon's own (PNG and 32-bit images) or its mask's. The error text is empty after a
// success.
TResultado<void> LeeICO(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso);
// The sides of the image that the decoder tries first.
bool MideICO(const char* nombre, TMedidasImagen& medidas);
