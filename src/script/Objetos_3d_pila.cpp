#include "script/Objetos_3d_pila.h"

#include "script/Objetos_3d_planos.h"

void TElementoPush::Describe(TVisitanteCampos& v) const {
    v.Campo("matriz", std::span<const double>(matriz));
}

void TElementoPushScale::Lee(const DString& parametros, DString&, TEstadoLectura& estado) {
    double s = parametros.ToDouble();
    if (!(s >= 0.00001)) s = 1.0; // zero, negative and unreadable factors alike
    matriz = Transpuesta(MatrizEscala(s));
    estado.AbrePush();
}

void TElementoPushTrans::Lee(const DString& parametros, DString&, TEstadoLectura& estado) {
    matriz = Transpuesta(MatrizTraslacion(LeePunto(parametros)));
    estado.AbrePush();
}

void TElementoPushTurn::Lee(const DString& parametros, DString&, TEstadoLectura& estado) {
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, "|", 2, "Error PUSHTURN command", campos);
    const vector3D eje = LeePunto(campos[0]);
    const double grados = campos[1].ToDouble();
    matriz = Transpuesta(MatrizGiro(eje, grados * 3.141592653589793 * (1.0 / 180.0)));
    estado.AbrePush();
}

void TElementoPop::Lee(const DString&, DString&, TEstadoLectura& estado) {
    estado.CierraPush();
}
