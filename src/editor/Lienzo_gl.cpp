#include "editor/Lienzo_gl.h"

#include "render/Pinta_escena.h"
#include "render/Pinta_vista.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d.h"
#include "support/Informa.h"

#include <QMouseEvent>

#include <GL/gl.h>

#include <exception>

void PintaEscenaSegura(IDCOpenGL& dc, TObjeto3D& objeto, const TVistaPrevia& vista) {
    try {
        PintaVista(dc, objeto, vista);
    } catch (const std::exception& e) {
        Informa(e.what(), tituloErrorPintura);
    }
}

void PintaFondoAzul() {
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TLienzoGL::TLienzoGL(IDCOpenGL& dc, TObjeto3D& objeto, TVistaPrevia& vista, QWidget* padre)
    : QOpenGLWidget(padre), dc(dc), objeto(objeto), vista(vista), superficie(this) {
    setObjectName("PaintBox3D");
    setMinimumSize(1, 1);
}

bool TLienzoGL::Enlazado() const {
    return dc.Superficie() == &superficie && dc.IsActive();
}

TRectanguloGL TLienzoGL::Rectangulo() const {
    TRectanguloGL r;
    r.derecha = superficie.Ancho();
    r.abajo = superficie.Alto();
    return r;
}

void TLienzoGL::PreparaEscena() {
    if (antesDeDibujar) antesDeDibujar();
}

bool TLienzoGL::DibujaAhora() {
    if (!Enlazado()) return false;
    PreparaEscena();
    dc.MakeCurrent();
    PintaEscenaSegura(dc, objeto, vista);
    update(); // the screen shows the buffer at the next composition
    return true;
}

bool TLienzoGL::Encuadra() {
    if (!Enlazado()) return false;
    PreparaEscena();
    dc.MakeCurrent();
    const bool encuadrado = EncuadraEscena(dc, objeto, vista);
    update();
    return encuadrado;
}

void TLienzoGL::initializeGL() {
    emit contextoListo();
}

void TLienzoGL::resizeGL(int, int) {
    // The panel's resize: the viewport follows; the next frame rebuilds the matrices.
    if (Enlazado()) dc.Resize(superficie.Ancho(), superficie.Alto());
}

void TLienzoGL::paintGL() {
    PreparaEscena();
    if (Enlazado())
        PintaEscenaSegura(dc, objeto, vista);
    else
        PintaFondoAzul();
    ++cuadros;
}

void TLienzoGL::mousePressEvent(QMouseEvent* evento) {
    arrastrando = true;
    puntoAnterior = puntoPulsado = evento->position().toPoint();
    evento->accept();
}

void TLienzoGL::mouseMoveEvent(QMouseEvent* evento) {
    if (!arrastrando) return;
    const QPoint posicion = evento->position().toPoint();
    const QPoint d = posicion - puntoAnterior;
    if (evento->buttons() & Qt::RightButton)
        vista.Gira(d.x(), d.y());
    else
        vista.Desplaza(d.x(), d.y(), width(), height());
    puntoAnterior = posicion;
    update();
}

void TLienzoGL::mouseReleaseEvent(QMouseEvent* evento) {
    if (!arrastrando) return;
    arrastrando = false;
    const QPoint posicion = evento->position().toPoint();
    if (posicion == puntoPulsado) BuscaPuntoEn(posicion);
}

void TLienzoGL::BuscaPuntoEn(const QPoint& posicion) {
    if (!Enlazado()) return;
    PreparaEscena();
    // The points are projected under the matrices of the frame on show.
    dc.MakeCurrent();
    CargaVista(dc, vista);
    const double escalaPixel = devicePixelRatioF();
    int linea = -1, indice = -1;
    BuscaPunto(dc, objeto, vector2D(posicion.x() * escalaPixel, posicion.y() * escalaPixel), linea, indice);
    if (linea >= 0) emit puntoElegido(linea, indice);
}

void SueltaRecursosDispositivo(IDCOpenGL& dc) {
    if (!dc.IsActive()) return;
    dc.MakeCurrent();
    dc.LiberaObjetosContexto();
}
