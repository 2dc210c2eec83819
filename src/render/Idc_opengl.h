// IDCOpenGL: the one object through which everything draws in three dimensions.
// It binds an OpenGL context (through a surface: the headless EGL surface or the
// editor's widget), keeps the viewport and the projection mode, and offers the
// drawing operations that the scene elements' painters call. All drawing is
// immediate mode; the program lights its own colours (see Luz_normals.h).
#pragma once

#include "geometry/Luz_normals.h"
#include "geometry/Matrix3.h"
#include "render/Almacen_texturas.h"
#include "render/Cuadro_guardado.h"
#include "render/Objetos_idc.h"
#include "render/Superficie_gl.h"
#include "render/Textura_ig.h"
#include "support/Dstring.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class TDibIG;
struct TCajaPixeles;

// Client rectangle (left, top, right, bottom); right and bottom double as width and height.
struct TRectanguloGL {
    int32_t izquierda = 0, arriba = 0, derecha = 0, abajo = 0;
};

// Mode argument of the drawing operations: 3 draws outlines (line strips).
constexpr int modoLineas = 3;
constexpr int modoRelleno = 2;

// A vertex and its colour as OpenGL takes them from vertex arrays: the colour's
// channels divided by 256, as SetColor gives them.
struct TVerticeColor {
    float posicion[3];
    float color[4];
};
TVerticeColor VerticeColor(const vector3D& p, uint32_t colorConAlfa);

// A truncated cone is built along +z from the origin, `largo` long, and turned by
// `angulo` radians about `eje`, which takes +z onto the cone's axis.
struct TMarcoCono {
    vector3D eje;
    double angulo = 0.0;
    double largo = 0.0;
};
TMarcoCono MarcoCono(const vector3D& inicio, const vector3D& fin);
// Moves the current matrix to a cone's frame: to `inicio`, then the turn.
void AplicaMarcoCono(const vector3D& inicio, const TMarcoCono& marco);
// One of the 16 sides of a cone in its frame, with the colours of its corners.
struct TCaraCono {
    vector3D esquinas[4];
    uint32_t colores[4];
};
// The sides of a cone of radii `radio1` at its start and `radio2` at its end, lit by
// `luz` as it falls in the cone's frame.
std::array<TCaraCono, 16> CarasCono(const TMarcoCono& marco, double radio1, double radio2, uint32_t color,
                                    const TLuz& luz);

// The filled sphere: a grid of 17 rows of latitude by 33 points of longitude (16 bands
// by 32 sectors, pi / 16 apart), each point with the colour lit by its direction.
inline constexpr size_t puntosMallaEsfera = 17 * 33;
using TMallaEsfera = std::array<TVerticeColor, puntosMallaEsfera>;
// The grid of a sphere of `radio` about the origin, its y and z stretched by the factors.
void MallaEsfera(const TLuz& luz, double radio, double escalaY, double escalaZ, uint32_t color,
                 TMallaEsfera& malla);
// The grid's cells as triangles, three indices into the grid each.
std::span<const uint32_t> IndicesMallaEsfera();

// A vertex with a place on a texture's image, 0 to 1 across it and up it; its colour is
// what the texture modulates (each channel over 255, opaque).
struct TVerticeTextura {
    float posicion[3];
    float color[4];
    float textura[2];
};
// The textured sphere's grid: the longitude runs across the image, the latitude up it.
using TMallaEsferaTexturada = std::array<TVerticeTextura, puntosMallaEsfera>;
void MallaEsferaTexturada(const TLuz& luz, double radio, double escalaY, double escalaZ, uint32_t color,
                          TMallaEsferaTexturada& malla);
// The share of a texture's width and height that its image fills (a shrunk or padded
// image sits in the bottom-left corner): texture positions that run from 0 to 1 across
// the image are multiplied by them.
void ParteImagen(const TTexturaIG& textura, double& ancho, double& alto);
// A lit colour as a texture modulates it: each channel over 255 (no alpha).
void ComponentesTextura(uint32_t color, float* componentes);
// Drops the errors that earlier calls left, so that the next check sees only its own.
void OlvidaErroresGL();

