#include "script/Objetos_3d.h"

#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
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
#include "support/Informa.h"
#include "support/Rutas.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double gradosPorRadian = 180.0 * (1.0 / std::numbers::pi);
// OpenGL levels kept free for the painters' own pushes (cones, the extrusion overlay).
constexpr int nivelesReservados = 4;

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

void AnadeNumeroLinea(DString& error, int numero) {
    error += numero;
    error += ": ";
}

} // namespace

// ---------------------------------------------------------------------------------------
// Elements

TElementoObj3D::TElementoObj3D(TObjeto3D* escena, int numPuntos)
    : objeto(escena), puntos(static_cast<size_t>(numPuntos)) {}

bool TElementoObj3D::BuscaPunto(IDCOpenGL&, const vector2D&, int&) {
    return false;
}

bool TElementoObj3D::BuscaEntrePuntos(IDCOpenGL& dc, const vector2D& posicion, int n, int& indice) const {
    const int limite = std::min(n, static_cast<int>(puntos.size()));
    for (int i = 0; i < limite; ++i) {
        vector3D ventana;
        bool visible = false;
        dc.ProjectPoint(puntos[static_cast<size_t>(i)], ventana, visible, true);
        if (std::fabs(ventana.x - posicion.x) + std::fabs(ventana.y - posicion.y) < 8.0) {
            indice = i;
            return true;
        }
    }
    return false;
}

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

DString TextoErrores(bool correcto, const DString& error) {
    if (!error.IsEmpty()) return error;
    return DString(correcto ? "ok" : "Undefined error");
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

bool TObjeto3D::Carga(const char* nombre, DString& error, void* extra) {
    const DString extension = Extension(nombre);
    if (extension.CompareNoCase("3di") == 0) return CargaScript(nombre, error, extra);
    if (extension.CompareNoCase("dwg") == 0) return false;
    if (extension.CompareNoCase("3DS") == 0) return ImportScene3DS(*this, nombre, error);
    error = "Format unknown: ";
    error += nombre;
    return false;
}

bool TObjeto3D::CargaScript(const char* nombre, DString& error, void*) {
    error = "";
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqLeeTexto)) {
        error = "Error, File ";
        error += nombre;
        error += " not found";
        return false;
    }
    nombreFichero = nombre;
    return Lee(fichero, nullptr, error);
}

void TObjeto3D::Reinicia() {
    Clear(owns);
    texturas->Vacia();
    defines->Vacia();
    escala = 1.0;
    nivelPush = 0;
    puntosMalla = 0;
    // Only a 3D Studio import turns the scene: a script read after a mesh is not turned.
    anguloGiro = 0.0;
    giroEnY = false;
}

bool TObjeto3D::Lee(TFicheroQOR& lector, DString* textoExpandido, DString& error) {
    Reinicia();
    // However the read ends, the cached texture images it did not name go.
    struct TFinLectura {
        TTexturas3Di& texturas;
        ~TFinLectura() { texturas.TerminaLectura(); }
    } fin{*texturas};
    TLectura estado;
    DString linea;
    int numero = lector.LeeLinea(linea);
    try {
        while (!linea.IsEmpty()) {
            if (!LeeLinea(estado, linea, numero, textoExpandido, error)) return false;
            numero = lector.LeeLinea(linea);
        }
    } catch (const TXErrorObjeto3D& e) {
        AnadeNumeroLinea(error, numero);
        error += e.mensaje;
        error += "\r\n";
        return false;
    }
    if (nivelPush > 0) {
        error = "POPs needed!";
        return false;
    }
    return !estado.fallo;
}

// One line of the script; false when the parse must end (a texture that failed).
bool TObjeto3D::LeeLinea(TLectura& estado, DString& linea, int numero, DString* textoExpandido,
                         DString& error) {
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
        AnadeNumeroLinea(error, numero);
        error += "'=' needed in line ";
        error += linea;
        error += "\r\n";
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
                AnadeNumeroLinea(error, numero);
                error += mensaje;
                error += "\r\n";
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
                error += errorElemento;
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
    AnadeNumeroLinea(error, numero);
    error += "Undefined command:";
    error += comando;
    error += "\r\n";
    estado.fallo = true;
    return true;
}

// ---------------------------------------------------------------------------------------
// Painting

