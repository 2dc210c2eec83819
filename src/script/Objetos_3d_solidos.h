// The boxes of the script: PRISM (a centre and three edge lengths) and CUBE (a centre
// and one edge length), both axis-aligned and painted as six flat-shaded faces.
#pragma once

#include "script/Objetos_3d.h"

#include <array>

class TElementoPrisma3D : public TElementoObj3D {
public:
    TElementoPrisma3D() : TElementoObj3D(8) {}
    // A box is drawn the same whether highlighted or not, and has no control points.
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoPrisma3D"; }
    void Describe(TVisitanteCampos& v) const override;

    // The eight corners about `centro` (the bottom four counter-clockwise from the
    // low x, low y corner, then the top four) and the six face normals. Negative
    // sizes are kept: they swap the two sides of that axis.
    void ConstruyeCaja(const vector3D& centro, double sx, double sy, double sz);

    std::array<vector3D, 6> normales;
};

class TElementoCubo3D : public TElementoPrisma3D {
public:
    using TElementoPrisma3D::TElementoPrisma3D;
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoCubo3D"; }
};
