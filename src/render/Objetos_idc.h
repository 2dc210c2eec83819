// The program's two-dimensional drawing context, done in software over bitmaps held in
// memory (TDibIG): a device context (TContextoDC) is a target bitmap plus the drawing
// state that lives in it (pen, brush, current position, stretch mode); an off-screen
// bitmap (TImagenIG / TBitmapIG) owns such a context and its bitmap; IDC paints on a
// context with a guarded begin/end discipline, draws lines, rectangles and frames with
// the rules of the classic Windows device contexts (right and bottom edges exclusive,
// the end point of a line not drawn) and stretches images, with a fallback for
// stretches that the primitive refuses.
#pragma once

#include "geometry/Matrix3.h"
#include "image/Tdibig.h"

#include <cstdint>
#include <memory>

// Stretch modes: HALFTONE averages the source pixels that each destination pixel
// covers; the others take the nearest source pixel.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// The raster operation StretchDIB accepts: the source replaces the destination.
constexpr uint32_t SRCCOPY = 0x00CC0020;

// Pen style: every pen draws solid.
constexpr int estiloPlumaSolido = 0;

struct TPlumaIG {
    uint32_t color = 0;
    int ancho = 1;
};

// A device context: where drawing goes and the state selected into it. A context
// without a target bitmap (a reference for "compatible" bitmaps) draws nothing.
class TContextoDC {
public:
    explicit TContextoDC(int bitsColor = 24, TDibIG* destino = nullptr)
        : bitsColor(bitsColor), destino(destino) {}

    // Device coordinates: x to the right, y downwards from the top row of the picture,
    // whatever the row order of the target bitmap.
    bool Dentro(int x, int y) const;
    void PonPunto(int x, int y, uint32_t color);
    uint32_t Punto(int x, int y) const;
    // Fills [x0, x1) x [y0, y1), clipped to the target.
    void Rellena(int x0, int y0, int x1, int y1, uint32_t color);
    int AnchoDestino() const;
    int AltoDestino() const;

    int bitsColor;
    TDibIG* destino;
    TPlumaIG pluma;
    uint32_t brocha = 0xFFFFFF;
    int modoEstirado = BLACKONWHITE;
    int x = 0, y = 0; // current position of MoveTo/LineTo
};

// The pieces of an off-screen bitmap: its memory context and bitmap (both null when
// empty; the size is the bitmap's).
struct TBitmapIG {
    std::unique_ptr<TContextoDC> contexto;
    std::unique_ptr<TDibIG> bitmap;
};

// An off-screen bitmap to paint on with an IDC: a top-down bitmap of the reference
// context's colour depth (32 bits for a 32-bit reference, 24 otherwise).
class TImagenIG {
public:
    TImagenIG() = default;
    TImagenIG(const TImagenIG&) = delete;
    TImagenIG& operator=(const TImagenIG&) = delete;
    ~TImagenIG() { Release(); }

    // Releases any previous bitmap and makes a new one of the given size; false (and
    // nothing made) when the size is not positive or too large to allocate.
    bool Create(const TContextoDC* referencia, int ancho, int alto);
    void Release();

    TContextoDC* DC() const { return bitmapIG.contexto.get(); }
    const TDibIG* Dib() const { return bitmapIG.bitmap.get(); }
    // Why the last Create failed (0 when it did not).
    uint32_t UltimoError() const { return ultimoError; }

    // Bytes of pixels one bitmap may take; larger requests fail.
    static constexpr size_t maximoBytes = size_t{1} << 30;

private:
    TBitmapIG bitmapIG;
    uint32_t ultimoError = 0;
};

class IDC {
public:
    IDC() = default;
    IDC(const IDC&) = delete;
    IDC& operator=(const IDC&) = delete;
    virtual ~IDC() = default;

    // --- coordinate conversions supplied by the concrete contexts ---
    virtual void Extension(int& ancho, int& alto) const = 0;
    // (0, 0, width, height) of the extent.
    virtual TRectanguloDib Limites() const;
    virtual void MundoADispositivo(const vector2D& mundo, int& x, int& y) const;
    virtual void MundoADispositivo(const vector3D& mundo, int& x, int& y) const;
    virtual vector2D DispositivoAMundo(int x, int y) const;
    // Device units per world unit.
    virtual double Escala() const { return 1.0; }

    // --- canvas and painting ---
    void SetCanvas(TContextoDC* lienzo);
    TContextoDC* GetDC() const { return lienzo; }
    // Paints on `dc` until EndPaint; painting does not nest: a second BeginPaint before
    // EndPaint throws "Error reentering IDC::BeginPaint".
    void BeginPaint(TContextoDC* dc);
    void EndPaint();

    // --- drawing on the canvas (nothing without one) ---
    void SetBrush(uint32_t color);
    // Any style draws solid.
    void SetPen(uint32_t color, int ancho, int estilo);
    void MoveTo(int x, int y);
    // A line from the current position up to, not including, the end point.
    void LineTo(int x, int y);
    // Outline in the pen, inside filled with the brush; covers [left, right) x [top, bottom).
    void Rectangle(const TRectanguloDib& r);
    // The four edges in the pen from the top-left corner round and back to it.
    void Frame(const TRectanguloDib& r);
    void SetStretchMode(int modo);
    // Draws the source rectangle of the image into the destination rectangle. Source rows
    // are counted from the bottom of the picture, as a bottom-up bitmap stores them,
    // whatever the image's row order. False when some part could not be drawn (a band of
    // the image failed, or a refused piece narrower than 10 pixels was painted magenta).
    bool StretchDIB(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& imagen,
                    uint32_t operacion);

    // A single stretch wider than this (destination or source, in pixels) is refused and
    // drawn in halves; 0 = no limit. Stands in for drivers that refuse large stretches.
    int anchoMaximoEstirado = 0;
    // Why the last stretch primitive refused (0 = it did not).
    uint32_t ultimoError = 0;

private:
    enum class TResultadoEstirado { hecho, rechazado, imposible };

    bool EstiraBandas(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& imagen,
                      uint32_t operacion);
    bool EstiraImagen(const TRectanguloDib& destino, const TRectanguloDib& origen, const TDibIG& imagen,
                      uint32_t operacion);
    TResultadoEstirado EstiraPrimitivo(const TRectanguloDib& destino, const TRectanguloDib& origen,
                                       const TDibIG& imagen, uint32_t operacion);
    bool PintaFallido(const TRectanguloDib& destino);
    void PuntoPluma(int x, int y);

    TContextoDC* lienzo = nullptr;
    TContextoDC* lienzoGuardado = nullptr;
    bool pintando = false;
};

// A context whose extent is its canvas's bitmap, with device and world coordinates
// alike: the temporary painter of off-screen bitmaps.
class IDCMemoria : public IDC {
public:
    void Extension(int& ancho, int& alto) const override;
};
