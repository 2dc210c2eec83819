// One frame of the preview: the view's matrices into the device, clear, the scene,
// swap. The editor's preview and the command-line renderer both draw through it.
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

// Draws the scene without a display (a headless surface of ancho x alto on the blue
// background) and reads the picture back as a 24-bit bottom-up image.
bool RenderizaEscena(TObjeto3D& objeto, const TVistaPrevia& vista, bool perspectiva, int ancho, int alto,
                     TDibIG& imagen, DString& error);
