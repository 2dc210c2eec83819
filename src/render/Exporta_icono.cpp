#include "render/Exporta_icono.h"

#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"
#include "support/Throw_qor.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Samples per output pixel along each side: 17 levels of coverage for an edge pixel,
// finer than the steps a desktop shows an icon's edge in at any size. A row of a pixel's
// samples is summed at once (SumaCuatro).
constexpr int muestrasPorLado = 4;
// The sums of a pixel's samples share one 64-bit word, 16 bits each.
static_assert(muestrasPorLado * muestrasPorLado * 255 < 1 << 16);
// The side of the picture that framing measures.
constexpr int ladoEncuadre = 256;
// The depth buffer holds this where nothing was drawn (the cleared depth, clamped).
constexpr GLuint profundidadVacia = std::numeric_limits<GLuint>::max();
// Rows of samples read back at a time from a piece `ancho` samples wide: whole rows of
// output pixels, about 64 K samples.
int FilasBanda(int ancho) {
    const int filas = std::max(1, (1 << 16) / ancho / muestrasPorLado) * muestrasPorLado;
    return std::min(filas, ancho);
}

// Four samples of a row at once: their colours (blue, green, red and alpha bytes) or
// depths, and the same bytes widened to 16 bits.
using TCuatroMuestras = uint32_t __attribute__((vector_size(16)));
using TBytesCuatro = uint8_t __attribute__((vector_size(16)));
using TOchoBytes = uint8_t __attribute__((vector_size(8)));
using TOchoSumas = uint16_t __attribute__((vector_size(16)));
static_assert(std::endian::native == std::endian::little, "a sample's blue is its lowest byte");

// The drawn samples among four consecutive ones (depth written, or alpha raised when
// `conAlfa`): the sums of their blue, green and red and their count, 16 bits each in one
// word, blue lowest.
uint64_t SumaCuatro(const uint8_t* color, const GLuint* profundidad, bool conAlfa) {
    TCuatroMuestras c, z;
    std::memcpy(&c, color, sizeof c);
    std::memcpy(&z, profundidad, sizeof z);
    auto dibujada = reinterpret_cast<TCuatroMuestras>(z != profundidadVacia);
    if (conAlfa) dibujada |= reinterpret_cast<TCuatroMuestras>((c >> 24) != 0u);
    // The alpha byte becomes the sample's count.
    const auto bytes = reinterpret_cast<TBytesCuatro>(((c & 0xFFFFFFu) | 0x1000000u) & dibujada);
    const TOchoBytes primeras = __builtin_shufflevector(bytes, bytes, 0, 1, 2, 3, 4, 5, 6, 7);
    const TOchoBytes ultimas = __builtin_shufflevector(bytes, bytes, 8, 9, 10, 11, 12, 13, 14, 15);
    const TOchoSumas sumas =
        __builtin_convertvector(primeras, TOchoSumas) + __builtin_convertvector(ultimas, TOchoSumas);
    uint64_t mitades[2];
    std::memcpy(mitades, &sumas, sizeof mitades);
    return mitades[0] + mitades[1];
}

} // namespace

// The headless device the export draws on, at one size after another, and the frame
// read back from it.
class TLienzoIcono {
    // Made before the device and gone after it: the device lets go of it when destroyed.
    TSuperficieEGL superficie{ladoEncuadre, ladoEncuadre};

public:
    TResultado<void> Abre() {
        dc.luz = luzEscena;
        TRectanguloGL rectangulo;
        rectangulo.derecha = rectangulo.abajo = ladoEncuadre;
        int bits = 0;
        TResultado<void> abierto;
        try {
            abierto = dc.SetWindow(&superficie, bits, 0, rectangulo, 512);
        } catch (const TXTextoQOR& e) {
            abierto = e.Fallo();
        }
        if (!abierto)
            return FalloNombrando(abierto.Causa(), "No OpenGL context without a display (EGL) for the icon: ",
                                  abierto.Mensaje().c_str());
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &ladoMaximo);
        conAlfa = dc.ConAlfaDibujado();
        return {};
    }
    // The largest picture the driver draws off screen.
    int LadoMaximo() const { return ladoMaximo; }

    // Room for a band of `n` samples, taken once and reused band after band: fresh
    // memory costs a page fault per page, as much as the reading itself.
    void Reserva(size_t n) {
        if (n <= capacidad) return;
        color = std::make_unique_for_overwrite<uint8_t[]>(4 * n);
        profundidad = std::make_unique_for_overwrite<GLuint[]>(n);
        capacidad = n;
    }
    // Reads `filas` rows of `ancho` samples from (x, y) of the frame: blue, green, red,
    // alpha and depth of each sample, rows from the bottom.
    void Lee(int x, int y, int ancho, int filas) {
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glReadPixels(x, y, ancho, filas, GL_BGRA, GL_UNSIGNED_BYTE, color.get());
        glReadPixels(x, y, ancho, filas, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, profundidad.get());
        glPopClientAttrib();
    }
    const uint8_t* Color() const { return color.get(); }
    const GLuint* Profundidad() const { return profundidad.get(); }
    // Whether a sample whose depth was not written counts as drawn where its alpha was
    // raised from the cleared 0 (a texture blended without the depth test).
    bool ConAlfa() const { return conAlfa; }

    IDCOpenGL dc;

