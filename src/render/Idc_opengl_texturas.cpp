// Textures on the drawing device: building a square power-of-two texture from any image
// rectangle, uploading it, mapping image positions to texture coordinates, binding.
#include "render/Idc_opengl.h"

#include "render/Textura_ig.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <memory>

int32_t& LimiteTexturaAutomatico() {
    static int32_t limite = -1;
    return limite;
}

namespace {

// Smaller limits are not tried when uploads are refused.
constexpr int limiteMinimoReintento = 500;
constexpr int ladoMinimoDirecto = 16;

// Bytes per texel and the OpenGL formats of an image depth (none for other depths).
struct TFormatoTextura {
    GLint interno;
    GLenum formato;
    GLenum tipo;
    int bits;
};

bool FormatoDe(int bitsImagen, TFormatoTextura& f) {
    switch (bitsImagen) {
    case 16:
        f = {GL_RGB5_A1, GL_BGRA_EXT, GL_UNSIGNED_SHORT_1_5_5_5_REV, 16};
        return true;
    case 24:
        f = {3, GL_BGR_EXT, GL_UNSIGNED_BYTE, 24};
        return true;
    case 32:
        f = {4, GL_BGRA_EXT, GL_UNSIGNED_BYTE, 32};
        return true;
    default:
        return false;
    }
}

// A side of `limite` halved a number of times.
bool EsDivisionDelLimite(int lado, int limite) {
    if (limite < 1) return false;
    while (limite > lado)
        limite /= 2;
    return limite == lado;
}

// The rectangle with its rows counted from the bottom of an image `alto` rows high, as
// StretchDIB takes its source.
TRectanguloDib DesdeAbajo(const TRectanguloDib& r, int alto) {
    return {r.izquierda, alto - r.abajo, r.derecha, alto - r.arriba};
}

// The alpha channel of a 32-bit image as a grey picture of the same size and row order.
std::unique_ptr<TDibIG> PlanoAlfa(const TDibIG& imagen) {
    auto plano = std::make_unique<TDibIG>();
    plano->Crea(imagen.Ancho(), imagen.Alto(), 24, 0, nullptr, true);
    for (int32_t y = 0; y < imagen.AltoAbsoluto(); ++y) {
        const uint8_t* origen = imagen.Bits() + static_cast<size_t>(y) * imagen.BytesFila();
        uint8_t* destino = plano->Bits() + static_cast<size_t>(y) * plano->BytesFila();
        for (int32_t x = 0; x < imagen.Ancho(); ++x)
            std::fill_n(destino + 3 * x, 3, origen[4 * x + 3]);
    }
    return plano;
}

// The off-screen squares keep colours only: the alpha of a 32-bit texture is painted
// into a square of its own with the same stretch, opaque wherever no image pixel lands
// (and everywhere for an image without alpha).
class TCuadroAlfa {
public:
    TCuadroAlfa(const TDibIG& imagen, int lado) : imagen(imagen) {
        const TContextoDC referencia(24);
        if (!cuadro.Create(&referencia, lado, lado)) return;
        cuadro.DC()->Rellena(0, 0, lado, lado, colorBlanco);
    }
    void Estira(const TRectanguloDib& destino, const TRectanguloDib& origen, int modo) {
        if (!cuadro.Dib() || imagen.BitsPixel() != 32 || !imagen.Legible()) return;
        const auto plano = PlanoAlfa(imagen);
        IDCMemoria pintor;
        pintor.BeginPaint(cuadro.DC());
        pintor.SetStretchMode(modo);
        pintor.StretchDIB(destino, origen, *plano, SRCCOPY);
        pintor.EndPaint();
    }
    // Into the fourth byte of the bottom-up 32-bit copy of the colour square.
    void Aplica(TDibIG& copia) const {
        const TDibIG* alfa = cuadro.Dib();
        if (!alfa || copia.BitsPixel() != 32) return;
        const int32_t filas = copia.AltoAbsoluto();
        for (int32_t y = 0; y < filas; ++y) {
            uint8_t* fila = copia.Bits() + static_cast<size_t>(y) * copia.BytesFila();
            for (int32_t x = 0; x < copia.Ancho(); ++x)
                fila[4 * x + 3] = RojoDe(alfa->Pixel(x, filas - 1 - y));
        }
    }

private:
    const TDibIG& imagen;
    TImagenIG cuadro;
};

// Uploads a square painted off-screen, turned into a bottom-up bitmap of the upload's depth.
int SubeCuadro(IDCOpenGL& dc, const TImagenIG& cuadro, const TCuadroAlfa& alfa, TTexturaIG& textura,
               int bits) {
    TDibIG copia(*cuadro.Dib(), false, true);
    copia.Convierte(bits == 32 ? 32 : 24);
    alfa.Aplica(copia);
    return dc.UploadTexture(textura, copia, bits);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Texture coordinates and binding

bool IDCOpenGL::TexCoord(const TTexturaIG& textura, const vector2D& posicion, double& s, double& t) const {
    if (textura.tamano < 1) return false;
    const double dx = std::trunc(posicion.x - textura.origenX);
    const double dy = std::trunc(posicion.y - textura.origenY);
    s = dx * textura.escala / textura.tamano;
    t = (textura.altoOrigen - dy) * textura.escala / textura.tamano;
    if (textura.recorta && !(s >= 0.0 && s <= 1.0 && t >= 0.0 && t <= 1.0)) return false;
    return true;
}

void IDCOpenGL::BindTexture(const TTexturaIG& textura) {
    if (textura.tipo != texturaPlana) {
        glEnable(GL_TEXTURE_1D);
        glBindTexture(GL_TEXTURE_1D, textura.nombre);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textura.nombre);
    if (textura.mezcla) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        DepthTest(false);
        glColor4ub(255, 255, 255, 255);
    }
}

void IDCOpenGL::UnbindTexture(const TTexturaIG& textura) {
    if (textura.tipo != texturaPlana) {
        glDisable(GL_TEXTURE_1D);
        return;
    }
    glDisable(GL_TEXTURE_2D);
    if (textura.mezcla) {
        glDisable(GL_BLEND);
        DepthTest(true);
    }
}

TTexturaEnUso::TTexturaEnUso(IDCOpenGL& dc, const TTexturaIG* registro)
    : dc(dc), textura(registro && registro->tamano > 0 && dc.bitsColor >= 16 ? registro : nullptr) {
    if (!textura) return;
    double ancho = 1.0, alto = 1.0;
    ParteImagen(*textura, ancho, alto);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glScaled(ancho, alto, 1.0);
    glMatrixMode(GL_MODELVIEW);
    dc.BindTexture(*textura);
}

TTexturaEnUso::~TTexturaEnUso() {
    if (!textura) return;
    dc.UnbindTexture(*textura);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void IDCOpenGL::ReleaseTexture(TTexturaIG& textura) {
    // Without a context the texture object went with it: only the record is cleared.
    if (textura.tamano >= 0 && textura.nombre != 0 && IsActive()) {
        MakeCurrent();
        const GLuint nombre = textura.nombre;
        glDeleteTextures(1, &nombre);
    }
    textura.tipo = 0;
    textura.tamano = -1;
    textura.nombre = 0;
    textura.tamanoSubido = -1;
}

// ---------------------------------------------------------------------------------------
// Upload

int IDCOpenGL::UploadTexture(TTexturaIG& textura, const TDibIG& imagen, int bits) {
    // The data layout follows the image's own depth: 32-bit data for a 32-bit image,
    // 24-bit for a 24-bit one, so that the driver never reads past the pixels.
    (void)bits;
    TFormatoTextura formato{};
    const int lado = textura.tamano;
    const bool valida =
        FormatoDe(imagen.BitsPixel(), formato) && lado > 0 && imagen.Ancho() == lado &&
        imagen.AltoAbsoluto() == lado && imagen.TienePixeles() &&
        static_cast<size_t>(imagen.BytesFila()) * static_cast<size_t>(lado) <= imagen.BytesPixeles();
    if (!valida) {
        ++erroresTextura;
        return GL_INVALID_OPERATION;
    }
    textura.bits = formato.bits;
    OlvidaErroresGL();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textura.nombre);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    // Bitmap rows are padded to 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (textura.tamanoSubido == lado) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, lado, lado, formato.formato, formato.tipo, imagen.Bits());
    } else {
        // Clamped to the edge texels: plain GL_CLAMP blends the black border colour into
        // the edges, a dark seam where a sphere or a revolution closes.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexImage2D(GL_TEXTURE_2D, 0, formato.interno, lado, lado, 0, formato.formato, formato.tipo,
                     imagen.Bits());
        textura.tamanoSubido = lado;
    }
    glPopClientAttrib();
    glDisable(GL_TEXTURE_2D);
    const int resultado = static_cast<int>(glGetError());
    if (resultado != GL_NO_ERROR) {
        ++erroresTextura;
        // A refused allocation leaves no texture object of that size.
        if (textura.tamanoSubido == lado) textura.tamanoSubido = -1;
    }
    return resultado;
}

