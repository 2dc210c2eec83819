// XTRUSION and REVOLUTION: surfaces built as a grid of points joined by quadrilaterals
// with smoothed vertex normals. XTRUSION sweeps a section polyline along a route,
// scaling it at every route point; REVOLUTION turns a profile polyline about an axis
// in 16 steps. With a texture, the texture positions follow the arc length along both
// directions of the grid, and long segments whose scale changes a lot are refined
// first so that the texture does not stretch across them.
#pragma once

#include "script/Objetos_3d.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Grids larger than this are refused: a script (through its macros) can ask for any
// number of points, and the grid needs the product of its two counts.
inline constexpr int64_t maxPuntosMalla = int64_t{1} << 20;
// All the grids of one scene together: fifty grids of the largest size would need
// gigabytes. About 100 bytes a point while the grid is built.
inline constexpr int64_t maxPuntosEscena = 2 * maxPuntosMalla;

// A polyline of the script, part of an extrusion or a revolution.
class TElementoPolilinea : public TElementoObj3D {
public:
    TElementoPolilinea() : TElementoObj3D(0) {}
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    // A list of points separated by ':', at least two.
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    int PuntosControl() const override { return numPuntos; }
    const char* NombreClase() const override { return "TElementoPolilinea"; }
    void Describe(TVisitanteCampos& v) const override;

    void FijaPuntos(std::vector<vector3D> nuevos);
    // The length of every segment (the last entry 0) and their sum.
    void CalculaLongitudes();
    // The sum of the cross products of consecutive points, without the term that would
    // close the polyline: its direction tells the turning sense of a closed section.
    vector3D NormalArea() const;
    // Inserts k evenly spaced points between points j - 1 and j, and the values
    // interpolated between valores[j - 1] and valores[j] at the same positions.
    // Nothing happens unless k >= 1, 1 <= j < numPuntos and there is one value per point.
    void Subdivide(int j, int k, std::vector<double>& valores);

    int32_t numPuntos = 0;
    double longitud = 0.0;
    std::vector<double> longitudes; // empty until CalculaLongitudes
};

// Corner indices into the grid, in the order (r, c), (r, c + 1), (r + 1, c + 1), (r + 1, c).
using TQuadExtr = std::array<int32_t, 4>;

// The grid of quadrilaterals shared by XTRUSION and REVOLUTION.
class TElementoQuads : public TElementoObj3D {
public:
    TElementoQuads() : TElementoObj3D(0) {}
    void Describe(TVisitanteCampos& v) const override;

    // Adds points to the segments of `ruta` along which `valores` (one per point)
    // changes a lot, at most five to a segment and fewer on short segments.
    static void RefinaRuta(TElementoPolilinea& ruta, std::vector<double>& valores);
    // The grid from its rows (all as long as the first), its quads and vertex normals,
    // and with a texture the texture positions along `ruta` and `seccion`.
    void ConstruyeQuads(std::span<const std::vector<vector3D>> filas, TElementoPolilinea& seccion,
                        TElementoPolilinea& ruta);

    std::vector<TQuadExtr> quads;
    std::vector<vector3D> normalesVertice;
    std::vector<vector2D> posTextura; // only with a texture
    bool invertir = false;            // face normals negated
};

// XTRUSION=offset|section|route[|orientation]
class TElementoXtrusion : public TElementoQuads {
public:
    TElementoXtrusion() = default;
    bool BlancoConTextura() const override { return true; }
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoXtrusion"; }
    void Describe(TVisitanteCampos& v) const override;

    // point:scale:point:scale... into `ruta` and `escalas`; false (with the message
    // appended) unless there are two pairs at least.
    TResultado<void> LeeRuta(const DString& texto);

    std::vector<double> escalas; // one per route point
    TElementoPolilinea seccion;
    TElementoPolilinea ruta;
    vector3D desplazamiento;
};

// REVOLUTION=axisPoint1|axisPoint2|profile
class TElementoRevolution : public TElementoQuads {
public:
    TElementoRevolution() = default;
    void Acepta(TVisitanteElementos& v) const override { v.Visita(*this); }
    TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) override;
    const char* NombreClase() const override { return "TElementoRevolution"; }
    void Describe(TVisitanteCampos& v) const override;

    TElementoPolilinea perfil;
    vector3D puntoEje1;
    vector3D puntoEje2;
};
