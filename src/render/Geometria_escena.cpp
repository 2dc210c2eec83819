#include "render/Geometria_escena.h"

#include "geometry/Luz_normals.h"
#include "render/Guarda_matriz.h"
#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Objetos_3d_pila.h"
#include "script/Objetos_3d_planos.h"
#include "script/Objetos_3d_solidos.h"
#include "script/Texturas_3di.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

struct TCaraCaja {
    std::array<size_t, 4> esquinas;
    vector3D normal;
};

// The faces of a box in painting order: bottom, top, then the four sides.
const std::array<TCaraCaja, 6> carasCaja{{
    {{0, 1, 2, 3}, {0, 0, -1}},
    {{4, 5, 6, 7}, {0, 0, 1}},
    {{0, 1, 5, 4}, {0, -1, 0}},
    {{1, 2, 6, 5}, {1, 0, 0}},
    {{2, 3, 7, 6}, {0, 1, 0}},
    {{0, 3, 7, 4}, {-1, 0, 0}},
}};

// A polygon as the triangles (i, i + 1, 0): the split that the driver makes of a
// GL_POLYGON, so that the pixels (depth included) are those of the polygon. One colour
// for every corner, or one per corner.
void AnadePoligono(std::vector<TVerticeColor>& v, std::span<const vector3D> esquinas,
                   std::span<const uint32_t> colores) {
    for (size_t i = 1; i + 1 < esquinas.size(); ++i)
        for (const size_t k : {i, i + 1, size_t{0}})
            v.push_back(VerticeColor(esquinas[k], colores[colores.size() == 1 ? 0 : k]));
}

class TConstructor : public TVisitanteElementos {
public:
    explicit TConstructor(TGeometriaElemento& g) : g(g) {}

