#include "render/Pinta_escena.h"

#include "geometry/Luz_normals.h"
#include "render/Geometria_escena.h"
#include "render/Idc_opengl.h"
#include "render/Resalte_escena.h"
#include "script/Objetos_3d.h"
#include "script/Objetos_3d_pila.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <numbers>
#include <span>
#include <utility>
#include <vector>

namespace {

constexpr double gradosPorRadian = 180.0 * (1.0 / std::numbers::pi);
// OpenGL levels kept free for the painters' own pushes (cones, the extrusion overlay).
constexpr int nivelesReservados = 4;

// The transform stack of the PUSH and POP elements during one frame: OpenGL's model-view
// stack while it has room, a stack of our own beyond that, so that no nesting depth can
// overflow or corrupt the driver's stack.
class TPilaTransformaciones {
public:
    void Empuja(const std::array<double, 16>& matriz) {
        glMatrixMode(GL_MODELVIEW);
        GLint profundidad = 0, maxima = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &profundidad);
        glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxima);
        if (propia.empty() && profundidad < maxima - nivelesReservados) {
            glPushMatrix();
        } else {
            std::array<double, 16> actual{};
            glGetDoublev(GL_MODELVIEW_MATRIX, actual.data());
            propia.push_back(actual);
        }
        ++nivel;
        glMultMatrixd(matriz.data());
    }
    // A POP without a PUSH open changes nothing.
    void Saca() {
        if (nivel <= 0) return;
        glMatrixMode(GL_MODELVIEW);
        if (!propia.empty()) {
            glLoadMatrixd(propia.back().data());
            propia.pop_back();
        } else {
            glPopMatrix();
        }
        --nivel;
    }
    // Closes every level still open (a script that failed half-way leaves some).
    void Deshaz() {
        while (nivel > 0)
            Saca();
        propia.clear();
    }

private:
    int nivel = 0;
    std::vector<std::array<double, 16>> propia;
};

// One step of a frame: a run of plain geometry drawn at once from the frame's array, an
// element drawn in a frame of its own, or a change of the transform stack.
struct TPaso {
    TFormaGeometria forma = TFormaGeometria::nada;
    bool uniforme = true;
    float ancho = 1.0f;
    uint32_t primero = 0, cuenta = 0; // vertices in the frame's array
    int elemento0 = 0, elemento1 = 0; // the elements it draws, [elemento0, elemento1)
    const TGeometriaElemento* geometria = nullptr;
    const std::array<double, 16>* matriz = nullptr;
};

struct TElementoPrograma {
    const TElementoObj3D* elemento = nullptr;
    uint64_t serie = 0;               // the element's number: the same element while it is the same
    uint32_t primero = 0, cuenta = 0; // its vertices in the frame's array
    // Whether its vertices joined a run of plain geometry, and the run's kind.
    bool enRun = false;
    TFormaGeometria forma = TFormaGeometria::nada;
    bool uniforme = true;
    float ancho = 1.0f;
};

} // namespace

// The frame of a scene, the scene of number `escena`: every element's plain geometry in
// one array, and the steps that draw it. Runs of the same kind of geometry (and line
// width) go out in one draw, in the elements' order, so the picture is the one the
// elements drawn one by one give. It points at the elements of the scenes it is made
// for: they hold the same elements while the numbers are the same.
class TProgramaEscena {
public:
    uint64_t escena = 0;
    std::vector<TVerticeColor> vertices;
    std::vector<TPaso> pasos;
    std::vector<TElementoPrograma> elementos;
    std::vector<std::pair<int32_t, int>> porLinea; // (script line, element), in order
};

