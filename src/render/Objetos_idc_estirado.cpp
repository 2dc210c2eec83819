// Stretching a device-independent bitmap onto a drawing context: bands, row order,
// the resampling itself and the fallback for refused stretches.
#include "render/Objetos_idc.h"

#include "geometry/Luz_normals.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr uint32_t errorParametro = 87;
constexpr uint32_t errorMemoria = 8;
// Refused pieces narrower than this are not split again.
constexpr int64_t anchoMinimoMitad = 10;

// One source pixel's share of a destination pixel along one axis.
struct TPeso {
    int32_t indice;
    double peso;
};

// Along one axis: for each visible destination pixel, the source pixels it takes and
// the length of source it covers (the divisor of the average).
struct TEje {
    std::vector<size_t> inicio; // into pesos; one more entry than pixels
    std::vector<TPeso> pesos;
    std::vector<double> total;
};

// Destination pixels [visible0, visible1) of a run of `largoDestino` pixels that starts
// at `inicioDestino`, taking the source run [inicioFuente, inicioFuente + largoFuente)
// of an image `extension` pixels long; `invierte` mirrors the run.
TEje CalculaEje(int64_t inicioDestino, int64_t largoDestino, int64_t visible0, int64_t visible1,
                int64_t inicioFuente, int64_t largoFuente, int64_t extension, bool invierte, bool promedia) {
    TEje eje;
    const double k = static_cast<double>(largoFuente) / static_cast<double>(largoDestino);
    const auto fuente = static_cast<double>(inicioFuente);
    eje.inicio.reserve(static_cast<size_t>(visible1 - visible0) + 1);
    for (int64_t d = visible0; d < visible1; ++d) {
        eje.inicio.push_back(eje.pesos.size());
        int64_t i = d - inicioDestino;
        if (invierte) i = largoDestino - 1 - i;
        if (promedia) {
            const auto posicion = static_cast<double>(i);
            const double a = fuente + posicion * k, b = fuente + (posicion + 1.0) * k;
            const int64_t j0 = std::max<int64_t>(static_cast<int64_t>(std::floor(a)), 0);
            const int64_t j1 = std::min<int64_t>(static_cast<int64_t>(std::ceil(b)), extension);
            for (int64_t j = j0; j < j1; ++j) {
                const double w =
                    std::min(b, static_cast<double>(j) + 1.0) - std::max(a, static_cast<double>(j));
                if (w > 0.0) eje.pesos.push_back({static_cast<int32_t>(j), w});
            }
            eje.total.push_back(b - a);
        } else {
            const int64_t j = static_cast<int64_t>(std::floor(fuente + (static_cast<double>(i) + 0.5) * k));
            if (j >= 0 && j < extension) eje.pesos.push_back({static_cast<int32_t>(j), 1.0});
            eje.total.push_back(1.0);
        }
    }
    eje.inicio.push_back(eje.pesos.size());
    return eje;
}

// A readable image with at least one column whose row size can be represented.
bool ImagenLegible(const TDibIG& imagen) {
    return imagen.Legible() && TDibIG::BytesFila(imagen.Ancho(), imagen.BitsPixel()) > 0;
}

// A run given by two edges, as a start and a positive length plus a mirror flag.
struct TTramo {
    int64_t inicio;
    int64_t largo;
    bool invertido;
};

TTramo Tramo(int32_t a, int32_t b) {
    if (b >= a) return {a, int64_t{b} - a, false};
    return {b, int64_t{a} - b, true};
}

} // namespace

bool IDC::StretchDIB(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& imagen,
                     uint32_t operacion) {
    if (!lienzo) return false;
    if (imagen.Bandas().Count() > 0) return EstiraBandas(destino, origen, imagen, operacion);
    if (imagen.Vacia()) return false;
    // Source rows count from the bottom of the picture; a top-down image stores its top
    // row first, so its rows are mirrored into memory order.
    TRectanguloDib fuente = origen;
    if (imagen.Alto() < 0) {
        const int64_t alto = imagen.AltoAbsoluto();
        fuente.arriba = static_cast<int32_t>(std::clamp<int64_t>(alto - origen.abajo, INT32_MIN, INT32_MAX));
        fuente.abajo = static_cast<int32_t>(std::clamp<int64_t>(alto - origen.arriba, INT32_MIN, INT32_MAX));
    }
    return EstiraImagen(destino, fuente, imagen, operacion);
}

