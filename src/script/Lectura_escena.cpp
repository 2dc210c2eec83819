#include "script/Lectura_escena.h"

#include "geometry/Luz_normals.h"
#include "script/Colores_idc.h"
#include "script/Defines_3di.h"
#include "script/Formula.h"
#include "script/Lexico_3di.h"
#include "script/Objetos_3d_planos.h"
#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Rutas.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// LINEWIDTH keeps the integer part of the number, within the range of an int.
int32_t TruncaEntero(double valor) {
    if (!(valor == valor)) return 0;
    if (valor >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (valor <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(valor);
}

std::string_view Vista(const DString& texto) {
    return {texto.c_str(), static_cast<size_t>(texto.Length())};
}

DString Texto(std::string_view vista) {
    return {vista.data(), static_cast<int>(vista.size())};
}

// A line that made an element: its text as the line reader gave it, the reader state it
// met (the current texture by its identity: an unchanged file gives the very texture of
// the read before), and what it changed of that state. Its element is the one at the
// same place in the scene.
struct TLineaElemento {
    std::string texto;
    uint32_t color = 0;
    int32_t grosor = 0;
    const TTextura3Di* textura = nullptr;
    int definiciones = 0;
    long trabajo = 0; // macro work
    int64_t malla = 0;
    int32_t pila = 0;

    bool MismaClave(const TLineaElemento& o) const {
        return texto == o.texto && color == o.color && grosor == o.grosor && textura == o.textura &&
               definiciones == o.definiciones;
    }
    size_t Clave() const {
        size_t h = std::hash<std::string>()(texto);
        for (const size_t v : {size_t{color}, static_cast<size_t>(grosor), std::hash<const void*>()(textura),
                               static_cast<size_t>(definiciones)})
            h = h * 1000003u ^ v;
        return h;
    }
};

} // namespace

// What a read leaves for the next one: the lines that made its elements (one for each
// element of its scene, in the scene's order), its definition lines, and its textures
// with the images kept.
class TMemoriaLectura {
public:
    TIdentidadEscena escena; // the scene it belongs to
    std::vector<TLineaElemento> lineas;
    std::vector<std::string> definiciones;
    TTexturas3Di texturas;
};

namespace {

// The elements of the read before that the new read may take back. The lines mostly come
// in the same order as before, so the one after the last taken is tried first, and an
// index by key is made only when that fails. Each is taken once at most.
class TAnteriores {
public:
    TAnteriores(const TMemoriaLectura* memoria, const TObjeto3D* escena) {
        if (!memoria || !escena || memoria->escena != escena->Identidad() ||
            memoria->lineas.size() != escena->Elementos().size())
            return;
        lineas = &memoria->lineas;
        elementos = &escena->Elementos();
        tomados.assign(lineas->size(), false);
    }

    // The index of an unused line with the key of `clave`, or -1.
    int Toma(const TLineaElemento& clave) {
        if (!lineas) return -1;
        if (siguiente < lineas->size() && !tomados[siguiente] && (*lineas)[siguiente].MismaClave(clave))
            return Da(siguiente);
        if (!indexadas) Indexa();
        const auto [desde, hasta] = porClave.equal_range(clave.Clave());
        for (auto i = desde; i != hasta; ++i)
            if (!tomados[i->second] && (*lineas)[i->second].MismaClave(clave)) return Da(i->second);
        return -1;
    }
    const TLineaElemento& Linea(int i) const { return (*lineas)[static_cast<size_t>(i)]; }
    const TObjeto3D::TElemento& Elemento(int i) const { return (*elementos)[static_cast<size_t>(i)]; }

private:
    int Da(size_t i) {
        siguiente = i + 1;
        tomados[i] = true;
        return static_cast<int>(i);
    }
    void Indexa() {
        porClave.reserve(lineas->size());
        for (size_t i = 0; i < lineas->size(); ++i)
            porClave.emplace((*lineas)[i].Clave(), i);
        indexadas = true;
    }

    const std::vector<TLineaElemento>* lineas = nullptr;
    const std::vector<TObjeto3D::TElemento>* elementos = nullptr;
    std::vector<bool> tomados;
    std::unordered_multimap<size_t, size_t> porClave;
    bool indexadas = false;
    size_t siguiente = 0;
};

// The line of reads a read belongs to: the one of the read before, or a new one.
std::shared_ptr<TNumeracion> Numeracion(const TLecturaEscena* anterior) {
    return anterior ? anterior->Escena().numeracion : std::make_shared<TNumeracion>();
}

} // namespace

// One read of a script: the scene and the memory it makes, and the reader state.
class TLector3Di {
public:
    TLector3Di(const DString& nombreFichero, const TLecturaEscena* anterior, DString* textoExpandido)
        : escena(std::make_shared<TObjeto3D>(Numeracion(anterior))),
          memoria(std::make_shared<TMemoriaLectura>()),
          anteriores(anterior ? anterior->memoria.get() : nullptr,
                     anterior ? anterior->escena.get() : nullptr),
          textoExpandido(textoExpandido) {
        if (anterior) {
            // CENTER and the orientation flags stand until a script sets them; only a 3D
            // Studio import turns the scene, so a script read after a mesh is not turned.
            static_cast<TCabeceraEscena&>(*escena) = anterior->Escena();
            escena->escala = 1.0;
            escena->anguloGiro = 0.0;
            escena->giroEnY = false;
            memoria->texturas = anterior->Texturas();
            // Definitions are compared only with a read whose elements can be taken back.
            if (anterior->memoria && anterior->memoria->escena == anterior->escena->Identidad())
                definicionesAnteriores = &anterior->memoria->definiciones;
        }
        memoria->texturas.Vacia();
        escena->nombreFichero = nombreFichero;
        if (!nombreFichero.IsEmpty()) escena->ficheros.push_back(nombreFichero);
    }

    TLecturaEscena Lee(TFicheroQOR& lector) {
        LeeLineas(lector);
        TTexturas3Di& texturas = memoria->texturas;
        texturas.TerminaLectura();
        escena->texturas = texturas.lista;
        escena->ficheros.insert(escena->ficheros.end(), texturas.nombradas.begin(), texturas.nombradas.end());
        memoria->escena = escena->Identidad();
        const DString nombre = escena->nombreFichero;
        return {std::move(escena), std::move(informe), nombre, std::move(memoria)};
    }

    std::shared_ptr<TObjeto3D> escena;

private:
    void LeeLineas(TFicheroQOR& lector);
    bool LeeLinea(DString& linea, int numero);
    bool Reutiliza(const DString& linea, int numero);
    TLineaElemento Clave(const DString& linea) const {
        return {linea.c_str(), colorActual, grosorActual, memoria->texturas.TexturaActual(), definiciones};
    }

    std::shared_ptr<TMemoriaLectura> memoria;
    TInformeLectura informe;
    TAnteriores anteriores;
    const std::vector<std::string>* definicionesAnteriores = nullptr;
    DString* textoExpandido;
    TEstadoLectura estado;
    TDefines3Di defines;
    uint32_t colorActual = colorBlanco;
    int32_t grosorActual = 1;
    bool fallo = false;
    // The definition lines read so far, whether they are those the read before began
    // with (only then can its elements be taken back), and whether the line just read
    // was one.
    int definiciones = 0;
    bool definicionesIguales = true;
    bool definicion = false;
    // What of the line being read an error raised now belongs to.
    TErrorLectura::TParte parte = TErrorLectura::enLinea;
};

void TLector3Di::LeeLineas(TFicheroQOR& lector) {
    DString linea;
    int numero = lector.LeeLinea(linea);
    try {
        while (!linea.IsEmpty()) {
            parte = TErrorLectura::enLinea;
            if (textoExpandido || !definicionesIguales || !Reutiliza(linea, numero)) {
                TLineaElemento registro = Clave(linea);
                const long trabajo = defines.Trabajo();
                const int64_t malla = estado.puntosMalla;
                const int32_t pila = estado.nivelPush;
                const int elementos = escena->Count();
                definicion = false;
                const bool sigue = LeeLinea(linea, numero);
                if (escena->Count() > elementos) {
                    registro.trabajo = defines.Trabajo() - trabajo;
                    registro.malla = estado.puntosMalla - malla;
                    registro.pila = estado.nivelPush - pila;
                    memoria->lineas.push_back(std::move(registro));
                } else if (definicion) {
                    const size_t k = static_cast<size_t>(definiciones);
                    definicionesIguales = definicionesIguales && definicionesAnteriores &&
                                          k < definicionesAnteriores->size() &&
                                          (*definicionesAnteriores)[k] == registro.texto;
                    memoria->definiciones.push_back(std::move(registro.texto));
                    ++definiciones;
                }
                if (!sigue) {
                    informe.correcto = false;
                    return;
                }
            }
            numero = lector.LeeLinea(linea);
        }
    } catch (const TXErrorObjeto3D& e) {
        informe.AnadeNumerado(numero, e.mensaje, parte);
        informe.correcto = false;
        return;
    }
    if (estado.nivelPush > 0) {
        informe.Sustituye(DString("POPs needed!"));
        informe.correcto = false;
        return;
    }
    informe.correcto = !fallo;
}

// Takes back the element that the same line made in the read before, when the reader
// meets it in the same state; its changes of the state are made again, with the same
// checks. False when there is none.
bool TLector3Di::Reutiliza(const DString& linea, int numero) {
    // A definition line changes the definitions: it is always read.
    std::string_view nombre, valor;
    if (LeeDefinicion(Vista(linea), nombre, valor)) return false;
    TLineaElemento clave = Clave(linea);
    const int i = anteriores.Toma(clave);
    if (i < 0) return false;
    const TLineaElemento& anterior = anteriores.Linea(i);
    if (anterior.trabajo) defines.Cuenta(anterior.trabajo);
    if (anterior.malla) estado.ReservaMalla(anterior.malla);
    if (anterior.pila > 0) estado.AbrePush();
    if (anterior.pila < 0) estado.CierraPush();
    clave.trabajo = anterior.trabajo;
    clave.malla = anterior.malla;
    clave.pila = anterior.pila;
    memoria->lineas.push_back(std::move(clave));
    escena->Retoma(anteriores.Elemento(i), numero);
    return true;
}

// One line of the script; false when the parse must end (a texture that failed).
bool TLector3Di::LeeLinea(DString& linea, int numero) {
    definicion = ProcesaLinea(defines, linea);
    if (textoExpandido) {
        *textoExpandido += linea;
        *textoExpandido += "\r\n";
    }
    if (definicion) return true;

    const TOrdenLinea orden = OrdenDeLinea(Vista(linea));
    if (!orden.Completa()) {
        DString mensaje("'=' needed in line ");
        mensaje += linea;
        informe.AnadeNumerado(numero, mensaje.c_str());
        fallo = true;
        return true;
    }
    DString comando = Texto(orden.comando);
    comando.ToUpper();
    const DString parametros = Texto(orden.parametros);
    const TComando3Di* c = BuscaComando3Di(comando.c_str());
    if (!c) {
        DString mensaje("Undefined command:");
        mensaje += comando;
        informe.AnadeNumerado(numero, mensaje.c_str(), TErrorLectura::enComando);
        fallo = true;
        return true;
    }
    parte = TErrorLectura::enCampos;
    switch (c->tipo) {
    case TTipoComando::version:
        break;
    case TTipoComando::center:
        escena->centro = vector3D();
        ReadVector(parametros, escena->centro);
        break;
    case TTipoComando::color:
        colorActual = LeeColor(parametros);
        break;
    case TTipoComando::texturet: {
        if (const auto leida = LeeTextura(memoria->texturas, parametros, escena->nombreFichero); !leida) {
            informe.AnadeNumerado(numero, leida.Mensaje().c_str(), TErrorLectura::enCampos);
            return false;
        }
        break;
    }
    case TTipoComando::linewidth:
        grosorActual = TruncaEntero(parametros.ToDouble());
        break;
    case TTipoComando::scale:
        escena->escala = parametros.ToDouble();
        break;
    case TTipoComando::xorientation:
        escena->orientacionX = ConvierteEntero(parametros.c_str()) != 0;
        break;
    case TTipoComando::zorientation:
        escena->orientacionZ = ConvierteEntero(parametros.c_str()) != 0;
        break;
    case TTipoComando::elemento: {
        const std::shared_ptr<TElementoObj3D> elemento = c->fabrica();
        elemento->textura = memoria->texturas.TexturaActual();
        if (const TResultado<void> leido = elemento->Lee(parametros, estado); !leido) {
            informe.AnadeDelLector(numero, leido.Mensaje());
            break;
        }
        elemento->color = colorActual;
        elemento->grosorLinea = grosorActual;
        escena->Anade(elemento, numero);
        break;
    }
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// The read function and its entry points

namespace {

// What a read gives when it cannot read at all: the scene and memory of the read before
// (or an empty scene), the message standing for the read.
TLecturaEscena SinLectura(const TLecturaEscena* anterior, const DString& mensaje) {
    TLecturaEscena lectura = anterior ? *anterior : TLecturaEscena();
    lectura.informe.Vacia();
    lectura.informe.correcto = false;
    if (!mensaje.IsEmpty()) lectura.informe.Sustituye(mensaje);
    return lectura;
}

TLecturaEscena LeeScript(TFicheroQOR& lector, const DString& nombreFichero, const TLecturaEscena* anterior,
                         DString* textoExpandido) {
    return TLector3Di(nombreFichero, anterior, textoExpandido).Lee(lector);
}

TLecturaEscena CargaScript(const DString& nombre, const TLecturaEscena* anterior) {
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre.c_str(), fqLeeTexto)) {
        DString error("Error, File ");
        error += nombre;
        error += " not found";
        return SinLectura(anterior, error);
    }
    return TLector3Di(nombre, anterior, nullptr).Lee(fichero);
}

TLecturaEscena Importa3DS(const DString& nombre, const TLecturaEscena* anterior) {
    auto escena = std::make_shared<TObjeto3D>(Numeracion(anterior));
    if (anterior) static_cast<TCabeceraEscena&>(*escena) = anterior->Escena();
    escena->ficheros.push_back(nombre);
    TLecturaEscena lectura;
    // A mesh names no texture: the name for the textures of a script read later stays.
    if (anterior) lectura.nombreFichero = anterior->nombreFichero;
    const TResultado<void> importada = ImportScene3DS(*escena, nombre.c_str());
    lectura.informe.correcto = importada.Correcto();
    if (!importada) lectura.informe.Sustituye(importada.Mensaje());
    lectura.escena = std::move(escena);
    return lectura;
}

} // namespace

TFuenteEscena TFuenteEscena::Texto(std::string_view texto, const DString& nombreFichero) {
    TFuenteEscena f;
    f.texto = texto;
    f.nombreFichero = nombreFichero;
    return f;
}

TFuenteEscena TFuenteEscena::Fichero(const DString& nombre) {
    TFuenteEscena f;
    f.nombreFichero = nombre;
    f.esFichero = true;
    return f;
}

TLecturaEscena LeeEscena(const TFuenteEscena& fuente, const TLecturaEscena* anterior) {
    if (!fuente.esFichero) {
        TFicheroQORdatos memoria(fqLeeTexto, fuente.texto.data(), static_cast<int32_t>(fuente.texto.size()));
        return LeeScript(memoria, fuente.nombreFichero, anterior, fuente.textoExpandido);
    }
    const DString& nombre = fuente.nombreFichero;
    const DString extension = Extension(nombre.c_str());
    if (extension.CompareNoCase("3di") == 0) return CargaScript(nombre, anterior);
    if (extension.CompareNoCase("dwg") == 0) return SinLectura(anterior, DString());
    if (extension.CompareNoCase("3DS") == 0) return Importa3DS(nombre, anterior);
    DString error("Format unknown: ");
    error += nombre;
    return SinLectura(anterior, error);
}

TLecturaEscena::TLecturaEscena()
    : escena(std::make_shared<const TObjeto3D>()), memoria(std::make_shared<const TMemoriaLectura>()) {}

TLecturaEscena::TLecturaEscena(std::shared_ptr<const TObjeto3D> escena, TInformeLectura informe,
                               DString nombreFichero, std::shared_ptr<const TMemoriaLectura> memoria)
    : escena(std::move(escena)), informe(std::move(informe)), nombreFichero(std::move(nombreFichero)),
      memoria(std::move(memoria)) {}

const TTexturas3Di& TLecturaEscena::Texturas() const {
    return memoria->texturas;
}

TResultado<void> TLecturaEscena::Sustituye(TLecturaEscena nueva) {
    *this = std::move(nueva);
    if (informe.correcto) return {};
    return TFallo{TCausa::entrada, informe.Mensajes()};
}

TResultado<void> TLecturaEscena::Carga(const char* nombre, void* extra) {
    if (Extension(nombre).CompareNoCase("3di") == 0) return CargaScript(nombre, extra);
    return Sustituye(LeeEscena(TFuenteEscena::Fichero(nombre), this));
}

TResultado<void> TLecturaEscena::CargaScript(const char* nombre, void*) {
    return Sustituye(::CargaScript(nombre, this));
}

TResultado<void> TLecturaEscena::Lee(TFicheroQOR& lector, DString* textoExpandido) {
    return Sustituye(LeeScript(lector, nombreFichero, this, textoExpandido));
}
