#include "script/Objetos_3d_solidos.h"

#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "script/Objetos_3d_planos.h"

namespace {

struct TCaraCaja {
    std::array<int, 4> esquinas;
    vector3D normal;
};

// The faces in painting order: bottom, top, then the four sides.
const std::array<TCaraCaja, 6> carasCaja{{
    {{0, 1, 2, 3}, {0, 0, -1}},
    {{4, 5, 6, 7}, {0, 0, 1}},
    {{0, 1, 5, 4}, {0, -1, 0}},
    {{1, 2, 6, 5}, {1, 0, 0}},
    {{2, 3, 7, 6}, {0, 1, 0}},
    {{0, 3, 7, 4}, {-1, 0, 0}},
}};

} // namespace

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
void TElementoPrisma3D::Lee(const DString& parametros, DString&) {
    Vector<DString> campos(3, 1, true);
    LeeCampos(parametros, ":", 3, "Error reading Prism", campos);
    const vector3D centro = LeePunto(campos[0]);
    const vector3D lados = LeePunto(campos[1]);
    ConstruyeCaja(centro, lados.x, lados.y, lados.z);
}

void TElementoCubo3D::Lee(const DString& parametros, DString&) {
    Vector<DString> campos(3, 1, true);
    LeeCampos(parametros, ":", 3, "Error reading CUBE", campos);
    const vector3D centro = LeePunto(campos[0]);
    const double lado = campos[1].ToDouble();
    ConstruyeCaja(centro, lado, lado, lado);
}

void TElementoPrisma3D::Pinta(IDCOpenGL& dc, bool, int) {
    for (const TCaraCaja& cara : carasCaja) {
        uint32_t c = color;
        Ilumina(luzEscena, c, cara.normal, true);
        dc.SetColor(c);
        const std::array<vector3D, 4> esquinas{
            puntos[static_cast<size_t>(cara.esquinas[0])], puntos[static_cast<size_t>(cara.esquinas[1])],
            puntos[static_cast<size_t>(cara.esquinas[2])], puntos[static_cast<size_t>(cara.esquinas[3])]};
        dc.Polygon(esquinas, {}, modoRelleno);
    }
}

void TElementoPrisma3D::Describe(TVisitanteCampos& v) const {
    v.Campo("normales", std::span<const vector3D>(normales));
}
