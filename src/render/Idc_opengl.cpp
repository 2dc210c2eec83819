#include "render/Idc_opengl.h"

#include "render/Camara.h"
#include "render/Fuente_idc.h"
#include "render/Guarda_matriz.h"
#include "support/Throw_qor.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr double pi = std::numbers::pi;

// The sphere: 16 bands of latitude by 32 sectors of longitude, pi / 16 apart both ways.
constexpr int bandasEsfera = 16, sectoresEsfera = 32;
constexpr double pasoEsfera = pi / 16;
constexpr int columnasMalla = sectoresEsfera + 1; // grid points along one band's edge
static_assert(puntosMallaEsfera == (bandasEsfera + 1) * columnasMalla);

vector3D PuntoEsfera(double radio, double fi, double theta) {
    return {radio * std::cos(theta) * std::cos(fi), radio * std::sin(theta) * std::cos(fi),
            radio * std::sin(fi)};
}

// The filled sphere's grid cells, each as the two triangles (0, 1, 2), (0, 2, 3) into which
// the driver splits a four-corner polygon. The same for every sphere, so it is built once.
constexpr std::array<GLuint, bandasEsfera * sectoresEsfera * 6> CreaIndicesMalla() {
    std::array<GLuint, bandasEsfera * sectoresEsfera * 6> indices{};
    size_t n = 0;
    for (int i = 0; i < bandasEsfera; ++i)
        for (int j = 0; j < sectoresEsfera; ++j) {
            const GLuint esquinas[4] = {static_cast<GLuint>(i * columnasMalla + j),
                                        static_cast<GLuint>(i * columnasMalla + j + 1),
                                        static_cast<GLuint>((i + 1) * columnasMalla + j + 1),
                                        static_cast<GLuint>((i + 1) * columnasMalla + j)};
            for (int k : {0, 1, 2, 0, 2, 3})
                indices[n++] = esquinas[k];
        }
    return indices;
}
constexpr auto indicesMalla = CreaIndicesMalla();

// Cosines and sines of the grid's latitudes and longitudes: the same for every sphere, so
// the filled sphere (drawn by the hundred) takes them from here instead of calling the
// trigonometric functions for every grid point. The angles are counted in steps as the
// sphere painters count them, so the points are exactly those of PuntoEsfera.
struct TAngulosMalla {
    std::array<double, bandasEsfera + 1> cosFi, senoFi;
    std::array<double, columnasMalla> cosTheta, senoTheta;
};

const TAngulosMalla& AngulosMalla() {
    static const TAngulosMalla angulos = [] {
        TAngulosMalla a;
        for (size_t i = 0; i < a.cosFi.size(); ++i) {
            const double fi = -pi / 2 + static_cast<double>(i) * pasoEsfera;
            a.cosFi[i] = std::cos(fi);
            a.senoFi[i] = std::sin(fi);
        }
        for (size_t j = 0; j < a.cosTheta.size(); ++j) {
            const double theta = -pi + static_cast<double>(j) * pasoEsfera;
            a.cosTheta[j] = std::cos(theta);
            a.senoTheta[j] = std::sin(theta);
        }
        return a;
    }();
    return angulos;
}

constexpr uint32_t errorDllInit = 1114;

float Canal256(uint32_t color, int desplazamiento) {
    return static_cast<float>((color >> desplazamiento) & 0xFF) / 256.0f;
}

// Determinant of a 4 x 4 matrix (either storage order: the transpose has the same one).
double Determinante4(const std::array<double, 16>& m) {
    const auto menor = [&](size_t a, size_t b, size_t c, size_t d, size_t e, size_t f, size_t g, size_t h,
                           size_t i) {
        return m[a] * (m[e] * m[i] - m[f] * m[h]) - m[b] * (m[d] * m[i] - m[f] * m[g]) +
               m[c] * (m[d] * m[h] - m[e] * m[g]);
    };
    return m[0] * menor(5, 6, 7, 9, 10, 11, 13, 14, 15) - m[1] * menor(4, 6, 7, 8, 10, 11, 12, 14, 15) +
           m[2] * menor(4, 5, 7, 8, 9, 11, 12, 13, 15) - m[3] * menor(4, 5, 6, 8, 9, 10, 12, 13, 14);
}

