#include "script/Objetos_3d_extrusion.h"

#include "script/Objetos_3d_planos.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char* mensajeXtrusion = "XTRUSION: Needs three fields separated by | \r\n";
constexpr const char* mensajeRevolution = "REVOLUTION: Needs three fields separated by | \r\n";
constexpr const char* mensajePolilinea = "Error reading POLYLINE \r\n";
constexpr const char* mensajeRuta = "Error reading POLYLINE Number \r\n";
constexpr const char* mensajeMallaXtrusion = "XTRUSION: Too many points \r\n";
constexpr const char* mensajeMallaRevolution = "REVOLUTION: Too many points \r\n";

// A revolution is made of 16 turns; the 17th row closes the seam.
constexpr int filasRevolucion = 17;
constexpr double pi = 3.141592653589793;

// The ':' fields of a point list, empty ones kept. Lists may be long: the callers'
// field lists grow in large steps.
int PartePuntos(const DString& texto, Vector<DString>& campos) {
    return texto.Split(":", campos, -1, true);
}

// The k points (and values) evenly spaced strictly between a and b, appended.
void Intercala(const vector3D& a, const vector3D& b, double va, double vb, int k,
               std::vector<vector3D>& puntos, std::vector<double>& valores) {
    const double partes = k + 1;
    for (int m = 1; m <= k; ++m) {
        const vector3D d = m * (b - a);
        puntos.push_back(a + vector3D(d.x / partes, d.y / partes, d.z / partes));
        valores.push_back(va + m * (vb - va) / partes);
    }
}

