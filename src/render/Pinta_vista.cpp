#include "render/Pinta_vista.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_escena.h"
#include "render/Superficie_egl.h"

#include <algorithm>
#include <cmath>

namespace {

// Zooming out by 4 at a time, a model 4^12 (about 17 million) times too large for the
// picture still comes into it; as many steps of zooming in find one that small.
constexpr int pasosBusqueda = 12;
// Fitting rounds: the zoom grows by 4 at most in each, so a model that covers one
// pixel at first fills the picture in 4 rounds; later ones settle the rest.
constexpr int rondasAjuste = 10;

} // namespace

TVistaEscena::TVistaEscena() : escena(std::make_shared<const TObjeto3D>()) {}

TVistaEscena::TVistaEscena(std::shared_ptr<const TObjeto3D> escena, const TCamara& camara) : camara(camara) {
    Muestra(std::move(escena));
}

void TVistaEscena::Muestra(std::shared_ptr<const TObjeto3D> nueva) {
    escena = nueva ? std::move(nueva) : std::make_shared<const TObjeto3D>();
    camara.TomaCabecera(*escena);
}

void CargaVista(IDCOpenGL& dc, const TCamara& camara) {
    dc.perspectiva = camara.perspectiva;
    TMatriz4 matrizVista, matrizProyeccion;
    camara.ConstruyeMatrices(dc.rectangulo.derecha - dc.rectangulo.izquierda,
                             dc.rectangulo.abajo - dc.rectangulo.arriba, dc.campoVision, matrizVista,
                             matrizProyeccion);
    dc.SetProjection(matrizVista, matrizProyeccion);
}

namespace {

bool TieneAncho(const IDCOpenGL& dc) {
    return dc.rectangulo.derecha - dc.rectangulo.izquierda >= 1;
}

} // namespace

// A frame left in the buffer; nothing is drawn when the viewport has no width to draw in.
TResultado<void> TVistaEscena::PintaSinPresentar(IDCOpenGL& dc, const TCamara& camaraCuadro,
                                                 const TSeleccion& seleccionCuadro) {
    CargaVista(dc, camaraCuadro);
    dc.Clear();
    if (!TieneAncho(dc)) return {};
    return pintor.Pinta(dc, *escena, camaraCuadro.cabecera, seleccionCuadro);
}

TResultado<void> TVistaEscena::Pinta(IDCOpenGL& dc) {
    TResultado<void> pintado = PintaSinPresentar(dc, camara, seleccion);
    if (TieneAncho(dc)) dc.Swap();
    return pintado;
}

// What a frame with the camera `prueba` covers; the selection is left out (its marker is
// not part of the model, and its tripod can be far larger).
TCajaPixeles TVistaEscena::Mide(IDCOpenGL& dc, const TCamara& prueba) {
    // A failure shows with the frame painted next.
    static_cast<void>(PintaSinPresentar(dc, prueba, TSeleccion()));
    TCajaPixeles caja;
    dc.CajaDibujada(caja);
    return caja;
}

// Zooms until the whole model shows and touches no edge: out while it is cut by an
// edge or not seen at all; when it never shows, it may be too small to cover a pixel:
// then in from the start. False when no zoom shows it whole.
bool TVistaEscena::BuscaModeloEntero(IDCOpenGL& dc, TCamara& prueba, TCajaPixeles& caja, int ancho,
                                     int alto) {
    const double escala = prueba.escala;
    caja = Mide(dc, prueba);
    for (int paso = 0; paso < pasosBusqueda && (caja.Vacia() || caja.TocaBorde(ancho, alto)); ++paso) {
        prueba.escala /= 4.0;
        caja = Mide(dc, prueba);
    }
    if (caja.Vacia()) {
        prueba.escala = escala;
        for (int paso = 0; paso < pasosBusqueda && caja.Vacia(); ++paso) {
            prueba.escala *= 4.0;
            caja = Mide(dc, prueba);
        }
    }
    return !caja.Vacia() && !caja.TocaBorde(ancho, alto);
}

// From a picture that shows the whole model, zooms (and pans) until it fills the
// picture, measuring each new picture, whose pixels measure the model finer (and in
// parallel projection may show depth that the first one clipped). A step that cuts the
// model after all is taken back and made with more room.
void TVistaEscena::AjustaModelo(IDCOpenGL& dc, TCamara& prueba, TCajaPixeles caja, int ancho, int alto) {
    double margen = 0.9;
    for (int ronda = 0; ronda < rondasAjuste; ++ronda) {
        const TCamara anterior = prueba;
        if (std::fabs(prueba.Encuadra(caja, ancho, alto, margen) - 1.0) < 0.01) return;
        const TCajaPixeles nueva = Mide(dc, prueba);
        if (nueva.Vacia() || nueva.TocaBorde(ancho, alto)) {
            prueba = anterior;
            margen *= 0.9;
        } else {
            caja = nueva;
        }
    }
}

// In perspective the eye must be in front of the whole model: a parallel picture of
// the same orientation tells how near the model comes to the viewer (its depth buffer
// holds depth 5 W units on either side of the origin) and how large it is. The
// eye is then moved back, when nearer, to half the model's size before its near side.
bool TVistaEscena::ApartaOjo(IDCOpenGL& dc, TCamara& prueba, int ancho, int alto) {
    TCamara paralela = prueba;
    paralela.desplazamiento = vector3D();
    paralela.perspectiva = false;
    TCajaPixeles caja;
    if (!BuscaModeloEntero(dc, paralela, caja, ancho, alto)) return false;
    const double ladoCercano = (2.0 * caja.cerca - 1.0) * 5.0 * ancho;
    const double tamano = std::max(caja.x1 - caja.x0, caja.y1 - caja.y0) / paralela.escala;
    prueba.distancia = std::max(prueba.distancia, 0.5 * tamano - ladoCercano);
    return true;
}

bool TVistaEscena::Encuadra(IDCOpenGL& dc) {
    const int ancho = dc.rectangulo.derecha - dc.rectangulo.izquierda;
    const int alto = dc.rectangulo.abajo - dc.rectangulo.arriba;
    if (!dc.IsActive() || ancho < 1 || alto < 1) return false;
    TCamara prueba = camara;
    if (prueba.perspectiva) {
        if (!ApartaOjo(dc, prueba, ancho, alto)) return false;
    } else {
        prueba.desplazamiento = vector3D(); // measured about the middle
    }
    TCajaPixeles caja;
    if (!BuscaModeloEntero(dc, prueba, caja, ancho, alto)) return false;
    AjustaModelo(dc, prueba, caja, ancho, alto);
    camara = prueba;
    return true;
}

void TVistaEscena::BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& linea, int& indice) {
    CargaVista(dc, camara);
    ::BuscaPunto(dc, *escena, camara.cabecera, posicion, linea, indice);
}

TResultado<void> RenderizaEscena(TVistaEscena& vista, bool encuadra, int ancho, int alto, TDibIG& imagen) {
    TSuperficieEGL superficie(ancho, alto);
    IDCOpenGL dc;
    dc.luz = luzEscena;
    TRectanguloGL rectangulo;
    rectangulo.derecha = ancho;
    rectangulo.abajo = alto;
    int bits = 0;
    if (auto abierto = dc.SetWindow(&superficie, bits, colorAzul, rectangulo, 512); !abierto) return abierto;
    const TCamara camara = vista.camara;
    if (encuadra) vista.Encuadra(dc);
    TResultado<void> pintado = vista.Pinta(dc);
    vista.camara = camara;
    dc.ReadPixels(imagen);
    return pintado;
}
