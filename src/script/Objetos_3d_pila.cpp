#include "script/Objetos_3d_pila.h"

#include "script/Objetos_3d_planos.h"

void TElementoPush::Describe(TVisitanteCampos& v) const {
    v.Campo("matriz", std::span<const double>(matriz));
}

TResultado<void> TElementoPushScale::Lee(const DString& parametros, TEstadoLectura& estado) {
    double s = parametros.ToDouble();
    if (!(s >= 0.00001)) s = 1.0; // zero, negative and unreadable factors alike
    matriz = Transpuesta(MatrizEscala(s));
    estado.AbrePush();
    return {};
}

TResultado<void> TElementoPushTrans::Lee(const DString& parametros, TEstadoLectura& estado) {
    matriz = Transpuesta(MatrizTraslacion(LeePunto(parametros)));
    estado.AbrePush();
    return {};
}

TResultado<void> TElementoPushTurn::Lee(const DString& parametros, TEstadoLectura& estado) {
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, "|", 2, "Error PUSHTURN command", campos);
    const vector3D eje = LeePunto(campos[0]);
    const double grados = campos[1].ToDouble();
    matriz = Transpuesta(MatrizGiro(eje, grados * 3.141592653589793 * (1.0 / 180.0)));
    estado.AbrePush();
    return {};
}

TResultado<void> TElementoPop::Lee(const DString&, TEstadoLectura& estado) {
    estado.CierraPush();
    return {};
}