// The scene's own transform; `progreso` follows how far it got (see Pinta).
void TObjeto3D::AplicaVista(const vector3D& posicion, double giroZ, double zoom, double giroX,
                            double estiramientoZ, int& progreso) {
    glTranslatef(static_cast<float>(posicion.x), static_cast<float>(posicion.y),
                 static_cast<float>(posicion.z));
    progreso = 2;
    glScalef(static_cast<float>(zoom), static_cast<float>(zoom), static_cast<float>(zoom * estiramientoZ));
    glRotatef(static_cast<float>((giroZ + anguloGiro) * gradosPorRadian), 0.0f, 0.0f, 1.0f);
    progreso = 3;
    const float grados = static_cast<float>(2.0 * giroX * gradosPorRadian);
    if (giroEnY)
        glRotatef(grados, 0.0f, 1.0f, 0.0f);
    else
        glRotatef(grados, 1.0f, 0.0f, 0.0f);
    progreso = 4;
    glTranslatef(static_cast<float>(-centro.x), static_cast<float>(-centro.y), static_cast<float>(-centro.z));
    progreso = 5;
}

void TObjeto3D::Pinta(IDCOpenGL& dc, const vector3D& posicion, double giroZ, double zoom, double giroX,
                      double estiramientoZ) {
    const TLuz luzGuardada = dc.luz;
    int progreso = 0;
    bool empujada = false;
    try {
        dc.luz = luzEscena;
        // The textures of images no longer named leave the device.
        dc.almacenTexturas.Purga(dc);
        progreso = 1;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        empujada = true;
        AplicaVista(posicion, giroZ, zoom * escala, giroX, estiramientoZ, progreso);
        nivelPush = 0;
        // Runs of plain triangles go out in one draw; whatever paints itself (and may
        // change the matrices) first draws the run before it.
        TLoteTriangulos lote;
        for (int i = Base(); i < Fin(); ++i) {
            if (!IsOccupied(i)) continue;
            ++progreso;
            TElementoObj3D& e = (*this)[i];
            const bool resaltado = lineaResaltada >= 0 && e.linea == lineaResaltada;
            if (!resaltado && e.PintaEnLote(lote)) continue;
            lote.Pinta();
            e.Pinta(dc, resaltado, resaltado ? puntoResaltado : -1);
        }
        lote.Pinta();
        progreso = 1000;
        DeshazPush();
        progreso = 1001;
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        empujada = false;
        progreso = 1002;
    } catch (...) {
        // Leave the matrix stack as it was found, so that later frames stay correct.
        DeshazPush();
        if (empujada) {
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
        }
        DString mensaje;
        mensaje.Format("Undefined critical in TObjeto3D::Pinta tr=%d", progreso);
        Informa(mensaje.c_str(), tituloErrorPintura);
    }
    dc.luz = luzGuardada;
}

void TObjeto3D::EmpujaMatriz(const std::array<double, 16>& matriz) {
    glMatrixMode(GL_MODELVIEW);
    GLint profundidad = 0, maxima = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &profundidad);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxima);
    if (pilaPropia.empty() && profundidad < maxima - nivelesReservados) {
        glPushMatrix();
    } else {
        std::array<double, 16> actual{};
        glGetDoublev(GL_MODELVIEW_MATRIX, actual.data());
        pilaPropia.push_back(actual);
    }
    ++nivelPush;
    glMultMatrixd(matriz.data());
}

void TObjeto3D::SacaMatriz() {
    if (nivelPush <= 0) return;
    glMatrixMode(GL_MODELVIEW);
    if (!pilaPropia.empty()) {
        glLoadMatrixd(pilaPropia.back().data());
        pilaPropia.pop_back();
    } else {
        glPopMatrix();
    }
    --nivelPush;
}

void TObjeto3D::DeshazPush() {
    while (nivelPush > 0)
        SacaMatriz();
    pilaPropia.clear();
}

// ---------------------------------------------------------------------------------------
// Picking

void TObjeto3D::BuscaPunto(IDCOpenGL& dc, const vector2D& posicion, int& lineaEncontrada, int& indice) {
    lineaEncontrada = -1;
    indice = -1;
    // The points are projected under the same transforms as they are painted with:
    // the scene's own view settings and the PUSH elements before them.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    int progreso = 0;
    AplicaVista(vector3D(), 0.0, escala, 0.0, 1.0, progreso);
    nivelPush = 0;
    for (int i = Base(); i < Fin(); ++i) {
        if (!IsOccupied(i)) continue;
        TElementoObj3D& e = (*this)[i];
        if (e.EsTransformacion()) {
            e.Pinta(dc, false, -1);
            continue;
        }
        int punto = -1;
        if (e.BuscaPunto(dc, posicion, punto)) {
            lineaEncontrada = e.linea;
            indice = punto;
            break;
        }
    }
    DeshazPush();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
