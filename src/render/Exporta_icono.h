// The icon export: the scene drawn headless at every size an icon needs, each at its own
// size (so small sizes stay sharp), framed so that what is drawn fills the square up to
// a small margin, on a clear or a coloured background. Edges are antialiased: each
// picture is drawn with many samples per pixel and the samples are averaged as
// premultiplied colour, so an edge pixel is partly transparent and keeps the model's
// colour, with no fringe of the background.
#pragma once

#include "image/Graba_icono.h"
#include "render/Camara.h"
#include "script/Objetos_3d.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The sizes a desktop asks for.
inline constexpr std::array<int, 7> ladosIcono = {16, 24, 32, 48, 64, 128, 256};
inline constexpr int ladoMaximoExportado = 1024;
// The share of the side left empty on each side of a framed model.
inline constexpr double margenIcono = 1.0 / 16.0;
// A zoom given by hand is in pixels per model unit at this size; other sizes scale it.
inline constexpr int ladoZoom = 256;

struct TOpcionesIcono {
    std::vector<int> lados{ladosIcono.begin(), ladosIcono.end()};
    bool transparente = true;
    uint32_t fondo = 0; // packed colour of the background when not transparent
    // The direction (angles, projection and the eye distance in perspective); its zoom
    // and pan count only without framing. Its header settings are the scene's.
    TCamara camara;
    bool encuadra = true;
    // Pixels per pixel of the size: 2 draws a size at twice its side with its framing
    // and its line widths doubled (a HiDPI screen's picture of that size).
    int densidad = 1;
    bool operator==(const TOpcionesIcono&) const = default;
};

// The icon of the scene at each size of `opciones.lados`, in that order, drawn as the
// preview draws it (and framed as its Fit to View frames it): square 32-bit bottom-up
// bitmaps of lado x densidad pixels a side, alpha in the fourth byte (not
// premultiplied). A failure with a message when a size times the density is outside 1
// to ladoMaximoExportado, when no OpenGL context can be had, or when framing finds that
// the scene draws nothing.
TResultado<TImagenesIcono> ExportaIcono(std::shared_ptr<const TObjeto3D> escena,
                                        const TOpcionesIcono& opciones);

class TLienzoIcono;
class TVistaEscena;

// The same export for many icons on one headless OpenGL context, made at the first
// export and kept: a batch pays the driver's start and its shader compiles once.
class TExportadorIcono {
public:
    // Samples a side of the largest piece drawn at once: a larger picture is drawn in
    // pieces of this side (a multiple of 4), each with a margin round it.
    static constexpr int ladoPiezaNormal = 1024;
    static constexpr int margenPieza = 64;
    explicit TExportadorIcono(int ladoPieza = ladoPiezaNormal);
    ~TExportadorIcono();
    TExportadorIcono(const TExportadorIcono&) = delete;
    TExportadorIcono& operator=(const TExportadorIcono&) = delete;

    TResultado<TImagenesIcono> Exporta(std::shared_ptr<const TObjeto3D> escena,
                                       const TOpcionesIcono& opciones);

private:
    TResultado<void> Dibuja(TVistaEscena& vista, int dibujo, const TOpcionesIcono& opciones, TDibIG& imagen);

    int ladoPieza;
    std::unique_ptr<TLienzoIcono> lienzo;
};
