// The geometry of the scene's elements as a frame draws them when they are not
// highlighted: lit triangles and coloured line segments in the coordinates the element
// is written in (a cone's sides built in its own frame and turned onto its axis, a
// sphere's grid moved to its centre, so that they join the frame's plain draws), and
// textured faces with their places on the image. The colours are lit once, here, by the
// program's own light. The painter keeps the geometry that is costly to make (solids,
// extrusions, revolutions, textured elements) by the element's number, for as long as
// the element is in the scene it paints.
#pragma once

#include "render/Idc_opengl.h"
#include "script/Objetos_3d.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

// How an element comes into the frame.
enum class TFormaGeometria : uint8_t {
    nada,
    triangulos, // plain triangles, under the scene's transform
    lineas,     // plain line segments, `ancho` pixels wide
    empuja,     // a PUSH: `matriz` joins the transform stack
    saca,       // a POP
    texturada,  // triangles with places on the element's texture, or the grid of a textured
                // sphere about its centre (`mallaTextura`)
};

struct TGeometriaElemento {
    TFormaGeometria forma = TFormaGeometria::nada;
    std::vector<TVerticeColor> vertices;
    // Every triangle or line has one colour. It is drawn flat then: a colour carried by
    // the vertices would be interpolated, and in perspective that is not exact.
    bool uniforme = true;
    float ancho = 1.0f;
    // A textured sphere's centre and radii.
    vector3D inicio;
    std::array<double, 3> radios{};
    // texturada: its triangles or its sphere's grid, and whether the texture goes on in
    // unlit white (the colours, lit, stand for the texture where the device has none).
    std::vector<TVerticeTextura> verticesTextura;
    std::unique_ptr<TMallaEsferaTexturada> mallaTextura;
    bool blanco = false;
    // A closed sphere (about `inicio`, of `radios`) whose far cells may be culled:
    // `vertices` holds its grid's points, drawn as the triangles of IndicesMallaEsfera.
    bool cerrada = false;
    const std::array<double, 16>* matriz = nullptr;
};

// The geometry kept for the costly elements, by the elements' numbers: an element never
// changes, so what was made from it stays true while it is painted.
class TGeometriasGuardadas {
public:
    // The geometry of an element: the one kept for it (made on first use for the costly
    // ones), else made into `temporal`.
    const TGeometriaElemento& De(const TElementoObj3D& elemento, TGeometriaElemento& temporal);
    // A round over every element of a scene starts (each one asked for with De), and ends
    // with the geometry of the elements not asked for forgotten.
    void EmpiezaRonda() { ++ronda; }
    void TerminaRonda();
    // Forgets the geometry of the element of that number.
    void Olvida(uint64_t serie) { porSerie.erase(serie); }

private:
    struct TGuardada {
        std::unique_ptr<TGeometriaElemento> geometria;
        uint64_t ronda = 0;
    };
    std::unordered_map<uint64_t, TGuardada> porSerie;
    uint64_t ronda = 0;
};

// Draws the geometry of one element by itself (not a PUSH or a POP): at its place for
// the plain forms, in its frame for a cone, about its centre for a sphere; a textured one
// with the texture's image as the device holds it (uploaded on first use).
void DibujaGeometria(IDCOpenGL& dc, const TGeometriaElemento& geometria, const TTextura3Di* textura);

// The cells of a closed sphere's grid, from the vertex arrays as they are set.
void DibujaCeldas();

// Every triangle that a frame of the scene draws (the whole grid of each sphere among
// them), in the coordinates of the scene's own transform, with its colours: what one
// plain draw of the same geometry takes, a bound for the painter's cost.
std::vector<TVerticeColor> TriangulosEscena(const TObjeto3D& escena);

// The colour an element is drawn in: its own, or white when it has a texture and draws
// textures in white.
uint32_t ColorDibujo(const TElementoObj3D& elemento);
// The colour of a face lit by its normal, both sides alike.
uint32_t ColorCara(const TElementoObj3D& elemento, const vector3D& normal);
