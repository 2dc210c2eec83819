#include "script/Objetos_3d_planos.h"

#include "script/Formula.h"

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

// ---------------------------------------------------------------------------------------
// QUAD and TRIANGLE

TElementoCara3D::TElementoCara3D(int numEsquinas, bool cerrada)
    : TElementoObj3D(cerrada ? numEsquinas + 1 : numEsquinas), esquinas(numEsquinas) {}

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

void TElementoCara3D::Describe(TVisitanteCampos& v) const {
    v.Campo("normal", normal);
}

TResultado<void> TElementoQuad3D::Lee(const DString& parametros, TEstadoLectura&) {
    LeeEsquinas(parametros, "Error reading Quad");
    return {};
}

TResultado<void> TElementoTriang3D::Lee(const DString& parametros, TEstadoLectura&) {
    LeeEsquinas(parametros, "More parameter needed in Triangle");
    return {};
}

TElementoTriang3D::TElementoTriang3D(const vector3D& a, const vector3D& b, const vector3D& c)
    : TElementoCara3D(3, false) {
    puntos[0] = a;
    puntos[1] = b;
    puntos[2] = c;
    CalculaNormal();
}

// ---------------------------------------------------------------------------------------
// LINE

TResultado<void> TElementoLinea::Lee(const DString& parametros, TEstadoLectura&) {
    puntos[0] = puntos[1] = vector3D();
    Vector<DString> campos(2, 1, true);
    LeeCampos(parametros, ":", 2, "Error reading LINE", campos);
    puntos[0] = LeePunto(campos[0]);
    puntos[1] = LeePunto(campos[1]);
    return {};
}

// ---------------------------------------------------------------------------------------
// CIRCLE and DISK

TElementoCircle::TElementoCircle() : TElementoObj3D(17) {}

TResultado<void> TElementoCircle::Lee(const DString& parametros, TEstadoLectura&) {
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
    return {};
}

void TElementoCircle::Describe(TVisitanteCampos& v) const {
    v.Campo("numSegmentos", numSegmentos);
    v.Campo("centro", centro);
    v.Campo("eje", eje);
    v.Campo("radio", radio);
    v.Campo("relleno", relleno);
}
