// One frame of the preview: the view's matrices into the device, clear, the scene,
// swap. The editor's preview and the command-line renderer both draw through it, and
// both frame the whole model through it (Fit to View, --fit).
#pragma once

#include "support/Dstring.h"

class IDCOpenGL;
class TDibIG;
class TObjeto3D;
struct TVistaPrevia;

void PintaVista(IDCOpenGL& dc, TObjeto3D& objeto, const TVistaPrevia& vista);
// Only the first step: the view's matrices for the device's viewport, into the device.
// A pick in the frame on show projects its points under them too.
void CargaVista(IDCOpenGL& dc, const TVistaPrevia& vista);

// Changes the view so that the whole scene fills the device's viewport (Encuadra of
// the view), measuring what frames drawn under trial views cover; the orientation
// stays. False, with the view unchanged, when the scene draws nothing. The frames are
// not presented: the caller paints again.
bool EncuadraEscena(IDCOpenGL& dc, TObjeto3D& objeto, TVistaPrevia& vista);

// Draws the scene without a display (a headless surface of ancho x alto on the blue
// background) and reads the picture back as a 24-bit bottom-up image; with `encuadra`
// the view is first fitted to the whole scene.
bool RenderizaEscena(TObjeto3D& objeto, const TVistaPrevia& vista, bool perspectiva, bool encuadra, int ancho,
                     int alto, TDibIG& imagen, DString& error);