private:
    GLint ladoMaximo = 0;
    bool conAlfa = false;
    size_t capacidad = 0;
    std::unique_ptr<uint8_t[]> color;
    std::unique_ptr<GLuint[]> profundidad;
};

namespace {

// The camera's zoom and pan set so that what the scene draws fills a square picture but
// the margin: the preview's Fit to View with the icon's own margin.
TResultado<void> Encuadra(TVistaEscena& vista, IDCOpenGL& dc) {
    dc.Resize(ladoEncuadre, ladoEncuadre);
    vista.camara.desplazamiento = vector3D();
    if (vista.Encuadra(dc, 1.0 - 2.0 * margenIcono)) return {};
    return TFallo{TCausa::entrada, "The scene draws nothing: there is no icon to export."};
}

// A piece of a frame on the device: `ancho` x `alto` samples from (x, y) of its buffers,
// which become the pixels from (destinoX, destinoY) of the picture.
struct TPieza {
    int x = 0, y = 0;
    int ancho = 0, alto = 0;
    int destinoX = 0, destinoY = 0;
};

// The piece read band by band and averaged into its pixels of `imagen`, 4 x 4 samples a
// pixel. Only samples where something was drawn count as colour; the others are clear or
// the background.
void Reduce(TLienzoIcono& lienzo, const TPieza& pieza, const TOpcionesIcono& opciones, TDibIG& imagen) {
    constexpr int muestras = muestrasPorLado;
    const int salida = pieza.ancho / muestras;
    const uint32_t total = static_cast<uint32_t>(muestras * muestras);
    const uint32_t fondo[3] = {AzulDe(opciones.fondo), VerdeDe(opciones.fondo), RojoDe(opciones.fondo)};
    const int filasBanda = FilasBanda(pieza.ancho);
    lienzo.Reserva(static_cast<size_t>(pieza.ancho) * static_cast<size_t>(filasBanda));
    // Per output pixel of a row: the sums of blue, green and red and the count of samples
    // drawn, each in 16 bits of one word (at most 16 x 16 x 255 fits).
    std::vector<uint64_t> suma(static_cast<size_t>(salida));
    for (int y = 0; y < pieza.alto / muestras; ++y) {
        const int filaBanda = (y * muestras) % filasBanda;
        if (filaBanda == 0)
            lienzo.Lee(pieza.x, pieza.y + y * muestras, pieza.ancho,
                       std::min(filasBanda, pieza.alto - y * muestras));
        std::fill(suma.begin(), suma.end(), uint64_t{0});
        for (int fila = filaBanda; fila < filaBanda + muestras; ++fila) {
            const size_t inicio = static_cast<size_t>(fila) * static_cast<size_t>(pieza.ancho);
            const uint8_t* color = lienzo.Color() + 4 * inicio;
            const GLuint* profundidad = lienzo.Profundidad() + inicio;
            for (size_t x = 0; x < suma.size(); ++x)
                suma[x] += SumaCuatro(color + 16 * x, profundidad + 4 * x, lienzo.ConAlfa());
        }
        uint8_t* destino = imagen.Bits() + static_cast<size_t>(pieza.destinoY + y) * imagen.BytesFila() +
                           4 * static_cast<size_t>(pieza.destinoX);
        for (int x = 0; x < salida; ++x) {
            const uint64_t sumas = suma[static_cast<size_t>(x)];
            const uint32_t s[3] = {static_cast<uint32_t>(sumas & 0xFFFF),
                                   static_cast<uint32_t>(sumas >> 16 & 0xFFFF),
                                   static_cast<uint32_t>(sumas >> 32 & 0xFFFF)};
            uint8_t* p = destino + 4 * x;
            const uint32_t dibujadas = static_cast<uint32_t>(sumas >> 48);
            if (!opciones.transparente) {
                // The background fills the samples where nothing was drawn.
                for (int i = 0; i < 3; ++i)
                    p[i] = static_cast<uint8_t>((s[i] + (total - dibujadas) * fondo[i] + total / 2) / total);
                p[3] = 255;
            } else if (dibujadas > 0) {
                // The drawn samples' mean colour; their share is the alpha.
                for (int i = 0; i < 3; ++i)
                    p[i] = static_cast<uint8_t>((s[i] + dibujadas / 2) / dibujadas);
                p[3] = static_cast<uint8_t>((255 * dibujadas + total / 2) / total);
            }
        }
    }
}

} // namespace