// ---------------------------------------------------------------------------------------
// Building a texture from an image rectangle

void IDCOpenGL::CreateTexture(const TDibIG& imagen, int izquierda, int arriba, int derecha, int abajo,
                              TTexturaIG& textura, int bits) {
    if (bitsColor < 16) return;
    if (bits < 0) bits = bitsColor;
    MakeCurrent();
    if (textura.nombre == 0) {
        GLuint nombre = 0;
        glGenTextures(1, &nombre);
        textura.nombre = nombre;
    }
    textura.tipo = texturaPlana;

    const TRectanguloDib pedido{izquierda, arriba, derecha, abajo};
    const TRectanguloDib recorte{std::max(izquierda, 0), std::max(arriba, 0),
                                 std::min(derecha, imagen.Ancho()), std::min(abajo, imagen.AltoAbsoluto())};
    if (recorte.derecha <= recorte.izquierda || recorte.abajo <= recorte.arriba) return;
    textura.anchoOrigen = recorte.derecha - recorte.izquierda;
    textura.altoOrigen = recorte.abajo - recorte.arriba;
    textura.altoImagen = imagen.Alto();
    const int m = std::max(textura.anchoOrigen, textura.altoOrigen);

    int limite = maxTextura;
    if (limite < 1) limite = LimiteTexturaAutomatico();
    const bool automatico = limite < 1;
    if (automatico) {
        GLint maximo = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximo);
        limite = std::max<int>(maximo, 1);
    }

    const int lado = pedido.derecha - pedido.izquierda;
    const bool dentro = pedido.izquierda == recorte.izquierda && pedido.arriba == recorte.arriba &&
                        pedido.derecha == recorte.derecha && pedido.abajo == recorte.abajo;
    if (dentro && lado == pedido.abajo - pedido.arriba && lado >= ladoMinimoDirecto &&
        EsDivisionDelLimite(lado, limite)) {
        if (SubeDirecta(imagen, recorte, textura, bits)) return;
    }
    for (;;) {
        const int resultado = SubeEscalada(imagen, recorte, textura, bits, limite, m);
        ultimoErrorTextura = resultado;
        if (!automatico || resultado != GL_INVALID_VALUE) break;
        limite /= 2;
        if (limite < limiteMinimoReintento) break;
    }
    if (automatico) LimiteTexturaAutomatico() = limite;
}

