// The flat primitives of the script: QUAD, TRIANGLE, LINE, CIRCLE and DISK, and the
// readers shared by every element family (fields, colours, the control-point mark).
#pragma once

#include "script/Objetos_3d.h"

#include <cstdint>
#include <span>

struct TTexturaIG;

// Cuts `parametros` at `separador` into exactly `n` fields (empty fields kept, the rest
// of the text kept in the last one); raises `mensaje` when the count differs.
void LeeCampos(const DString& parametros, const char* separador, int n, const char* mensaje,
               Vector<DString>& campos);
// The field as a point: a vector formula, the origin when unreadable.
vector3D LeePunto(const DString& campo);
// "(r,g,b)" as a packed colour; raises "Error reading color".
uint32_t LeeColor(const DString& texto);
// Marks a selected control point with the axis tripod.
void MarcaPunto(IDCOpenGL& dc, const vector3D& punto);

// Faces with a normal: QUAD and TRIANGLE.
class TElementoCara3D : public TElementoObj3D {
public:
    // `cerrada`: `puntos` holds a copy of the first corner after the last, so that the
    // outline of a highlighted script line is one closed strip.
    TElementoCara3D(TObjeto3D* escena, int esquinas, bool cerrada = true);
    void Describe(TVisitanteCampos& v) const override;
    bool BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& indice) override;

    vector3D normal;

protected:
    void LeeEsquinas(const DString& parametros, const char* mensaje);
    // Repeats the first corner after the last, and takes the normal.
    void CierraCara();
    // The unit normal of the first three corners.
    void CalculaNormal();
    // The colour lit for the normal, both sides alike.
    uint32_t ColorIluminado() const;
    void PintaContorno(IDCOpenGL& dc, int puntoResaltado);
    int esquinas;
};

class TElementoQuad3D : public TElementoCara3D {
public:
    explicit TElementoQuad3D(TObjeto3D* escena) : TElementoCara3D(escena, 4) {}
    void Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) override;
    void Lee(const DString& parametros, DString& error) override;
    const char* NombreClase() const override { return "TElementoQuad3D"; }

private:
    // The face with the whole image of the texture on it.
    static void PintaTexturada(IDCOpenGL& dc, std::span<const vector3D> cara, TTexturaIG& registro);
};

class TElementoTriang3D : public TElementoCara3D {
public:
    explicit TElementoTriang3D(TObjeto3D* escena) : TElementoCara3D(escena, 3) {}
    // A face of an imported mesh: its three corners and its normal. It keeps no closing
    // copy of the first corner: a mesh may bring millions of faces, and a face without a
    // script line is never highlighted, so its outline is never drawn.
    TElementoTriang3D(TObjeto3D* escena, const vector3D& a, const vector3D& b, const vector3D& c);
    void Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) override;
    bool PintaEnLote(TLoteTriangulos& lote) override;
    void Lee(const DString& parametros, DString& error) override;
    const char* NombreClase() const override { return "TElementoTriang3D"; }
};

class TElementoLinea : public TElementoObj3D {
public:
    explicit TElementoLinea(TObjeto3D* escena) : TElementoObj3D(escena, 2) {}
    void Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) override;
    void Lee(const DString& parametros, DString& error) override;
    bool BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& indice) override;
    const char* NombreClase() const override { return "TElementoLinea"; }
};

// CIRCLE (an outline ring) and, through TElementoDisco, DISK (a filled ring).
class TElementoCircle : public TElementoObj3D {
public:
    explicit TElementoCircle(TObjeto3D* escena);
    void Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) override;
    void Lee(const DString& parametros, DString& error) override;
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
    explicit TElementoDisco(TObjeto3D* escena) : TElementoCircle(escena) { relleno = true; }
    const char* NombreClase() const override { return "TElementoDisco"; }
};