namespace {

void AnadePlano(TProgramaEscena& p, const TGeometriaElemento& g, int indice, TElementoPrograma& ep) {
    ep.primero = static_cast<uint32_t>(p.vertices.size());
    ep.cuenta = static_cast<uint32_t>(g.vertices.size());
    ep.enRun = !g.cerrada;
    ep.forma = g.forma;
    ep.uniforme = g.uniforme;
    ep.ancho = g.ancho;
    p.vertices.insert(p.vertices.end(), g.vertices.begin(), g.vertices.end());
    TPaso* ultimo = p.pasos.empty() ? nullptr : &p.pasos.back();
    // A closed sphere goes out by itself, culled when it can be.
    if (ultimo && !g.cerrada && !ultimo->geometria && ultimo->forma == g.forma &&
        ultimo->uniforme == g.uniforme &&
        (g.forma == TFormaGeometria::triangulos || ultimo->ancho == g.ancho)) {
        ultimo->cuenta += ep.cuenta;
        ultimo->elemento1 = indice + 1;
        return;
    }
    TPaso paso;
    paso.forma = g.forma;
    paso.uniforme = g.uniforme;
    paso.ancho = g.ancho;
    paso.primero = ep.primero;
    paso.cuenta = ep.cuenta;
    paso.elemento0 = indice;
    paso.elemento1 = indice + 1;
    if (g.cerrada) paso.geometria = &g; // kept by the element
    p.pasos.push_back(paso);
}

// The elements by script line, for the highlight: (line, element) in order.
void IndexaLineas(TProgramaEscena& p, const TObjeto3D& escena) {
    p.porLinea.clear();
    const std::vector<int32_t>& lineas = escena.Lineas();
    for (size_t i = 0; i < lineas.size(); ++i)
        if (lineas[i] >= 0) p.porLinea.emplace_back(lineas[i], static_cast<int>(i));
    std::sort(p.porLinea.begin(), p.porLinea.end());
}

// `progreso` counts the elements as the painting of each begins. `reciclados` is the
// array of the frame before, whose room the new one takes over: after a keystroke the
// frame is mostly the same size, and filling memory already touched is much cheaper than
// growing a new array of many megabytes. The geometry kept for elements that are not in
// the scene is forgotten.
std::unique_ptr<TProgramaEscena> Construye(const TObjeto3D& escena, TGeometriasGuardadas& geometrias,
                                           int& progreso, std::vector<TVerticeColor> reciclados) {
    auto p = std::make_unique<TProgramaEscena>();
    p->escena = escena.serie;
    p->vertices = std::move(reciclados);
    p->vertices.clear();
    // Room taken once: grown by doubling, the arrays of a mesh of a million faces would be
    // copied and their fresh pages touched several times over. An element draws at least
    // a triangle or a segment, or nothing.
    const size_t n = escena.Elementos().size();
    p->elementos.reserve(n);
    p->vertices.reserve(std::max(p->vertices.capacity(), 3 * n));
    const int inicial = progreso;
    TGeometriaElemento temporal;
    geometrias.EmpiezaRonda();
    for (const TObjeto3D::TElemento& elemento : escena.Elementos()) {
        const TElementoObj3D& e = *elemento;
        const int indice = static_cast<int>(p->elementos.size());
        progreso = inicial + indice + 1;
        const TGeometriaElemento& g = geometrias.De(e, temporal);
        TElementoPrograma ep;
        ep.elemento = &e;
        ep.serie = e.serie;
        TPaso paso;
        paso.forma = g.forma;
        paso.elemento0 = indice;
        paso.elemento1 = indice + 1;
        switch (g.forma) {
        case TFormaGeometria::triangulos:
        case TFormaGeometria::lineas:
            AnadePlano(*p, g, indice, ep);
            break;
        case TFormaGeometria::texturada:
            paso.geometria = &g; // kept by the element
            p->pasos.push_back(paso);
            break;
        case TFormaGeometria::empuja:
            paso.matriz = g.matriz;
            p->pasos.push_back(paso);
            break;
        case TFormaGeometria::saca:
            p->pasos.push_back(paso);
            break;
        case TFormaGeometria::nada:
            break;
        }
        p->elementos.push_back(ep);
    }
    geometrias.TerminaRonda();
    IndexaLineas(*p, escena);
    return p;
}

// After a keystroke the elements are mostly those the frame was made of, with one or two
// read anew in their place. When every new one makes plain geometry of the same kind and
// size as the one it replaces, in a run of plain geometry, the frame stays as it is but
// for those elements' vertices. An element is the same when its number is. False, with
// nothing changed, when the frame must be made again.
bool Actualiza(TProgramaEscena& p, const TObjeto3D& escena, TGeometriasGuardadas& geometrias, int& progreso) {
    const std::vector<TObjeto3D::TElemento>& elementos = escena.Elementos();
    if (elementos.size() != p.elementos.size()) return false;
    std::vector<size_t> cambiados;
    for (size_t i = 0; i < elementos.size(); ++i)
        if (p.elementos[i].serie != elementos[i]->serie) cambiados.push_back(i);
    const int inicial = progreso;
    std::vector<TGeometriaElemento> temporales(cambiados.size());
    std::vector<const TGeometriaElemento*> nuevas;
    for (size_t k = 0; k < cambiados.size(); ++k) {
        const size_t i = cambiados[k];
        progreso = inicial + static_cast<int>(i) + 1;
        const TGeometriaElemento& g = geometrias.De(*elementos[i], temporales[k]);
        const TElementoPrograma& antes = p.elementos[i];
        const bool igual = antes.enRun && !g.cerrada && g.forma == antes.forma &&
                           g.vertices.size() == antes.cuenta && g.uniforme == antes.uniforme &&
                           (g.forma == TFormaGeometria::triangulos || g.ancho == antes.ancho);
        if (!igual) return false;
        nuevas.push_back(&g);
    }
    // The geometry kept for the elements replaced goes, unless an element only moved
    // to another place.
    std::vector<uint64_t> sustituidos, puestos;
    for (size_t k = 0; k < cambiados.size(); ++k) {
        TElementoPrograma& ep = p.elementos[cambiados[k]];
        std::copy(nuevas[k]->vertices.begin(), nuevas[k]->vertices.end(),
                  p.vertices.begin() + static_cast<std::ptrdiff_t>(ep.primero));
        sustituidos.push_back(ep.serie);
        ep.elemento = elementos[cambiados[k]].get();
        ep.serie = ep.elemento->serie;
        puestos.push_back(ep.serie);
    }
    std::sort(puestos.begin(), puestos.end());
    for (const uint64_t serie : sustituidos)
        if (!std::binary_search(puestos.begin(), puestos.end(), serie)) geometrias.Olvida(serie);
    IndexaLineas(p, escena);
    p.escena = escena.serie;
    return true;
}

// The frame's array bound to the vertex and colour arrays while the frame draws.
class TArraysCuadro {
public:
    explicit TArraysCuadro(const std::vector<TVerticeColor>& vertices) {
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        Desde(vertices, 0);
    }
    // The arrays from that vertex of the frame's array on.
    static void Desde(const std::vector<TVerticeColor>& vertices, uint32_t primero) {
        if (vertices.empty()) return;
        glVertexPointer(3, GL_FLOAT, sizeof(TVerticeColor), vertices[primero].posicion);
        glColorPointer(4, GL_FLOAT, sizeof(TVerticeColor), vertices[primero].color);
    }
    ~TArraysCuadro() { glPopClientAttrib(); }
    TArraysCuadro(const TArraysCuadro&) = delete;
    TArraysCuadro& operator=(const TArraysCuadro&) = delete;
};

// The elements of the highlighted line, in order.
std::vector<int> Resaltados(const TProgramaEscena& p, int32_t linea) {
    std::vector<int> indices;
    if (linea < 0) return indices;
    const auto [desde, hasta] =
        std::equal_range(p.porLinea.begin(), p.porLinea.end(), std::pair<int32_t, int>(linea, 0),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto i = desde; i != hasta; ++i)
        indices.push_back(i->second);
    return indices;
}

// The first vertex of the run `s` that element `k` or a later one of the run draws (the
// run's end when none does).
uint32_t VerticeDesde(const TProgramaEscena& p, const TPaso& s, int k) {
    for (int j = std::max(k, s.elemento0); j < s.elemento1; ++j) {
        const TElementoPrograma& e = p.elementos[static_cast<size_t>(j)];
        if (e.forma == TFormaGeometria::triangulos || e.forma == TFormaGeometria::lineas) return e.primero;
    }
    return s.primero + s.cuenta;
}

} // namespace

