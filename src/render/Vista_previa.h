// The view of the preview: rotation, zoom, pan and perspective distance, the rules by
// which the mouse and the wheel change them, and the two matrices that the drawing
// device receives for them. The editor and the command-line tool share it, so both
// draw the same picture from the same view.
#pragma once

#include "geometry/Matrix3.h"

struct TVistaPrevia {
    double anguloX = 0.0;    // radians
    double anguloY = 0.0;    // radians
    double escala = 20.0;    // parallel projection: pixels per model unit
    double distancia = 10.0; // perspective: eye distance in model units
    vector3D desplazamiento; // pan, normalised device units (2 = the whole width or height)

    // Restores the angles and the zoom; pan and distance are kept.
    void ResetView();
    // The view and projection matrices for a W x H preview.
    void ConstruyeMatrices(bool perspectiva, int ancho, int alto, TMatriz4& vista,
                           TMatriz4& proyeccion) const;

    // A right-button drag by (dx, dy) pixels: 0.01 radian per pixel.
    void Gira(int dx, int dy);
    // A drag with another button: the picture follows the pointer.
    void Desplaza(int dx, int dy, int ancho, int alto);
    // A wheel turn of `delta` (120 per step): zooms in parallel mode, moves the eye in perspective.
    void Rueda(int delta, bool perspectiva);
    // The zoom buttons.
    void AcercaZoom() { escala *= 1.2; }
    void AlejaZoom() { escala *= 1.0 / 1.2; }
};
