// A drawing device bound to a headless EGL surface for the rendering tests, with a
// parallel projection in which model x and y in -1..1 fill the frame and a larger z is
// nearer to the viewer.
#pragma once

#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Superficie_egl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

struct TDispositivoPrueba {
    explicit TDispositivoPrueba(int ancho = 64, int alto = 64, uint32_t fondo = colorAzul, int bits = 32)
        : superficie(ancho, alto, bits), ancho(ancho), alto(alto) {
        int bitsColor = 0;
        const auto abierto = dc.SetWindow(&superficie, bitsColor, fondo, {0, 0, ancho, alto}, 512);
        activo = abierto.Correcto();
        error = MensajeDe(abierto);
        dc.luz = luzEscena;
        TMatriz4 proyeccion;
        proyeccion(2, 2) = -1.0;
        dc.SetProjection(TMatriz4(), proyeccion);
        dc.Clear();
    }

    // Pixel (x, y) with y counted from the top of the frame, read back through ReadPixels.
    uint32_t Lee(int x, int yArriba) {
        dc.ReadPixels(imagen);
        return imagen.Pixel(x, alto - 1 - yArriba);
    }
    // The pixel under model point (x, y).
    uint32_t LeeModelo(double x, double y) {
        return Lee(static_cast<int>(std::floor((x + 1) / 2 * ancho)),
                   alto - 1 - static_cast<int>(std::floor((y + 1) / 2 * alto)));
    }

    TSuperficieEGL superficie;
    IDCOpenGL dc;
    int ancho, alto;
    bool activo = false;
    DString error;
    TDibIG imagen;
};

inline int DiferenciaMaxima(uint32_t a, uint32_t b) {
    const int dr = std::abs(RojoDe(a) - RojoDe(b));
    const int dg = std::abs(VerdeDe(a) - VerdeDe(b));
    const int db = std::abs(AzulDe(a) - AzulDe(b));
    return std::max(dr, std::max(dg, db));
}
