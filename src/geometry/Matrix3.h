// Geometry kernel: 3D and 2D vectors of doubles, the 3x3 matrix used for 2D affine
// transforms, the 4x4 matrix used for 3D affine transforms, and a few line/plane helpers.
// Everything here is a small value living on the stack: painters call these operations
// for every point of every element on every repaint, so nothing allocates (except the
// matrix stack, which is a container). Angles are radians.
#pragma once

#include <array>
#include <cmath>

#include "support/Vectores_dg.h"

// ---------------------------------------------------------------------------------------
// Vectors

class vector3D {
public:
    vector3D() = default;
    vector3D(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
    vector3D(const vector3D&) = default;
    vector3D& operator=(const vector3D&) = default;
    // Kept virtual so that derived point types can be deleted through the base; it has
    // nothing to release.
    virtual ~vector3D() {}

    vector3D& operator+=(const vector3D& b) {
        x += b.x, y += b.y, z += b.z;
        return *this;
    }
    vector3D& operator-=(const vector3D& b) {
        x -= b.x, y -= b.y, z -= b.z;
        return *this;
    }
    vector3D& operator*=(double s) {
        x *= s, y *= s, z *= s;
        return *this;
    }
    bool operator==(const vector3D& b) const { return x == b.x && y == b.y && z == b.z; }

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

class vector2D {
public:
    vector2D() = default;
    vector2D(double vx, double vy) : x(vx), y(vy) {}
    vector2D(const vector2D&) = default;
    vector2D& operator=(const vector2D&) = default;
    virtual ~vector2D() {}

    vector2D& operator+=(const vector2D& b) {
        x += b.x, y += b.y;
        return *this;
    }
    vector2D& operator-=(const vector2D& b) {
        x -= b.x, y -= b.y;
        return *this;
    }
    vector2D& operator*=(double s) {
        x *= s, y *= s;
        return *this;
    }
    bool operator==(const vector2D& b) const { return x == b.x && y == b.y; }

    double x = 0.0;
    double y = 0.0;
};

inline vector3D operator+(const vector3D& a, const vector3D& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline vector3D operator-(const vector3D& a, const vector3D& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline vector3D operator-(const vector3D& a) {
    return {-a.x, -a.y, -a.z};
}
inline vector3D operator*(double s, const vector3D& a) {
    return {s * a.x, s * a.y, s * a.z};
}
inline vector3D operator*(const vector3D& a, double s) {
    return s * a;
}

inline vector2D operator+(const vector2D& a, const vector2D& b) {
    return {a.x + b.x, a.y + b.y};
}
inline vector2D operator-(const vector2D& a, const vector2D& b) {
    return {a.x - b.x, a.y - b.y};
}
inline vector2D operator-(const vector2D& a) {
    return {-a.x, -a.y};
}
inline vector2D operator*(double s, const vector2D& a) {
    return {s * a.x, s * a.y};
}
inline vector2D operator*(const vector2D& a, double s) {
    return s * a;
}

inline double ProductoEscalar(const vector3D& a, const vector3D& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline vector3D ProductoVectorial(const vector3D& a, const vector3D& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Modulo(const vector3D& v) {
    return std::sqrt(ProductoEscalar(v, v));
}
inline double Distancia(const vector3D& a, const vector3D& b) {
    return Modulo(a - b);
}

// Scales v to unit length. A vector shorter than 1e-9 has no usable direction: it is
// left as it was and the result is false.
bool Normaliza(vector3D& v);

// A vector perpendicular to v, not normalised; (0, 0, 0) when v is (nearly) zero.
vector3D Perpendicular(const vector3D& v);

// The point at distance r in the direction given by azimuth (about z, from x) and
// elevation (above the xy plane).
vector3D Esfericas(double r, double azimut, double elevacion);

// Sum of the products of four pairs of doubles (a row times a column of a TMatriz4).
inline double ProductoEscalar4(const std::array<double, 4>& a, const std::array<double, 4>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
}

// ---------------------------------------------------------------------------------------
// Lines, planes and ranges

// A line as an origin and a direction (not necessarily unit length).
struct TRecta {
    vector3D origen;
    vector3D direccion;

    // The line through a and b, directed from a to b.
    static TRecta PorPuntos(const vector3D& a, const vector3D& b) { return {a, b - a}; }
};

// A plane as one of its points and a normal (not necessarily unit length).
struct TPlano {
    vector3D punto;
    vector3D normal;
};

// A closed interval of doubles.
struct TRango {
    double bajo = 0.0;
    double alto = 0.0;
};

// Distance from p to the line. A line without direction (zero or nearly zero length)
// is taken as the single point at its origin.
double DistanciaRecta(const vector3D& p, const TRecta& recta);

// Meeting point of the line through a and b with the plane. False, with `corte` left
// untouched, when the line is parallel to the plane or either is degenerate.
bool CorteRectaPlano(const TPlano& plano, const vector3D& a, const vector3D& b, vector3D& corte);

// Overlap of two ranges. False (and `solape` untouched) when they do not meet.
bool Solape(const TRango& r1, const TRango& r2, TRango& solape);

// ---------------------------------------------------------------------------------------
// 3x3 matrix: row-major, element [r][c] is m[3r + c]. As a 2D affine transform the first
// two rows are (a, b, tx) and (c, d, ty) and the third stays (0, 0, 1).

class TMatriz3 {
public:
    TMatriz3() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}

    double& operator()(int fila, int col) { return m[3 * fila + col]; }
    double operator()(int fila, int col) const { return m[3 * fila + col]; }

    TMatriz3& operator*=(double s) {
        for (double& e : m)
            e *= s;
        return *this;
    }
    void FijaFila(int fila, const vector3D& v) {
        m[3 * fila] = v.x, m[3 * fila + 1] = v.y, m[3 * fila + 2] = v.z;
    }
    double Determinante() const;
    // Replaces the matrix by its inverse. A (nearly) singular matrix, |det| < 1e-12, is
    // left unchanged and the result is false.
    bool Inversa();

    std::array<double, 9> m;
};

inline TMatriz3 operator*(const TMatriz3& a, double s) {
    TMatriz3 r = a;
    return r *= s;
}
inline TMatriz3 operator*(double s, const TMatriz3& a) {
    return a * s;
}

// M * v, no translation.
inline vector3D Transforma(const TMatriz3& M, const vector3D& v) {
    const auto& m = M.m;
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}
// 2D affine image of p (third column is the translation, third row ignored).
inline vector2D Transforma(const TMatriz3& M, const vector2D& p) {
    const auto& m = M.m;
    return {m[0] * p.x + m[1] * p.y + m[2], m[3] * p.x + m[4] * p.y + m[5]};
}

// The stack of 2D transforms of the 2D drawing context: each entry is an owned copy.
// Add(matrix, index) inserts a copy at index, or at the end when index is negative.
class TPilaMatrices : public Vector<TMatriz3> {
public:
    TPilaMatrices() : Vector<TMatriz3>(4, 4, true) {}
};

// ---------------------------------------------------------------------------------------
// 4x4 matrix: row-major, element [r][c] is m[4r + c]; the translation is in column 3 and
// row 3 is not used when points are transformed.

class TMatriz4 {
public:
    TMatriz4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

    double& operator()(int fila, int col) { return m[4 * fila + col]; }
    double operator()(int fila, int col) const { return m[4 * fila + col]; }

    // this = this * b
    TMatriz4& Multiplica(const TMatriz4& b);

    std::array<double, 16> m;
};

TMatriz4 MatrizTraslacion(const vector3D& t);
TMatriz4 MatrizEscala(double s);
// Rotation about coordinate axis 0 (x), 1 (y) or 2 (z); any other axis gives the identity.
// About y the block is the rotation by -angle in the right-handed sense, so that (1, 0, 0)
// turns towards +z for a positive angle.
TMatriz4 MatrizGiroEje(int eje, double angulo);
// Rotation about the axis u through the origin, right-handed (counter-clockwise seen from
// the tip of u). u is used as given: only a unit u gives a true rotation.
TMatriz4 MatrizGiro(const vector3D& u, double angulo);
// Rotation about the line from a to b. Coincident points give the identity.
TMatriz4 MatrizGiroRecta(const vector3D& a, const vector3D& b, double angulo);
// a * b
TMatriz4 Multiplica(const TMatriz4& a, const TMatriz4& b);
// The sixteen entries in column-major order, as glLoadMatrixd / glMultMatrixd take them.
std::array<double, 16> Transpuesta(const TMatriz4& a);

inline TMatriz4 operator*(const TMatriz4& a, const TMatriz4& b) {
    return Multiplica(a, b);
}

// Affine image of p: column 3 added, row 3 ignored.
inline vector3D Transforma(const TMatriz4& M, const vector3D& p) {
    const auto& m = M.m;
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
            m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}