// The rectangle already has a texture's size: it is uploaded as it stands. Returns false
// when the driver refuses the size (the scaled path then tries).
bool IDCOpenGL::SubeDirecta(const TDibIG& imagen, const TRectanguloDib& recorte, TTexturaIG& textura,
                            int bits) {
    const int lado = recorte.derecha - recorte.izquierda;
    textura.tamano = lado;
    textura.escala = 1.0;
    textura.origenX = recorte.izquierda;
    textura.origenY = recorte.arriba;
    // Only a whole bottom-up image of an uploadable depth matching the request goes up
    // as it is stored; anything else (a part of a larger image, a palette, top-down
    // rows) is first copied into a square bottom-up bitmap of its own.
    const int profundidad = imagen.BitsPixel();
    const bool profundidadValida =
        profundidad == 16 || (profundidad == 32 && bits == 32) || (profundidad == 24 && bits != 32);
    const bool tal = imagen.Ancho() == lado && imagen.Alto() == lado && profundidadValida;
    int resultado = GL_NO_ERROR;
    if (tal) {
        resultado = UploadTexture(textura, imagen, bits);
    } else {
        TImagenIG cuadro;
        if (!cuadro.Create(&contextoDispositivo, lado, lado)) {
            ultimoErrorTextura = GL_OUT_OF_MEMORY;
            return true;
        }
        const TRectanguloDib destino{0, 0, lado, lado};
        const TRectanguloDib origen = DesdeAbajo(recorte, imagen.AltoAbsoluto());
        IDCMemoria pintor;
        pintor.BeginPaint(cuadro.DC());
        pintor.SetStretchMode(COLORONCOLOR);
        pintor.StretchDIB(destino, origen, imagen, SRCCOPY);
        pintor.EndPaint();
        TCuadroAlfa alfa(imagen, bits == 32 ? lado : 0);
        alfa.Estira(destino, origen, COLORONCOLOR);
        resultado = SubeCuadro(*this, cuadro, alfa, textura, bits);
    }
    ultimoErrorTextura = resultado;
    return resultado != GL_INVALID_VALUE;
}

