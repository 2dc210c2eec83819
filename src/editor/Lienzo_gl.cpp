#include "editor/Lienzo_gl.h"

#include "render/Pinta_escena.h"
#include "render/Pinta_vista.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>

#include <GL/gl.h>

#include <algorithm>
#include <new>

TResultado<void> PintaEscenaSegura(IDCOpenGL& dc, TVistaEscena& vista) {
    try {
        return vista.Pinta(dc);
    } catch (const TXPictomolder& e) {
        return e.Fallo();
    } catch (const std::bad_alloc& e) {
        return TFallo{TCausa::limite, e.what()};
    }
}

void PintaFondoAzul() {
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TLienzoGL::TLienzoGL(IDCOpenGL& dc, TVistaEscena& vista, QWidget* padre)
    : QWidget(padre), dc(dc), vista(vista),
      superficie(
          this, [this] { return marco ? contexto.get() : nullptr; }, [this] { HazActual(); }) {
    setObjectName("PaintBox3D");
    setMinimumSize(1, 1);
    // The picture covers the whole widget: Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TLienzoGL::~TLienzoGL() {
    // The frame buffer belongs to the context: it goes while the context is current.
    if (contexto && contexto->makeCurrent(&superficieFuera)) marco.reset();
}

bool TLienzoGL::CreaContexto() {
    if (contexto) return contexto->isValid();
    contexto = std::make_unique<QOpenGLContext>();
    contexto->setFormat(QSurfaceFormat::defaultFormat());
    // The device moves between this context and the full-screen window's, keeping its
    // textures: both share the application's objects.
    contexto->setShareContext(QOpenGLContext::globalShareContext());
    superficieFuera.setFormat(QSurfaceFormat::defaultFormat());
    superficieFuera.create();
    if (!contexto->create() || !contexto->makeCurrent(&superficieFuera)) return false;
    AjustaMarco();
    return marco != nullptr;
}

// The frame buffer follows the widget's size in device pixels.
void TLienzoGL::AjustaMarco() {
    if (!contexto || !contexto->makeCurrent(&superficieFuera)) return;
    const QSize tamano(std::max(1, superficie.Ancho()), std::max(1, superficie.Alto()));
    if (marco && marco->size() == tamano) return;
    marco = std::make_unique<QOpenGLFramebufferObject>(tamano, QOpenGLFramebufferObject::Depth);
    if (!marco->isValid()) marco.reset();
}

bool TLienzoGL::HazActual() {
    if (!contexto || !marco || !contexto->makeCurrent(&superficieFuera)) return false;
    return marco->bind();
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
    Pinta();
    update(); // shown at the next paint
    return true;
}

bool TLienzoGL::Encuadra() {
    if (!Enlazado()) return false;
    PreparaEscena();
    dc.MakeCurrent();
    const bool encuadrado = vista.Encuadra(dc);
    update();
    return encuadrado;
}

void TLienzoGL::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!contexto && CreaContexto()) emit contextoListo();
}

void TLienzoGL::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    AjustaMarco();
    // The viewport follows; the next frame rebuilds the matrices.
    if (Enlazado()) dc.Resize(superficie.Ancho(), superficie.Alto());
}

void TLienzoGL::Pinta() {
    const TResultado<void> pintado = PintaEscenaSegura(dc, vista);
    if (!pintado && alFallar) alFallar(pintado.Fallo());
}

void TLienzoGL::DibujaCuadro() {
    PreparaEscena();
    if (!HazActual()) return;
    if (Enlazado())
        Pinta();
    else
        PintaFondoAzul();
}

// The frame buffer's pixels, top row first, opaque.
QImage TLienzoGL::LeeCuadro() {
    if (!HazActual()) return QImage();
    QImage imagen(marco->size(), QImage::Format_RGB32);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, imagen.width(), imagen.height(), GL_BGRA, GL_UNSIGNED_BYTE, imagen.bits());
    imagen = std::move(imagen).mirrored();
    imagen.setDevicePixelRatio(devicePixelRatioF());
    return imagen;
}

QImage TLienzoGL::CapturaCuadro() {
    DibujaCuadro();
    return LeeCuadro();
}

TLienzoGL::TSello TLienzoGL::Sello() const {
    return {vista.Escena().Identidad(), vista.camara, vista.seleccion, superficie.Ancho(), superficie.Alto()};
}

void TLienzoGL::Adelanta() {
    update();
    if (adelantoHecho || !Enlazado() || !isVisible()) {
        adelantado = false;
        return;
    }
    DibujaCuadro();
    glFlush();
    adelantoHecho = adelantado = true;
    selloAdelantado = Sello();
}

void TLienzoGL::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    if (!contexto && CreaContexto()) emit contextoListo();
    // The frame drawn ahead stands if the scene read before this paint (keys typed since)
    // and the view are still what it was drawn from.
    PreparaEscena();
    if (!adelantado || !Enlazado() || selloAdelantado != Sello()) DibujaCuadro();
    adelantado = adelantoHecho = false;
    ultimo = LeeCuadro();
    if (ultimo.isNull())
        pintor.fillRect(rect(), Qt::blue);
    else
        pintor.drawImage(QPoint(0, 0), ultimo);
    ++cuadros;
    emit cuadroMostrado();
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
        vista.camara.Gira(d.x(), d.y());
    else
        vista.camara.Desplaza(d.x(), d.y(), width(), height());
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
    const double escalaPixel = devicePixelRatioF();
    int linea = -1, indice = -1;
    vista.BuscaPunto(dc, vector2D(posicion.x() * escalaPixel, posicion.y() * escalaPixel), linea, indice);
    if (linea >= 0) emit puntoElegido(linea, indice);
}

void SueltaRecursosDispositivo(IDCOpenGL& dc) {
    if (!dc.IsActive()) return;
    dc.MakeCurrent();
    dc.LiberaObjetosContexto();
}