// Bands are listed bottom strip first, as a bottom-up bitmap stores its rows: band i
// covers the rows that follow those of the bands before it, counted the way the source
// rectangle counts them. Each band takes the part of the destination that its rows
// of the source rectangle map to.
bool IDC::EstiraBandas(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& imagen,
                       uint32_t operacion) {
    const TTramo filas = Tramo(origen.arriba, origen.abajo);
    if (filas.largo == 0) return true;
    // The source's lowest row goes to the destination's bottom edge (its top edge when
    // the source rectangle is upside down).
    const double yInferior = filas.invertido ? destino.arriba : destino.abajo;
    const double ySuperior = filas.invertido ? destino.abajo : destino.arriba;
    auto y = [&](int64_t fila) {
        const double v = yInferior + static_cast<double>(fila - filas.inicio) * (ySuperior - yInferior) /
                                         static_cast<double>(filas.largo);
        return static_cast<int32_t>(std::clamp(std::round(v), -2147483648.0, 2147483647.0));
    };
    bool correcto = true;
    int64_t primera = 0;
    const auto& bandas = imagen.Bandas();
    for (int i = bandas.Base(); i < bandas.Fin(); ++i) {
        if (!bandas.IsOccupied(i)) continue;
        const TDibIG& banda = bandas[i];
        const int64_t ultima = primera + banda.AltoAbsoluto();
        const int64_t desde = std::max(filas.inicio, primera),
                      hasta = std::min(filas.inicio + filas.largo, ultima);
        if (desde < hasta) {
            const TRectanguloDib parteDestino{destino.izquierda, y(hasta), destino.derecha, y(desde)};
            const TRectanguloDib parteFuente{origen.izquierda, static_cast<int32_t>(desde - primera),
                                             origen.derecha, static_cast<int32_t>(hasta - primera)};
            if (!StretchDIB(parteDestino, parteFuente, banda, operacion)) correcto = false;
        }
        primera = ultima;
    }
    return correcto;
}

// One image in memory row order. A refused stretch is drawn in halves; pieces that
// cannot be drawn at all (or are too narrow to split) show in magenta.
bool IDC::EstiraImagen(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& imagen,
                       uint32_t operacion) {
    switch (EstiraPrimitivo(destino, origen, imagen, operacion)) {
    case TResultadoEstirado::hecho:
        return true;
    case TResultadoEstirado::imposible:
        // Splitting cannot cure an unreadable image or an unknown operation.
        return PintaFallido(destino);
    case TResultadoEstirado::rechazado:
        break;
    }
    const int64_t anchoDestino = int64_t{destino.derecha} - destino.izquierda;
    const int64_t anchoFuente = int64_t{origen.derecha} - origen.izquierda;
    if (std::llabs(anchoDestino) < anchoMinimoMitad || std::llabs(anchoFuente) < anchoMinimoMitad)
        return PintaFallido(destino);
    const auto medioDestino = static_cast<int32_t>(destino.izquierda + anchoDestino / 2);
    const auto medioFuente = static_cast<int32_t>(origen.izquierda + anchoFuente / 2);
    TRectanguloDib izqDestino = destino, derDestino = destino, izqFuente = origen, derFuente = origen;
    izqDestino.derecha = derDestino.izquierda = medioDestino;
    izqFuente.derecha = derFuente.izquierda = medioFuente;
    const bool izquierda = EstiraImagen(izqDestino, izqFuente, imagen, operacion);
    const bool derecha = EstiraImagen(derDestino, derFuente, imagen, operacion);
    return izquierda && derecha;
}