    // Textured, corner 0 takes the image's top-left corner, corner 1 its top-right, and so
    // round.
    void Visita(const TElementoQuad3D& e) override {
        const uint32_t c = ColorCara(e, e.normal);
        if (e.textura) {
            Texturada();
            g.blanco = true;
            const uint32_t colores[4] = {c, c, c, c};
            AnadeTexturado(std::span(e.puntos.data(), 4), colores, {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}});
            return;
        }
        Triangulos();
        AnadePoligono(g.vertices, std::span(e.puntos.data(), 4), std::span(&c, 1));
    }
    void Visita(const TElementoTriang3D& e) override {
        const uint32_t c = ColorCara(e, e.normal);
        Triangulos();
        for (size_t k = 0; k < 3; ++k)
            g.vertices.push_back(VerticeColor(e.puntos[k], c));
    }
    void Visita(const TElementoCaraMalla& e) override {
        const uint32_t c = ColorCara(e, e.Normal());
        Triangulos();
        for (size_t k = 0; k < 3; ++k)
            g.vertices.push_back(VerticeColor(e.Punto(k), c));
    }
    void Visita(const TElementoLinea& e) override {
        Lineas(e);
        g.vertices.push_back(VerticeColor(e.puntos[0], e.color));
        g.vertices.push_back(VerticeColor(e.puntos[1], e.color));
    }
    // A ring is its segments (a strip draws the same pixels); a disk is filled, lit by
    // its axis as written.
    void Visita(const TElementoCircle& e) override {
        if (!e.relleno) {
            Lineas(e);
            for (size_t i = 0; i + 1 < e.puntos.size(); ++i) {
                g.vertices.push_back(VerticeColor(e.puntos[i], e.color));
                g.vertices.push_back(VerticeColor(e.puntos[i + 1], e.color));
            }
            return;
        }
        uint32_t c = e.color;
        Ilumina(luzEscena, c, e.eje, false);
        Triangulos();
        AnadePoligono(g.vertices, e.puntos, std::span(&c, 1));
    }
    // Built in its frame and turned onto its axis here, so that it joins the frame's
    // plain triangles.
    void Visita(const TElementoCono3D& e) override {
        Triangulos();
        g.uniforme = false;
        guardar = true;
        const TMarcoCono marco = MarcoCono(e.puntos[0], e.puntos[1]);
        const TMatriz4 m = MatrizTraslacion(e.puntos[0]) * MatrizGiro(marco.eje, marco.angulo);
        for (TCaraCono cara : CarasCono(marco, e.radio1, e.radio2, e.color, luzEscena)) {
            for (vector3D& p : cara.esquinas)
                p = Transforma(m, p);
            AnadePoligono(g.vertices, cara.esquinas, cara.colores);
        }
    }
    // Scaled from a sphere of the x radius, unless that radius is about 0.
    void Visita(const TElementoElipsoide3D& e) override {
        double escalaY = 1.0, escalaZ = 1.0;
        if (std::fabs(e.radioA) >= 0.00001) {
            escalaY = e.radioB / e.radioA;
            escalaZ = e.radioC / e.radioA;
        }
        g.uniforme = false;
        g.inicio = e.puntos[0];
        g.radios = {e.radioA, e.radioA * escalaY, e.radioA * escalaZ};
        guardar = true;
        if (e.textura) {
            g.forma = TFormaGeometria::texturada;
            g.mallaTextura = std::make_unique<TMallaEsferaTexturada>();
            MallaEsferaTexturada(luzEscena, e.radioA, escalaY, escalaZ, e.color, *g.mallaTextura);
            return;
        }
        // The grid's points moved to the centre; its cells are the triangles of
        // IndicesMallaEsfera (each point shared by the cells round it is lit once).
        TMallaEsfera malla;
        MallaEsfera(luzEscena, e.radioA, escalaY, escalaZ, e.color, malla);
        g.forma = TFormaGeometria::triangulos;
        g.cerrada = true;
        const float centro[3] = {static_cast<float>(g.inicio.x), static_cast<float>(g.inicio.y),
                                 static_cast<float>(g.inicio.z)};
        g.vertices.assign(malla.begin(), malla.end());
        for (TVerticeColor& v : g.vertices)
            for (size_t k = 0; k < 3; ++k)
                v.posicion[k] += centro[k];
    }
    void Visita(const TElementoPrisma3D& e) override {
        Triangulos();
        for (const TCaraCaja& cara : carasCaja) {
            const uint32_t c = ColorCara(e, cara.normal);
            const vector3D esquinas[4] = {e.puntos[cara.esquinas[0]], e.puntos[cara.esquinas[1]],
                                          e.puntos[cara.esquinas[2]], e.puntos[cara.esquinas[3]]};
            AnadePoligono(g.vertices, esquinas, std::span(&c, 1));
        }
    }
    // The section and the route of an extrusion show only while it is highlighted.
    void Visita(const TElementoPolilinea&) override {}
    void Visita(const TElementoXtrusion& e) override { Quads(e); }
    void Visita(const TElementoRevolution& e) override { Quads(e); }
    void Visita(const TElementoPush& e) override {
        g.forma = TFormaGeometria::empuja;
        g.matriz = &e.matriz;
    }
    void Visita(const TElementoPop&) override { g.forma = TFormaGeometria::saca; }

    // Whether the element is worth keeping its geometry.
    bool guardar = false;