// A picture of `ancho` x `alto` pixels drawn a viewport at a time: the viewport shows the
// part whose lower left corner is at (x, y) of the picture (x and y may be negative, a
// margin round a tile). The projection is the whole picture's, moved and enlarged so
// that the part fills the viewport; each sample falls where it falls in the whole.
struct TTesela {
    int ancho = 0; // 0: no tile
    int alto = 0;
    int x = 0;
    int y = 0;
};

class IDCOpenGL : public IDC {
public:
    IDCOpenGL();
    ~IDCOpenGL() override;
    IDCOpenGL(const IDCOpenGL&) = delete;
    IDCOpenGL& operator=(const IDCOpenGL&) = delete;

    // --- 2D conversions: identity, y measured downwards from the top of a 100 x 100 extent ---
    void Extension(int& ancho, int& alto) const override;
    void MundoADispositivo(const vector2D& mundo, int& x, int& y) const override;
    void MundoADispositivo(const vector3D& mundo, int& x, int& y) const override;
    vector2D DispositivoAMundo(int x, int y) const override;

    // --- context and frame ---
    // Binds the device to a surface (instead of a window handle) and creates the context.
    TResultado<void> SetWindow(TSuperficieGL* superficie, int& bitsColor, uint32_t colorFondo,
                               const TRectanguloGL& rect, int maxTextura);
    void SetupPixelFormat(TSuperficieGL& superficie, int& bitsColor); // throws TXTextoQOR on failure
    void ReleaseWindow();
    // Deletes the font lists, the device texture and the scene textures in the current
    // context. Contexts that share their objects (the editor's windows) call it before
    // the device moves to another of them, so that nothing is left behind.
    void LiberaObjetosContexto();
    bool IsActive() const;
    void MakeCurrent();
    void Resize(int ancho, int alto);
    void SetBackColor(uint32_t color);
    void SetProjection(const TMatriz4& vista, const TMatriz4& proyeccion);
    void Clear();
    void Swap();
    void ReadPixels(TDibIG& destino);
    // The pixels of the viewport that the frame drew on (where the depth buffer holds
    // less than its cleared value, or, for what blends without the depth test, where the
    // cleared alpha of 0 was raised); false when the frame cannot be read.
    bool CajaDibujada(TCajaPixeles& caja);
    // Whether the frame has an alpha channel to tell blended pixels by.
    bool ConAlfaDibujado() const;
    // Rebuilds the 255 display lists of the bitmap font (and releases the device texture).
    void CreateFontLists();
    // The bound surface (null when unbound).
    TSuperficieGL* Superficie() const { return superficie; }

    // --- drawing ---
    void Vertex(const vector3D& p);
    void SetColor(uint32_t colorConAlfa);
    void SetLineWidth(double ancho);
    void Line(const vector3D& a, const vector3D& b);
    void Polyline(std::span<const vector3D> puntos);
    // Per-vertex colours are optional (empty span = current colour).
    void Polygon(std::span<const vector3D> puntos, std::span<const uint32_t> colores, int modo);
    // Texture positions (4 entries or null) run from 0 to 1 across the texture's image;
    // they are applied only in mode 0.
    void ColorQuad(const vector3D (&puntos)[4], const float (&colores)[4][3], TTexturaIG* textura,
                   const vector2D* posTextura, int modo);
    // Texture positions in image pixels (TexCoord); a position outside the texture
    // draws the plain polygon in the current colour.
    void TexturedPolygon(std::span<const vector3D> puntos, std::span<const vector2D> posTextura,
                         TTexturaIG& textura);
    void Cone(const vector3D& inicio, const vector3D& fin, double radio1, double radio2, uint32_t color,
              int modo);
    void Sphere(const vector3D& centro, double radio, uint32_t color, int modo);
    void Ellipsoid(const vector3D& centro, double rx, double ry, double rz, uint32_t color, int modo,
                   TTexturaIG* textura = nullptr);
    // Draws a grid of MallaEsfera about the current origin in one draw, its far half
    // skipped when it cannot show (the radii tell the sphere's extent); the colour of the
    // last cell stays current, as drawing the cells one by one leaves it.
    void PintaMallaEsfera(const TMallaEsfera& malla, double rx, double ry, double rz);
    // Whether the far cells of a closed sphere about `centro` with those radii can be left
    // out (culled) under the current matrices, and the winding of its near cells then.
    bool DorsoOculto(const vector3D& centro, double rx, double ry, double rz, unsigned& frente) const;
    // With the texture, when the device can draw it (else in the grid's colours).
    void PintaMallaEsfera(const TMallaEsferaTexturada& malla, double rx, double ry, double rz,
                          const TTexturaIG* textura);
    void Axes(const vector3D& origen, double largo);
    void Text(const vector3D& posicion, const char* texto);
    void LitColor(uint32_t& color, const vector3D& normal, bool dosCaras) const;
    void DepthTest(bool activo);
    void ProjectPoint(const vector3D& punto, vector3D& ventana, bool& visible, bool coordenadasVentana);

