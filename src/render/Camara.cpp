#include "render/Camara.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
// The eye distance of a new window: there, in perspective, the zoom gives as many
// pixels per model unit (at the model's origin) as it does in parallel projection.
constexpr double distanciaInicial = 10.0;

} // namespace

// Front looks along +y at the x-z plane, z up; the others turn the model about its
// vertical axis (anguloY) or tilt it towards the viewer (anguloX). The isometric view
// looks down the diagonal from front, right and above.
const std::array<TOrientacionVista, 7> orientacionesVista = {{
    {"front", "&Front", 0.0, 0.0},
    {"back", "&Back", 0.0, pi},
    {"left", "&Left", 0.0, pi / 2.0},
    {"right", "R&ight", 0.0, -pi / 2.0},
    {"top", "&Top", -pi / 2.0, 0.0},
    {"bottom", "B&ottom", pi / 2.0, 0.0},
    {"iso", "I&sometric", -0.6154797086703874 /* atan(1/sqrt 2) */, -pi / 4.0},
}};

void TCamara::ResetView() {
    anguloX = -pi / 4.0;
    anguloY = 0.0;
    escala = 20.0;
}

void TCamara::Restablece() {
    ResetView();
    desplazamiento = vector3D();
    distancia = distanciaInicial;
}

bool TCamara::Orienta(std::string_view nombre) {
    for (const TOrientacionVista& o : orientacionesVista) {
        if (nombre != o.nombre) continue;
        anguloX = o.anguloX;
        anguloY = o.anguloY;
        return true;
    }
    return false;
}

void TCamara::ConstruyeMatrices(int ancho, int alto, double campoVision, TMatriz4& vista,
                                TMatriz4& proyeccion) const {
    const double w = ancho > 0 ? ancho : 1;
    const double h = alto > 0 ? alto : 1;
    TMatriz4 espejoZ;
    espejoZ(2, 2) = -1.0;
    // The turn shared by both projections: model x to the right, model z up and model y
    // into the picture at zero angles, then the user's turns. Larger depth is farther.
    const TMatriz4 giro = MatrizGiroEje(0, anguloX) * MatrizGiroEje(1, anguloY) * MatrizGiroEje(0, pi / 2.0);
    // The zoom enlarges the picture, x and y, never the depth: a scaled depth would leave
    // only a slab of the model between the clipping planes, ever thinner as one zooms in.
    const auto zoom = [](double factor) {
        TMatriz4 m;
        m(0, 0) = m(1, 1) = factor;
        return m;
    };

    if (!perspectiva) {
        TMatriz4 pixeles;
        pixeles(0, 0) = 2.0 / w;
        pixeles(1, 1) = 2.0 / h;
        pixeles(2, 2) = 0.2 / (anchoProfundidad > 0 ? anchoProfundidad : w);
        vista = pixeles * giro * espejoZ;
        proyeccion = MatrizTraslacion(desplazamiento) * zoom(escala);
        return;
    }
    // The eye looks at the model's origin from `distancia` away, from the side the
    // parallel view shows (OpenGL's eye looks down its -z, hence the mirror of depth).
    // At the first eye distance a model unit at the origin measures `escala` pixels, as
    // in parallel projection.
    vista = MatrizTraslacion(vector3D(0.0, 0.0, -distancia)) * espejoZ * giro * espejoZ;
    proyeccion = zoom(escala * 2.0 * std::tan(campoVision * pi / 360.0) * distanciaInicial / h);
    // After the perspective division a pan moves the picture as in parallel projection.
    if (desplazaEnPerspectiva) proyeccion = MatrizTraslacion(desplazamiento) * proyeccion;
}

void TCamara::Gira(int dx, int dy) {
    anguloX -= 0.01 * dy;
    anguloY += 0.01 * dx;
}

void TCamara::Desplaza(int dx, int dy, int ancho, int alto) {
    if (ancho > 0) desplazamiento.x += 2.0 * dx / ancho;
    if (alto > 0) desplazamiento.y -= 2.0 * dy / alto;
    desplazamiento.z = 0.0;
}

void TCamara::Rueda(int delta) {
    const double g = 1.0 - std::fabs(delta * 0.001);
    // A turn of 1000 or more would make the factor zero or negative: such a turn is
    // taken as the largest that keeps the view finite and positive.
    const double factor = g > 0.05 ? g : 0.05;
    double& valor = perspectiva ? distancia : escala;
    if (delta > 0)
        valor *= factor;
    else if (delta < 0)
        valor /= factor;
}

double TCamara::Encuadra(const TCajaVentana& caja, int ancho, int alto, double margen, double maximo) {
    if (caja.Vacia() || ancho < 1 || alto < 1) return 1.0;
    if (!perspectiva || desplazaEnPerspectiva) {
        const double factor =
            std::min(maximo, margen * std::min(static_cast<double>(ancho) / (caja.x1 - caja.x0),
                                               static_cast<double>(alto) / (caja.y1 - caja.y0)));
        // The box's centre in normalised device units goes to the middle.
        const double cx = static_cast<double>(caja.x0 + caja.x1) / ancho - 1.0;
        const double cy = static_cast<double>(caja.y0 + caja.y1) / alto - 1.0;
        escala *= factor;
        desplazamiento.x = factor * (desplazamiento.x - cx);
        desplazamiento.y = factor * (desplazamiento.y - cy);
        return factor;
    }
    // The picture grows about its middle: the box's farthest side from it decides.
    const double medioX = ancho / 2.0, medioY = alto / 2.0;
    const double alcanceX = std::max({medioX - caja.x0, caja.x1 - medioX, 1.0});
    const double alcanceY = std::max({medioY - caja.y0, caja.y1 - medioY, 1.0});
    const double factor = std::min(maximo, margen * std::min(medioX / alcanceX, medioY / alcanceY));
    escala *= factor;
    return factor;
}
