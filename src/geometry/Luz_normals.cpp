#include "geometry/Luz_normals.h"

namespace {

TLuz CreaLuzEscena() {
    TLuz luz;
    luz.ambiente = 0.7;
    luz.difusa = 0.7;
    luz.direccion = Esfericas(1.0, 0.3, 0.2);
    Normaliza(luz.direccion);
    return luz;
}

// c * factor truncated towards zero. Factors below zero (or not a number) give 0 rather
// than wrapping around, and the conversion never sees a value outside 0..255.
uint32_t EscalaCanal(uint32_t c, double factor) {
    const double v = c * factor;
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint32_t>(v);
}

} // namespace

const TLuz luzEscena = CreaLuzEscena();

void Ilumina(const TLuz& luz, uint32_t& color, const vector3D& normal, bool dosCaras) {
    double k = ProductoEscalar(normal, luz.direccion) * luz.difusa;
    if (k < 0.0 && dosCaras) k = -k;
    double f = luz.ambiente + k * (1.0 - luz.ambiente);
    if (f < 0.0) f = 0.0;
    color = EscalaColor(color, f);
}

uint32_t EscalaColor(uint32_t color, double factor) {
    const uint32_t rojo = EscalaCanal(color & 0xFF, factor);
    const uint32_t verde = EscalaCanal((color >> 8) & 0xFF, factor);
    const uint32_t azul = EscalaCanal((color >> 16) & 0xFF, factor);
    return (color & 0xFF000000u) | rojo | (verde << 8) | (azul << 16);
}