// Width over height of the viewport, as gluPerspective takes it; 1 without a height.
double Aspecto(const TRectanguloGL& r) {
    return r.abajo != 0 ? static_cast<float>(r.derecha) / static_cast<float>(r.abajo) : 1.0;
}

DString TextoErrorContexto(uint32_t codigo, int bits) {
    DString texto;
    if (codigo == errorDllInit) {
        texto = "Error in wglCreateContext: ERROR_DLL_INIT_FAILED ";
        texto += "Probably the drivers of the graphic card are not correctly installed.";
        if (bits == 32) texto += "You can also try changing the color bits, from 32 to 16. ";
    } else {
        texto.Format("Error in wglCreateContext, err= %u", codigo);
    }
    DString bitsTexto;
    bitsTexto.Format(" bits= %d", bits);
    texto += bitsTexto;
    return texto;
}

} // namespace

void ComponentesTextura(uint32_t color, float* componentes) {
    componentes[0] = static_cast<float>(RojoDe(color)) / 255.0f;
    componentes[1] = static_cast<float>(VerdeDe(color)) / 255.0f;
    componentes[2] = static_cast<float>(AzulDe(color)) / 255.0f;
}

void ParteImagen(const TTexturaIG& textura, double& ancho, double& alto) {
    ancho = textura.anchoOrigen * textura.escala / textura.tamano;
    alto = textura.altoOrigen * textura.escala / textura.tamano;
}

TGuardaMatriz::TGuardaMatriz(GLenum modo) : modo(modo) {
    glMatrixMode(modo);
    GLint profundidad = 0, maxima = 0;
    glGetIntegerv(modo == GL_PROJECTION ? GL_PROJECTION_STACK_DEPTH : GL_MODELVIEW_STACK_DEPTH, &profundidad);
    glGetIntegerv(modo == GL_PROJECTION ? GL_MAX_PROJECTION_STACK_DEPTH : GL_MAX_MODELVIEW_STACK_DEPTH,
                  &maxima);
    empujada = profundidad < maxima;
    if (empujada)
        glPushMatrix();
    else
        glGetDoublev(modo == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, guardada);
}

TGuardaMatriz::~TGuardaMatriz() {
    glMatrixMode(modo);
    if (empujada)
        glPopMatrix();
    else
        glLoadMatrixd(guardada);
}

IDCOpenGL::IDCOpenGL() : contextoDispositivo(0) {}

IDCOpenGL::~IDCOpenGL() {
    ReleaseWindow();
}

// ---------------------------------------------------------------------------------------
// 2D conversions

void IDCOpenGL::Extension(int& ancho, int& alto) const {
    ancho = static_cast<int>(extensionAncho);
    alto = static_cast<int>(extensionAlto);
}

void IDCOpenGL::MundoADispositivo(const vector2D& mundo, int& x, int& y) const {
    IDC::MundoADispositivo(vector2D(mundo.x, extensionAlto - mundo.y), x, y);
}

void IDCOpenGL::MundoADispositivo(const vector3D& mundo, int& x, int& y) const {
    MundoADispositivo(vector2D(mundo.x, mundo.y), x, y);
}

vector2D IDCOpenGL::DispositivoAMundo(int x, int y) const {
    return {static_cast<double>(x), extensionAlto - y};
}

// ---------------------------------------------------------------------------------------
// Context and frame

