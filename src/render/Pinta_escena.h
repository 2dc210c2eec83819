// The scene painter: draws a scene through the drawing device, and finds the control
// point under a position of the picture. The scene is const to it: what it makes of
// the scene it keeps itself. The elements' geometry is made once (and kept for the
// costly ones, by the elements' numbers); a frame is a list of draws from vertex arrays
// made from it, kept until the painter is handed another scene, and then brought up to
// date for the elements that differ, so that a frame costs the drawing and little else.
// The picture is the one that drawing every element by itself gives.
#pragma once

#include "geometry/Matrix3.h"
#include "render/Camara.h"
#include "render/Geometria_escena.h"
#include "script/Objetos_3d.h"

#include <memory>
#include <vector>

class IDCOpenGL;
class TProgramaEscena;
struct TTramoCuadro;

// Paint failures are reported with this caption.
inline constexpr const char* tituloErrorPintura = "Selvaron";

class TPintorEscena {
public:
    TPintorEscena();
    ~TPintorEscena();
    TPintorEscena(const TPintorEscena&) = delete;
    TPintorEscena& operator=(const TPintorEscena&) = delete;

    // Paints the scene with the device: the view of the scene's header settings
    // `cabecera` (turned by its turn, zoomed by its scale, its centre at the origin), the
    // transform stack of its PUSH and POP elements, and the elements of the selected
    // line drawn highlighted. A failure's message tells how far the painting got; it
    // leaves the matrix stack as it was found.
    TResultado<void> Pinta(IDCOpenGL& dc, const TObjeto3D& escena, const TCabeceraEscena& cabecera,
                           const TSeleccion& seleccion);

    // Where the points of the scene's geometry fall in the window under the device's
    // matrices as they stand (the camera's) and the view of `cabecera`, as Pinta would
    // draw them, selection left out; false, with `caja` empty, when the scene draws
    // nothing. No frame is drawn: the geometry made for it is kept for the next paint.
    bool Mide(IDCOpenGL& dc, const TObjeto3D& escena, const TCabeceraEscena& cabecera, TCajaVentana& caja);

    // Whether a frame keeps a copy of itself before the first element that changed since
    // the frame before, and starts from such a copy when it can (see Cuadro_guardado.h):
    // for a preview redrawn at every keystroke. The picture is the same either way.
    bool guardaCuadros = false;

private:
    const TProgramaEscena& Programa(const TObjeto3D& escena, int& progreso);
    void PreparaTramo(IDCOpenGL& dc, const TProgramaEscena& p, const std::vector<int>& resaltados,
                      TTramoCuadro& tramo);

    // What is kept is keyed by numbers of this line of reads (held, so that it stays
    // that line's); a scene of another line finds nothing kept.
    std::shared_ptr<const TNumeracion> numeracion;
    std::unique_ptr<TProgramaEscena> programa;
    TGeometriasGuardadas geometrias;
    std::vector<uint64_t> seriesCuadro; // the element numbers of the last frame drawn
};

// The control point under a window position (y downwards), looked for among the elements'
// points projected as the scene is painted under `cabecera`: the script line of its
// element and its index, -1 and -1 when there is none. The first element in the list
// whose point lies within |dx| + |dy| < 8 pixels wins.
void BuscaPunto(IDCOpenGL& dc, const TObjeto3D& escena, const TCabeceraEscena& cabecera,
                const vector2D& posicion, int& linea, int& indice);
