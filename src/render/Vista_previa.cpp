#include "render/Vista_previa.h"

#include <cmath>
#include <numbers>

void TVistaPrevia::ResetView() {
    anguloX = -std::numbers::pi / 4.0;
    anguloY = 0.0;
    escala = 20.0;
}

void TVistaPrevia::ConstruyeMatrices(bool perspectiva, int ancho, int alto, TMatriz4& vista,
                                     TMatriz4& proyeccion) const {
    vector3D ojo;
    if (perspectiva) ojo = Esfericas(distancia, -(anguloY + std::numbers::pi / 2.0), anguloX);
    TMatriz4 espejoZ;
    espejoZ(2, 2) = -1.0;
    vista = MatrizGiroEje(0, anguloX) * MatrizGiroEje(1, anguloY) * MatrizGiroEje(0, std::numbers::pi / 2.0) *
            MatrizTraslacion(ojo) * espejoZ;

    const TMatriz4 s = MatrizEscala(escala);
    proyeccion = perspectiva ? s : MatrizTraslacion(desplazamiento) * s;

    const double w = ancho > 0 ? ancho : 1;
    const double h = alto > 0 ? alto : 1;
    TMatriz4 pixeles;
    pixeles(0, 0) = perspectiva ? -2.0 / w : 2.0 / w;
    pixeles(1, 1) = 2.0 / h;
    pixeles(2, 2) = perspectiva ? 2.0 / w : 0.2 / w;
    vista = pixeles * vista;
}

void TVistaPrevia::Gira(int dx, int dy) {
    anguloX -= 0.01 * dy;
    anguloY += 0.01 * dx;
}

void TVistaPrevia::Desplaza(int dx, int dy, int ancho, int alto) {
    if (ancho > 0) desplazamiento.x += 2.0 * dx / ancho;
    if (alto > 0) desplazamiento.y -= 2.0 * dy / alto;
    desplazamiento.z = 0.0;
}

void TVistaPrevia::Rueda(int delta, bool perspectiva) {
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