TResultado<void> IDCOpenGL::SetWindow(TSuperficieGL* nueva, int& bits, uint32_t colorFondo,
                                      const TRectanguloGL& rect, int maxTex) {
    ReleaseWindow();
    superficie = nueva;
    if (!superficie) return TFallo{TCausa::uso, "Error in wglCreateContext, hWnd=NULL"};
    if (!superficie->AbreDispositivo())
        return TFallo{TCausa::entradaSalida, "Error in wglCreateContext, ghDC=NULL"};
    SetupPixelFormat(*superficie, bits);
    uint32_t codigo = 0;
    if (!superficie->CreaContexto(codigo)) {
        ultimoErrorContexto = codigo;
        return TFallo{TCausa::entradaSalida, TextoErrorContexto(codigo, bitsColor)};
    }
    superficie->CambiaTamano(rect.derecha, rect.abajo);
    MakeCurrent();
    SetBackColor(colorFondo);
    glClearDepth(5.0);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    maxTextura = maxTex;
    rectangulo = rect;
    glViewport(0, 0, rectangulo.derecha, rectangulo.abajo);
    if (rectangulo.abajo < 1) return TFallo{TCausa::uso, "Error in IDCOpenGL::SetWindow, minimized window!"};
    if (perspectiva) {
        gluPerspective(campoVision, Aspecto(rectangulo), planoCercano, planoLejano);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    } else {
        glMatrixMode(GL_MODELVIEW);
    }
    CreateFontLists();
    return {};
}

void IDCOpenGL::SetupPixelFormat(TSuperficieGL& destino, int& bits) {
    bitsColor = destino.BitsColor();
    bits = bitsColor;
    contextoDispositivo.bitsColor = bitsColor;
    const int formato = destino.EligeFormato(bitsColor, 32);
    if (formato == 0) LanzaTexto("ChoosePixelFormat failed");
    uint32_t codigo = 0;
    if (!destino.FijaFormato(formato, codigo)) {
        DString texto;
        texto.Format("SetPixelFormat failed error=%u", codigo);
        LanzaTexto(texto.c_str());
    }
}

void IDCOpenGL::ReleaseWindow() {
    // The font lists and the device texture die with the context; only their names are
    // forgotten. Nothing is made current here, so that another device's context that is
    // current stays current.
    if (superficie && superficie->TieneContexto()) superficie->LiberaContexto();
    superficie = nullptr;
    // Without a context these only clear the records.
    ReleaseTexture(texturaDispositivo);
    almacenTexturas.Libera(*this);
    cuadroGuardado.Libera(false);
    baseFuente = -1;
}

bool IDCOpenGL::IsActive() const {
    return superficie && superficie->TieneContexto();
}

void IDCOpenGL::MakeCurrent() {
    if (superficie) superficie->HazActual();
}

void IDCOpenGL::Resize(int ancho, int alto) {
    MakeCurrent();
    if (superficie) superficie->CambiaTamano(ancho, alto);
    rectangulo.derecha = ancho;
    rectangulo.abajo = alto;
    if (IsActive()) glViewport(0, 0, ancho, alto);
}

void IDCOpenGL::SetBackColor(uint32_t color) {
    glClearColor(Canal256(color, 0), Canal256(color, 8), Canal256(color, 16), 0.0f);
}

void OlvidaErroresGL() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

int IDCOpenGL::AnchoImagen() const {
    return tesela.ancho > 0 ? tesela.ancho : rectangulo.derecha - rectangulo.izquierda;
}

int IDCOpenGL::AltoImagen() const {
    return tesela.ancho > 0 ? tesela.alto : rectangulo.abajo - rectangulo.arriba;
}

TMatriz4 IDCOpenGL::MatrizTesela() const {
    TMatriz4 m;
    const double w = rectangulo.derecha - rectangulo.izquierda;
    const double h = rectangulo.abajo - rectangulo.arriba;
    if (tesela.ancho <= 0 || w < 1 || h < 1) return m;
    m(0, 0) = tesela.ancho / w;
    m(1, 1) = tesela.alto / h;
    m(0, 3) = (tesela.ancho - 2.0 * tesela.x) / w - 1.0;
    m(1, 3) = (tesela.alto - 2.0 * tesela.y) / h - 1.0;
    return m;
}

void IDCOpenGL::SetProjection(const TMatriz4& vista, const TMatriz4& proyeccion) {
    matrizActual = vista;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (!perspectiva) {
        matrizActual = MatrizTesela() * proyeccion * vista;
        glLoadMatrixd(Transpuesta(matrizActual).data());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        return;
    }
    glLoadMatrixd(Transpuesta(MatrizTesela() * proyeccion).data());
    const TRectanguloGL imagen{0, 0, AnchoImagen(), AltoImagen()};
    gluPerspective(campoVision, Aspecto(imagen), planoCercano, planoLejano);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLoadMatrixd(Transpuesta(vista).data());
}