    // --- textures ---
    void CreateTexture(const TDibIG& imagen, int izquierda, int arriba, int derecha, int abajo,
                       TTexturaIG& textura, int bits = -1);
    int UploadTexture(TTexturaIG& textura, const TDibIG& imagen, int bits);
    bool TexCoord(const TTexturaIG& textura, const vector2D& posicion, double& s, double& t) const;
    void BindTexture(const TTexturaIG& textura);
    void UnbindTexture(const TTexturaIG& textura);
    void ReleaseTexture(TTexturaIG& textura);

    // --- state read by the owner and the painters ---
    TLuz luz;
    bool perspectiva = false;
    int32_t bitsColor = 0;
    double planoCercano = 0.01;
    double planoLejano = 1000.0;
    double campoVision = 60.0;
    int32_t maxTextura = 0;
    TRectanguloGL rectangulo;
    TMatriz4 matrizActual;
    // The size of the whole picture the projection is for: the tile's picture, else the
    // viewport.
    int AnchoImagen() const;
    int AltoImagen() const;
    int32_t baseFuente = -1;
    TTexturaIG texturaDispositivo;
    // The textures of the images the scenes paint with (see Almacen_texturas.h).
    TAlmacenTexturasIG almacenTexturas;
    // The copy of the preview's frame part way through, for the next frame (see
    // Cuadro_guardado.h).
    TCuadroGuardadoIG cuadroGuardado;
    // Line widths are multiplied by it: a picture drawn k times larger to be averaged
    // down (the icon export) draws its lines k times wider.
    double escalaGrosor = 1.0;
    // The part of a larger picture that the viewport shows, for a picture drawn piece
    // by piece (see TTesela); none: the viewport is the whole picture.
    TTesela tesela;
    double extensionAncho = 100.0;
    double extensionAlto = 100.0;
    // Platform code of the last context creation failure; last texture upload result and
    // the number of uploads that ended in an OpenGL error.
    uint32_t ultimoErrorContexto = 0;
    int ultimoErrorTextura = 0;
    int erroresTextura = 0;

private:
    // From the whole picture's normalized coordinates to those of the tile's viewport.
    TMatriz4 MatrizTesela() const;
    void LiberaFuente();
    void PintaElipsoide(const vector3D& centro, double radio, double escalaY, double escalaZ, uint32_t color,
                        int modo, TTexturaIG* textura);
    bool SubeDirecta(const TDibIG& imagen, const TRectanguloDib& recorte, TTexturaIG& textura, int bits);
    int SubeEscalada(const TDibIG& imagen, const TRectanguloDib& recorte, TTexturaIG& textura, int bits,
                     int lado, int m);

    TSuperficieGL* superficie = nullptr;
    // The device context standing for the surface: the reference for off-screen bitmaps
    // compatible with the device.
    TContextoDC contextoDispositivo;
};

// While it lives, the texture is bound (blending, without the depth test, when it mixes)
// and positions that run from 0 to 1 across its image reach the image's share of the
// texture; with null, or a texture the device cannot draw, nothing is bound.
class TTexturaEnUso {
public:
    TTexturaEnUso(IDCOpenGL& dc, const TTexturaIG* textura);
    ~TTexturaEnUso();
    TTexturaEnUso(const TTexturaEnUso&) = delete;
    TTexturaEnUso& operator=(const TTexturaEnUso&) = delete;
    bool Activa() const { return textura != nullptr; }

private:
    IDCOpenGL& dc;
    const TTexturaIG* textura;
};