// What part of the frame is drawn: from element `desde` on (those before are in the
// buffers already, put back from a copy), and where the frame leaves a copy of itself
// for the next one: before element `guardaEn` is drawn (-1: nowhere), in the state
// `estado`, the elements' numbers being `series`.
struct TTramoCuadro {
    int desde = 0;
    int guardaEn = -1;
    TEstadoCuadro estado;
    std::span<const uint64_t> series;
};

namespace {

// `resaltados`: the elements of the selected line (see Resaltados).
void Ejecuta(IDCOpenGL& dc, const TProgramaEscena& p, TGeometriasGuardadas& geometrias,
             const TSeleccion& seleccion, const std::vector<int>& resaltados, TPilaTransformaciones& pila,
             int& progreso, const TTramoCuadro& tramo) {
    const int inicial = progreso;
    auto h = resaltados.begin();
    // Lines keep the width that was set last, from one element to the next (and one
    // frame to the next): only a change is sent.
    GLfloat ancho = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &ancho);
    TArraysCuadro arrays(p.vertices);
    bool plano = false;
    const auto sombreado = [&](bool uniforme) {
        if (uniforme == plano) return;
        glShadeModel(uniforme ? GL_FLAT : GL_SMOOTH);
        plano = uniforme;
    };
    // A software driver rasterises what it was sent at a flush, on threads of its own:
    // flushed every so many vertices, a large frame is rasterised while the rest is still
    // sent, instead of all of it after the last draw. (The picture is the same.)
    constexpr uint32_t verticesPorEnvio = 24000;
    uint32_t sinEnviar = 0;
    const auto cuenta = [&](uint32_t vertices) {
        sinEnviar += vertices;
        if (sinEnviar < verticesPorEnvio) return;
        glFlush();
        sinEnviar = 0;
    };
    const auto dibuja = [&](const TPaso& s, uint32_t desde, uint32_t hasta) {
        if (hasta <= desde) return;
        sombreado(s.uniforme);
        // As the device sets widths: scaled for a picture drawn larger than it is shown.
        const auto pedido = static_cast<GLfloat>(s.ancho * dc.escalaGrosor);
        if (s.forma == TFormaGeometria::lineas && pedido > 0.0f && pedido != ancho) {
            glLineWidth(pedido);
            ancho = pedido;
        }
        const TGeometriaElemento* g = s.geometria;
        unsigned frente = GL_CCW;
        const bool culla =
            g && g->cerrada && dc.DorsoOculto(g->inicio, g->radios[0], g->radios[1], g->radios[2], frente);
        if (culla) {
            glEnable(GL_CULL_FACE);
            glFrontFace(frente);
        }
        if (g && g->cerrada) {
            // Its grid's points from where they start in the frame's array.
            arrays.Desde(p.vertices, desde);
            DibujaCeldas();
            arrays.Desde(p.vertices, 0);
            cuenta(static_cast<uint32_t>(IndicesMallaEsfera().size()));
        } else {
            glDrawArrays(s.forma == TFormaGeometria::lineas ? GL_LINES : GL_TRIANGLES,
                         static_cast<GLint>(desde), static_cast<GLsizei>(hasta - desde));
            cuenta(hasta - desde);
        }
        if (culla) {
            glDisable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
        }
    };
    const auto resalta = [&](int indice) {
        sombreado(false);
        const TElementoObj3D& e = *p.elementos[static_cast<size_t>(indice)].elemento;
        TGeometriaElemento temporal;
        PintaResaltado(dc, e, geometrias.De(e, temporal), seleccion.puntoResaltado);
        glGetFloatv(GL_LINE_WIDTH, &ancho);
    };
    bool guardado = tramo.guardaEn < 0;
    const auto guarda = [&] {
        dc.cuadroGuardado.Guarda(tramo.estado, tramo.series.first(static_cast<size_t>(tramo.guardaEn)));
        guardado = true;
    };
    for (const TPaso& s : p.pasos) {
        progreso = inicial + s.elemento0 + 1;
        if (s.elemento1 <= tramo.desde) {
            // Drawn already; the transforms still apply to what follows.
            if (s.forma == TFormaGeometria::empuja) pila.Empuja(*s.matriz);
            if (s.forma == TFormaGeometria::saca) pila.Saca();
            continue;
        }
        if (!guardado && s.elemento0 >= tramo.guardaEn) guarda();
        while (h != resaltados.end() && *h < s.elemento0)
            ++h; // elements that draw nothing
        switch (s.forma) {
        case TFormaGeometria::triangulos:
        case TFormaGeometria::lineas: {
            uint32_t cursor = s.elemento0 < tramo.desde ? VerticeDesde(p, s, tramo.desde) : s.primero;
            if (!guardado && s.elemento0 < tramo.guardaEn && tramo.guardaEn < s.elemento1) {
                // The copy goes part way through a run (nothing highlighted before it).
                const uint32_t corte = VerticeDesde(p, s, tramo.guardaEn);
                dibuja(s, cursor, corte);
                guarda();
                cursor = corte;
            }
            for (; h != resaltados.end() && *h < s.elemento1; ++h) {
                const TElementoPrograma& ep = p.elementos[static_cast<size_t>(*h)];
                dibuja(s, cursor, ep.primero);
                resalta(*h);
                cursor = ep.primero + ep.cuenta;
            }
            dibuja(s, cursor, s.primero + s.cuenta);
            break;
        }
        case TFormaGeometria::texturada:
            if (h != resaltados.end() && *h == s.elemento0) {
                resalta(*h);
                ++h;
            } else {
                sombreado(false);
                DibujaGeometria(dc, *s.geometria,
                                p.elementos[static_cast<size_t>(s.elemento0)].elemento->textura);
            }
            break;
        case TFormaGeometria::empuja:
            pila.Empuja(*s.matriz);
            break;
        case TFormaGeometria::saca:
            pila.Saca();
            break;
        case TFormaGeometria::nada:
            break;
        }
    }
    // Nothing from that element on draws: the copy is the whole frame.
    if (!guardado) guarda();
    sombreado(false);
}

