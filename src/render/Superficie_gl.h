// TSuperficieGL: what the drawing device binds to instead of a window. A surface
// owns the platform side of an OpenGL context: it chooses a pixel format, creates
// and deletes the context, makes it current, presents the finished frame and
// reports its size and colour depth. The headless EGL surface (Superficie_egl.h)
// serves the command-line tool and the tests; the editor supplies one over its
// OpenGL widget.
#pragma once

#include <cstdint>

class TSuperficieGL {
public:
    virtual ~TSuperficieGL() = default;

    // Opens the connection to the display that will host the context (stands in for
    // taking the window's device context); false when there is none.
    virtual bool AbreDispositivo() = 0;
    // Colour depth of the display in bits per pixel (bits x planes of the device).
    virtual int BitsColor() const = 0;
    // Chooses a pixel format with the given colour and depth bits: a positive format
    // number, or 0 when none fits.
    virtual int EligeFormato(int bitsColor, int bitsProfundidad) = 0;
    // Fixes the chosen format; false with a platform error code when refused.
    virtual bool FijaFormato(int formato, uint32_t& codigoError) = 0;
    // Creates the rendering context; false with a platform error code on failure.
    virtual bool CreaContexto(uint32_t& codigoError) = 0;
    // Deletes the context (and whatever lives only in it); nothing when there is none.
    virtual void LiberaContexto() = 0;
    virtual bool TieneContexto() const = 0;
    // Makes the context current on the calling thread and binds the frame it draws to.
    virtual bool HazActual() = 0;
    // Shows the finished frame (a buffer swap where there is a screen).
    virtual void Presenta() = 0;
    // The frame follows a new client size (where the surface owns its frame buffer).
    virtual void CambiaTamano(int /*ancho*/, int /*alto*/) {}
    virtual int Ancho() const = 0;
    virtual int Alto() const = 0;
    // The colour buffer that pixel reads take: GL_BACK for a double-buffered window,
    // the colour attachment for a frame buffer object.
    virtual uint32_t BufferLectura() const = 0;
};