void IDCOpenGL::Clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void IDCOpenGL::Swap() {
    if (superficie) superficie->Presenta();
}

void IDCOpenGL::ReadPixels(TDibIG& destino) {
    const int ancho = rectangulo.derecha - rectangulo.izquierda;
    const int alto = rectangulo.abajo - rectangulo.arriba;
    if (ancho < 1 || alto < 1) {
        destino.Libera();
        return;
    }
    destino.Crea(ancho, alto, 24, 0, nullptr, true); // black until read
    if (!destino.TienePixeles() || !IsActive()) return;
    // Rows are padded to 4 bytes like the bitmap's; only the part that exists in the
    // frame is read, the rest stays black.
    const int leeAncho = std::min(ancho, superficie->Ancho());
    const int leeAlto = std::min(alto, superficie->Alto());
    if (leeAncho < 1 || leeAlto < 1) return;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, ancho);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(superficie->BufferLectura());
    glReadPixels(0, 0, leeAncho, leeAlto, GL_BGR_EXT, GL_UNSIGNED_BYTE, destino.Bits());
    glPopClientAttrib();
}

bool IDCOpenGL::ConAlfaDibujado() const {
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    return bits > 0;
}

bool IDCOpenGL::CajaDibujada(TCajaPixeles& caja) {
    caja = TCajaPixeles();
    if (!IsActive()) return false;
    const int ancho = std::min(rectangulo.derecha - rectangulo.izquierda, superficie->Ancho());
    const int alto = std::min(rectangulo.abajo - rectangulo.arriba, superficie->Alto());
    if (ancho < 1 || alto < 1) return false;
    const size_t n = static_cast<size_t>(ancho) * static_cast<size_t>(alto);
    std::vector<float> profundidad(n, 1.0f);
    std::vector<uint8_t> alfa;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, ancho, alto, GL_DEPTH_COMPONENT, GL_FLOAT, profundidad.data());
    if (ConAlfaDibujado()) {
        alfa.resize(n);
        glReadPixels(0, 0, ancho, alto, GL_ALPHA, GL_UNSIGNED_BYTE, alfa.data());
    }
    glPopClientAttrib();
    caja = {ancho, alto, 0, 0};
    for (int y = 0; y < alto; ++y) {
        const size_t inicio = static_cast<size_t>(y) * static_cast<size_t>(ancho);
        const float* fila = profundidad.data() + inicio;
        for (int x = 0; x < ancho; ++x) {
            if (fila[x] >= 1.0f) {
                if (alfa.empty() || alfa[inicio + static_cast<size_t>(x)] == 0) continue;
            } else {
                caja.cerca = std::min(caja.cerca, static_cast<double>(fila[x]));
            }
            caja.x0 = std::min(caja.x0, x);
            caja.x1 = std::max(caja.x1, x + 1);
            caja.y0 = std::min(caja.y0, y);
            caja.y1 = y + 1;
        }
    }
    if (caja.Vacia()) caja = TCajaPixeles();
    return true;
}

// ---------------------------------------------------------------------------------------
// Drawing

void IDCOpenGL::Vertex(const vector3D& p) {
    glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
}

void IDCOpenGL::SetColor(uint32_t color) {
    glColor4f(Canal256(color, 0), Canal256(color, 8), Canal256(color, 16), Canal256(color, 24));
}

void IDCOpenGL::SetLineWidth(double ancho) {
    glLineWidth(static_cast<float>(ancho * escalaGrosor));
}

void IDCOpenGL::Line(const vector3D& a, const vector3D& b) {
    glBegin(GL_LINES);
    Vertex(a);
    Vertex(b);
    glEnd();
}

void IDCOpenGL::Polyline(std::span<const vector3D> puntos) {
    glBegin(GL_LINE_STRIP);
    for (const auto& p : puntos)
        Vertex(p);
    glEnd();
}