// The scene's own transform, moved to `posicion`, zoomed by `zoom` and stretched by
// `estiramientoZ` along z, turned by `giroZ` and by twice `giroX` besides its header's
// settings; `progreso` follows how far it got (see TPintorEscena::Pinta).
void AplicaVista(const TCabeceraEscena& escena, const vector3D& posicion, double giroZ, double zoom,
                 double giroX, double estiramientoZ, int& progreso) {
    glTranslatef(static_cast<float>(posicion.x), static_cast<float>(posicion.y),
                 static_cast<float>(posicion.z));
    progreso = 2;
    glScalef(static_cast<float>(zoom), static_cast<float>(zoom), static_cast<float>(zoom * estiramientoZ));
    glRotatef(static_cast<float>((giroZ + escena.anguloGiro) * gradosPorRadian), 0.0f, 0.0f, 1.0f);
    progreso = 3;
    const float grados = static_cast<float>(2.0 * giroX * gradosPorRadian);
    if (escena.giroEnY)
        glRotatef(grados, 0.0f, 1.0f, 0.0f);
    else
        glRotatef(grados, 1.0f, 0.0f, 0.0f);
    progreso = 4;
    glTranslatef(static_cast<float>(-escena.centro.x), static_cast<float>(-escena.centro.y),
                 static_cast<float>(-escena.centro.z));
    progreso = 5;
}

