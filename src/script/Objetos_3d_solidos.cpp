#include "script/Objetos_3d_solidos.h"

#include "script/Objetos_3d_planos.h"

void TElementoPrisma3D::ConstruyeCaja(const vector3D& c, double sx, double sy, double sz) {
    const double hx = sx * 0.5, hy = sy * 0.5, hz = sz * 0.5;
    puntos[0] = {c.x - hx, c.y - hy, c.z - hz};
    puntos[1] = {c.x + hx, c.y - hy, c.z - hz};
    puntos[2] = {c.x + hx, c.y + hy, c.z - hz};
    puntos[3] = {c.x - hx, c.y + hy, c.z - hz};
    for (size_t i = 0; i < 4; ++i) {
        puntos[i + 4] = puntos[i];
        puntos[i + 4].z = c.z + hz;
    }
    normales = {vector3D(0, 0, -1), vector3D(0, 0, 1),  vector3D(-1, 0, 0),
                vector3D(1, 0, 0),  vector3D(0, -1, 0), vector3D(0, 1, 0)};
}

// The third field must be present although nothing reads it.
TResultado<void> TElementoPrisma3D::Lee(const DString& parametros, TEstadoLectura&) {
    Vector<DString> campos(3, 1, true);
    LeeCampos(parametros, ":", 3, "Error reading Prism", campos);
    const vector3D centro = LeePunto(campos[0]);
    const vector3D lados = LeePunto(campos[1]);
    ConstruyeCaja(centro, lados.x, lados.y, lados.z);
    return {};
}

TResultado<void> TElementoCubo3D::Lee(const DString& parametros, TEstadoLectura&) {
    Vector<DString> campos(3, 1, true);
    LeeCampos(parametros, ":", 3, "Error reading CUBE", campos);
    const vector3D centro = LeePunto(campos[0]);
    const double lado = campos[1].ToDouble();
    ConstruyeCaja(centro, lado, lado, lado);
    return {};
}

void TElementoPrisma3D::Describe(TVisitanteCampos& v) const {
    v.Campo("normales", std::span<const vector3D>(normales));
}
