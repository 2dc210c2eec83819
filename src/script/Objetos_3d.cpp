#include "script/Objetos_3d.h"

#include "geometry/Luz_normals.h"
#include "script/Colores_idc.h"
#include "script/Defines_3di.h"
#include "script/Formula.h"
#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Objetos_3d_pila.h"
#include "script/Objetos_3d_planos.h"
#include "script/Objetos_3d_solidos.h"
#include "script/Texturas_3di.h"
#include "support/Ficheroqor.h"
#include "support/Rutas.h"

#include <algorithm>

namespace {

enum class TipoComando {
    version,
    center,
    color,
    texturet,
    linewidth,
    scale,
    xorientation,
    zorientation,
    elemento
};

using FabricaElemento = std::unique_ptr<TElementoObj3D> (*)(TObjeto3D*);

template <class T> std::unique_ptr<TElementoObj3D> Fabrica(TObjeto3D* escena) {
    return std::make_unique<T>(escena);
}

struct TComando {
    const char* palabra;
    TipoComando tipo;
    FabricaElemento fabrica;
};

// The command table, in the order in which lines are tested against it.
const TComando tablaComandos[] = {
    {"VERSION", TipoComando::version, nullptr},
    {"CENTER", TipoComando::center, nullptr},
    {"COLOR", TipoComando::color, nullptr},
    {"TEXTURET", TipoComando::texturet, nullptr},
    {"LINEWIDTH", TipoComando::linewidth, nullptr},
    {"SCALE", TipoComando::scale, nullptr},
    {"XORIENTATIONVIEW", TipoComando::xorientation, nullptr},
    {"ZORIENTATIONVIEW", TipoComando::zorientation, nullptr},
    {"QUAD", TipoComando::elemento, Fabrica<TElementoQuad3D>},
    {"TRIANGLE", TipoComando::elemento, Fabrica<TElementoTriang3D>},
    {"CONE", TipoComando::elemento, Fabrica<TElementoCono3D>},
    {"CYLINDER", TipoComando::elemento, Fabrica<TElementoCylinder3D>},
    {"SPHERE", TipoComando::elemento, Fabrica<TElementoEsfera3D>},
    {"DISK", TipoComando::elemento, Fabrica<TElementoDisco>},
    {"ELIPSOID", TipoComando::elemento, Fabrica<TElementoElipsoide3D>},
    {"PRISM", TipoComando::elemento, Fabrica<TElementoPrisma3D>},
    {"CUBE", TipoComando::elemento, Fabrica<TElementoCubo3D>},
    {"LINE", TipoComando::elemento, Fabrica<TElementoLinea>},
    {"CIRCLE", TipoComando::elemento, Fabrica<TElementoCircle>},
    {"XTRUSION", TipoComando::elemento, Fabrica<TElementoXtrusion>},
    {"PUSHSCALE", TipoComando::elemento, Fabrica<TElementoPushScale>},
    {"PUSHTRANS", TipoComando::elemento, Fabrica<TElementoPushTrans>},
    {"PUSHTURN", TipoComando::elemento, Fabrica<TElementoPushTurn>},
    {"POP", TipoComando::elemento, Fabrica<TElementoPop>},
    {"REVOLUTION", TipoComando::elemento, Fabrica<TElementoRevolution>},
};

// LINEWIDTH keeps the integer part of the number, within the range of an int.
int32_t TruncaEntero(double valor) {
    if (!(valor == valor)) return 0;
    if (valor >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (valor <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(valor);
}

// A line without a parameter is still POP when it is the word itself, or a POP in any
// case followed by its "=" ("POP", "POP=" and "pop=", but not "pop" or "QUAD=").
bool EsPopSinParametro(const DString& linea, const DString& comando) {
    if (comando.Compare("POP") == 0) return true;
    DString mayusculas(comando);
    mayusculas.ToUpper();
    return mayusculas.Compare("POP") == 0 && linea.CharAt(linea.Length() - 1) == '=';
}

} // namespace

// ---------------------------------------------------------------------------------------
// Elements

TElementoObj3D::TElementoObj3D(TObjeto3D* escena, int numPuntos)
    : objeto(escena), puntos(static_cast<size_t>(numPuntos)) {}

bool EsComando3Di(const char* palabra) {
    const DString texto(palabra);
    for (const TComando& c : tablaComandos)
        if (texto.CompareNoCase(c.palabra) == 0) return true;
    return false;
}

std::vector<const char*> Comandos3Di() {
    std::vector<const char*> palabras;
    for (const TComando& c : tablaComandos)
        palabras.push_back(c.palabra);
    return palabras;
}

// ---------------------------------------------------------------------------------------
// The outcome of a read

void TInformeLectura::AnadeNumerado(int32_t linea, const char* mensaje) {
    errores.push_back({linea, DString(mensaje), TErrorLectura::conNumero});
}

void TInformeLectura::AnadeDelLector(int32_t linea, const DString& texto) {
    const int largo = texto.Length();
    if (largo >= 2 && texto.CharAt(largo - 2) == '\r' && texto.CharAt(largo - 1) == '\n')
        errores.push_back({linea, texto.Mid(0, largo - 2), TErrorLectura::conFinLinea});
    else
        errores.push_back({linea, texto, TErrorLectura::suelto});
}

void TInformeLectura::AnadeSinNumero(int32_t linea, const DString& mensaje) {
    errores.push_back({linea, mensaje, TErrorLectura::conFinLinea});
}

void TInformeLectura::Sustituye(const DString& mensaje) {
    errores.assign(1, {-1, mensaje, TErrorLectura::suelto});
}

void TInformeLectura::Vacia() {
    correcto = true;
    errores.clear();
}

DString TInformeLectura::TextoDe(const TErrorLectura& error) {
    DString texto;
    if (error.forma == TErrorLectura::conNumero) {
        texto += static_cast<int>(error.linea);
        texto += ": ";
    }
    texto += error.mensaje;
    if (error.forma != TErrorLectura::suelto) texto += "\r\n";
    return texto;
}

DString TInformeLectura::Mensajes() const {
    DString texto;
    for (const TErrorLectura& e : errores)
        texto += TextoDe(e);
    return texto;
}

DString TInformeLectura::Texto() const {
    if (!errores.empty()) return Mensajes();
    return DString(correcto ? "ok" : "Undefined error");
}

std::vector<int> TInformeLectura::LineasConError() const {
    std::vector<int> lineas;
    for (const TErrorLectura& e : errores)
        if (e.linea >= 0) lineas.push_back(e.linea);
    std::sort(lineas.begin(), lineas.end());
    lineas.erase(std::unique(lineas.begin(), lineas.end()), lineas.end());
    return lineas;
}

// ---------------------------------------------------------------------------------------
// Scene

struct TObjeto3D::TLectura {
    uint32_t colorActual = colorBlanco;
    int32_t grosorActual = 1;
    bool fallo = false;
};

TObjeto3D::TObjeto3D()
    : VectorP<TElementoObj3D>(100, 100, true), defines(std::make_unique<TDefines3Di>()),
      texturas(std::make_unique<TTexturas3Di>()) {}

TObjeto3D::~TObjeto3D() {
    // Elements may refer to textures and to this scene: they go first.
    Clear(owns);
}

int TObjeto3D::Insert(std::unique_ptr<TElementoObj3D> elemento, int indice) {
    ++revision;
    return VectorP<TElementoObj3D>::Insert(std::move(elemento), indice);
}

void TObjeto3D::Clear(bool borraElementos) {
    ++revision;
    VectorP<TElementoObj3D>::Clear(borraElementos);
}

bool TObjeto3D::Carga(const char* nombre, DString& error, void* extra) {
    const DString extension = Extension(nombre);
    if (extension.CompareNoCase("3di") == 0) return CargaScript(nombre, error, extra);
    informe.Vacia();
    informe.correcto = false;
    if (extension.CompareNoCase("dwg") == 0) return false;
    if (extension.CompareNoCase("3DS") == 0) {
        informe.correcto = ImportScene3DS(*this, nombre, error);
    } else {
        error = "Format unknown: ";
        error += nombre;
    }
    if (!error.IsEmpty()) informe.Sustituye(error);
    return informe.correcto;
}

bool TObjeto3D::CargaScript(const char* nombre, DString& error, void*) {
    error = "";
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqLeeTexto)) {
        error = "Error, File ";
        error += nombre;
        error += " not found";
        informe.Vacia();
        informe.correcto = false;
        informe.Sustituye(error);
        return false;
    }
    nombreFichero = nombre;
    return Lee(fichero, nullptr, error);
}