bool IDC::PintaFallido(const TRectanguloDib& destino) {
    SetBrush(colorMagenta);
    Rectangle(destino);
    return false;
}

// The stretch itself (what a driver's StretchDIBits does). Source rows are memory
// rows: counted from the bottom in a bottom-up image, from the top in a top-down one.
IDC::TResultadoEstirado IDC::EstiraPrimitivo(const TRectanguloDib& destino, const TRectanguloDib& origen,
                                             const TDibIG& imagen, uint32_t operacion) {
    if (!ImagenLegible(imagen) || operacion != SRCCOPY) {
        ultimoError = errorParametro;
        return TResultadoEstirado::imposible;
    }
    TTramo dx = Tramo(destino.izquierda, destino.derecha), dy = Tramo(destino.arriba, destino.abajo);
    TTramo sx = Tramo(origen.izquierda, origen.derecha), sy = Tramo(origen.arriba, origen.abajo);
    if (dx.largo == 0 || dy.largo == 0 || sx.largo == 0 || sy.largo == 0) return TResultadoEstirado::hecho;

    const int64_t x0 = std::max<int64_t>(dx.inicio, 0),
                  x1 = std::min<int64_t>(dx.inicio + dx.largo, lienzo->AnchoDestino());
    const int64_t y0 = std::max<int64_t>(dy.inicio, 0),
                  y1 = std::min<int64_t>(dy.inicio + dy.largo, lienzo->AltoDestino());
    if (x0 >= x1 || y0 >= y1) return TResultadoEstirado::hecho;
    if (anchoMaximoEstirado > 0 && (dx.largo > anchoMaximoEstirado || sx.largo > anchoMaximoEstirado)) {
        ultimoError = errorMemoria;
        return TResultadoEstirado::rechazado;
    }

    // Work in picture rows counted from the top: a bottom-up image's memory rows
    // [a, b) are its picture rows [H - b, H - a).
    const int64_t alto = imagen.AltoAbsoluto();
    const bool abajoArriba = imagen.Alto() > 0;
    const int64_t inicioFilas = abajoArriba ? alto - (sy.inicio + sy.largo) : sy.inicio;
    const bool promedia = lienzo->modoEstirado == HALFTONE;
    const TEje columnas = CalculaEje(dx.inicio, dx.largo, x0, x1, sx.inicio, sx.largo, imagen.Ancho(),
                                     dx.invertido != sx.invertido, promedia);
    const TEje filas = CalculaEje(dy.inicio, dy.largo, y0, y1, inicioFilas, sy.largo, alto,
                                  dy.invertido != sy.invertido, promedia);

    for (int64_t y = y0; y < y1; ++y) {
        const size_t fy = static_cast<size_t>(y - y0);
        for (int64_t x = x0; x < x1; ++x) {
            const size_t fx = static_cast<size_t>(x - x0);
            double r = 0.0, g = 0.0, b = 0.0;
            for (size_t p = filas.inicio[fy]; p < filas.inicio[fy + 1]; ++p) {
                const TPeso& fila = filas.pesos[p];
                const int32_t memoria =
                    abajoArriba ? static_cast<int32_t>(alto - 1 - fila.indice) : fila.indice;
                for (size_t q = columnas.inicio[fx]; q < columnas.inicio[fx + 1]; ++q) {
                    const TPeso& columna = columnas.pesos[q];
                    const uint32_t c = imagen.Pixel(columna.indice, memoria);
                    const double w = fila.peso * columna.peso;
                    r += w * RojoDe(c);
                    g += w * VerdeDe(c);
                    b += w * AzulDe(c);
                }
            }
            const double divisor = filas.total[fy] * columnas.total[fx];
            auto canal = [&](double v) {
                return static_cast<uint32_t>(std::clamp(std::floor(v / divisor + 0.5), 0.0, 255.0));
            };
            lienzo->PonPunto(static_cast<int>(x), static_cast<int>(y),
                             ColorRGB(canal(r), canal(g), canal(b)));
        }
    }
    return TResultadoEstirado::hecho;
}