private:
    void Triangulos() { g.forma = TFormaGeometria::triangulos; }
    void Texturada() {
        g.forma = TFormaGeometria::texturada;
        g.uniforme = false;
        guardar = true;
    }
    // A polygon split as AnadePoligono splits it, each corner with its place on the image.
    void AnadeTexturado(std::span<const vector3D> esquinas, std::span<const uint32_t> colores,
                        std::span<const vector2D> posiciones) {
        for (size_t i = 1; i + 1 < esquinas.size(); ++i)
            for (const size_t k : {i, i + 1, size_t{0}}) {
                TVerticeTextura v{};
                v.posicion[0] = static_cast<float>(esquinas[k].x);
                v.posicion[1] = static_cast<float>(esquinas[k].y);
                v.posicion[2] = static_cast<float>(esquinas[k].z);
                ComponentesTextura(colores[k], v.color);
                v.color[3] = 1.0f;
                v.textura[0] = static_cast<float>(posiciones[k].x);
                v.textura[1] = static_cast<float>(posiciones[k].y);
                g.verticesTextura.push_back(v);
            }
    }
    void Lineas(const TElementoObj3D& e) {
        g.forma = TFormaGeometria::lineas;
        g.ancho = static_cast<float>(e.grosorLinea);
    }
    // Each quad lit at its corners by their vertex normals, one-sided; textured, each
    // corner at its place on the image.
    void Quads(const TElementoQuads& e) {
        Triangulos();
        g.uniforme = false;
        guardar = true;
        if (e.textura) Texturada();
        const size_t n = std::min(e.puntos.size(), e.normalesVertice.size());
        for (const TQuadExtr& q : e.quads) {
            if (!std::all_of(q.begin(), q.end(),
                             [&](int32_t i) { return i >= 0 && static_cast<size_t>(i) < n; }))
                continue;
            vector3D esquinas[4];
            uint32_t colores[4];
            vector2D posiciones[4];
            for (size_t k = 0; k < 4; ++k) {
                const size_t i = static_cast<size_t>(q[k]);
                esquinas[k] = e.puntos[i];
                colores[k] = ColorDibujo(e);
                Ilumina(luzEscena, colores[k], e.normalesVertice[i], false);
                if (e.textura) posiciones[k] = i < e.posTextura.size() ? e.posTextura[i] : vector2D();
            }
            if (e.textura)
                AnadeTexturado(esquinas, colores, posiciones);
            else
                AnadePoligono(g.vertices, esquinas, colores);
        }
    }

    TGeometriaElemento& g;
};

void Limpia(TGeometriaElemento& g) {
    g.forma = TFormaGeometria::nada;
    g.vertices.clear();
    g.uniforme = true;
    g.ancho = 1.0f;
    g.verticesTextura.clear();
    g.mallaTextura.reset();
    g.blanco = false;
    g.cerrada = false;
    g.matriz = nullptr;
}

// The element's texture as the device holds it, uploaded on its first use; null when
// the element has none or the device cannot give it.
TTexturaIG* TexturaDispositivo(IDCOpenGL& dc, const TTextura3Di* textura) {
    return textura ? dc.almacenTexturas.Prepara(dc, textura->imagen, textura->mezcla) : nullptr;
}

void DibujaTexturada(IDCOpenGL& dc, const TGeometriaElemento& g, const TTextura3Di* textura) {
    const TTexturaIG* registro = TexturaDispositivo(dc, textura);
    if (g.mallaTextura) {
        TGuardaMatriz modelo(GL_MODELVIEW);
        glTranslatef(static_cast<float>(g.inicio.x), static_cast<float>(g.inicio.y),
                     static_cast<float>(g.inicio.z));
        dc.PintaMallaEsfera(*g.mallaTextura, g.radios[0], g.radios[1], g.radios[2], registro);
        return;
    }
    if (g.verticesTextura.empty()) return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TVerticeTextura), g.verticesTextura.data()->posicion);
    {
        const TTexturaEnUso enUso(dc, registro);
        if (enUso.Activa()) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(TVerticeTextura), g.verticesTextura.data()->textura);
        }
        // A face in white goes under the texture without its light (a blending texture is
        // bound with opaque white already).
        if (enUso.Activa() && g.blanco) {
            glDisableClientState(GL_COLOR_ARRAY); // the frame's may be on
            if (!registro->mezcla) dc.SetColor(colorBlanco);
        } else {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_FLOAT, sizeof(TVerticeTextura), g.verticesTextura.data()->color);
        }
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(g.verticesTextura.size()));
    }
    glPopClientAttrib();
}

} // namespace

uint32_t ColorDibujo(const TElementoObj3D& elemento) {
    return elemento.textura && elemento.BlancoConTextura() ? colorBlanco : elemento.color;
}

uint32_t ColorCara(const TElementoObj3D& elemento, const vector3D& normal) {
    uint32_t c = ColorDibujo(elemento);
    Ilumina(luzEscena, c, normal, true);
    return c;
}

