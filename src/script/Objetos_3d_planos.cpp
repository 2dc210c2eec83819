#include "script/Objetos_3d_planos.h"

#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "script/Formula.h"
#include "script/Texturas_3di.h"

#include <array>

namespace {

constexpr double dosPi = 6.283185307179586;

} // namespace

void LeeCampos(const DString& parametros, const char* separador, int n, const char* mensaje,
               Vector<DString>& campos) {
    if (parametros.Split(separador, campos, n, true) != n) throw TXErrorObjeto3D(mensaje);
}

vector3D LeePunto(const DString& campo) {
    vector3D p;
    ReadVector(campo, p);
    return p;
}

uint32_t LeeColor(const DString& texto) {
    DString t(texto);
    if (t.IsEmpty() || t.FindLast(')') <= 0 || t.CharAt(0) != '(')
        throw TXErrorObjeto3D("Error reading color");
    t.Unparen();
    Vector<DString> campos(2, 1, true);
    LeeCampos(t, ",", 3, "Error reading color", campos);
    const auto canal = [&](int i) {
        return static_cast<uint32_t>(ConvierteEntero(campos[i].c_str())) & 0xFFu;
    };
    return canal(0) | canal(1) << 8 | canal(2) << 16;
}

void MarcaPunto(IDCOpenGL& dc, const vector3D& punto) {
    dc.SetColor(colorNegro);
    dc.SetLineWidth(1.0);
    dc.Axes(punto, 30.0);
}

// ---------------------------------------------------------------------------------------
// QUAD and TRIANGLE

TElementoCara3D::TElementoCara3D(TObjeto3D* escena, int numEsquinas, bool cerrada)
    : TElementoObj3D(escena, cerrada ? numEsquinas + 1 : numEsquinas), esquinas(numEsquinas) {}

void TElementoCara3D::LeeEsquinas(const DString& parametros, const char* mensaje) {
    for (auto& p : puntos)
        p = vector3D();
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, ":", esquinas, mensaje, campos);
    for (int i = 0; i < esquinas; ++i)
        puntos[static_cast<size_t>(i)] = LeePunto(campos[i]);
    CierraCara();
}

void TElementoCara3D::CierraCara() {
    puntos[static_cast<size_t>(esquinas)] = puntos[0];
    CalculaNormal();
}

void TElementoCara3D::CalculaNormal() {
    normal = ProductoVectorial(puntos[1] - puntos[0], puntos[2] - puntos[1]);
    Normaliza(normal);
}

uint32_t TElementoCara3D::ColorIluminado() const {
    uint32_t c = color;
    Ilumina(luzEscena, c, normal, true);
    return c;
}

void TElementoCara3D::PintaContorno(IDCOpenGL& dc, int puntoResaltado) {
    dc.SetColor(colorNegro);
    dc.SetLineWidth(GrosorResaltado());
    dc.Polyline(puntos);
    if (puntoResaltado >= 0 && puntoResaltado < esquinas)
        MarcaPunto(dc, puntos[static_cast<size_t>(puntoResaltado)]);
}

bool TElementoCara3D::BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& indice) {
    return BuscaEntrePuntos(dc, posicion, esquinas, indice);
}

void TElementoCara3D::Describe(TVisitanteCampos& v) const {
    v.Campo("normal", normal);
}

void TElementoQuad3D::Lee(const DString& parametros, DString&) {
    LeeEsquinas(parametros, "Error reading Quad");
}

void TElementoQuad3D::Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) {
    dc.SetColor(ColorIluminado());
    const std::span<const vector3D> cara(puntos.data(), 4);
    if (textura) color = colorBlanco;
    TTexturaIG* registro = textura ? PreparaTextura(*textura, dc) : nullptr;
    if (registro)
        PintaTexturada(dc, cara, *registro);
    else
        dc.Polygon(cara, {}, modoRelleno);
    if (resaltado) PintaContorno(dc, puntoResaltado);
}