// Points projected to window positions (y downwards) as gluProject does, with the
// matrices and viewport read once instead of for every point.
class TProyeccion {
public:
    explicit TProyeccion(const IDCOpenGL& dc) : alto(dc.rectangulo.abajo) {
        glGetDoublev(GL_PROJECTION_MATRIX, proyeccion);
        glGetIntegerv(GL_VIEWPORT, vista);
        LeeModelo();
    }
    void LeeModelo() { glGetDoublev(GL_MODELVIEW_MATRIX, modelo); }
    vector2D Ventana(const vector3D& p) const {
        GLdouble wx = 0, wy = 0, wz = 0;
        gluProject(p.x, p.y, p.z, modelo, proyeccion, vista, &wx, &wy, &wz);
        return {wx, alto - wy};
    }

private:
    GLdouble modelo[16] = {}, proyeccion[16] = {};
    GLint vista[4] = {};
    double alto;
};

// The box of the window positions of points given in the coordinates where the
// painter's frame starts (its view applied), under the PUSH matrices met on the way: the
// device's matrices read once, each level's product made here.
class TMedidaVentana {
public:
    explicit TMedidaVentana(const IDCOpenGL& dc) : escalaGrosor(dc.escalaGrosor) {
        std::array<double, 16> modelo{}, proyeccion{};
        glGetDoublev(GL_MODELVIEW_MATRIX, modelo.data());
        glGetDoublev(GL_PROJECTION_MATRIX, proyeccion.data());
        glGetIntegerv(GL_VIEWPORT, vista);
        niveles.push_back(Producto(proyeccion, modelo));
    }
    void Empuja(const std::array<double, 16>& matriz) { niveles.push_back(Producto(niveles.back(), matriz)); }
    void Saca() {
        if (niveles.size() > 1) niveles.pop_back();
    }
    void Anade(const float* p) { Anade(p[0], p[1], p[2]); }
    void Anade(double x, double y, double z) {
        const std::array<double, 16>& m = niveles.back(); // column by column, as OpenGL's
        const double w = m[3] * x + m[7] * y + m[11] * z + m[15];
        if (!(w > 0.0)) return; // behind the eye: clipped away
        const double nx = (m[0] * x + m[4] * y + m[8] * z + m[12]) / w;
        const double ny = (m[1] * x + m[5] * y + m[9] * z + m[13]) / w;
        const double nz = (m[2] * x + m[6] * y + m[10] * z + m[14]) / w;
        const double vx = vista[0] + (nx + 1.0) * 0.5 * vista[2];
        const double vy = vista[1] + (ny + 1.0) * 0.5 * vista[3];
        x0 = std::min(x0, vx - anchoMedio);
        x1 = std::max(x1, vx + anchoMedio);
        y0 = std::min(y0, vy - anchoMedio);
        y1 = std::max(y1, vy + anchoMedio);
        cerca = std::min(cerca, (nz + 1.0) * 0.5);
        alguno = true;
    }
    // Lines reach half their width beyond their points.
    void Lineas(float ancho) { anchoMedio = 0.5 * ancho * escalaGrosor; }
    void Superficies() { anchoMedio = 0.0; }