void IDCOpenGL::Polygon(std::span<const vector3D> puntos, std::span<const uint32_t> colores, int modo) {
    const bool contorno = modo == modoLineas;
    glBegin(contorno ? GL_LINE_STRIP : GL_POLYGON);
    for (size_t i = 0; i < puntos.size(); ++i) {
        if (!contorno && i < colores.size()) SetColor(colores[i]);
        Vertex(puntos[i]);
    }
    glEnd();
}

void IDCOpenGL::ColorQuad(const vector3D (&puntos)[4], const float (&colores)[4][3], TTexturaIG* textura,
                          const vector2D* posTextura, int modo) {
    const bool texturiza = modo == 0 && textura && posTextura && textura->tamano > 0 && bitsColor >= 16;
    double anchoImagen = 1.0, altoImagen = 1.0;
    if (texturiza) ParteImagen(*textura, anchoImagen, altoImagen);
    glBegin(modo == modoLineas ? GL_LINE_STRIP : GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        if (texturiza)
            glTexCoord2f(static_cast<float>(posTextura[i].x * anchoImagen),
                         static_cast<float>(posTextura[i].y * altoImagen));
        glColor3f(colores[i][0], colores[i][1], colores[i][2]);
        Vertex(puntos[i]);
    }
    glEnd();
}

void IDCOpenGL::TexturedPolygon(std::span<const vector3D> puntos, std::span<const vector2D> posTextura,
                                TTexturaIG& textura) {
    const size_t n = puntos.size();
    bool texturiza = bitsColor >= 16 && posTextura.size() >= n;
    std::vector<std::pair<double, double>> coordenadas(texturiza ? n : 0);
    for (size_t i = 0; texturiza && i < n; ++i)
        texturiza = TexCoord(textura, posTextura[i], coordenadas[i].first, coordenadas[i].second);
    if (texturiza) {
        SetColor(colorBlanco);
        BindTexture(textura);
    }
    glBegin(GL_POLYGON);
    for (size_t i = 0; i < n; ++i) {
        if (texturiza)
            glTexCoord2f(static_cast<float>(coordenadas[i].first), static_cast<float>(coordenadas[i].second));
        Vertex(puntos[i]);
    }
    glEnd();
    if (texturiza) UnbindTexture(textura);
}

void IDCOpenGL::LitColor(uint32_t& color, const vector3D& normal, bool dosCaras) const {
    Ilumina(luz, color, normal, dosCaras);
}

void IDCOpenGL::DepthTest(bool activo) {
    if (activo)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

TVerticeColor VerticeColor(const vector3D& p, uint32_t color) {
    return {{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)},
            {Canal256(color, 0), Canal256(color, 8), Canal256(color, 16), Canal256(color, 24)}};
}

TMarcoCono MarcoCono(const vector3D& inicio, const vector3D& fin) {
    TMarcoCono marco;
    vector3D direccion = fin - inicio;
    marco.largo = Modulo(direccion);
    Normaliza(direccion);
    const vector3D ejeZ(0.0, 0.0, 1.0);
    marco.eje = ProductoVectorial(ejeZ, direccion);
    const double seno = Modulo(marco.eje);
    marco.angulo = seno < 1.0 ? std::asin(seno) : pi / 2 * seno;
    if (ProductoEscalar(direccion, ejeZ) < 0.0) marco.angulo = pi - marco.angulo;
    // Along -z the cross product vanishes; the half turn then goes about x.
    if (!Normaliza(marco.eje)) marco.eje = vector3D(1.0, 0.0, 0.0);
    return marco;
}

void AplicaMarcoCono(const vector3D& inicio, const TMarcoCono& marco) {
    glTranslatef(static_cast<float>(inicio.x), static_cast<float>(inicio.y), static_cast<float>(inicio.z));
    glRotatef(static_cast<float>(marco.angulo * 180.0 / pi), static_cast<float>(marco.eje.x),
              static_cast<float>(marco.eje.y), static_cast<float>(marco.eje.z));
}

