#include "render/Objetos_idc.h"

#include "support/Throw_qor.h"

#include <algorithm>
#include <cmath>
#include <new>

// ---------------------------------------------------------------------------------------
// Device context

int TContextoDC::AnchoDestino() const {
    return destino && destino->TienePixeles() ? destino->Ancho() : 0;
}

int TContextoDC::AltoDestino() const {
    return destino && destino->TienePixeles() ? destino->AltoAbsoluto() : 0;
}

bool TContextoDC::Dentro(int px, int py) const {
    return px >= 0 && py >= 0 && px < AnchoDestino() && py < AltoDestino();
}

namespace {

// The memory row of device row py: a bottom-up target stores the top device row last.
int FilaMemoria(const TDibIG& destino, int py) {
    return destino.Alto() > 0 ? destino.Alto() - 1 - py : py;
}

} // namespace

void TContextoDC::PonPunto(int px, int py, uint32_t color) {
    if (Dentro(px, py)) destino->PonPixel(px, FilaMemoria(*destino, py), color);
}

uint32_t TContextoDC::Punto(int px, int py) const {
    return Dentro(px, py) ? destino->Pixel(px, FilaMemoria(*destino, py)) : 0;
}

void TContextoDC::Rellena(int x0, int y0, int x1, int y1, uint32_t color) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, AnchoDestino());
    y1 = std::min(y1, AltoDestino());
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px)
            PonPunto(px, py, color);
}

// ---------------------------------------------------------------------------------------
// Off-screen bitmap

bool TImagenIG::Create(const TContextoDC* referencia, int ancho, int alto) {
    Release();
    ultimoError = 0;
    const int bits = referencia && referencia->bitsColor == 32 ? 32 : 24;
    const int32_t fila = TDibIG::BytesFila(ancho, bits);
    if (ancho < 1 || alto < 1 || fila < 1 ||
        static_cast<size_t>(fila) * static_cast<size_t>(alto) > maximoBytes) {
        ultimoError = 87; // invalid parameter
        return false;
    }
    auto bitmap = std::make_unique<TDibIG>();
    try {
        // Top-down, so that device rows are memory rows; the pixels start black.
        bitmap->Crea(ancho, -alto, bits, 0, nullptr, true);
    } catch (const TXPictomolder&) {
        ultimoError = 8; // not enough memory
        return false;
    } catch (const std::bad_alloc&) {
        ultimoError = 8; // not enough memory
        return false;
    }
    if (!bitmap->TienePixeles()) {
        ultimoError = 8;
        return false;
    }
    bitmapIG.contexto = std::make_unique<TContextoDC>(bits, bitmap.get());
    bitmapIG.bitmap = std::move(bitmap);
    return true;
}

void TImagenIG::Release() {
    bitmapIG.contexto.reset();
    bitmapIG.bitmap.reset();
}

// ---------------------------------------------------------------------------------------
// Coordinate conversions

TRectanguloDib IDC::Limites() const {
    int ancho = 0, alto = 0;
    Extension(ancho, alto);
    return {0, 0, ancho, alto};
}

namespace {

int Redondea(double v) {
    if (!(v > -2147483648.0)) return INT32_MIN; // also NaN
    if (!(v < 2147483647.0)) return INT32_MAX;
    return static_cast<int>(std::lround(v));
}

} // namespace

void IDC::MundoADispositivo(const vector2D& mundo, int& x, int& y) const {
    x = Redondea(mundo.x * Escala());
    y = Redondea(mundo.y * Escala());
}

void IDC::MundoADispositivo(const vector3D& mundo, int& x, int& y) const {
    MundoADispositivo(vector2D(mundo.x, mundo.y), x, y);
}

vector2D IDC::DispositivoAMundo(int x, int y) const {
    return {x / Escala(), y / Escala()};
}

void IDCMemoria::Extension(int& ancho, int& alto) const {
    const TContextoDC* dc = GetDC();
    ancho = dc ? dc->AnchoDestino() : 0;
    alto = dc ? dc->AltoDestino() : 0;
}

// ---------------------------------------------------------------------------------------
// Canvas and painting

void IDC::SetCanvas(TContextoDC* nuevo) {
    lienzo = nuevo;
}

void IDC::BeginPaint(TContextoDC* dc) {
    if (pintando) LanzaTexto("Error reentering IDC::BeginPaint");
    lienzoGuardado = lienzo;
    lienzo = dc;
    pintando = true;
}

void IDC::EndPaint() {
    if (!pintando) return;
    lienzo = lienzoGuardado;
    lienzoGuardado = nullptr;
    pintando = false;
}

// ---------------------------------------------------------------------------------------
// Pens, brushes, lines and rectangles

void IDC::SetBrush(uint32_t color) {
    if (lienzo) lienzo->brocha = color & 0xFFFFFF;
}

void IDC::SetPen(uint32_t color, int ancho, int /*estilo*/) {
    if (lienzo) lienzo->pluma = {color & 0xFFFFFF, std::max(ancho, 1)};
}

