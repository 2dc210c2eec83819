#include "editor/Superficie_qt.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QScreen>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <utility>

TSuperficieQt::TSuperficieQt(QWidget* widget, std::function<QOpenGLContext*()> contexto,
                             std::function<void()> hazActual)
    : widget(widget), contexto(std::move(contexto)), hazActual(std::move(hazActual)) {}

TSuperficieQt::TSuperficieQt(QOpenGLWidget* w)
    : TSuperficieQt(
          w, [w] { return w->context(); }, [w] { w->makeCurrent(); }) {}

QOpenGLContext* TSuperficieQt::Contexto() const {
    return widget ? contexto() : nullptr;
}

bool TSuperficieQt::AbreDispositivo() {
    return !widget.isNull();
}

int TSuperficieQt::BitsColor() const {
    if (widget && widget->screen()) return widget->screen()->depth();
    return 32;
}

int TSuperficieQt::EligeFormato(int /*bitsColor*/, int /*bitsProfundidad*/) {
    return widget ? 1 : 0;
}

bool TSuperficieQt::FijaFormato(int formato, uint32_t& codigoError) {
    codigoError = 0;
    return formato > 0 && widget;
}

bool TSuperficieQt::CreaContexto(uint32_t& codigoError) {
    codigoError = 0;
    enlazada = false;
    QOpenGLContext* contexto = Contexto();
    if (!contexto || !contexto->isValid()) {
        codigoError = errorSinContextoQt;
        return false;
    }
    if (contexto->isOpenGLES()) {
        codigoError = errorOpenGLESQt;
        return false;
    }
    if (contexto->format().profile() == QSurfaceFormat::CoreProfile) {
        codigoError = errorPerfilNucleoQt;
        return false;
    }
    enlazada = true;
    return HazActual();
}

bool TSuperficieQt::TieneContexto() const {
    return enlazada && Contexto();
}

bool TSuperficieQt::HazActual() {
    if (!TieneContexto()) return false;
    hazActual();
    return QOpenGLContext::currentContext() == Contexto();
}

int TSuperficieQt::Ancho() const {
    return widget ? static_cast<int>(std::lround(widget->width() * widget->devicePixelRatioF())) : 0;
}

int TSuperficieQt::Alto() const {
    return widget ? static_cast<int>(std::lround(widget->height() * widget->devicePixelRatioF())) : 0;
}

uint32_t TSuperficieQt::BufferLectura() const {
    return GL_COLOR_ATTACHMENT0;
}
