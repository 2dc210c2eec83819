// The round solids of the script: CONE and CYLINDER (a truncated cone between two
// centres) and ELIPSOID and SPHERE (axis-aligned). The readers only fill a few fields;
// the painter has the drawing device's surfaces tessellated and lit.
#pragma once

#include "script/Objetos_3d.h"

// CONE: start centre, end centre and a radius at each end. No caps are drawn.
class TElementoCono3D : public TElementoObj3D {
public:
    TElementoCono3D() : TElementoObj3D(2) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    int PuntosControl() const override { return 2; }
    const char* NombreClase() const override { return "TElementoCono3D"; }
    void Describe(TVisitanteCampos& v) const override;

    double radio1 = 0.0; // at puntos[0]
    double radio2 = 0.0; // at puntos[1]

protected:
    void LeeCentros(const DString& parametros, int n, const char* mensaje, Vector<DString>& campos);
};

// CYLINDER: a cone with one radius for both ends.
class TElementoCylinder3D : public TElementoCono3D {
public:
    using TElementoCono3D::TElementoCono3D;
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoCylinder3D"; }
};

// ELIPSOID: a centre and the radii along x, y and z. The two direction fields of the
// command are required but the painted ellipsoid always follows the coordinate axes.
class TElementoElipsoide3D : public TElementoObj3D {
public:
    TElementoElipsoide3D() : TElementoObj3D(1) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    int PuntosControl() const override { return 1; }
    const char* NombreClase() const override { return "TElementoElipsoide3D"; }
    void Describe(TVisitanteCampos& v) const override;

    double radioA = 0.0;
    double radioB = 0.0;
    double radioC = 0.0;

protected:
    void Reinicia();
};

// SPHERE: an ellipsoid with one radius for the three axes.
class TElementoEsfera3D : public TElementoElipsoide3D {
public:
    using TElementoElipsoide3D::TElementoElipsoide3D;
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoEsfera3D"; }
};