// The rectangle shrunk (when larger than the limit) into the bottom-left corner of a
// grey square of the next power of two.
int IDCOpenGL::SubeEscalada(const TDibIG& imagen, const TRectanguloDib& recorte, TTexturaIG& textura,
                            int bits, int limite, int m) {
    int lado = 1;
    while (lado < m && 2 * lado <= limite)
        lado *= 2;
    textura.tamano = lado;

    TImagenIG cuadro;
    if (!cuadro.Create(&contextoDispositivo, lado, lado)) return GL_OUT_OF_MEMORY;
    IDCMemoria pintor;
    pintor.BeginPaint(cuadro.DC());
    pintor.SetBrush(colorGris);
    pintor.SetPen(colorGris, 1, estiloPlumaSolido);
    pintor.Rectangle({0, 0, lado, lado});

    double f = 1.0;
    if (lado < m)
        f = std::max(static_cast<double>(textura.anchoOrigen) / lado,
                     static_cast<double>(textura.altoOrigen) / lado);
    const int anchoDestino = static_cast<int>(textura.anchoOrigen / f);
    const int altoDestino = static_cast<int>(textura.altoOrigen / f);
    pintor.SetStretchMode(HALFTONE);
    const TRectanguloDib destino{0, lado - altoDestino, anchoDestino, lado};
    const TRectanguloDib origen = DesdeAbajo(recorte, imagen.AltoAbsoluto());
    pintor.StretchDIB(destino, origen, imagen, SRCCOPY);
    pintor.Frame({destino.izquierda, destino.arriba, destino.derecha - 1, destino.abajo - 1});
    pintor.EndPaint();
    TCuadroAlfa alfa(imagen, bits == 32 ? lado : 0);
    alfa.Estira(destino, origen, HALFTONE);

    textura.escala = 1.0 / f;
    textura.origenX = recorte.izquierda;
    textura.origenY = recorte.arriba;
    return SubeCuadro(*this, cuadro, alfa, textura, bits);
}