const TGeometriaElemento& TGeometriasGuardadas::De(const TElementoObj3D& elemento,
                                                   TGeometriaElemento& temporal) {
    if (const auto guardada = porSerie.find(elemento.serie); guardada != porSerie.end()) {
        guardada->second.ronda = ronda;
        return *guardada->second.geometria;
    }
    Limpia(temporal);
    TConstructor constructor(temporal);
    elemento.Acepta(constructor);
    if (!constructor.guardar) return temporal;
    TGuardada& nueva = porSerie[elemento.serie];
    nueva.geometria = std::make_unique<TGeometriaElemento>(std::move(temporal));
    nueva.ronda = ronda;
    return *nueva.geometria;
}

void TGeometriasGuardadas::TerminaRonda() {
    std::erase_if(porSerie, [&](const auto& g) { return g.second.ronda != ronda; });
}

std::vector<TVerticeColor> TriangulosEscena(const TObjeto3D& escena) {
    std::vector<TVerticeColor> triangulos;
    std::vector<TMatriz4> pila{TMatriz4()};
    const auto anade = [&](const TMatriz4& m, const TVerticeColor& v) {
        const vector3D p = Transforma(m, vector3D(v.posicion[0], v.posicion[1], v.posicion[2]));
        triangulos.push_back(VerticeColor(p, 0));
        std::copy(std::begin(v.color), std::end(v.color), triangulos.back().color);
    };
    TGeometriasGuardadas guardadas;
    TGeometriaElemento temporal;
    escena.ParaCada([&](const TElementoObj3D& e) {
        const TGeometriaElemento& g = guardadas.De(e, temporal);
        switch (g.forma) {
        case TFormaGeometria::triangulos:
            if (g.cerrada) {
                for (const uint32_t i : IndicesMallaEsfera())
                    anade(pila.back(), g.vertices[i]);
            } else {
                for (const TVerticeColor& v : g.vertices)
                    anade(pila.back(), v);
            }
            break;
        case TFormaGeometria::empuja: {
            TMatriz4 m;
            for (size_t f = 0; f < 4; ++f)
                for (size_t c = 0; c < 4; ++c)
                    m.m[4 * f + c] = (*g.matriz)[4 * c + f];
            pila.push_back(pila.back() * m);
            break;
        }
        case TFormaGeometria::saca:
            if (pila.size() > 1) pila.pop_back();
            break;
        case TFormaGeometria::texturada: {
            const auto anadeTexturado = [&](const TMatriz4& m, const TVerticeTextura& v) {
                TVerticeColor c{};
                std::copy(std::begin(v.posicion), std::end(v.posicion), c.posicion);
                std::copy(std::begin(v.color), std::end(v.color), c.color);
                anade(m, c);
            };
            if (!g.mallaTextura) {
                for (const TVerticeTextura& v : g.verticesTextura)
                    anadeTexturado(pila.back(), v);
                break;
            }
            const TMatriz4 m = pila.back() * MatrizTraslacion(g.inicio);
            for (const uint32_t i : IndicesMallaEsfera())
                anadeTexturado(m, (*g.mallaTextura)[i]);
            break;
        }
        case TFormaGeometria::lineas:
        case TFormaGeometria::nada:
            break;
        }
    });
    return triangulos;
}

void DibujaCeldas() {
    const std::span<const uint32_t> indices = IndicesMallaEsfera();
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
}

void DibujaGeometria(IDCOpenGL& dc, const TGeometriaElemento& g, const TTextura3Di* textura) {
    if (g.forma == TFormaGeometria::texturada) {
        DibujaTexturada(dc, g, textura);
        return;
    }
    if (g.vertices.empty()) return;
    if (g.forma == TFormaGeometria::lineas && g.ancho > 0.0f) dc.SetLineWidth(g.ancho);
    glPushAttrib(GL_LIGHTING_BIT);
    glShadeModel(g.uniforme ? GL_FLAT : GL_SMOOTH);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TVerticeColor), g.vertices.data()->posicion);
    glColorPointer(4, GL_FLOAT, sizeof(TVerticeColor), g.vertices.data()->color);
    if (g.cerrada)
        DibujaCeldas();
    else
        glDrawArrays(g.forma == TFormaGeometria::lineas ? GL_LINES : GL_TRIANGLES, 0,
                     static_cast<GLsizei>(g.vertices.size()));
    glPopClientAttrib();
    glPopAttrib();
}