void TObjeto3D::Reinicia() {
    Clear(owns);
    texturas->Vacia();
    defines->Vacia();
    informe.Vacia();
    escala = 1.0;
    nivelPush = 0;
    puntosMalla = 0;
    // Only a 3D Studio import turns the scene: a script read after a mesh is not turned.
    anguloGiro = 0.0;
    giroEnY = false;
}

bool TObjeto3D::Lee(TFicheroQOR& lector, DString* textoExpandido, DString& error) {
    Reinicia();
    LeeLineas(lector, textoExpandido);
    // The messages join whatever the caller's text held, except a message that stands
    // for the whole read.
    if (informe.errores.size() == 1 && informe.errores[0].linea < 0)
        error = informe.Mensajes();
    else
        error += informe.Mensajes();
    return informe.correcto;
}

void TObjeto3D::LeeLineas(TFicheroQOR& lector, DString* textoExpandido) {
    TLectura estado;
    DString linea;
    int numero = lector.LeeLinea(linea);
    try {
        while (!linea.IsEmpty()) {
            if (!LeeLinea(estado, linea, numero, textoExpandido)) {
                informe.correcto = false;
                return;
            }
            numero = lector.LeeLinea(linea);
        }
    } catch (const TXErrorObjeto3D& e) {
        informe.AnadeNumerado(numero, e.mensaje);
        informe.correcto = false;
        return;
    }
    if (nivelPush > 0) {
        informe.Sustituye(DString("POPs needed!"));
        informe.correcto = false;
        return;
    }
    informe.correcto = !estado.fallo;
}

