// TFullScreenWindow: a bare, frameless top-level OpenGL window that covers the screen
// at the desktop's current mode, so that the drawing device can be bound to it and the
// preview shown full screen. It forwards its paint and key-down events to callbacks
// that its owner sets, and asks the owner to close it when the window manager's close
// command arrives (instead of ending the program).
//
// The owner keeps one object and re-uses it: `Close` hides the window, and the next
// `Create` shows the same window (and its context) again.
#pragma once

#include "editor/Superficie_qt.h"

#include <QOpenGLWidget>

#include <functional>
#include <memory>

class TVentanaCompletaGL;

class TFullScreenWindow {
public:
    TFullScreenWindow();
    ~TFullScreenWindow();
    TFullScreenWindow(const TFullScreenWindow&) = delete;
    TFullScreenWindow& operator=(const TFullScreenWindow&) = delete;

    // Shows the window full screen. The requested size and colour depth are kept for
    // the record: the desktop's mode is not changed.
    bool Create(int anchoPedido, int altoPedido, int bitsPedidos);
    void Close();
    bool Abierta() const { return abierta; }
    // Asks for a repaint of the window.
    void Actualiza();

    // The window's surface for the drawing device; its context exists once the
    // window has been shown (see alPrepararse).
    TSuperficieQt* Superficie();
    QOpenGLWidget* Ventana() const;

    // Paint (the context is current and the frame buffer bound), key down (a Qt key
    // code), the window manager's close command, and "the context now exists".
    std::function<void()> alPintar;
    std::function<void(int)> alPulsarTecla;
    std::function<void()> alCerrar;
    std::function<void()> alPrepararse;

    int ancho = 0;
    int alto = 0;
    int bits = 0;
    bool pantallaCompleta = false;

private:
    std::unique_ptr<TVentanaCompletaGL> ventana;
    std::unique_ptr<TSuperficieQt> superficie;
    bool abierta = false;
};

inline constexpr const char* tituloPantallaCompleta = "Selvaron Full Screen 3D";
