#include "render/Pinta_vista.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_escena.h"
#include "render/Superficie_egl.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d.h"

#include <cmath>

namespace {

// Zooming out by 4 at a time, a model 4^12 (about 17 million) times too large for the
// picture still comes into it; as many steps of zooming in find one that small.
constexpr int pasosBusqueda = 12;
// Fitting rounds: the zoom grows by 4 at most in each, so a model that covers one
// pixel at first fills the picture in 4 rounds; later ones settle the rest.
constexpr int rondasAjuste = 10;

// A frame left in the buffer; false when the viewport has no width to draw in.
bool PintaSinPresentar(IDCOpenGL& dc, TObjeto3D& objeto, const TVistaPrevia& vista) {
    CargaVista(dc, vista);
    dc.Clear();
    if (dc.rectangulo.derecha - dc.rectangulo.izquierda < 1) return false;
    PintaEscena(dc, objeto, vector3D(), 0.0, 1.0, 0.0, 1.0);
    return true;
}

// What a frame under `vista` covers; the selected element's marker is left out (it is
// not part of the model, and its tripod can be far larger).
TCajaPixeles Mide(IDCOpenGL& dc, TObjeto3D& objeto, const TVistaPrevia& vista) {
    const int linea = objeto.lineaResaltada;
    objeto.lineaResaltada = -1;
    PintaSinPresentar(dc, objeto, vista);
    objeto.lineaResaltada = linea;
    TCajaPixeles caja;
    dc.CajaDibujada(caja);
    return caja;
}

// Zooms until the whole model shows and touches no edge: out while it is cut by an
// edge or not seen at all; when it never shows, it may be too small to cover a pixel:
// then in from the start. False when no zoom shows it whole.
bool BuscaModeloEntero(IDCOpenGL& dc, TObjeto3D& objeto, TVistaPrevia& prueba, TCajaPixeles& caja, int ancho,
                       int alto) {
    const double escala = prueba.escala;
    caja = Mide(dc, objeto, prueba);
    for (int paso = 0; paso < pasosBusqueda && (caja.Vacia() || caja.TocaBorde(ancho, alto)); ++paso) {
        prueba.escala /= 4.0;
        caja = Mide(dc, objeto, prueba);
    }
    if (caja.Vacia()) {
        prueba.escala = escala;
        for (int paso = 0; paso < pasosBusqueda && caja.Vacia(); ++paso) {
            prueba.escala *= 4.0;
            caja = Mide(dc, objeto, prueba);
        }
    }
    return !caja.Vacia() && !caja.TocaBorde(ancho, alto);
}

// From a picture that shows the whole model, zooms (and pans) until it fills the
// picture, measuring each new picture, whose pixels measure the model finer (and in
// parallel projection may show depth that the first one clipped). A step that cuts the
// model after all is taken back and made with more room.
void AjustaModelo(IDCOpenGL& dc, TObjeto3D& objeto, TVistaPrevia& prueba, TCajaPixeles caja, int ancho,
                  int alto) {
    double margen = 0.9;
    for (int ronda = 0; ronda < rondasAjuste; ++ronda) {
        const TVistaPrevia anterior = prueba;
        if (std::fabs(prueba.Encuadra(caja, dc.perspectiva, ancho, alto, margen) - 1.0) < 0.01) return;
        const TCajaPixeles nueva = Mide(dc, objeto, prueba);
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
bool ApartaOjo(IDCOpenGL& dc, TObjeto3D& objeto, TVistaPrevia& prueba, int ancho, int alto) {
    TVistaPrevia paralela = prueba;
    paralela.desplazamiento = vector3D();
    TCajaPixeles caja;
    dc.perspectiva = false;
    const bool visto = BuscaModeloEntero(dc, objeto, paralela, caja, ancho, alto);
    dc.perspectiva = true;
    if (!visto) return false;
    const double ladoCercano = (2.0 * caja.cerca - 1.0) * 5.0 * ancho;
    const double tamano = std::max(caja.x1 - caja.x0, caja.y1 - caja.y0) / paralela.escala;
    prueba.distancia = std::max(prueba.distancia, 0.5 * tamano - ladoCercano);
    return true;
}

} // namespace

void CargaVista(IDCOpenGL& dc, const TVistaPrevia& vista) {
    TMatriz4 matrizVista, matrizProyeccion;
    vista.ConstruyeMatrices(dc.perspectiva, dc.rectangulo.derecha - dc.rectangulo.izquierda,
                            dc.rectangulo.abajo - dc.rectangulo.arriba, dc.campoVision, matrizVista,
                            matrizProyeccion);
    dc.SetProjection(matrizVista, matrizProyeccion);
}

void PintaVista(IDCOpenGL& dc, TObjeto3D& objeto, const TVistaPrevia& vista) {
    if (PintaSinPresentar(dc, objeto, vista)) dc.Swap();
}

bool EncuadraEscena(IDCOpenGL& dc, TObjeto3D& objeto, TVistaPrevia& vista) {
    const int ancho = dc.rectangulo.derecha - dc.rectangulo.izquierda;
    const int alto = dc.rectangulo.abajo - dc.rectangulo.arriba;
    if (!dc.IsActive() || ancho < 1 || alto < 1) return false;
    TVistaPrevia prueba = vista;
    if (dc.perspectiva) {
        if (!ApartaOjo(dc, objeto, prueba, ancho, alto)) return false;
    } else {
        prueba.desplazamiento = vector3D(); // measured about the middle
    }
    TCajaPixeles caja;
    if (!BuscaModeloEntero(dc, objeto, prueba, caja, ancho, alto)) return false;
    AjustaModelo(dc, objeto, prueba, caja, ancho, alto);
    vista = prueba;
    return true;
}

bool RenderizaEscena(TObjeto3D& objeto, const TVistaPrevia& vista, bool perspectiva, bool encuadra, int ancho,
                     int alto, TDibIG& imagen, DString& error) {
    TSuperficieEGL superficie(ancho, alto);
    IDCOpenGL dc;
    dc.luz = luzEscena;
    TRectanguloGL rectangulo;
    rectangulo.derecha = ancho;
    rectangulo.abajo = alto;
    int bits = 0;
    if (!dc.SetWindow(&superficie, bits, colorAzul, rectangulo, 512, error)) return false;
    dc.perspectiva = perspectiva;
    TVistaPrevia vistaFinal = vista;
    if (encuadra) EncuadraEscena(dc, objeto, vistaFinal);
    PintaVista(dc, objeto, vistaFinal);
    dc.ReadPixels(imagen);
    return true;
}
