#include "render/Resalte_escena.h"

#include "geometry/Luz_normals.h"
#include "render/Geometria_escena.h"
#include "render/Guarda_matriz.h"
#include "render/Idc_opengl.h"
#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Objetos_3d_pila.h"
#include "script/Objetos_3d_planos.h"
#include "script/Objetos_3d_solidos.h"

#include <GL/gl.h>

#include <algorithm>
#include <span>

namespace {

// A highlighted solid's wire view is drawn this much larger so that it shows over it.
constexpr double escalaResalte = 1.05;

class TResaltador : public TVisitanteElementos {
public:
    TResaltador(IDCOpenGL& dc, const TGeometriaElemento* geometria, int punto)
        : dc(dc), geometria(geometria), punto(punto) {}

    void Visita(const TElementoQuad3D& e) override {
        if (e.textura) {
            DibujaPlano(e);
        } else {
            dc.SetColor(ColorCara(e, e.normal));
            dc.Polygon(std::span(e.puntos.data(), 4), {}, modoRelleno);
        }
        Contorno(e);
    }
    void Visita(const TElementoTriang3D& e) override {
        dc.SetColor(ColorCara(e, e.normal));
        dc.Polygon(std::span(e.puntos.data(), 3), {}, modoRelleno);
        Contorno(e);
    }
    // A mesh's face has no script line to be highlighted by; drawn plain if ever asked.
    void Visita(const TElementoCaraMalla& e) override {
        const std::array<vector3D, 3> p = e.Puntos();
        dc.SetColor(ColorCara(e, e.Normal()));
        dc.Polygon(p, {}, modoRelleno);
    }
    void Visita(const TElementoLinea& e) override {
        dc.SetColor(e.color);
        dc.SetLineWidth(e.GrosorResaltado());
        dc.Line(e.puntos[0], e.puntos[1]);
        dc.SetLineWidth(e.grosorLinea);
        Marca(e, 2);
    }
    // A ring drawn thicker; a disk as a wire view (its ring and its spokes) in its lit
    // colour and the line width that was set last.
    void Visita(const TElementoCircle& e) override {
        if (!e.relleno) {
            dc.SetColor(e.color);
            dc.SetLineWidth(e.GrosorResaltado());
            dc.Polyline(e.puntos);
            return;
        }
        uint32_t c = e.color;
        Ilumina(luzEscena, c, e.eje, false);
        dc.SetColor(c);
        dc.Polyline(e.puntos);
        for (int i = 0; i < e.numSegmentos; ++i)
            dc.Line(e.centro, e.puntos[static_cast<size_t>(i)]);
    }
    void Visita(const TElementoCono3D& e) override {
        DibujaPlano(e);
        dc.SetColor(colorNegro);
        dc.Cone(e.puntos[0], e.puntos[1], e.radio1 * escalaResalte, e.radio2 * escalaResalte, e.color,
                modoLineas);
        Marca(e, 2);
    }
    // The outline is a sphere of the x radius, whatever the other two; no mark.
    void Visita(const TElementoElipsoide3D& e) override {
        DibujaPlano(e);
        dc.SetColor(colorNegro);
        dc.Sphere(e.puntos[0], e.radioA * escalaResalte, e.color, modoLineas);
    }
    // A box looks the same highlighted.
    void Visita(const TElementoPrisma3D& e) override { DibujaPlano(e); }
    void Visita(const TElementoPolilinea& e) override {
        if (e.puntos.empty()) return;
        dc.SetColor(e.color);
        dc.Polyline(e.puntos);
        Marca(e, e.numPuntos);
    }
    // The section and the route as written, at the offset. The field under the caret is
    // the offset (0), a section point (1 to n) or one of the two fields of a route pair.
    void Visita(const TElementoXtrusion& e) override {
        Quads(e);
        const int n = e.seccion.numPuntos;
        {
            TGuardaMatriz modelo(GL_MODELVIEW);
            glTranslatef(static_cast<float>(e.desplazamiento.x), static_cast<float>(e.desplazamiento.y),
                         static_cast<float>(e.desplazamiento.z));
            dc.SetColor(colorNegro);
            TResaltador(dc, nullptr, punto >= 1 && punto <= n ? punto - 1 : -1).Visita(e.seccion);
            TResaltador(dc, nullptr, punto > n ? (punto - n - 1) / 2 : -1).Visita(e.ruta);
        }
        if (punto == 0) MarcaPunto(dc, e.desplazamiento);
    }
    // The axis in the white of the normal strokes.
    void Visita(const TElementoRevolution& e) override {
        Quads(e);
        dc.Line(e.puntoEje1, e.puntoEje2);
    }
    void Visita(const TElementoPush&) override {}
    void Visita(const TElementoPop&) override {}

private:
    // The element's plain look (a part of an element has none of its own).
    void DibujaPlano(const TElementoObj3D& e) {
        if (geometria) DibujaGeometria(dc, *geometria, e.textura);
    }
    // The outline of a face, in black and thicker than its lines, and the mark.
    void Contorno(const TElementoCara3D& e) {
        dc.SetColor(colorNegro);
        dc.SetLineWidth(e.GrosorResaltado());
        dc.Polyline(e.puntos);
        Marca(e, e.esquinas);
    }
    // The tripod at the point of the field under the caret, among the first `n`.
    void Marca(const TElementoObj3D& e, int n) {
        if (punto >= 0 && punto < n && static_cast<size_t>(punto) < e.puntos.size())
            MarcaPunto(dc, e.puntos[static_cast<size_t>(punto)]);
    }
    // The quads as open line strips in the element's colour (filled as ever when the
    // element has a texture), then the vertex normals as unit strokes in white.
    void Quads(const TElementoQuads& e) {
        dc.SetColor(ColorDibujo(e));
        const size_t n = std::min(e.puntos.size(), e.normalesVertice.size());
        const auto valido = [&](const TQuadExtr& q) {
            return std::all_of(q.begin(), q.end(),
                               [&](int32_t i) { return i >= 0 && static_cast<size_t>(i) < n; });
        };
        if (e.textura) DibujaPlano(e);
        for (const TQuadExtr& q : e.quads) {
            if (e.textura || !valido(q)) continue;
            const vector3D esquinas[4] = {
                e.puntos[static_cast<size_t>(q[0])], e.puntos[static_cast<size_t>(q[1])],
                e.puntos[static_cast<size_t>(q[2])], e.puntos[static_cast<size_t>(q[3])]};
            dc.Polygon(esquinas, {}, modoLineas);
        }
        dc.SetColor(colorBlanco);
        for (const TQuadExtr& q : e.quads) {
            if (!valido(q)) continue;
            for (int32_t i : q) {
                const vector3D& p = e.puntos[static_cast<size_t>(i)];
                dc.Line(p, p + e.normalesVertice[static_cast<size_t>(i)]);
            }
        }
    }

    IDCOpenGL& dc;
    const TGeometriaElemento* geometria;
    int punto;
};

} // namespace

void PintaResaltado(IDCOpenGL& dc, const TElementoObj3D& elemento, const TGeometriaElemento& geometria,
                    int punto) {
    TResaltador resaltador(dc, &geometria, punto);
    elemento.Acepta(resaltador);
}

void MarcaPunto(IDCOpenGL& dc, const vector3D& punto) {
    dc.SetColor(colorNegro);
    dc.SetLineWidth(1.0);
    dc.Axes(punto, 30.0);
}
