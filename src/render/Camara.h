// The camera: one value that holds everything that decides how a scene is seen: the
// scene's own header settings (its centre, scale, orientation flags and a mesh's turn),
// the user's rotation, pan and zoom, the projection and the perspective distance. With
// it come the rules by which the mouse and the wheel change it, the named orientations
// (front, top, isometric...), the fitting step of Fit to View and the two matrices that
// the drawing device receives. The editor, the command-line tool and the icon export
// share it, so all draw the same picture from the same camera, and two frames with equal
// cameras (and scene, selection and size) are the same picture.
#pragma once

#include "geometry/Matrix3.h"
#include "script/Objetos_3d.h"

#include <array>
#include <string_view>

// Pixels of a picture in OpenGL's order (row 0 at the bottom), `x1` and `y1` one past
// the last column and row; empty when nothing is in it. `cerca`: the depth (0 near to
// 1 far, as the depth buffer holds it) of the nearest pixel.
struct TCajaPixeles {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double cerca = 1.0;
    bool Vacia() const { return x1 <= x0 || y1 <= y0; }
    bool TocaBorde(int ancho, int alto) const { return x0 <= 0 || y0 <= 0 || x1 >= ancho || y1 >= alto; }
};

// The same measure in window units, fractions of a pixel kept: where the points of a
// frame's geometry fall (x and y from the bottom-left corner; `cerca` as above).
struct TCajaVentana {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double cerca = 1.0;
    TCajaVentana() = default;
    TCajaVentana(const TCajaPixeles& c) : x0(c.x0), y0(c.y0), x1(c.x1), y1(c.y1), cerca(c.cerca) {}
    bool Vacia() const { return !(x1 > x0 && y1 > y0); }
};

// A named orientation: the two view angles that look at the model from one side. The
// model's z axis is up, its y axis goes into the picture in the front view.
struct TOrientacionVista {
    const char* nombre; // as the command line takes it
    const char* titulo; // as the View menu shows it, "&" before its access key
    double anguloX;
    double anguloY;
};
extern const std::array<TOrientacionVista, 7> orientacionesVista;

struct TCamara {
    // The scene's settings, taken from each scene shown (TomaCabecera).
    TCabeceraEscena cabecera;
    double anguloX = 0.0;    // radians
    double anguloY = 0.0;    // radians
    double escala = 20.0;    // pixels per model unit (in perspective: at the reference distance)
    double distancia = 10.0; // perspective: eye distance in model units
    vector3D desplazamiento; // pan, normalised device units (2 = the whole width or height)
    bool perspectiva = false;
    // The pan moves the picture in perspective too. The preview keeps the rule that it
    // does not; the icon export sets it so that framing can centre a model there.
    bool desplazaEnPerspectiva = false;
    // Parallel projection holds the depth of 5 W model units on either side of the
    // origin, W the picture's width in pixels, or this width when it is given: the icon
    // export draws every size with the depth of its largest picture, so that each size
    // shows the same model.
    int anchoProfundidad = 0;

    bool operator==(const TCamara&) const = default;

    // The header settings of the scene shown from now on.
    void TomaCabecera(const TCabeceraEscena& escena) { cabecera = escena; }
    // Restores the angles and the zoom; pan, distance and projection are kept.
    void ResetView();
    // Every field of the user's as a new window starts: ResetView, no pan, the eye at
    // its first distance (the projection stays).
    void Restablece();
    // Turns the camera to a named orientation (zoom, pan and distance stay); false for a
    // name that is none of `orientacionesVista`.
    bool Orienta(std::string_view nombre);

    // The view and projection matrices for a W x H picture. In perspective the device
    // puts its own perspective (of `campoVision` degrees) between the two, and the zoom
    // enlarges the picture, not the depth, so that the whole model stays between the
    // clipping planes.
    void ConstruyeMatrices(int ancho, int alto, double campoVision, TMatriz4& vista,
                           TMatriz4& proyeccion) const;

    // A right-button drag by (dx, dy) pixels: 0.01 radian per pixel.
    void Gira(int dx, int dy);
    // A drag with another button: the picture follows the pointer.
    void Desplaza(int dx, int dy, int ancho, int alto);
    // A wheel turn of `delta` (120 per step): in parallel projection a positive turn
    // zooms out; in perspective it brings the eye closer.
    void Rueda(int delta);
    // The zoom buttons.
    void AcercaZoom() { escala *= 1.2; }
    void AlejaZoom() { escala *= 1.0 / 1.2; }

    // Given the pixels that the model covers in a W x H picture drawn with this camera,
    // zooms so that the model fills the share `margen` of the picture: in parallel
    // projection (or with `desplazaEnPerspectiva`) it is also panned into the middle; in
    // perspective (where pan has no effect) the picture grows about its middle. The zoom
    // grows by at most `maximo` at a time: a box of a few pixels tells the model's middle
    // only roughly, so callers measure again. Returns the zoom factor.
    double Encuadra(const TCajaVentana& caja, int ancho, int alto, double margen = 0.9, double maximo = 4.0);
};