void IDC::SetStretchMode(int modo) {
    if (lienzo) lienzo->modoEstirado = modo;
}

void IDC::MoveTo(int x, int y) {
    if (!lienzo) return;
    lienzo->x = x;
    lienzo->y = y;
}

void IDC::PuntoPluma(int x, int y) {
    const int w = lienzo->pluma.ancho;
    if (w <= 1) {
        lienzo->PonPunto(x, y, lienzo->pluma.color);
        return;
    }
    const int64_t x0 = int64_t{x} - (w - 1) / 2, y0 = int64_t{y} - (w - 1) / 2;
    auto limita = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    lienzo->Rellena(limita(x0), limita(y0), limita(x0 + w), limita(y0 + w), lienzo->pluma.color);
}

namespace {

// Bresenham from (x0, y0) towards (x1, y1), calling f for every pixel but the last.
// Coordinates far outside any bitmap are walked only while the line can still reach
// one: the walk stops once it has left the bitmap for good (the caller passes its size).
template <class F>
void RecorreLinea(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int ancho, int alto, int margen, F&& f) {
    const int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
    const int64_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    // A line much longer than the bitmap is first cut to the stretch that passes near it,
    // so that far-away coordinates do not walk billions of pixels.
    const int64_t pasos = std::max(dx, -dy);
    const int64_t tope = int64_t{4} * (int64_t{ancho} + alto + 2 * margen + 4);
    if (pasos > tope) {
        // Walk only the parameter range in which the line is near the bitmap.
        double t0 = 0.0, t1 = 1.0;
        auto recorta = [&](double p0, double d, double lo, double hi) {
            if (d == 0.0) {
                if (p0 < lo || p0 > hi) t0 = 2.0;
                return;
            }
            double a = (lo - p0) / d, b = (hi - p0) / d;
            if (a > b) std::swap(a, b);
            t0 = std::max(t0, a);
            t1 = std::min(t1, b);
        };
        recorta(static_cast<double>(x0), static_cast<double>(x1 - x0), -margen - 1.0, ancho + margen + 1.0);
        recorta(static_cast<double>(y0), static_cast<double>(y1 - y0), -margen - 1.0, alto + margen + 1.0);
        if (t0 > t1) return;
        const auto largoX = static_cast<double>(x1 - x0), largoY = static_cast<double>(y1 - y0);
        const int64_t ax = x0 + std::llround(t0 * largoX), ay = y0 + std::llround(t0 * largoY);
        const int64_t bx = x0 + std::llround(t1 * largoX), by = y0 + std::llround(t1 * largoY);
        RecorreLinea(ax, ay, bx, by, ancho, alto, margen, f);
        if (bx != x1 || by != y1) f(bx, by);
        return;
    }
    while (x0 != x1 || y0 != y1) {
        f(x0, y0);
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

} // namespace

void IDC::LineTo(int x, int y) {
    if (!lienzo) return;
    const int margen =
        std::min(lienzo->pluma.ancho, std::max(lienzo->AnchoDestino(), lienzo->AltoDestino()) + 1);
    RecorreLinea(lienzo->x, lienzo->y, x, y, lienzo->AnchoDestino(), lienzo->AltoDestino(), margen,
                 [&](int64_t px, int64_t py) {
                     if (px >= INT32_MIN && px <= INT32_MAX && py >= INT32_MIN && py <= INT32_MAX)
                         PuntoPluma(static_cast<int>(px), static_cast<int>(py));
                 });
    lienzo->x = x;
    lienzo->y = y;
}

void IDC::Rectangle(const TRectanguloDib& r) {
    if (!lienzo) return;
    const int izq = std::min(r.izquierda, r.derecha), der = std::max(r.izquierda, r.derecha);
    const int arr = std::min(r.arriba, r.abajo), aba = std::max(r.arriba, r.abajo);
    if (der - izq < 1 || aba - arr < 1) return;
    lienzo->Rellena(izq + 1, arr + 1, der - 1, aba - 1, lienzo->brocha);
    // The outline runs along the outermost pixels, round and back to the start.
    const int x = lienzo->x, y = lienzo->y;
    lienzo->x = izq;
    lienzo->y = arr;
    if (der - izq == 1 || aba - arr == 1) {
        // A one-pixel-wide rectangle is a single line; walking back would draw it twice.
        LineTo(der - 1, aba - 1);
        PuntoPluma(der - 1, aba - 1);
    } else {
        LineTo(der - 1, arr);
        LineTo(der - 1, aba - 1);
        LineTo(izq, aba - 1);
        LineTo(izq, arr);
    }
    lienzo->x = x;
    lienzo->y = y;
}

void IDC::Frame(const TRectanguloDib& r) {
    MoveTo(r.izquierda, r.arriba);
    LineTo(r.derecha, r.arriba);
    LineTo(r.derecha, r.abajo);
    LineTo(r.izquierda, r.abajo);
    LineTo(r.izquierda, r.arriba);
}
