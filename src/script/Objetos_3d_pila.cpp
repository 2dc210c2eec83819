#include "script/Objetos_3d_pila.h"

#include "script/Objetos_3d_planos.h"

void TElementoPush::Describe(TVisitanteCampos& v) const {
    v.Campo("matriz", std::span<const double>(matriz));
}

void TElementoPushScale::Lee(const DString& parametros, DString&) {
    double s = parametros.ToDouble();
    if (!(s >= 0.00001)) s = 1.0; // zero, negative and unreadable factors alike
    matriz = Transpuesta(MatrizEscala(s));
    objeto->AbrePush();
}

void TElementoPushTrans::Lee(const DString& parametros, DString&) {
    matriz = Transpuesta(MatrizTraslacion(LeePunto(parametros)));
    objeto->AbrePush();
}

void TElementoPushTurn::Lee(const DString& parametros, DString&) {
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, "|", 2, "Error PUSHTURN command", campos);
    const vector3D eje = LeePunto(campos[0]);
    const double grados = campos[1].ToDouble();
    matriz = Transpuesta(MatrizGiro(eje, grados * 3.141592653589793 * (1.0 / 180.0)));
    objeto->AbrePush();
}

void TElementoPop::Lee(const DString&, DString&) {
    objeto->CierraPush();
}
