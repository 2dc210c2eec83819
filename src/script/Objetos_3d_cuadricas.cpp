#include "script/Objetos_3d_cuadricas.h"

#include "script/Objetos_3d_planos.h"

// ---------------------------------------------------------------------------------------
// CONE and CYLINDER

void TElementoCono3D::LeeCentros(const DString& parametros, int n, const char* mensaje,
                                 Vector<DString>& campos) {
    puntos[0] = puntos[1] = vector3D();
    LeeCampos(parametros, ":", n, mensaje, campos);
    puntos[0] = LeePunto(campos[0]);
    puntos[1] = LeePunto(campos[1]);
}

TResultado<void> TElementoCono3D::Lee(const DString& parametros, TEstadoLectura&) {
    Vector<DString> campos(4, 1, true);
    LeeCentros(parametros, 4, "Error reading Cone", campos);
    radio1 = campos[2].ToDouble();
    radio2 = campos[3].ToDouble();
    return {};
}

TResultado<void> TElementoCylinder3D::Lee(const DString& parametros, TEstadoLectura&) {
    Vector<DString> campos(3, 1, true);
    LeeCentros(parametros, 3, "Error reading Cylinder", campos);
    radio1 = radio2 = campos[2].ToDouble();
    return {};
}

void TElementoCono3D::Describe(TVisitanteCampos& v) const {
    v.Campo("radio1", radio1);
    v.Campo("radio2", radio2);
}

// ---------------------------------------------------------------------------------------
// ELIPSOID and SPHERE

void TElementoElipsoide3D::Reinicia() {
    puntos[0] = vector3D();
    radioA = radioB = radioC = 0.0;
}

TResultado<void> TElementoElipsoide3D::Lee(const DString& parametros, TEstadoLectura&) {
    Reinicia();
    Vector<DString> campos(6, 1, true);
    LeeCampos(parametros, ":", 6, "Error reading Elipsoid", campos);
    puntos[0] = LeePunto(campos[0]);
    radioA = campos[3].ToDouble();
    radioB = campos[4].ToDouble();
    radioC = campos[5].ToDouble();
    return {};
}

TResultado<void> TElementoEsfera3D::Lee(const DString& parametros, TEstadoLectura&) {
    Reinicia();
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, ":", 2, "Error reading Sphere", campos);
    puntos[0] = LeePunto(campos[0]);
    radioA = radioB = radioC = campos[1].ToDouble();
    return {};
}

void TElementoElipsoide3D::Describe(TVisitanteCampos& v) const {
    v.Campo("radioA", radioA);
    v.Campo("radioB", radioB);
    v.Campo("radioC", radioC);
}
