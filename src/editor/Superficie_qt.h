// TSuperficieQt: the drawing device's surface over an OpenGL context that Qt made: the
// full-screen window's (a QOpenGLWidget) or the preview's own offscreen one. Qt creates
// the context (compatibility profile, see Aplicacion_editor.h) and the frame buffer
// object; the surface only adopts them: choosing and fixing a format accept what Qt made,
// "creating" the context checks that it is usable, and presenting a frame does nothing
// (the owner shows it).
#pragma once

#include "render/Superficie_gl.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QOpenGLContext;
class QOpenGLWidget;

class TSuperficieQt : public TSuperficieGL {
public:
    // The widget gives the size and the screen; the two hooks give its context (null
    // while there is none) and make it current with its frame buffer bound.
    TSuperficieQt(QWidget* widget, std::function<QOpenGLContext*()> contexto,
                  std::function<void()> hazActual);
    explicit TSuperficieQt(QOpenGLWidget* widget);

    bool AbreDispositivo() override;
    int BitsColor() const override;
    int EligeFormato(int bitsColor, int bitsProfundidad) override;
    bool FijaFormato(int formato, uint32_t& codigoError) override;
    bool CreaContexto(uint32_t& codigoError) override;
    // The context is the owner's: the device only lets go of it.
    void LiberaContexto() override { enlazada = false; }
    bool TieneContexto() const override;
    bool HazActual() override;
    void Presenta() override {}
    int Ancho() const override;
    int Alto() const override;
    uint32_t BufferLectura() const override;

private:
    QOpenGLContext* Contexto() const;

    QPointer<QWidget> widget; // null once the widget is gone
    std::function<QOpenGLContext*()> contexto;
    std::function<void()> hazActual;
    bool enlazada = false;
};

// Platform codes of CreaContexto's failures (shown in the device's error text).
constexpr uint32_t errorSinContextoQt = 1;  // no valid context
constexpr uint32_t errorPerfilNucleoQt = 2; // a core-profile context: no immediate mode
constexpr uint32_t errorOpenGLESQt = 3;     // OpenGL ES instead of desktop OpenGL