// How many points the refinement puts into a segment of length `largo` whose ends carry
// the values v0 and v1: more as the values differ more, fewer on short segments.
int PuntosIntercalados(double largo, double paso, double v0, double v1) {
    const double alto = std::max(v0, v1), bajo = std::min(v0, v1);
    if (alto <= 0.001 || bajo / alto >= 0.7) return 0;
    const double razon = bajo / alto;
    const int porRazon = razon >= 0.6 ? 1 : razon >= 0.4 ? 2 : razon >= 0.3 ? 3 : razon >= 0.2 ? 4 : 5;
    const double porLargo = largo / paso - 1.0;
    // Written so that a length that is not a number inserts nothing.
    if (!(porLargo >= 1.0)) return 0;
    return porLargo < porRazon ? static_cast<int>(porLargo) : porRazon;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Polyline

void TElementoPolilinea::FijaPuntos(std::vector<vector3D> nuevos) {
    puntos = std::move(nuevos);
    numPuntos = static_cast<int32_t>(puntos.size());
    longitudes.clear();
    longitud = 0.0;
}

TResultado<void> TElementoPolilinea::Lee(const DString& parametros, TEstadoLectura&) {
    FijaPuntos({});
    Vector<DString> campos(64, 4096, true);
    const int n = PartePuntos(parametros, campos);
    if (n < 2) {
        return TFallo{TCausa::entrada, mensajePolilinea};
    }
    std::vector<vector3D> leidos(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        leidos[static_cast<size_t>(i)] = LeePunto(campos[i]);
    FijaPuntos(std::move(leidos));
    return {};
}

void TElementoPolilinea::CalculaLongitudes() {
    longitudes.assign(puntos.size(), 0.0);
    longitud = 0.0;
    for (size_t i = 0; i + 1 < puntos.size(); ++i) {
        longitudes[i] = Distancia(puntos[i], puntos[i + 1]);
        longitud += longitudes[i];
    }
}

vector3D TElementoPolilinea::NormalArea() const {
    vector3D suma;
    for (size_t i = 0; i + 1 < puntos.size(); ++i)
        suma += ProductoVectorial(puntos[i], puntos[i + 1]);
    return suma;
}

void TElementoPolilinea::Subdivide(int j, int k, std::vector<double>& valores) {
    if (k < 1 || j < 1 || j >= numPuntos || valores.size() != puntos.size()) return;
    const size_t sj = static_cast<size_t>(j);
    std::vector<vector3D> nuevos;
    std::vector<double> nuevosValores;
    Intercala(puntos[sj - 1], puntos[sj], valores[sj - 1], valores[sj], k, nuevos, nuevosValores);
    puntos.insert(puntos.begin() + j, nuevos.begin(), nuevos.end());
    valores.insert(valores.begin() + j, nuevosValores.begin(), nuevosValores.end());
    numPuntos = static_cast<int32_t>(puntos.size());
    // The inserted points lie on the segment: the total length stays, the list follows.
    if (!longitudes.empty()) CalculaLongitudes();
}

void TElementoPolilinea::Describe(TVisitanteCampos& v) const {
    v.Campo("numPuntos", static_cast<int>(numPuntos));
    v.Campo("longitud", longitud);
    if (!longitudes.empty()) v.Campo("longitudes", std::span<const double>(longitudes));
}

// ---------------------------------------------------------------------------------------
// Grid of quadrilaterals

// Every segment is judged on the route as it was before any point went in, so the
// result is built in one pass instead of one insertion after another.
void TElementoQuads::RefinaRuta(TElementoPolilinea& ruta, std::vector<double>& valores) {
    const int n = ruta.numPuntos;
    if (n < 2 || valores.size() != ruta.puntos.size()) return;
    ruta.CalculaLongitudes();
    const double paso = 0.2 * ruta.longitud / (n - 1);
    if (!(paso >= 1e-5)) return;

    std::vector<vector3D> puntos;
    std::vector<double> nuevosValores;
    puntos.reserve(ruta.puntos.size());
    nuevosValores.reserve(valores.size());
    for (size_t j = 1; j < ruta.puntos.size(); ++j) {
        puntos.push_back(ruta.puntos[j - 1]);
        nuevosValores.push_back(valores[j - 1]);
        const int k = PuntosIntercalados(ruta.longitudes[j - 1], paso, valores[j - 1], valores[j]);
        Intercala(ruta.puntos[j - 1], ruta.puntos[j], valores[j - 1], valores[j], k, puntos, nuevosValores);
    }
    puntos.push_back(ruta.puntos.back());
    nuevosValores.push_back(valores.back());
    if (puntos.size() == ruta.puntos.size()) return;
    ruta.FijaPuntos(std::move(puntos));
    ruta.CalculaLongitudes();
    valores = std::move(nuevosValores);
}

void TElementoQuads::ConstruyeQuads(std::span<const std::vector<vector3D>> filas, TElementoPolilinea& seccion,
                                    TElementoPolilinea& ruta) {
    if (filas.empty()) return;
    const size_t R = filas.size(), C = filas[0].size();
    // The readers refuse such grids with a message; the indices are 32-bit.
    if (static_cast<double>(R) * static_cast<double>(C) > static_cast<double>(maxPuntosMalla)) return;
    puntos.assign(R * C, vector3D());
    normalesVertice.assign(R * C, vector3D());
    quads.clear();
    posTextura.clear();
    if (textura) {
        posTextura.assign(R * C, vector2D());
        ruta.CalculaLongitudes();
        seccion.CalculaLongitudes();
    }

    double aLoLargo = 0.0; // route length up to row r
    for (size_t r = 0; r < R; ++r) {
        if (r > 0 && r - 1 < ruta.longitudes.size()) aLoLargo += ruta.longitudes[r - 1];
        double aLoAncho = 0.0; // section length up to column c
        for (size_t c = 0; c < C; ++c) {
            if (c > 0 && c - 1 < seccion.longitudes.size()) aLoAncho += seccion.longitudes[c - 1];
            if (c < filas[r].size()) puntos[r * C + c] = filas[r][c];
            // A route or section of length 0 gives positions that are not numbers;
            // they only ever reach the device as texture coordinates.
            if (textura)
                posTextura[r * C + c] = vector2D(aLoLargo / ruta.longitud, aLoAncho / seccion.longitud);
        }
    }

    if (R < 2 || C < 2) return;
    quads.reserve((R - 1) * (C - 1));
    for (size_t r = 0; r + 1 < R; ++r) {
        for (size_t c = 0; c + 1 < C; ++c) {
            const TQuadExtr q{static_cast<int32_t>(r * C + c), static_cast<int32_t>(r * C + c + 1),
                              static_cast<int32_t>((r + 1) * C + c + 1),
                              static_cast<int32_t>((r + 1) * C + c)};
            quads.push_back(q);
            const vector3D& p0 = puntos[static_cast<size_t>(q[0])];
            const vector3D& p1 = puntos[static_cast<size_t>(q[1])];
            const vector3D& p2 = puntos[static_cast<size_t>(q[2])];
            vector3D f = ProductoVectorial(p1 - p0, p2 - p1);
            if (invertir) f = -f;
            const double largo = Modulo(f);
            if (largo > 0.001) f *= 1.0 / largo;
            for (int32_t i : q)
                normalesVertice[static_cast<size_t>(i)] += f;
        }
    }
    for (vector3D& n : normalesVertice)
        Normaliza(n);
}

void TElementoQuads::Describe(TVisitanteCampos& v) const {
    v.Campo("invertir", invertir);
    v.Campo("normalesVertice", std::span<const vector3D>(normalesVertice));
    if (textura) v.Campo("posTextura", std::span<const vector2D>(posTextura));
    v.Campo("quads", std::span<const std::array<int32_t, 4>>(quads));
}

// ---------------------------------------------------------------------------------------
// XTRUSION

TResultado<void> TElementoXtrusion::LeeRuta(const DString& texto) {
    escalas.clear();
    ruta.FijaPuntos({});
    Vector<DString> campos(64, 4096, true);
    const int pares = PartePuntos(texto, campos) / 2;
    if (pares < 2) {
        return TFallo{TCausa::entrada, mensajeRuta};
    }
    std::vector<vector3D> leidos(static_cast<size_t>(pares));
    escalas.reserve(static_cast<size_t>(pares));
    for (int i = 0; i < pares; ++i) {
        leidos[static_cast<size_t>(i)] = LeePunto(campos[2 * i]);
        escalas.push_back(campos[2 * i + 1].ToDouble());
    }
    ruta.FijaPuntos(std::move(leidos));
    return {};
}

TResultado<void> TElementoXtrusion::Lee(const DString& parametros, TEstadoLectura& estado) {
    Vector<DString> campos(4, 1, true);
    const int n = parametros.Split("|", campos, 4, true);
    if (n < 2) {
        return TFallo{TCausa::entrada, mensajeXtrusion};
    }
    desplazamiento = LeePunto(campos[0]);
    if (auto leida = seccion.Lee(campos[1], estado); !leida) return leida;
    if (n < 3) {
        return TFallo{TCausa::entrada, mensajeXtrusion};
    }
    if (auto leida = LeeRuta(campos[2]); !leida) return leida;
    if (textura) RefinaRuta(ruta, escalas);
    if (n >= 4)
        invertir = ConvierteEntero(campos[3].c_str()) < 1;
    else
        invertir = ProductoEscalar(seccion.NormalArea(), ruta.puntos[1] - ruta.puntos[0]) <= 0;

    // The section is scaled and moved to every route point, never turned.
    const size_t R = ruta.puntos.size(), C = seccion.puntos.size();
    if (static_cast<int64_t>(R) * static_cast<int64_t>(C) > maxPuntosMalla) {
        return TFallo{TCausa::limite, mensajeMallaXtrusion};
    }
    estado.ReservaMalla(static_cast<int64_t>(R * C));
    std::vector<std::vector<vector3D>> filas(R);
    for (size_t i = 0; i < R; ++i) {
        filas[i].reserve(C);
        for (const vector3D& p : seccion.puntos)
            filas[i].push_back(p * escalas[i] + desplazamiento + ruta.puntos[i]);
    }
    ConstruyeQuads(filas, seccion, ruta);
    return {};
}

void TElementoXtrusion::Describe(TVisitanteCampos& v) const {
    TElementoQuads::Describe(v);
    v.Campo("escalas", std::span<const double>(escalas));
    v.Campo("desplazamiento", desplazamiento);
    v.Objeto("seccion", seccion);
    v.Objeto("ruta", ruta);
}

// ---------------------------------------------------------------------------------------
// REVOLUTION

TResultado<void> TElementoRevolution::Lee(const DString& parametros, TEstadoLectura& estado) {
    Vector<DString> campos(3, 1, true);
    const int n = parametros.Split("|", campos, 3, true);
    if (n < 2) {
        return TFallo{TCausa::entrada, mensajeRevolution};
    }
    puntoEje1 = LeePunto(campos[0]);
    puntoEje2 = LeePunto(campos[1]);
    if (n < 3) {
        return TFallo{TCausa::entrada, mensajeRevolution};
    }
    if (auto leido = perfil.Lee(campos[2], estado); !leido) return leido;
    if (textura) {
        // Long profile segments whose distance from the axis changes a lot are refined.
        std::vector<double> radios;
        radios.reserve(perfil.puntos.size());
        const TRecta eje = TRecta::PorPuntos(puntoEje1, puntoEje2);
        for (const vector3D& p : perfil.puntos)
            radios.push_back(DistanciaRecta(p, eje));
        RefinaRuta(perfil, radios);
    }

    const size_t C = perfil.puntos.size();
    if (static_cast<int64_t>(C) * filasRevolucion > maxPuntosMalla) {
        return TFallo{TCausa::limite, mensajeMallaRevolution};
    }
    estado.ReservaMalla(static_cast<int64_t>(C) * filasRevolucion);
    std::vector<std::vector<vector3D>> filas(filasRevolucion);
    std::vector<vector3D> angular(filasRevolucion);
    for (int i = 0; i < filasRevolucion; ++i) {
        const TMatriz4 giro = MatrizGiroRecta(puntoEje1, puntoEje2, 2 * i * pi / 16);
        auto& fila = filas[static_cast<size_t>(i)];
        fila.reserve(C);
        for (const vector3D& p : perfil.puntos)
            fila.push_back(Transforma(giro, p));
        // A straight route of unit steps: the first texture coordinate of row i is i/16.
        angular[static_cast<size_t>(i)] = vector3D(i, 0, 0);
    }
    TElementoPolilinea rutaAngular;
    rutaAngular.FijaPuntos(std::move(angular));
    ConstruyeQuads(filas, perfil, rutaAngular);
    return {};
}

void TElementoRevolution::Describe(TVisitanteCampos& v) const {
    TElementoQuads::Describe(v);
    v.Campo("puntoEje1", puntoEje1);
    v.Campo("puntoEje2", puntoEje2);
    v.Objeto("perfil", perfil);
}