// Each corner is lit with the radial direction of its angle, whatever the radii; the
// light is turned the opposite way to the cone, so that the lighting computed in the
// cone's frame matches the scene's.
std::array<TCaraCono, 16> CarasCono(const TMarcoCono& marco, double radio1, double radio2, uint32_t color,
                                    const TLuz& luz) {
    TLuz local = luz;
    local.direccion = Transforma(MatrizGiro(marco.eje, -marco.angulo), luz.direccion);
    std::array<TCaraCono, 16> caras;
    const int lados = static_cast<int>(caras.size());
    for (int i = 0; i < lados; ++i) {
        const double a0 = 2.0 * pi * i / lados, a1 = 2.0 * pi * (i + 1) / lados;
        TCaraCono& cara = caras[static_cast<size_t>(i)];
        cara.esquinas[0] = {radio1 * std::cos(a0), radio1 * std::sin(a0), 0.0};
        cara.esquinas[1] = {radio1 * std::cos(a1), radio1 * std::sin(a1), 0.0};
        cara.esquinas[2] = {radio2 * std::cos(a1), radio2 * std::sin(a1), marco.largo};
        cara.esquinas[3] = {radio2 * std::cos(a0), radio2 * std::sin(a0), marco.largo};
        vector3D n0 = cara.esquinas[0], n1 = cara.esquinas[1];
        Normaliza(n0);
        Normaliza(n1);
        const vector3D normales[4] = {n0, n1, n1, n0};
        for (size_t k = 0; k < 4; ++k) {
            cara.colores[k] = color;
            Ilumina(local, cara.colores[k], normales[k], false);
        }
    }
    return caras;
}

void IDCOpenGL::Cone(const vector3D& inicio, const vector3D& fin, double radio1, double radio2,
                     uint32_t color, int modo) {
    TGuardaModo modoPrevio;
    TGuardaMatriz proyeccion(GL_PROJECTION);
    TGuardaMatriz modelo(GL_MODELVIEW);
    const TMarcoCono marco = MarcoCono(inicio, fin);
    AplicaMarcoCono(inicio, marco);
    for (const TCaraCono& cara : CarasCono(marco, radio1, radio2, color, luz))
        Polygon(cara.esquinas, cara.colores, modo);
}

void IDCOpenGL::Sphere(const vector3D& centro, double radio, uint32_t color, int modo) {
    PintaElipsoide(centro, radio, 1.0, 1.0, color, modo, nullptr);
}

void IDCOpenGL::Ellipsoid(const vector3D& centro, double rx, double ry, double rz, uint32_t color, int modo,
                          TTexturaIG* textura) {
    double escalaY = 1.0, escalaZ = 1.0;
    if (std::fabs(rx) >= 0.00001) {
        escalaY = ry / rx;
        escalaZ = rz / rx;
    }
    PintaElipsoide(centro, rx, escalaY, escalaZ, color, modo, textura);
}

// Each vertex is lit with the direction of its sphere point. The steps are counted, not
// accumulated, so rounding can never add a band.
void IDCOpenGL::PintaElipsoide(const vector3D& centro, double radio, double escalaY, double escalaZ,
                               uint32_t color, int modo, TTexturaIG* textura) {
    TGuardaModo modoPrevio;
    TGuardaMatriz modelo(GL_MODELVIEW);
    glTranslatef(static_cast<float>(centro.x), static_cast<float>(centro.y), static_cast<float>(centro.z));
    if (!textura && modo != modoLineas) {
        TMallaEsfera malla;
        MallaEsfera(luz, radio, escalaY, escalaZ, color, malla);
        PintaMallaEsfera(malla, radio, radio * escalaY, radio * escalaZ);
        return;
    }
    if (modo != modoLineas) {
        TMallaEsferaTexturada malla;
        MallaEsferaTexturada(luz, radio, escalaY, escalaZ, color, malla);
        PintaMallaEsfera(malla, radio, radio * escalaY, radio * escalaZ, textura);
        return;
    }
    if (textura) BindTexture(*textura);
    constexpr double paso = pasoEsfera;
    for (int i = 0; i < bandasEsfera; ++i) {
        const double fi = -pi / 2 + i * paso;
        for (int j = 0; j < sectoresEsfera; ++j) {
            const double theta = -pi + j * paso;
            const double esquinas[4][2] = {
                {fi, theta}, {fi, theta + paso}, {fi + paso, theta + paso}, {fi + paso, theta}};
            vector3D quad[4];
            uint32_t colores[4];
            for (int k = 0; k < 4; ++k) {
                const vector3D p = PuntoEsfera(radio, esquinas[k][0], esquinas[k][1]);
                vector3D normal = p;
                Normaliza(normal);
                colores[k] = color;
                LitColor(colores[k], normal, false);
                quad[k] = vector3D(p.x, p.y * escalaY, p.z * escalaZ);
            }
            if (!textura) {
                Polygon(quad, colores, modo);
                continue;
            }
            float flotantes[4][3];
            for (int k = 0; k < 4; ++k)
                ComponentesTextura(colores[k], flotantes[k]);
            ColorQuad(quad, flotantes, textura, nullptr, modo);
        }
    }
    if (textura) UnbindTexture(*textura);
}

