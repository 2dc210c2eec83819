// TLienzoGL: the preview (`PaintBox3D`), a widget on which the drawing device paints the
// scene through the same view code as the command-line tool. The device draws into an
// offscreen frame buffer of the widget's own context (in the application's share group,
// like the full-screen window's), and the widget shows the frame read back as a picture:
// a plain widget is flushed alone, where an OpenGL widget makes Qt compose the whole
// window through OpenGL at every frame, which is most of a keystroke's cost on a
// software renderer. It owns the
// mouse navigation: a drag with the right button turns the model, a drag with any
// other button pans it, and a click without motion picks the control point under the
// pointer. The wheel is left to the main window, which zooms only while the pointer
// is over the preview.
#pragma once

#include "editor/Superficie_qt.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"

#include <QImage>
#include <QOffscreenSurface>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

class QOpenGLContext;
class QOpenGLFramebufferObject;

class TLienzoGL : public QWidget {
    Q_OBJECT
public:
    TLienzoGL(IDCOpenGL& dc, TVistaEscena& vista, QWidget* padre = nullptr);
    ~TLienzoGL() override;
    TLienzoGL(const TLienzoGL&) = delete;
    TLienzoGL& operator=(const TLienzoGL&) = delete;

    TSuperficieQt& Superficie() { return superficie; }
    // Whether the device draws on this widget now (not on the full-screen window).
    bool Enlazado() const;
    // The client rectangle in device pixels, as the device's viewport takes it.
    TRectanguloGL Rectangulo() const;
    // Draws the frame at once into the widget's buffer (outside a paint event), so that
    // it can be read back; false when the device is not bound here.
    bool DibujaAhora();
    // Fits the view to the whole model (measured on this widget's frame buffer) and
    // repaints; false when the device is not bound here or the model draws nothing.
    bool Encuadra();
    // Frames painted so far (the tests and the benchmark wait on it), and the last shown.
    long Cuadros() const { return cuadros; }
    const QImage& UltimoCuadro() const { return ultimo; }
    // Draws the frame of the scene as it is now and lets the driver work on it while the
    // rest of the window paints; the next paint shows it if nothing it was drawn from has
    // changed meanwhile (else it draws again). Once between two paints: later calls only
    // ask for the paint.
    void Adelanta();
    // Draws a frame now and gives it as a picture (blue while the device is elsewhere).
    QImage CapturaCuadro();
    // Makes the widget's context current with its frame buffer bound; false without one.
    bool HazActual();
    QOpenGLContext* Contexto() const { return contexto.get(); }

    // Called before the scene is drawn or searched, so that it is up to date.
    std::function<void()> antesDeDibujar;
    // Told of a frame that the painters failed to draw (the window shows the message).
    std::function<void(const TFallo&)> alFallar;

    // Mouse drag state.
    bool arrastrando = false;
    QPoint puntoAnterior;
    QPoint puntoPulsado;

signals:
    // The widget's context exists (the device can be bound to it).
    void contextoListo();
    // A frame has been painted on the widget.
    void cuadroMostrado();
    // A click without motion found a control point: its script line and index.
    void puntoElegido(int linea, int indice);

protected:
    void showEvent(QShowEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    void BuscaPuntoEn(const QPoint& posicion);
    void PreparaEscena();
    void Pinta();
    bool CreaContexto();
    void AjustaMarco();
    void DibujaCuadro();
    QImage LeeCuadro();
    // What a frame is drawn from: the scene (by its number), the camera, the selection
    // and the size.
    struct TSello {
        TIdentidadEscena escena;
        TCamara camara;
        TSeleccion seleccion;
        int ancho = 0, alto = 0;
        bool operator==(const TSello&) const = default;
    };
    TSello Sello() const;

    IDCOpenGL& dc;
    TVistaEscena& vista;
    std::unique_ptr<QOpenGLContext> contexto;
    QOffscreenSurface superficieFuera;
    std::unique_ptr<QOpenGLFramebufferObject> marco;
    TSuperficieQt superficie;
    long cuadros = 0;
    QImage ultimo;
    bool adelantado = false; // a frame drawn by Adelanta waits for its paint
    bool adelantoHecho = false;
    TSello selloAdelantado;
};

// Paints the scene of a device that is bound to the current context; a failure of the
// painters (a thrown one too) comes back instead of escaping a paint event.
TResultado<void> PintaEscenaSegura(IDCOpenGL& dc, TVistaEscena& vista);
// A plain blue frame, for a widget that the device is not bound to.
void PintaFondoAzul();
// Deletes the device's font lists and its own texture in the context it is bound to,
// before the device moves to another surface of the same share group (where it
// builds them again).
void SueltaRecursosDispositivo(IDCOpenGL& dc);