TResultado<TImagenesIcono> ExportaIcono(std::shared_ptr<const TObjeto3D> escena,
                                        const TOpcionesIcono& opciones) {
    return TExportadorIcono().Exporta(std::move(escena), opciones);
}

TExportadorIcono::TExportadorIcono(int ladoPieza) : ladoPieza(ladoPieza) {}
TExportadorIcono::~TExportadorIcono() = default;

TResultado<TImagenesIcono> TExportadorIcono::Exporta(std::shared_ptr<const TObjeto3D> escena,
                                                     const TOpcionesIcono& opciones) {
    const int densidad = opciones.densidad;
    for (int lado : opciones.lados)
        if (densidad < 1 || lado < 1 || lado > ladoMaximoExportado / densidad)
            return FalloFormato(TCausa::uso, "Icon sizes go from 1 to %d pixels, not %d.",
                                ladoMaximoExportado, lado * densidad);
    if (!lienzo) {
        auto nuevo = std::make_unique<TLienzoIcono>();
        if (auto abierto = nuevo->Abre(); !abierto) return std::move(abierto).Fallo();
        lienzo = std::move(nuevo);
    }
    IDCOpenGL& dc = lienzo->dc;
    TVistaEscena vista(std::move(escena), opciones.camara);
    vista.camara.desplazaEnPerspectiva = true;
    int ladoVista = ladoZoom;
    if (opciones.encuadra) {
        if (auto encuadrado = Encuadra(vista, dc); !encuadrado) return std::move(encuadrado).Fallo();
        ladoVista = ladoEncuadre;
    }
    int dibujoMaximo = 0;
    for (int lado : opciones.lados)
        dibujoMaximo = std::max(dibujoMaximo, lado * densidad * muestrasPorLado);
    const int superficie = dibujoMaximo <= ladoPieza ? dibujoMaximo : ladoPieza + 2 * margenPieza;
    if (superficie > lienzo->LadoMaximo())
        return FalloFormato(TCausa::limite,
                            "The OpenGL driver draws at most %d pixels a side, too few for the sizes asked.",
                            lienzo->LadoMaximo());
    vista.camara.anchoProfundidad = dibujoMaximo;
    const TCamara camara = vista.camara;
    TImagenesIcono imagenes;
    for (int lado : opciones.lados) {
        const int dibujo = lado * densidad * muestrasPorLado;
        dc.escalaGrosor = muestrasPorLado * densidad;
        // The zoom counts pixels: the picture keeps its share of the square at any size.
        vista.camara = camara;
        vista.camara.escala *= static_cast<double>(dibujo) / ladoVista;
        auto imagen = std::make_unique<TDibIG>();
        imagen->Crea(lado * densidad, lado * densidad, 32, 0, nullptr, true);
        if (auto dibujado = Dibuja(vista, dibujo, opciones, *imagen); !dibujado)
            return std::move(dibujado).Fallo();
        imagenes.push_back(std::move(imagen));
    }
    return imagenes;
}

// A picture of `dibujo` samples a side drawn whole when it fits in a piece, else a piece
// at a time, each with a margin round it that is drawn but not read: a wide line or
// point cut at the edge of a viewport is cut square there, in the margin. A piece of
// the driver's buffers is taken again and again instead of fresh memory for the whole.
TResultado<void> TExportadorIcono::Dibuja(TVistaEscena& vista, int dibujo, const TOpcionesIcono& opciones,
                                          TDibIG& imagen) {
    IDCOpenGL& dc = lienzo->dc;
    if (dibujo <= ladoPieza) {
        dc.tesela = {};
        dc.Resize(dibujo, dibujo);
        if (auto pintado = vista.Pinta(dc); !pintado) return std::move(pintado).Fallo();
        Reduce(*lienzo, {0, 0, dibujo, dibujo, 0, 0}, opciones, imagen);
        return {};
    }
    dc.Resize(ladoPieza + 2 * margenPieza, ladoPieza + 2 * margenPieza);
    TResultado<void> pintado;
    for (int y = 0; y < dibujo && pintado; y += ladoPieza)
        for (int x = 0; x < dibujo && pintado; x += ladoPieza) {
            dc.tesela = {dibujo, dibujo, x - margenPieza, y - margenPieza};
            pintado = vista.Pinta(dc);
            const TPieza pieza{margenPieza,
                               margenPieza,
                               std::min(ladoPieza, dibujo - x),
                               std::min(ladoPieza, dibujo - y),
                               x / muestrasPorLado,
                               y / muestrasPorLado};
            if (pintado) Reduce(*lienzo, pieza, opciones, imagen);
        }
    dc.tesela = {};
    return pintado;
}
