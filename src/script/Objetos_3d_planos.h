// The flat primitives of the script: QUAD, TRIANGLE, LINE, CIRCLE and DISK, and the
// readers shared by every element family (fields, points, colours).
#pragma once

#include "script/Objetos_3d.h"

#include <cstdint>

// Cuts `parametros` at `separador` into exactly `n` fields (empty fields kept, the rest
// of the text kept in the last one); raises `mensaje` when the count differs.
void LeeCampos(const DString& parametros, const char* separador, int n, const char* mensaje,
               Vector<DString>& campos);
// The field as a point: a vector formula, the origin when unreadable.
vector3D LeePunto(const DString& campo);
// "(r,g,b)" as a packed colour; raises "Error reading color".
uint32_t LeeColor(const DString& texto);

// Faces with a normal: QUAD and TRIANGLE.
class TElementoCara3D : public TElementoObj3D {
public:
    // `cerrada`: `puntos` holds a copy of the first corner after the last, so that the
    // outline of a highlighted script line is one closed strip.
    TElementoCara3D(int esquinas, bool cerrada = true);
    void Describe(TVisitanteCampos& v) const override;
    int PuntosControl() const override { return esquinas; }

    vector3D normal;
    int esquinas;

protected:
    void LeeEsquinas(const DString& parametros, const char* mensaje);
    // Repeats the first corner after the last, and takes the normal.
    void CierraCara();
    // The unit normal of the first three corners.
    void CalculaNormal();
};

class TElementoQuad3D : public TElementoCara3D {
public:
    TElementoQuad3D() : TElementoCara3D(4) {}
    bool BlancoConTextura() const override { return true; }
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoQuad3D"; }
};

class TElementoTriang3D : public TElementoCara3D {
public:
    TElementoTriang3D() : TElementoCara3D(3) {}
    // A face of an imported mesh: its three corners and its normal. It keeps no closing
    // copy of the first corner: a mesh may bring millions of faces, and a face without a
    // script line is never highlighted, so its outline is never drawn.
    TElementoTriang3D(const vector3D& a, const vector3D& b, const vector3D& c);
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoTriang3D"; }
};

class TElementoLinea : public TElementoObj3D {
public:
    TElementoLinea() : TElementoObj3D(2) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    int PuntosControl() const override { return 2; }
    const char* NombreClase() const override { return "TElementoLinea"; }
};

// CIRCLE (an outline ring) and, through TElementoDisco, DISK (a filled ring).
class TElementoCircle : public TElementoObj3D {
public:
    TElementoCircle();
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }

    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoCircle"; }
    void Describe(TVisitanteCampos& v) const override;

    int32_t numSegmentos = 16;
    vector3D centro;
    vector3D eje;
    double radio = 0.0;
    bool relleno = false;
};

class TElementoDisco : public TElementoCircle {
public:
    TElementoDisco() { relleno = true; }
    const char* NombreClase() const override { return "TElementoDisco"; }
};
