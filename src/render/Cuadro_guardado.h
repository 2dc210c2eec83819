// A copy of a frame taken part way through it, for the frames after it. While one types
// in a line, each frame differs from the one before only from that line's elements on:
// the frame keeps a copy of its buffers (colour and depth) as they stand before the
// first of them, and the next frame, when everything before that element is as it was
// (the same elements, camera, viewport, background and frame buffer), starts from the
// copy and draws only the rest. The picture is the one a whole frame gives: the buffers
// hold exactly what drawing the elements before gave, and the rest is drawn after it in
// the same order. It lives in the device's context and is forgotten with it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class IDCOpenGL;

// What the buffers before the first element drawn depend on besides the elements.
struct TEstadoCuadro {
    std::shared_ptr<const void> numeracion; // the line of reads the element numbers belong to
    std::array<double, 16> proyeccion{};
    std::array<double, 16> modelo{}; // the view applied, before any element
    std::array<int, 4> viewport{};
    std::array<float, 4> fondo{};
    double profundidadFondo = 0.0;
    double escalaGrosor = 0.0;
    int marco = 0; // the frame buffer drawn into
    bool operator==(const TEstadoCuadro&) const = default;
};

// The device's frame buffer and matrices as they stand at the start of a frame.
TEstadoCuadro LeeEstadoCuadro(const IDCOpenGL& dc, std::shared_ptr<const void> numeracion);

class TCuadroGuardadoIG {
public:
    TCuadroGuardadoIG() = default;
    TCuadroGuardadoIG(const TCuadroGuardadoIG&) = delete;
    TCuadroGuardadoIG& operator=(const TCuadroGuardadoIG&) = delete;

    // How many elements the copy holds when a frame in `estado` whose elements have the
    // numbers `series` may start from it; 0 when it may not.
    int Vale(const TEstadoCuadro& estado, std::span<const uint64_t> series) const;
    // Copies the frame buffer being drawn, `series` being the numbers of the elements
    // drawn so far; false (and no copy kept) when the driver cannot.
    bool Guarda(const TEstadoCuadro& estado, std::span<const uint64_t> series);
    // Puts the copy into the frame buffer being drawn; false, with nothing kept, when the
    // driver fails (the caller then draws the whole frame).
    bool Restaura();
    // Forgets the copy, its buffers deleted when `conContexto` (the context current),
    // only forgotten otherwise.
    void Libera(bool conContexto);

    // Frames started from a copy so far.
    int64_t Restauraciones() const { return restauraciones; }

private:
    bool Reserva(int ancho, int alto, int formato);
    bool Copia(unsigned de, unsigned a, bool guardando) const;

    bool valido = false;
    TEstadoCuadro estado;
    std::vector<uint64_t> series;
    unsigned marco = 0, color = 0, profundidad = 0; // our frame buffer and its buffers
    int ancho = 0, alto = 0;
    int formatoProfundidad = 0;
    int64_t restauraciones = 0;
};
