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
#include <string>
#include <unordered_map>
#include <utility>

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
    : objeto(escena), puntos(static_cast<size_t>(numPuntos)), serie(escena ? escena->NuevaSerie() : 0) {}

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
    // The definition lines read so far, and whether they are those the last read began
    // with (only then can its elements be taken back).
    int definiciones = 0;
    bool definicionesIguales = true;
    bool definicion = false; // the line just read was one
};

// A line that made an element: its text as the line reader gave it, the reader state it
// met, what it changed of that state, and its element.
struct TObjeto3D::TLineaElemento {
    std::string texto;
    uint32_t color = 0;
    int32_t grosor = 0;
    std::string textura; // the current texture's file, empty when none
    bool alfa = false;
    int definiciones = 0;
    long trabajo = 0; // macro work
    int64_t malla = 0;
    int32_t pila = 0;
    TElementoObj3D* elemento = nullptr;

    bool MismaClave(const TLineaElemento& o) const {
        return texto == o.texto && color == o.color && grosor == o.grosor && textura == o.textura &&
               alfa == o.alfa && definiciones == o.definiciones;
    }
    size_t Clave() const {
        size_t h = std::hash<std::string>()(texto);
        for (const size_t v : {size_t{color}, static_cast<size_t>(grosor), std::hash<std::string>()(textura),
                               size_t{alfa}, static_cast<size_t>(definiciones)})
            h = h * 1000003u ^ v;
        return h;
    }
};

// The elements of the last read, owned while the new read looks for the ones it can
// take back; those left over die with it. The lines mostly come in the same order as
// before, so the one after the last taken is tried first, and an index by key is made
// only when that fails.
class TObjeto3D::TAnteriores {
public:
    TAnteriores() = default;
    TAnteriores(std::vector<TLineaElemento> lineas, std::vector<std::unique_ptr<TElementoObj3D>> elementos)
        : lineas(std::move(lineas)), elementos(std::move(elementos)) {}

    // The element of an unused line with the key of `clave`, and that line's record.
    std::unique_ptr<TElementoObj3D> Toma(const TLineaElemento& clave, const TLineaElemento*& linea) {
        if (siguiente < lineas.size() && elementos[siguiente] && lineas[siguiente].MismaClave(clave))
            return Da(siguiente, linea);
        if (!indexadas) Indexa();
        const auto [desde, hasta] = porClave.equal_range(clave.Clave());
        for (auto i = desde; i != hasta; ++i)
            if (elementos[i->second] && lineas[i->second].MismaClave(clave)) return Da(i->second, linea);
        return nullptr;
    }
    // The list as the last read left it, to tell whether the new one differs.
    std::vector<std::pair<const TElementoObj3D*, int32_t>> orden;

private:
    std::unique_ptr<TElementoObj3D> Da(size_t i, const TLineaElemento*& linea) {
        siguiente = i + 1;
        linea = &lineas[i];
        return std::move(elementos[i]);
    }
    void Indexa() {
        porClave.reserve(lineas.size());
        for (size_t i = 0; i < lineas.size(); ++i)
            porClave.emplace(lineas[i].Clave(), i);
        indexadas = true;
    }

