// The flat primitives of the script: QUAD, TRIANGLE, LINE, CIRCLE and DISK, and the
// readers shared by every element family (fields, points, colours).
#pragma once

#include "script/Objetos_3d.h"

#include <array>
#include <cstdint>

// Cuts `parametros` at `separador` into exactly `n` fields (empty fields kept, the rest
// of the text kept in the last one); raises `mensaje` when the count differs.
void LeeCampos(const DString& parametros, const char* separador, int n, const char* mensaje,
               Vector<DString>& campos);
// The field as a point: a vector formula, the origin when unreadable.
vector3D LeePunto(const DString& campo);
// "(r,g,b)" as a packed colour; raises "Error reading color".
uint32_t LeeColor(const DString& texto);

// Faces with a normal: QUAD and TRIANGLE.
class TElementoCara3D : public TElementoObj3D {
public:
    // `puntos` holds a copy of the first corner after the last, so that the outline of a
    // highlighted script line is one closed strip.
    explicit TElementoCara3D(int esquinas);
    void Describe(TVisitanteCampos& v) const override;
    int PuntosControl() const override { return esquinas; }

    vector3D normal;
    int esquinas;

protected:
    void LeeEsquinas(const DString& parametros, const char* mensaje);
    // Repeats the first corner after the last, and takes the normal.
    void CierraCara();
    // The unit normal of the first three corners.
    void CalculaNormal();
};

class TElementoQuad3D : public TElementoCara3D {
public:
    TElementoQuad3D() : TElementoCara3D(4) {}
    bool BlancoConTextura() const override { return true; }
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoQuad3D"; }
};

class TElementoTriang3D : public TElementoCara3D {
public:
    TElementoTriang3D() : TElementoCara3D(3) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoTriang3D"; }
};

// A face of an imported mesh: a triangle as the script's, held in its file's floats. A
// mesh may bring millions of faces, so a face keeps no point list (its `puntos` stays
// empty) and no normal: the normal is taken from the corners when asked, in double
// precision from the very values a double point list would hold, so it is the same.
class TElementoCaraMalla final : public TElementoObj3D {
public:
    using TEsquina = std::array<float, 3>;
    TElementoCaraMalla(const TEsquina& a, const TEsquina& b, const TEsquina& c)
        : TElementoObj3D(0), esquinas{a, b, c} {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    // Made only by the import, never read from a script line.
    TResultado<void> Lee(const DString&, TEstadoLectura&) override { return {}; }
    // Shown as the script's triangle: what it draws and describes is the same.
    const char* NombreClase() const override { return "TElementoTriang3D"; }
    void DescribePuntos(TVisitanteCampos& v) const override;
    void Describe(TVisitanteCampos& v) const override;

    vector3D Punto(size_t k) const { return {esquinas[k][0], esquinas[k][1], esquinas[k][2]}; }
    std::array<vector3D, 3> Puntos() const { return {Punto(0), Punto(1), Punto(2)}; }
    // The unit normal, as a triangle of the script takes it.
    vector3D Normal() const;

    std::array<TEsquina, 3> esquinas;
};

class TElementoLinea : public TElementoObj3D {
public:
    TElementoLinea() : TElementoObj3D(2) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    int PuntosControl() const override { return 2; }
    const char* NombreClase() const override { return "TElementoLinea"; }
};

// CIRCLE (an outline ring) and, through TElementoDisco, DISK (a filled ring).
class TElementoCircle : public TElementoObj3D {
public:
    TElementoCircle();
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }

    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoCircle"; }
    void Describe(TVisitanteCampos& v) const override;

    int32_t numSegmentos = 16;
    vector3D centro;
    vector3D eje;
    double radio = 0.0;
    bool relleno = false;
};

class TElementoDisco : public TElementoCircle {
public:
    TElementoDisco() { relleno = true; }
    const char* NombreClase() const override { return "TElementoDisco"; }
};
