// How the element on the highlighted script line is drawn instead of its plain look:
// outlines, wire views, the vertex normals and the section and route of an extrusion,
// and the axis tripod at the control point of the field under the caret. Only one line
// is highlighted at a time, so these are drawn through the device's own operations.
#pragma once

class IDCOpenGL;
class TElementoObj3D;
struct TGeometriaElemento;
class vector3D;

// Draws a highlighted element (not a PUSH or a POP) of that plain geometry; `punto` is
// the field under the caret, or -1.
void PintaResaltado(IDCOpenGL& dc, const TElementoObj3D& elemento, const TGeometriaElemento& geometria,
                    int punto);
// Marks a selected control point with the axis tripod.
void MarcaPunto(IDCOpenGL& dc, const vector3D& punto);