    // A box of at least a pixel each way, as anything drawn covers.
    bool Caja(TCajaVentana& caja) const {
        caja = TCajaVentana();
        if (!alguno) return false;
        caja.x0 = x0;
        caja.x1 = x1;
        caja.y0 = y0;
        caja.y1 = y1;
        caja.cerca = cerca;
        for (auto [desde, hasta] : {std::pair{&caja.x0, &caja.x1}, std::pair{&caja.y0, &caja.y1}})
            if (*hasta - *desde < 1.0) {
                const double medio = 0.5 * (*desde + *hasta);
                *desde = medio - 0.5;
                *hasta = medio + 0.5;
            }
        return true;
    }

private:
    static std::array<double, 16> Producto(const std::array<double, 16>& a, const std::array<double, 16>& b) {
        std::array<double, 16> r{};
        for (int c = 0; c < 4; ++c)
            for (int f = 0; f < 4; ++f)
                for (int k = 0; k < 4; ++k)
                    r[4 * c + f] += a[4 * k + f] * b[4 * c + k];
        return r;
    }

    std::vector<std::array<double, 16>> niveles;
    GLint vista[4] = {};
    double escalaGrosor = 1.0, anchoMedio = 0.0;
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL, cerca = HUGE_VAL;
    bool alguno = false;
};

// Every point a frame of the program draws, into the measure.
void MidePrograma(const TProgramaEscena& p, TMedidaVentana& medida) {
    for (const TPaso& s : p.pasos) {
        switch (s.forma) {
        case TFormaGeometria::triangulos:
        case TFormaGeometria::lineas:
            if (s.forma == TFormaGeometria::lineas)
                medida.Lineas(s.ancho);
            else
                medida.Superficies();
            for (uint32_t i = s.primero; i < s.primero + s.cuenta; ++i)
                medida.Anade(p.vertices[i].posicion);
            break;
        case TFormaGeometria::texturada: {
            medida.Superficies();
            const TGeometriaElemento& g = *s.geometria;
            for (const TVerticeTextura& v : g.verticesTextura)
                medida.Anade(v.posicion);
            if (g.mallaTextura)
                for (const TVerticeTextura& v : *g.mallaTextura)
                    medida.Anade(g.inicio.x + v.posicion[0], g.inicio.y + v.posicion[1],
                                 g.inicio.z + v.posicion[2]);
            break;
        }
        case TFormaGeometria::empuja:
            medida.Empuja(*s.matriz);
            break;
        case TFormaGeometria::saca:
            medida.Saca();
            break;
        case TFormaGeometria::nada:
            break;
        }
    }
}

} // namespace