    std::vector<TLineaElemento> lineas;
    std::vector<std::unique_ptr<TElementoObj3D>> elementos;
    std::unordered_multimap<size_t, size_t> porClave;
    bool indexadas = false;
    size_t siguiente = 0;
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

void TObjeto3D::AbrePush() {
    ++nivelPush;
}

void TObjeto3D::CierraPush() {
    if (nivelPush < 1) throw TXErrorObjeto3D("Error invalid POP command");
    --nivelPush;
}

void TObjeto3D::ReservaMalla(int64_t puntos) {
    if (puntosMalla + puntos > maxPuntosEscena)
        throw TXErrorObjeto3D("Error: the XTRUSION and REVOLUTION grids of the scene pass 2097152 points");
    puntosMalla += puntos;
}

void TObjeto3D::Reinicia() {
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

// Takes the elements out of the list. They are those of the last read, in its order,
// unless the list was changed since; then they are deleted, and nothing is taken back.
TObjeto3D::TAnteriores TObjeto3D::TomaAnteriores() {
    std::vector<std::unique_ptr<TElementoObj3D>> elementos;
    std::vector<std::pair<const TElementoObj3D*, int32_t>> orden;
    for (int i = Base(); i < Fin(); ++i)
        if (IsOccupied(i)) {
            elementos.emplace_back(&(*this)[i]);
            orden.emplace_back(elementos.back().get(), elementos.back()->linea);
        }
    VectorP<TElementoObj3D>::Clear(false);
    const bool validas = revisionLectura == revision && lineasElemento.size() == elementos.size();
    TAnteriores anteriores;
    if (validas)
        anteriores = TAnteriores(std::move(lineasElemento), std::move(elementos));
    else
        definicionesLeidas.clear();
    anteriores.orden = std::move(orden);
    lineasElemento.clear();
    return anteriores;
}

bool TObjeto3D::Lee(TFicheroQOR& lector, DString* textoExpandido, DString& error) {
    {
        TAnteriores anteriores = TomaAnteriores();
        Reinicia();
        // However the read ends, the cached texture images it did not name go.
        struct TFinLectura {
            TTexturas3Di& texturas;
            ~TFinLectura() { texturas.TerminaLectura(); }
        } fin{*texturas};
        LeeLineas(lector, textoExpandido, anteriores);
        // The painter's frame stays good when the list comes out as it was.
        std::vector<std::pair<const TElementoObj3D*, int32_t>> orden;
        ParaCada([&](const TElementoObj3D& e) { orden.emplace_back(&e, e.linea); });
        if (orden != anteriores.orden) ++revision;
        revisionLectura = revision;
    }
    // The messages join whatever the caller's text held, except a message that stands
    // for the whole read.
    if (informe.errores.size() == 1 && informe.errores[0].linea < 0)
        error = informe.Mensajes();
    else
        error += informe.Mensajes();
    return informe.correcto;
}

void TObjeto3D::LeeLineas(TFicheroQOR& lector, DString* textoExpandido, TAnteriores& anteriores) {
    TLectura estado;
    std::vector<std::string> definicionesAnteriores = std::move(definicionesLeidas);
    definicionesLeidas.clear();
    DString linea;
    int numero = lector.LeeLinea(linea);
    try {
        while (!linea.IsEmpty()) {
            if (textoExpandido || !estado.definicionesIguales ||
                !Reutiliza(estado, linea, numero, anteriores)) {
                const std::string texto(linea.c_str());
                TLineaElemento registro{texto, estado.colorActual, estado.grosorActual, {},
                                        false, estado.definiciones};
                if (const TTextura3Di* t = texturas->TexturaActual()) {
                    registro.textura = t->nombre.c_str();
                    registro.alfa = t->mezcla;
                }
                const long trabajo = defines->Trabajo();
                const int64_t malla = puntosMalla;
                const int32_t pila = nivelPush;
                const int elementos = Count();
                estado.definicion = false;
                const bool sigue = LeeLinea(estado, linea, numero, textoExpandido);
                if (Count() > elementos) {
                    registro.trabajo = defines->Trabajo() - trabajo;
                    registro.malla = puntosMalla - malla;
                    registro.pila = nivelPush - pila;
                    registro.elemento = &(*this)[Fin() - 1];
                    lineasElemento.push_back(std::move(registro));
                }
                if (estado.definicion) {
                    const size_t k = static_cast<size_t>(estado.definiciones);
                    estado.definicionesIguales = estado.definicionesIguales &&
                                                 k < definicionesAnteriores.size() &&
                                                 definicionesAnteriores[k] == texto;
                    definicionesLeidas.push_back(texto);
                    ++estado.definiciones;
                }
                if (!sigue) {
                    informe.correcto = false;
                    return;
                }
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

// Takes back the element that the same line made in the last read, when the reader
// meets it in the same state; its changes of the state are made again, with the same
// checks. False when there is none.
bool TObjeto3D::Reutiliza(TLectura& estado, const DString& linea, int numero, TAnteriores& anteriores) {
    // A definition line changes the definitions: it is always read.
    if (linea.CompareN("#define ", 8) == 0) return false;
    TLineaElemento clave{linea.c_str(), estado.colorActual, estado.grosorActual, {},
                         false,         estado.definiciones};
    if (const TTextura3Di* t = texturas->TexturaActual()) {
        clave.textura = t->nombre.c_str();
        clave.alfa = t->mezcla;
    }
    const TLineaElemento* anterior = nullptr;
    std::unique_ptr<TElementoObj3D> elemento = anteriores.Toma(clave, anterior);
    if (!elemento) return false;
    if (anterior->trabajo) defines->Cuenta(anterior->trabajo);
    if (anterior->malla) ReservaMalla(anterior->malla);
    if (anterior->pila > 0) AbrePush();
    if (anterior->pila < 0) CierraPush();
    elemento->linea = numero;
    elemento->textura = texturas->TexturaActual();
    clave.trabajo = anterior->trabajo;
    clave.malla = anterior->malla;
    clave.pila = anterior->pila;
    clave.elemento = elemento.get();
    lineasElemento.push_back(std::move(clave));
    VectorP<TElementoObj3D>::Insert(std::move(elemento));
    return true;
}

// One line of the script; false when the parse must end (a texture that failed).
bool TObjeto3D::LeeLinea(TLectura& estado, DString& linea, int numero, DString* textoExpandido) {
    const bool esDefinicion = ProcesaLinea(*defines, linea);
    estado.definicion = esDefinicion;
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
                informe.AnadeNumerado(numero, mensaje.c_str());
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
            VectorP<TElementoObj3D>::Insert(std::move(elemento));
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
