// TSuperficieQt: the drawing device's surface over a QOpenGLWidget. Qt creates the
// widget's context (compatibility profile, see Aplicacion_editor.h) and its frame
// buffer object, and shows the frame after paintGL; the surface only adopts them:
// choosing and fixing a format accept what Qt made, "creating" the context checks
// that the widget has a usable one, and presenting a frame does nothing.
#pragma once

#include "render/Superficie_gl.h"

#include <QPointer>

class QOpenGLWidget;

class TSuperficieQt : public TSuperficieGL {
public:
    explicit TSuperficieQt(QOpenGLWidget* widget) : widget(widget) {}

    bool AbreDispositivo() override;
    int BitsColor() const override;
    int EligeFormato(int bitsColor, int bitsProfundidad) override;
    bool FijaFormato(int formato, uint32_t& codigoError) override;
    bool CreaContexto(uint32_t& codigoError) override;
    // The context is the widget's: the device only lets go of it.
    void LiberaContexto() override { enlazada = false; }
    bool TieneContexto() const override;
    bool HazActual() override;
    void Presenta() override {}
    int Ancho() const override;
    int Alto() const override;
    uint32_t BufferLectura() const override;

private:
    QPointer<QOpenGLWidget> widget; // null once the widget is gone
    bool enlazada = false;
};

// Platform codes of CreaContexto's failures (shown in the device's error text).
constexpr uint32_t errorSinContextoQt = 1;  // the widget has no valid context
constexpr uint32_t errorPerfilNucleoQt = 2; // a core-profile context: no immediate mode
constexpr uint32_t errorOpenGLESQt = 3;     // OpenGL ES instead of desktop OpenGL