namespace {

// Each point of the sphere's grid with its lit colour: `punto(indice, fila, columna,
// posicion, color)`. The filled sphere is the one that scenes draw by the hundred, so it
// goes out in a single draw: each grid point and its lit colour is computed once (four
// cells share it) and the cells are drawn as the triangles of `indicesMalla`. The picture
// is the one the cell-by-cell polygons give.
template <class F>
void RecorreMalla(const TLuz& luz, double radio, double escalaY, double escalaZ, uint32_t color, F&& punto) {
    const TAngulosMalla& a = AngulosMalla();
    for (size_t i = 0; i <= bandasEsfera; ++i) {
        for (size_t j = 0; j <= sectoresEsfera; ++j) {
            // As PuntoEsfera computes it.
            const vector3D p(radio * a.cosTheta[j] * a.cosFi[i], radio * a.senoTheta[j] * a.cosFi[i],
                             radio * a.senoFi[i]);
            vector3D normal = p;
            Normaliza(normal);
            uint32_t c = color;
            Ilumina(luz, c, normal, false);
            punto(i * columnasMalla + j, i, j, vector3D(p.x, p.y * escalaY, p.z * escalaZ), c);
        }
    }
}

// The grid as OpenGL takes it, the cells culled where the far half cannot show.
template <class TVertice>
void DibujaMalla(const std::array<TVertice, puntosMallaEsfera>& malla, bool ocultaDorso, unsigned frente,
                 bool texturiza) {
    glPushAttrib(GL_POLYGON_BIT);
    if (ocultaDorso) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(frente);
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TVertice), malla.data()->posicion);
    glColorPointer(4, GL_FLOAT, sizeof(TVertice), malla.data()->color);
    if constexpr (requires(TVertice v) { v.textura; }) {
        if (texturiza) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(TVertice), malla.data()->textura);
        }
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indicesMalla.size()), GL_UNSIGNED_INT,
                   indicesMalla.data());
    glPopClientAttrib();
    glPopAttrib();
    // Leave the current colour as the last polygon of the cell-by-cell drawing would.
    const float* ultimo = malla[static_cast<size_t>(bandasEsfera * columnasMalla + sectoresEsfera - 1)].color;
    glColor4f(ultimo[0], ultimo[1], ultimo[2], ultimo[3]);
}

} // namespace

void MallaEsfera(const TLuz& luz, double radio, double escalaY, double escalaZ, uint32_t color,
                 TMallaEsfera& malla) {
    RecorreMalla(
        luz, radio, escalaY, escalaZ, color,
        [&](size_t k, size_t, size_t, const vector3D& p, uint32_t c) { malla[k] = VerticeColor(p, c); });
}

void MallaEsferaTexturada(const TLuz& luz, double radio, double escalaY, double escalaZ, uint32_t color,
                          TMallaEsferaTexturada& malla) {
    RecorreMalla(luz, radio, escalaY, escalaZ, color,
                 [&](size_t k, size_t i, size_t j, const vector3D& p, uint32_t c) {
                     TVerticeTextura& v = malla[k];
                     v.posicion[0] = static_cast<float>(p.x);
                     v.posicion[1] = static_cast<float>(p.y);
                     v.posicion[2] = static_cast<float>(p.z);
                     ComponentesTextura(c, v.color);
                     v.color[3] = 1.0f;
                     const double theta = -pi + static_cast<double>(j) * pasoEsfera;
                     const double fi = -pi / 2 + static_cast<double>(i) * pasoEsfera;
                     v.textura[0] = static_cast<float>((theta + pi) / (2 * pi));
                     v.textura[1] = static_cast<float>((fi + pi / 2) / pi);
                 });
}

