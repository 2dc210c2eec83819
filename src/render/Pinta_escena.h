// The scene painter: draws a scene through the drawing device, and finds the control
// point under a position of the picture. The elements' geometry is made once (and kept
// with the costly ones); a frame is a list of draws from vertex arrays made from it,
// kept with the scene until its elements change, so that a frame costs the drawing
// and little else. The picture is the one that drawing every element by itself gives.
#pragma once

#include "geometry/Matrix3.h"

class IDCOpenGL;
class TObjeto3D;

// Paint failures are reported with this caption.
inline constexpr const char* tituloErrorPintura = "Selvaron";

// Paints the scene with the device: its own view (moved to `posicion`, zoomed by `zoom`
// times its scale and stretched by `estiramientoZ` along z, turned by `giroZ` and by
// twice `giroX`, its centre at the origin), the transform stack of its PUSH and POP
// elements, and the element of the highlighted line drawn highlighted. A failure is
// reported with how far the painting got, and leaves the matrix stack as it was found.
void PintaEscena(IDCOpenGL& dc, const TObjeto3D& escena, const vector3D& posicion, double giroZ, double zoom,
                 double giroX, double estiramientoZ);

// The control point under a window position (y downwards), looked for among the elements'
// points projected as the scene paints them at the origin and its own zoom: the script
// line of its element and its index, -1 and -1 when there is none. The first element in
// the list whose point lies within |dx| + |dy| < 8 pixels wins.
void BuscaPunto(IDCOpenGL& dc, const TObjeto3D& escena, const vector2D& posicion, int& linea, int& indice);