// Corner 0 takes the image's top-left corner, corner 1 its top-right, and so round.
void TElementoQuad3D::PintaTexturada(IDCOpenGL& dc, std::span<const vector3D> cara, TTexturaIG& registro) {
    const double x0 = registro.origenX, y0 = registro.origenY;
    const double x1 = x0 + registro.anchoOrigen, y1 = y0 + registro.altoOrigen;
    const std::array<vector2D, 4> posiciones{vector2D(x0, y0), vector2D(x1, y0), vector2D(x1, y1),
                                             vector2D(x0, y1)};
    dc.TexturedPolygon(cara, posiciones, registro);
}

void TElementoTriang3D::Lee(const DString& parametros, DString&) {
    LeeEsquinas(parametros, "More parameter needed in Triangle");
}

TElementoTriang3D::TElementoTriang3D(TObjeto3D* escena, const vector3D& a, const vector3D& b,
                                     const vector3D& c)
    : TElementoCara3D(escena, 3, false) {
    puntos[0] = a;
    puntos[1] = b;
    puntos[2] = c;
    CalculaNormal();
}

void TElementoTriang3D::Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) {
    dc.SetColor(ColorIluminado());
    dc.Polygon(std::span<const vector3D>(puntos.data(), 3), {}, modoRelleno);
    if (resaltado) PintaContorno(dc, puntoResaltado);
}

bool TElementoTriang3D::PintaEnLote(TLoteTriangulos& lote) {
    lote.Anade(puntos[0], puntos[1], puntos[2], ColorIluminado());
    return true;
}

// ---------------------------------------------------------------------------------------
// LINE

void TElementoLinea::Lee(const DString& parametros, DString&) {
    puntos[0] = puntos[1] = vector3D();
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, ":", 2, "Error reading LINE", campos);
    puntos[0] = LeePunto(campos[0]);
    puntos[1] = LeePunto(campos[1]);
}

void TElementoLinea::Pinta(IDCOpenGL& dc, bool resaltado, int puntoResaltado) {
    dc.SetColor(color);
    dc.SetLineWidth(resaltado ? GrosorResaltado() : grosorLinea);
    dc.Line(puntos[0], puntos[1]);
    dc.SetLineWidth(grosorLinea);
    if (resaltado && (puntoResaltado == 0 || puntoResaltado == 1))
        MarcaPunto(dc, puntos[static_cast<size_t>(puntoResaltado)]);
}

bool TElementoLinea::BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& indice) {
    return BuscaEntrePuntos(dc, posicion, 2, indice);
}

// ---------------------------------------------------------------------------------------
// CIRCLE and DISK

TElementoCircle::TElementoCircle(TObjeto3D* escena) : TElementoObj3D(escena, 17) {}

void TElementoCircle::Lee(const DString& parametros, DString&) {
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, ":", 3, "Error reading CIRCLE", campos);
    centro = LeePunto(campos[0]);
    eje = LeePunto(campos[1]);
    radio = campos[2].ToDouble();
    vector3D r0 = Perpendicular(eje);
    Normaliza(r0);
    r0 *= radio;
    const double paso = dosPi / numSegmentos;
    for (int i = 0; i < numSegmentos; ++i)
        puntos[static_cast<size_t>(i)] = centro + Transforma(MatrizGiro(eje, i * paso), r0);
    puntos[static_cast<size_t>(numSegmentos)] = puntos[0];
}

void TElementoCircle::Pinta(IDCOpenGL& dc, bool resaltado, int) {
    if (!relleno) {
        dc.SetColor(color);
        dc.SetLineWidth(resaltado ? GrosorResaltado() : grosorLinea);
        dc.Polyline(puntos);
        return;
    }
    uint32_t c = color;
    Ilumina(luzEscena, c, eje, false);
    dc.SetColor(c);
    if (!resaltado) {
        dc.Polygon(puntos, {}, modoRelleno);
        return;
    }
    dc.Polyline(puntos);
    for (int i = 0; i < numSegmentos; ++i)
        dc.Line(centro, puntos[static_cast<size_t>(i)]);
}

void TElementoCircle::Describe(TVisitanteCampos& v) const {
    v.Campo("numSegmentos", numSegmentos);
    v.Campo("centro", centro);
    v.Campo("eje", eje);
    v.Campo("radio", radio);
    v.Campo("relleno", relleno);
}
