#include "script/Objetos_3d_cuadricas.h"

#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "script/Objetos_3d_planos.h"
#include "script/Texturas_3di.h"

namespace {

// The highlight is drawn this much larger than the solid so that it shows over it.
constexpr double escalaResalte = 1.05;

} // namespace

// ---------------------------------------------------------------------------------------
// CONE and CYLINDER

void TElementoCono3D::LeeCentros(const DString& parametros, int n, const char* mensaje,
                                 Vector<DString>& campos) {
    puntos[0] = puntos[1] = vector3D();
    LeeCampos(parametros, ":", n, mensaje, campos);
    puntos[0] = LeePunto(campos[0]);
    puntos[1] = LeePunto(campos[1]);
}

void TElementoCono3D::Lee(const DString& parametros, DString&) {
    Vector<DString> campos(4, 1, true);
    LeeCentros(parametros, 4, "Error reading Cone", campos);
    radio1 = campos[2].ToDouble();
    radio2 = campos[3].ToDouble();
}

void TElementoCylinder3D::Lee(const DString& parametros, DString&) {
    Vector<DString> campos(3, 1, true);
    LeeCentros(parametros, 3, "Error reading Cylinder", campos);
    radio1 = radio2 = campos[2].ToDouble();
}

void TElementoCono3D::Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) {
    dc.SetColor(color);
    dc.Cone(puntos[0], puntos[1], radio1, radio2, color, modoRelleno);
    if (!resaltado) return;
    dc.SetColor(colorNegro);
    dc.Cone(puntos[0], puntos[1], radio1 * escalaResalte, radio2 * escalaResalte, color, modoLineas);
    if (puntoResaltado == 0 || puntoResaltado == 1)
        MarcaPunto(dc, puntos[static_cast<size_t>(puntoResaltado)]);
}

bool TElementoCono3D::BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& indice) {
    return BuscaEntrePuntos(dc, posicion, 2, indice);
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

void TElementoElipsoide3D::Lee(const DString& parametros, DString&) {
    Reinicia();
    Vector<DString> campos(6, 1, true);
    LeeCampos(parametros, ":", 6, "Error reading Elipsoid", campos);
    puntos[0] = LeePunto(campos[0]);
    radioA = campos[3].ToDouble();
    radioB = campos[4].ToDouble();
    radioC = campos[5].ToDouble();
}

void TElementoEsfera3D::Lee(const DString& parametros, DString&) {
    Reinicia();
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, ":", 2, "Error reading Sphere", campos);
    puntos[0] = LeePunto(campos[0]);
    radioA = radioB = radioC = campos[1].ToDouble();
}

void TElementoElipsoide3D::Pinta(IDCOpenGL& dc, bool resaltado, int) {
    dc.SetColor(color);
    TTexturaIG* registro = textura ? PreparaTextura(*textura, dc) : nullptr;
    dc.Ellipsoid(puntos[0], radioA, radioB, radioC, color, modoRelleno, registro);
    if (!resaltado) return;
    // The outline is a sphere of the x radius, whatever the other two.
    dc.SetColor(colorNegro);
    dc.Sphere(puntos[0], radioA * escalaResalte, color, modoLineas);
}

bool TElementoElipsoide3D::BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& indice) {
    return BuscaEntrePuntos(dc, posicion, 1, indice);
}

void TElementoElipsoide3D::Describe(TVisitanteCampos& v) const {
    v.Campo("radioA", radioA);
    v.Campo("radioB", radioB);
    v.Campo("radioC", radioC);
}
