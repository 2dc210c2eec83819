// A scene on view and its frames. TVistaEscena holds what decides a frame besides the
// device: the scene (shared, never changed), the camera it is seen through, the
// selection drawn highlighted, and the painter that keeps what it made of the scene for
// the next frames. The editor's preview and full-screen window, the command-line tool,
// the icon export and the tests all draw through one; its frame is the camera's
// matrices into the device, clear, the scene, swap, and Fit to View and `--fit` frame
// the whole model through it.
#pragma once

#include "render/Camara.h"
#include "render/Pinta_escena.h"
#include "script/Objetos_3d.h"
#include "support/Dstring.h"

#include <memory>

class IDCOpenGL;
class TDibIG;

class TVistaEscena {
public:
    // An empty scene until one is shown.
    TVistaEscena();
    explicit TVistaEscena(std::shared_ptr<const TObjeto3D> escena, const TCamara& camara = {});

    // Shows `escena` from now on (a new read of the script): the camera takes its header
    // settings.
    void Muestra(std::shared_ptr<const TObjeto3D> escena);
    const TObjeto3D& Escena() const { return *escena; }
    const std::shared_ptr<const TObjeto3D>& EscenaCompartida() const { return escena; }

    // One frame on the device, presented; nothing is drawn when its viewport has no width.
    // A failure of the painter (the frame then shows what was drawn before it).
    TResultado<void> Pinta(IDCOpenGL& dc);
    // Changes the camera so that the whole scene fills the share `margen` of the
    // device's viewport, the orientation kept: zoomed and panned (in perspective zoomed
    // about the middle, the eye moved back when the model reaches it) by where the
    // points of the scene's geometry fall, in one step and without drawing. False, with
    // the camera unchanged, when the scene draws nothing.
    bool Encuadra(IDCOpenGL& dc, double margen = 0.9);
    // The control point under a window position of the frame on show (see BuscaPunto).
    void BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& linea, int& indice);

    TCamara camara;
    TSeleccion seleccion;
    // Keystroke frames drawn from a copy of the frame before (see TPintorEscena).
    void GuardaCuadros(bool si) { pintor.guardaCuadros = si; }

private:
    TResultado<void> PintaSinPresentar(IDCOpenGL& dc, const TCamara& camaraCuadro,
                                       const TSeleccion& seleccionCuadro);
    bool Mide(IDCOpenGL& dc, const TCamara& prueba, TCajaVentana& caja);

    std::shared_ptr<const TObjeto3D> escena;
    TPintorEscena pintor;
};

// The camera's matrices for the device's viewport, into the device (its projection
// too). A pick in the frame on show projects its points under them.
void CargaVista(IDCOpenGL& dc, const TCamara& camara);

// Draws the view without a display (a headless surface of ancho x alto on the blue
// background) and reads the picture back as a 24-bit bottom-up image; with `encuadra`
// the camera (a copy) is first fitted to the whole scene. A failure of the context or of
// the painter (the picture then holds what was drawn).
TResultado<void> RenderizaEscena(TVistaEscena& vista, bool encuadra, int ancho, int alto, TDibIG& imagen);