TPintorEscena::TPintorEscena() = default;
TPintorEscena::~TPintorEscena() = default;

namespace {

// The first element whose number differs between two frames' lists; -1 when the lists
// are the same or there is no frame before.
int PrimerCambio(const std::vector<uint64_t>& antes, const std::vector<uint64_t>& ahora) {
    if (antes.empty() || antes == ahora) return -1;
    const auto [a, b] = std::mismatch(antes.begin(), antes.end(), ahora.begin(), ahora.end());
    return static_cast<int>(a - antes.begin());
}

// The work of drawing the elements before `k`, in vertices sent: a draw's own cost is
// about that of 20 vertices.
double TrabajoAntes(const TProgramaEscena& p, int k) {
    double trabajo = 0.0;
    for (const TPaso& s : p.pasos) {
        if (s.elemento0 >= k) break;
        const uint32_t hasta = s.elemento1 <= k ? s.primero + s.cuenta : VerticeDesde(p, s, k);
        const TGeometriaElemento* g = s.geometria;
        if (g && g->forma == TFormaGeometria::texturada)
            trabajo += static_cast<double>(g->verticesTextura.size() +
                                           (g->mallaTextura ? g->mallaTextura->size() : 0));
        else if (g && g->cerrada)
            trabajo += static_cast<double>(IndicesMallaEsfera().size());
        else
            trabajo += hasta - s.primero;
        trabajo += 20.0;
    }
    return trabajo;
}

// Whether drawing the elements before `k` costs more than putting back a copy of the
// viewport, which costs about as much as a vertex for every eight pixels.
bool ValeLaCopia(const TProgramaEscena& p, int k, const TEstadoCuadro& estado) {
    const double pixeles = static_cast<double>(estado.viewport[2]) * estado.viewport[3];
    return TrabajoAntes(p, k) > pixeles / 8.0;
}

} // namespace

// Starts the frame from the copy of the frame before when everything before the copy's
// element is as it was, and asks for a new copy before the first element that differs
// from the frame before (where one types); either only when what the copy stands for is
// worth more than the copy. Nothing highlighted may be in a copy: the selection moves on
// its own.
void TPintorEscena::PreparaTramo(IDCOpenGL& dc, const TProgramaEscena& p, const std::vector<int>& resaltados,
                                 TTramoCuadro& tramo) {
    std::vector<uint64_t> series;
    series.reserve(p.elementos.size());
    for (const TElementoPrograma& e : p.elementos)
        series.push_back(e.serie);
    const int primerResaltado = resaltados.empty() ? std::numeric_limits<int>::max() : resaltados.front();
    tramo.estado = LeeEstadoCuadro(dc, numeracion);
    const int k = dc.cuadroGuardado.Vale(tramo.estado, series);
    if (k > 0 && k <= primerResaltado && ValeLaCopia(p, k, tramo.estado) && dc.cuadroGuardado.Restaura())
        tramo.desde = k;
    // The same elements as the frame before (another camera, or a line typed in that
    // changes no element): a copy of the whole frame, for a frame that draws them again.
    int cambio = PrimerCambio(seriesCuadro, series);
    if (cambio < 0 && !seriesCuadro.empty()) cambio = static_cast<int>(series.size());
    if (cambio > tramo.desde && cambio <= primerResaltado && ValeLaCopia(p, cambio, tramo.estado))
        tramo.guardaEn = cambio;
    seriesCuadro = std::move(series);
    tramo.series = seriesCuadro; // unchanged until the next frame
}

const TProgramaEscena& TPintorEscena::Programa(const TObjeto3D& escena, int& progreso) {
    if (numeracion != escena.numeracion) {
        programa.reset();
        seriesCuadro.clear();
        geometrias = TGeometriasGuardadas();
        numeracion = escena.numeracion;
    }
    if (programa && programa->escena == escena.serie) return *programa;
    if (programa && Actualiza(*programa, escena, geometrias, progreso)) return *programa;
    std::vector<TVerticeColor> reciclados;
    if (programa) reciclados = std::move(programa->vertices);
    programa.reset();
    programa = Construye(escena, geometrias, progreso, std::move(reciclados));
    return *programa;
}

