// Test helper: a scene drawn through the headless surface at the editor's default view
// (20 pixels per unit, the model origin at the centre, model x to the right, model z up
// and model y into the picture, tilted 45 degrees so both rise on the screen by
// 20 / sqrt(2) pixels per unit), read back to be probed pixel by pixel.
#pragma once

#include "Lee_script.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

constexpr int lado = 256;
constexpr int centro = lado / 2;
constexpr double subida = 20.0 / 1.4142135623730951; // screen pixels per unit of z or y

inline int Diferencia(uint32_t a, uint32_t b) {
    return std::max({std::abs(RojoDe(a) - RojoDe(b)), std::abs(VerdeDe(a) - VerdeDe(b)),
                     std::abs(AzulDe(a) - AzulDe(b))});
}

inline bool EsRojo(uint32_t c) {
    return RojoDe(c) > 100 && VerdeDe(c) < 40 && AzulDe(c) < 40;
}
inline bool EsVerde(uint32_t c) {
    return VerdeDe(c) > 100 && RojoDe(c) < 40 && AzulDe(c) < 40;
}
// Lit blue never reaches the 254 of the background.
inline bool EsAzul(uint32_t c) {
    return AzulDe(c) > 60 && AzulDe(c) < 240 && RojoDe(c) < 40 && VerdeDe(c) < 40;
}

// A preview of its own: a device on a headless surface, the default view.
struct TVistaPrueba {
    TVistaPrueba() {
        dc.luz = luzEscena;
        int bits = 0;
        activo = dc.SetWindow(&superficie, bits, colorAzul, {0, 0, lado, lado}, 512).Correcto();
        vista.camara.ResetView();
    }
    // Paints the view as it stands.
    void Pinta() {
        EXPECT_TRUE(vista.Pinta(dc));
        dc.ReadPixels(imagen);
    }
    // Reads the script after the last read and shows it.
    TResultadoLectura Lee(const std::string& script) {
        const auto r = LeeScript(lectura, script);
        vista.Muestra(lectura.escena);
        return r;
    }
    // Reads the script, which must read cleanly, and paints it.
    void Pinta(const std::string& script) {
        EXPECT_EQ(Lee(script).errores, "");
        Pinta();
    }
    const TObjeto3D& Escena() const { return vista.Escena(); }
    // The pixel dx to the right of the centre and dy above it.
    uint32_t Desde(int dx, int dy) const { return imagen.Pixel(centro + dx, centro + dy); }
    // y counted from the top of the picture.
    uint32_t En(int x, int yArriba) const { return imagen.Pixel(x, lado - 1 - yArriba); }
    // The pixel `dx`, `dy` away from the one under a model point.
    uint32_t EnModelo(double x, double y, double z, int dx = 0, int dy = 0) const {
        return En(centro + static_cast<int>(std::lround(20.0 * x)) + dx,
                  centro - static_cast<int>(std::lround(subida * (y + z))) + dy);
    }
    bool EsFondo(uint32_t c) const { return Diferencia(c, 0xFE0000) <= 1; }
    // Whether a pixel within 2 of the model point is black (thin lines fall on either
    // side of a pixel boundary).
    bool NegroCerca(double x, double y, double z) const {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (Diferencia(EnModelo(x, y, z, dx, dy), colorNegro) <= 1) return true;
        return false;
    }
    int Cuenta(bool (*prueba)(uint32_t)) const {
        int n = 0;
        for (int j = 0; j < lado; ++j)
            for (int i = 0; i < lado; ++i)
                n += prueba(imagen.Pixel(i, j));
        return n;
    }
    int ProfundidadPila() const {
        GLint p = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &p);
        return p;
    }

    TSuperficieEGL superficie{lado, lado};
    IDCOpenGL dc;
    TLecturaEscena lectura;
    TVistaEscena vista;
    TDibIG imagen;
    bool activo = false;
};