std::span<const uint32_t> IndicesMallaEsfera() {
    return indicesMalla;
}

void IDCOpenGL::PintaMallaEsfera(const TMallaEsfera& malla, double rx, double ry, double rz) {
    unsigned frente = GL_CCW;
    const bool ocultaDorso = DorsoOculto(vector3D(), rx, ry, rz, frente);
    DibujaMalla(malla, ocultaDorso, frente, false);
}

void IDCOpenGL::PintaMallaEsfera(const TMallaEsferaTexturada& malla, double rx, double ry, double rz,
                                 const TTexturaIG* textura) {
    const TTexturaEnUso enUso(*this, textura);
    unsigned frente = GL_CCW;
    // A blending texture draws without the depth test: the far cells then show.
    const bool ocultaDorso =
        !(enUso.Activa() && textura->mezcla) && DorsoOculto(vector3D(), rx, ry, rz, frente);
    DibujaMalla(malla, ocultaDorso, frente, enUso.Activa());
}

// The far half of a closed sphere never shows: every ray meets a near cell first. In the
// parallel projection that holds while the whole sphere (its bounding box) lies in front of the eye and
// between the depth planes; then the driver may skip the far cells, which halves the work. `frente` receives
// the winding in which the near cells reach the window. The cells turn counter-clockwise about their outward
// normals; in normalised device coordinates the viewer looks along +z, so a near cell reaches the window
// clockwise when the map from the sphere to those coordinates keeps orientation (its Jacobian has the sign of
// the 4 x 4 determinant while w stays positive), and counter-clockwise when it mirrors.
bool IDCOpenGL::DorsoOculto(const vector3D& centro, double rx, double ry, double rz, unsigned& frente) const {
    if (perspectiva) return false; // the rule below is only ever exercised in parallel projection
    // OpenGL hands its matrices over column by column; taken as row-major they are the
    // transposes, and M^T P^T = (P M)^T, so `total` is projection x model-view in OpenGL's order.
    TMatriz4 modelo, proyeccion;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelo.m.data());
    glGetDoublev(GL_PROJECTION_MATRIX, proyeccion.m.data());
    const std::array<double, 16> total = Multiplica(modelo, proyeccion).m;
    for (int esquina = 0; esquina < 8; ++esquina) {
        const double p[3] = {centro.x + (esquina & 1 ? rx : -rx), centro.y + (esquina & 2 ? ry : -ry),
                             centro.z + (esquina & 4 ? rz : -rz)};
        double recorte[4];
        for (size_t f = 0; f < 4; ++f)
            recorte[f] = total[f] * p[0] + total[4 + f] * p[1] + total[8 + f] * p[2] + total[12 + f];
        if (!(recorte[3] > 0.0) || !(std::fabs(recorte[2]) < recorte[3])) return false;
    }
    const double orientacion = Determinante4(total) * rx * ry * rz;
    if (!std::isfinite(orientacion) || orientacion == 0.0) return false;
    frente = orientacion > 0.0 ? GL_CW : GL_CCW;
    return true;
}

void IDCOpenGL::Axes(const vector3D& origen, double largo) {
    const vector3D ejes[3] = {{largo, 0.0, 0.0}, {0.0, largo, 0.0}, {0.0, 0.0, largo}};
    const uint32_t colores[3] = {colorRojo, colorVerde, colorAzul};
    const char* nombres[3] = {"X", "Y", "Z"};
    for (const auto& eje : ejes)
        Line(origen, origen + eje);
    for (int i = 0; i < 3; ++i)
        Cone(origen + 0.8 * ejes[i], origen + ejes[i], 0.1 * largo, 0.0, colores[i], modoRelleno);
    SetColor(colorNegro);
    for (int i = 0; i < 3; ++i)
        Text(origen + ejes[i], nombres[i]);
}