TResultado<void> TPintorEscena::Pinta(IDCOpenGL& dc, const TObjeto3D& escena, const TCabeceraEscena& cabecera,
                                      const TSeleccion& seleccion) {
    // The painter's own view settings, those a paint is asked with: at the origin,
    // neither zoomed, stretched nor turned beyond the header's.
    const vector3D posicion;
    const double giroZ = 0.0, zoom = 1.0, giroX = 0.0, estiramientoZ = 1.0;
    const TLuz luzGuardada = dc.luz;
    int progreso = 0;
    bool empujada = false;
    TPilaTransformaciones pila;
    try {
        dc.luz = luzEscena;
        // The textures of images no longer named leave the device.
        dc.almacenTexturas.Purga(dc);
        progreso = 1;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        empujada = true;
        AplicaVista(cabecera, posicion, giroZ, zoom * cabecera.escala, giroX, estiramientoZ, progreso);
        const TProgramaEscena& p = Programa(escena, progreso);
        const std::vector<int> resaltados = Resaltados(p, seleccion.lineaResaltada);
        TTramoCuadro tramo;
        if (guardaCuadros) PreparaTramo(dc, p, resaltados, tramo);
        Ejecuta(dc, p, geometrias, seleccion, resaltados, pila, progreso, tramo);
        progreso = 1000;
        pila.Deshaz();
        progreso = 1001;
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        empujada = false;
        progreso = 1002;
    } catch (const std::exception&) {
        // Any failure, an allocation's too: leave the matrix stack and the shading as they
        // were found, so that later frames stay correct.
        pila.Deshaz();
        glShadeModel(GL_SMOOTH);
        if (empujada) {
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
        }
        dc.luz = luzGuardada;
        DString mensaje;
        mensaje.Format("Undefined critical in TObjeto3D::Pinta tr=%d", progreso);
        return TFallo{TCausa::interna, std::move(mensaje)};
    }
    dc.luz = luzGuardada;
    return {};
}

bool TPintorEscena::Mide(IDCOpenGL& dc, const TObjeto3D& escena, const TCabeceraEscena& cabecera,
                         TCajaVentana& caja) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    int progreso = 0;
    AplicaVista(cabecera, vector3D(), 0.0, cabecera.escala, 0.0, 1.0, progreso);
    TMedidaVentana medida(dc);
    glPopMatrix();
    MidePrograma(Programa(escena, progreso), medida);
    return medida.Caja(caja);
}

void BuscaPunto(IDCOpenGL& dc, const TObjeto3D& escena, const TCabeceraEscena& cabecera,
                const vector2D& posicion, int& linea, int& indice) {
    linea = -1;
    indice = -1;
    // The points are projected under the same transforms as they are painted with: the
    // scene's own view settings and the PUSH elements before them.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    int progreso = 0;
    AplicaVista(cabecera, vector3D(), 0.0, cabecera.escala, 0.0, 1.0, progreso);
    TPilaTransformaciones pila;
    TProyeccion proyeccion(dc);
    for (int i = 0; i < escena.Count() && linea < 0 && indice < 0; ++i) {
        const TElementoObj3D& e = escena[i];
        if (const auto* push = dynamic_cast<const TElementoPush*>(&e)) {
            pila.Empuja(push->matriz);
            proyeccion.LeeModelo();
            continue;
        }
        if (dynamic_cast<const TElementoPop*>(&e)) {
            pila.Saca();
            proyeccion.LeeModelo();
            continue;
        }
        const int n = std::min(e.PuntosControl(), static_cast<int>(e.puntos.size()));
        for (int k = 0; k < n; ++k) {
            const vector2D v = proyeccion.Ventana(e.puntos[static_cast<size_t>(k)]);
            if (std::fabs(v.x - posicion.x) + std::fabs(v.y - posicion.y) < 8.0) {
                linea = escena.Linea(i);
                indice = k;
                break;
            }
        }
    }
    pila.Deshaz();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