// One line of the script; false when the parse must end (a texture that failed).
bool TObjeto3D::LeeLinea(TLectura& estado, DString& linea, int numero, DString* textoExpandido) {
    const bool esDefinicion = ProcesaLinea(*defines, linea);
    if (textoExpandido) {
        *textoExpandido += linea;
        *textoExpandido += "\r\n";
    }
    if (esDefinicion) return true;

    Vector<DString> trozos(2, 1, true);
    linea.Split("=", trozos, -1, true);
    DString comando = trozos.Count() > 0 ? trozos[0] : DString();
    DString parametros;
    if (trozos.Count() >= 2)
        parametros = trozos[1];
    else if (!EsPopSinParametro(linea, comando)) {
        DString mensaje("'=' needed in line ");
        mensaje += linea;
        informe.AnadeNumerado(numero, mensaje.c_str());
        estado.fallo = true;
        return true;
    }
    comando.ToUpper();

    for (const TComando& c : tablaComandos) {
        if (comando.Compare(c.palabra) != 0) continue;
        switch (c.tipo) {
        case TipoComando::version:
            break;
        case TipoComando::center:
            centro = vector3D();
            ReadVector(parametros, centro);
            break;
        case TipoComando::color:
            estado.colorActual = LeeColor(parametros);
            break;
        case TipoComando::texturet: {
            DString mensaje;
            if (!LeeTextura(*this, parametros, mensaje)) {
                informe.AnadeSinNumero(numero, mensaje);
                return false;
            }
            break;
        }
        case TipoComando::linewidth:
            estado.grosorActual = TruncaEntero(parametros.ToDouble());
            break;
        case TipoComando::scale:
            escala = parametros.ToDouble();
            break;
        case TipoComando::xorientation:
            orientacionX = ConvierteEntero(parametros.c_str()) != 0;
            break;
        case TipoComando::zorientation:
            orientacionZ = ConvierteEntero(parametros.c_str()) != 0;
            break;
        case TipoComando::elemento: {
            auto elemento = c.fabrica(this);
            elemento->textura = texturas->TexturaActual();
            DString errorElemento;
            elemento->Lee(parametros, errorElemento);
            if (!errorElemento.IsEmpty()) {
                informe.AnadeDelLector(numero, errorElemento);
                break;
            }
            elemento->color = estado.colorActual;
            elemento->linea = numero;
            elemento->grosorLinea = estado.grosorActual;
            Insert(std::move(elemento));
            break;
        }
        }
        return true;
    }
    DString mensaje("Undefined command:");
    mensaje += comando;
    informe.AnadeNumerado(numero, mensaje.c_str());
    estado.fallo = true;
    return true;
}
