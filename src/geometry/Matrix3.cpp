#include "geometry/Matrix3.h"

#include "support/Max_min.h"

bool Normaliza(vector3D& v) {
    const double longitud = Modulo(v);
    if (longitud < 1e-9) return false;
    v.x /= longitud;
    v.y /= longitud;
    v.z /= longitud;
    return true;
}

// x counts as non-zero above 1e-6, y and z only above 1e-5. Rings take their start
// direction from here, so the cut-offs decide where a ring's first point lies.
vector3D Perpendicular(const vector3D& v) {
    if (std::fabs(v.x) > 1e-6 || std::fabs(v.y) > 1e-5) return {v.y, -v.x, 0.0};
    if (std::fabs(v.z) > 1e-5) return {v.z, 0.0, -v.x};
    return {};
}

vector3D Esfericas(double r, double azimut, double elevacion) {
    const double horizontal = r * std::cos(elevacion);
    return {horizontal * std::cos(azimut), horizontal * std::sin(azimut), r * std::sin(elevacion)};
}

// The line is written as the meet of two planes that contain it; together with the given
// plane that makes a 3x3 linear system whose solution is the meeting point.
bool CorteRectaPlano(const TPlano& plano, const vector3D& a, const vector3D& b, vector3D& corte) {
    vector3D n = plano.normal;
    Normaliza(n);
    const double d0 = ProductoEscalar(-plano.punto, n);

    const vector3D e = b - a;
    vector3D u = Perpendicular(e);
    Normaliza(u);
    vector3D w = ProductoVectorial(u, e);
    Normaliza(w);
    const double d1 = ProductoEscalar(-a, u);
    const double d2 = ProductoEscalar(-a, w);

    TMatriz3 M;
    M.FijaFila(0, n);
    M.FijaFila(1, u);
    M.FijaFila(2, w);
    if (!M.Inversa()) return false;
    corte = Transforma(M, vector3D(-d0, -d1, -d2));
    return true;
}

double DistanciaRecta(const vector3D& p, const TRecta& recta) {
    const TPlano normalPorP{p, recta.direccion};
    vector3D pie;
    // Without a direction the cut cannot be solved; the line has shrunk to its origin.
    if (!CorteRectaPlano(normalPorP, recta.origen, recta.origen + recta.direccion, pie))
        return Distancia(recta.origen, p);
    return Distancia(pie, p);
}

bool Solape(const TRango& r1, const TRango& r2, TRango& solape) {
    const bool r1Primero = r1.bajo < r2.alto;
    const TRango& primero = r1Primero ? r1 : r2;
    const TRango& segundo = r1Primero ? r2 : r1;
    if (primero.alto < segundo.bajo) return false;
    const double desde = Maximo(primero.bajo, segundo.bajo);
    const double hasta = Minimo(primero.alto, segundo.alto);
    solape = {Minimo(desde, hasta), Maximo(desde, hasta)};
    return true;
}

// ---------------------------------------------------------------------------------------

double TMatriz3::Determinante() const {
    return m[0] * m[4] * m[8] + m[1] * m[5] * m[6] + m[2] * m[3] * m[7] - m[2] * m[4] * m[6] -
           m[0] * m[5] * m[7] - m[1] * m[3] * m[8];
}

bool TMatriz3::Inversa() {
    const double d = Determinante();
    if (std::fabs(d) < 1e-12) return false;
    const double k = 1.0 / d;
    // Adjugate: the transposed cofactors.
    const std::array<double, 9> adjunta{
        m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    for (int i = 0; i < 9; ++i)
        m[i] = adjunta[i] * k;
    return true;
}

// ---------------------------------------------------------------------------------------

TMatriz4 MatrizTraslacion(const vector3D& t) {
    TMatriz4 r;
    r(0, 3) = t.x;
    r(1, 3) = t.y;
    r(2, 3) = t.z;
    return r;
}

TMatriz4 MatrizEscala(double s) {
    TMatriz4 r;
    r(0, 0) = r(1, 1) = r(2, 2) = s;
    return r;
}

TMatriz4 MatrizGiroEje(int eje, double angulo) {
    TMatriz4 r;
    int i = 0;
    int j = 1;
    switch (eje) {
    case 0:
        i = 1, j = 2;
        break;
    case 1:
        i = 0, j = 2;
        break;
    case 2:
        i = 0, j = 1;
        break;
    default:
        return r;
    }
    const double c = std::cos(angulo);
    const double s = std::sin(angulo);
    r(i, i) = c;
    r(i, j) = -s;
    r(j, i) = s;
    r(j, j) = c;
    return r;
}

TMatriz4 MatrizGiro(const vector3D& u, double angulo) {
    const double c = std::cos(angulo);
    const double s = std::sin(angulo);
    const double t = 1.0 - c;
    const double x = u.x, y = u.y, z = u.z;
    TMatriz4 r;
    r.m = {t * x * x + c,
           t * x * y - s * z,
           t * x * z + s * y,
           0.0,
           t * x * y + s * z,
           t * y * y + c,
           t * y * z - s * x,
           0.0,
           t * x * z - s * y,
           t * y * z + s * x,
           t * z * z + c,
           0.0,
           0.0,
           0.0,
           0.0,
           1.0};
    return r;
}

// A zero-length axis has no direction: MatrizGiro would then scale by cos(angle) about
// a instead of turning, so the degenerate line leaves points where they are.
TMatriz4 MatrizGiroRecta(const vector3D& a, const vector3D& b, double angulo) {
    vector3D u = b - a;
    if (!Normaliza(u)) return {};
    return MatrizTraslacion(a) * MatrizGiro(u, angulo) * MatrizTraslacion(-a);
}

TMatriz4 Multiplica(const TMatriz4& a, const TMatriz4& b) {
    TMatriz4 c;
    for (int i = 0; i < 4; ++i) {
        const std::array<double, 4> fila{a(i, 0), a(i, 1), a(i, 2), a(i, 3)};
        for (int j = 0; j < 4; ++j)
            c(i, j) = ProductoEscalar4(fila, {b(0, j), b(1, j), b(2, j), b(3, j)});
    }
    return c;
}

TMatriz4& TMatriz4::Multiplica(const TMatriz4& b) {
    *this = ::Multiplica(*this, b);
    return *this;
}

std::array<double, 16> Transpuesta(const TMatriz4& a) {
    std::array<double, 16> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[4 * j + i] = a(i, j);
    return r;
}
