// TSuperficieEGL: a headless OpenGL surface. The context comes from EGL on Mesa's
// surfaceless platform (desktop OpenGL, compatibility profile, so immediate mode and
// display lists work) and draws into a frame buffer object with an RGBA colour buffer
// and a 24-bit depth buffer of the surface's size. There is no screen: presenting a
// frame only finishes the drawing, and the picture is read back with glReadPixels.
//
// Several surfaces may live in one process; they share the process's EGL display
// connection, which stays open until the process ends.
#pragma once

#include "render/Superficie_gl.h"

#include <cstdint>

class TSuperficieEGL : public TSuperficieGL {
public:
    // bitsColor is what the surface reports as the display's colour depth (a desktop
    // typically has 32); the frame buffer itself is always 8 bits per channel.
    TSuperficieEGL(int ancho, int alto, int bitsColor = 32);
    ~TSuperficieEGL() override;
    TSuperficieEGL(const TSuperficieEGL&) = delete;
    TSuperficieEGL& operator=(const TSuperficieEGL&) = delete;

    bool AbreDispositivo() override;
    int BitsColor() const override { return bitsColor; }
    int EligeFormato(int bitsColor, int bitsProfundidad) override;
    bool FijaFormato(int formato, uint32_t& codigoError) override;
    bool CreaContexto(uint32_t& codigoError) override;
    void LiberaContexto() override;
    bool TieneContexto() const override { return contexto != nullptr; }
    bool HazActual() override;
    void Presenta() override;
    void CambiaTamano(int ancho, int alto) override;
    int Ancho() const override { return ancho; }
    int Alto() const override { return alto; }
    uint32_t BufferLectura() const override;

private:
    bool CreaMarco(uint32_t& codigoError);
    void ReservaBuffers();

    int ancho;
    int alto;
    int bitsColor;
    void* pantalla = nullptr;      // EGLDisplay
    void* configuracion = nullptr; // EGLConfig
    bool formatoFijado = false;
    void* contexto = nullptr; // EGLContext
    uint32_t marco = 0;       // the frame buffer object drawn to (0 before the context exists)
    uint32_t bufferColor = 0;
    uint32_t bufferProfundidad = 0;
};
