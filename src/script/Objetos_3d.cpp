#include "script/Objetos_3d.h"

#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Objetos_3d_pila.h"
#include "script/Objetos_3d_planos.h"
#include "script/Objetos_3d_solidos.h"

#include <algorithm>

namespace {

template <class T> std::shared_ptr<TElementoObj3D> Fabrica() {
    return std::make_shared<T>();
}

// The command table, in the order in which lines are tested against it.
const TComando3Di tablaComandos[] = {
    {"VERSION", TTipoComando::version, nullptr},
    {"CENTER", TTipoComando::center, nullptr},
    {"COLOR", TTipoComando::color, nullptr},
    {"TEXTURET", TTipoComando::texturet, nullptr},
    {"LINEWIDTH", TTipoComando::linewidth, nullptr},
    {"SCALE", TTipoComando::scale, nullptr},
    {"XORIENTATIONVIEW", TTipoComando::xorientation, nullptr},
    {"ZORIENTATIONVIEW", TTipoComando::zorientation, nullptr},
    {"QUAD", TTipoComando::elemento, Fabrica<TElementoQuad3D>},
    {"TRIANGLE", TTipoComando::elemento, Fabrica<TElementoTriang3D>},
    {"CONE", TTipoComando::elemento, Fabrica<TElementoCono3D>},
    {"CYLINDER", TTipoComando::elemento, Fabrica<TElementoCylinder3D>},
    {"SPHERE", TTipoComando::elemento, Fabrica<TElementoEsfera3D>},
    {"DISK", TTipoComando::elemento, Fabrica<TElementoDisco>},
    {"ELIPSOID", TTipoComando::elemento, Fabrica<TElementoElipsoide3D>},
    {"PRISM", TTipoComando::elemento, Fabrica<TElementoPrisma3D>},
    {"CUBE", TTipoComando::elemento, Fabrica<TElementoCubo3D>},
    {"LINE", TTipoComando::elemento, Fabrica<TElementoLinea>},
    {"CIRCLE", TTipoComando::elemento, Fabrica<TElementoCircle>},
    {"XTRUSION", TTipoComando::elemento, Fabrica<TElementoXtrusion>},
    {"PUSHSCALE", TTipoComando::elemento, Fabrica<TElementoPushScale>},
    {"PUSHTRANS", TTipoComando::elemento, Fabrica<TElementoPushTrans>},
    {"PUSHTURN", TTipoComando::elemento, Fabrica<TElementoPushTurn>},
    {"POP", TTipoComando::elemento, Fabrica<TElementoPop>},
    {"REVOLUTION", TTipoComando::elemento, Fabrica<TElementoRevolution>},
};

} // namespace

// ---------------------------------------------------------------------------------------
// Elements

TElementoObj3D::TElementoObj3D(int numPuntos) : puntos(static_cast<size_t>(numPuntos)) {}

void TEstadoLectura::AbrePush() {
    ++nivelPush;
}

void TEstadoLectura::CierraPush() {
    if (nivelPush < 1) throw TXErrorObjeto3D("Error invalid POP command");
    --nivelPush;
}

void TEstadoLectura::ReservaMalla(int64_t puntos) {
    if (puntosMalla + puntos > maxPuntosEscena)
        throw TXErrorObjeto3D("Error: the XTRUSION and REVOLUTION grids of the scene pass 2097152 points");
    puntosMalla += puntos;
}

const TComando3Di* BuscaComando3Di(const char* mayusculas) {
    const DString texto(mayusculas);
    for (const TComando3Di& c : tablaComandos)
        if (texto.Compare(c.palabra) == 0) return &c;
    return nullptr;
}

bool EsComando3Di(const char* palabra) {
    const DString texto(palabra);
    for (const TComando3Di& c : tablaComandos)
        if (texto.CompareNoCase(c.palabra) == 0) return true;
    return false;
}

std::vector<const char*> Comandos3Di() {
    std::vector<const char*> palabras;
    for (const TComando3Di& c : tablaComandos)
        palabras.push_back(c.palabra);
    return palabras;
}

TObjeto3D::TObjeto3D(const TObjeto3D& otra)
    : TCabeceraEscena(otra), nombreFichero(otra.nombreFichero), texturas(otra.texturas),
      ficheros(otra.ficheros), numeracion(otra.numeracion), serie(numeracion->Nueva()),
      elementos(otra.elementos), lineas(otra.lineas) {}

// ---------------------------------------------------------------------------------------
// The outcome of a read

void TInformeLectura::AnadeNumerado(int32_t linea, const char* mensaje, TErrorLectura::TParte parte) {
    errores.push_back({linea, DString(mensaje), TErrorLectura::conNumero, parte});
}

void TInformeLectura::AnadeDelLector(int32_t linea, const DString& texto, TErrorLectura::TParte parte) {
    const int largo = texto.Length();
    if (largo >= 2 && texto.CharAt(largo - 2) == '\r' && texto.CharAt(largo - 1) == '\n')
        errores.push_back({linea, texto.Mid(0, largo - 2), TErrorLectura::conFinLinea, parte});
    else
        errores.push_back({linea, texto, TErrorLectura::suelto, parte});
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
