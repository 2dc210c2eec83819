// The transform stack of the script: PUSHSCALE, PUSHTRANS and PUSHTURN put a scale, a
// translation or a rotation in front of every element that follows, until the
// matching POP. They sit in the element list; the painter acts on the model-view stack
// for them.
#pragma once

#include "script/Objetos_3d.h"

#include <array>

class TElementoPush : public TElementoObj3D {
public:
    TElementoPush() : TElementoObj3D(0) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    void Describe(TVisitanteCampos& v) const override;

    // The transform, column-major as OpenGL multiplies it.
    std::array<double, 16> matriz{};
};

class TElementoPushScale : public TElementoPush {
public:
    using TElementoPush::TElementoPush;
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoPushScale"; }
};

class TElementoPushTrans : public TElementoPush {
public:
    using TElementoPush::TElementoPush;
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoPushTrans"; }
};

class TElementoPushTurn : public TElementoPush {
public:
    using TElementoPush::TElementoPush;
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoPushTurn"; }
};

class TElementoPop : public TElementoObj3D {
public:
    TElementoPop() : TElementoObj3D(0) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoPop"; }
};
