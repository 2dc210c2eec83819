#include "render/Pinta_vista.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_escena.h"
#include "render/Superficie_egl.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    camara.ConstruyeMatrices(dc.AnchoImagen(), dc.AltoImagen(), dc.campoVision, matrizVista,
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

// Where the scene's geometry falls in the viewport with the camera `prueba`; the
// selection is left out (its marker is not part of the model, and its tripod can be far
// larger).
bool TVistaEscena::Mide(IDCOpenGL& dc, const TCamara& prueba, TCajaVentana& caja) {
    CargaVista(dc, prueba);
    return pintor.Mide(dc, *escena, prueba.cabecera, caja);
}

// Zoom and pan move the points of a picture linearly (the zoom scales the picture, never
// its depth, in either projection), so that one measure tells the exact step. In
// perspective the eye must first be in front of the whole model: a parallel picture of
// the same orientation tells how near the model comes to the viewer (its depth holds 5 W
// units on either side of the origin) and how large it is; the eye is then moved back,
// when nearer, to half the model's size before its near side.
bool TVistaEscena::Encuadra(IDCOpenGL& dc, double margen) {
    const int ancho = dc.rectangulo.derecha - dc.rectangulo.izquierda;
    const int alto = dc.rectangulo.abajo - dc.rectangulo.arriba;
    if (!dc.IsActive() || ancho < 1 || alto < 1) return false;
    TCamara prueba = camara;
    TCajaVentana caja;
    if (prueba.perspectiva) {
        TCamara paralela = prueba;
        paralela.desplazamiento = vector3D();
        paralela.perspectiva = false;
        if (!Mide(dc, paralela, caja)) return false;
        const double ladoCercano = (2.0 * caja.cerca - 1.0) * 5.0 * ancho;
        const double tamano = std::max(caja.x1 - caja.x0, caja.y1 - caja.y0) / paralela.escala;
        prueba.distancia = std::max(prueba.distancia, 0.5 * tamano - ladoCercano);
    } else {
        prueba.desplazamiento = vector3D(); // measured about the middle
    }
    if (!Mide(dc, prueba, caja)) return false;
    prueba.Encuadra(caja, ancho, alto, margen, std::numeric_limits<double>::infinity());
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
