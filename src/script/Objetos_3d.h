// The scene of a 3DI script: TObjeto3D is the parsed icon (an ordered list of
// elements plus the settings of the header commands), TElementoObj3D the base of
// every element, TInformeLectura the errors of a read with their line numbers. The read
// that makes a scene is Lectura_escena.h. The scene draws nothing: the scene painter
// (render/Pinta_escena.h) turns the elements into geometry and draws them.
#pragma once

#include "geometry/Matrix3.h"
#include "support/Dstring.h"
#include "support/Resultado.h"
#include "support/Vectores_dg.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

struct TTextura3Di;
class TVisitanteElementos;

// The script error that element readers raise: it carries a fixed message text.
class TXErrorObjeto3D : public TXPictomolder {
public:
    explicit TXErrorObjeto3D(const char* texto) : TXPictomolder(TCausa::entrada), mensaje(texto) {}
    const char* what() const noexcept override { return mensaje; }
    const char* mensaje;
};

// Receives the fields of an element by name (the command-line dump and the tests
// read elements through it).
class TVisitanteCampos {
public:
    virtual ~TVisitanteCampos() = default;
    virtual void Campo(const char* nombre, double valor) = 0;
    virtual void Campo(const char* nombre, int valor) = 0;
    virtual void Campo(const char* nombre, bool valor) = 0;
    virtual void Campo(const char* nombre, const vector3D& valor) = 0;
    virtual void Campo(const char* nombre, std::span<const double> valores) = 0;
    virtual void Campo(const char* nombre, std::span<const vector3D> valores) = 0;
    virtual void Campo(const char* nombre, std::span<const vector2D> valores) = 0;
    virtual void Campo(const char* nombre, std::span<const std::array<int32_t, 4>> valores) = 0;
    // A nested element (the section of an extrusion, for example).
    virtual void Objeto(const char* nombre, const class TElementoObj3D& elemento) = 0;
};

// What reading an element may change of the read under way, each change raising the
// script error where the script passes its bounds: the open PUSH commands and the grid
// points of the extrusions and revolutions. The read owns it; an element sees it only
// while it reads its parameters.
class TEstadoLectura {
public:
    void AbrePush();
    void CierraPush();
    void ReservaMalla(int64_t puntos);

    int32_t nivelPush = 0;
    int64_t puntosMalla = 0;
};

// The numbers of a line of reads, each read taking it from the read before: a number
// tells an element (or a scene) from every other one of the line. Elements taken from
// one read into the next keep theirs, so whoever keeps something made from an element
// (the painter's geometry) keys it by the number, and starts again when handed a scene
// of another line. Reads of one line may run on different threads.
class TNumeracion {
public:
    uint64_t Nueva() { return ++ultima; }

private:
    std::atomic<uint64_t> ultima{0};
};

// Which scene: its line of reads (held, so that it is never another line's) and its
// number in it.
struct TIdentidadEscena {
    std::shared_ptr<const TNumeracion> numeracion;
    uint64_t serie = 0;
    bool operator==(const TIdentidadEscena&) const = default;
};

class TElementoObj3D {
public:
    explicit TElementoObj3D(int numPuntos);
    virtual ~TElementoObj3D() = default;
    TElementoObj3D(const TElementoObj3D&) = delete;
    TElementoObj3D& operator=(const TElementoObj3D&) = delete;

    // Reads the parameter text; a problem is either a failure returned (the element is
    // then discarded, its message kept) or raised as TXErrorObjeto3D (the parse then
    // stops). `estado` is the read under way.
    virtual TResultado<void> Lee(const DString& parametros, TEstadoLectura& estado) = 0;
    // Hands the element, as its own class, to the visitor (the painter, for one).
    virtual void Acepta(TVisitanteElementos& visitante) const = 0;
    // How many of the first `puntos` are control points that a click in the preview
    // can pick.
    virtual int PuntosControl() const { return 0; }
    // Whether the element is drawn in white instead of its colour when it has a texture
    // (the texture's own colours then show unchanged).
    virtual bool BlancoConTextura() const { return false; }

    virtual const char* NombreClase() const = 0;
    // Hands the element's own fields (beyond the common ones) to the visitor.
    virtual void Describe(TVisitanteCampos&) const {}

    std::vector<vector3D> puntos;
    uint32_t color = 0;
    int32_t grosorLinea = 1;
    // The width of the element's lines when it is highlighted: three more, saturated
    // (LINEWIDTH takes any number of the int range).
    int32_t GrosorResaltado() const { return grosorLinea > INT32_MAX - 3 ? INT32_MAX : grosorLinea + 3; }
    // The texture current when it was read; the scenes that hold the element hold it too.
    const TTextura3Di* textura = nullptr;
    // Its number in the scene's line of reads (TNumeracion), given when a scene takes it
    // in: an element is never changed after its read, so what was made from it stays
    // true while the number is the same.
    uint64_t serie = 0;
};

// One problem met while loading or reading a script: the script line it belongs to
// (-1 when it is the whole script's or the file's) and its message. `forma` is how
// the message stands in the error text: "N: message" and a line end, the message and
// a line end (as the extrusion readers and TEXTURET give theirs), or the message alone.
// `parte` is what of the line is wrong, as far as the reader knows: the command word,
// the fields after the "=", or the line as a whole.
struct TErrorLectura {
    enum TForma : uint8_t { conNumero, conFinLinea, suelto };
    enum TParte : uint8_t { enLinea, enComando, enCampos };
    int32_t linea = -1;
    DString mensaje;
    TForma forma = conNumero;
    TParte parte = enLinea;
};

// The outcome of a load or read of a scene: success and the errors in the order they
// were met. The texts that the error pane and `check` show are made here, and only
// here, from the list.
class TInformeLectura {
public:
    // "N: message\r\n".
    void AnadeNumerado(int32_t linea, const char* mensaje,
                       TErrorLectura::TParte parte = TErrorLectura::enLinea);
    // A reader's own text, which ends with its line end (when it has one).
    void AnadeDelLector(int32_t linea, const DString& texto,
                        TErrorLectura::TParte parte = TErrorLectura::enCampos);
    // A message that stands for the whole read, replacing whatever came before.
    void Sustituye(const DString& mensaje);
    void Vacia();

    // The messages one after another, as the error text of a read collects them.
    DString Mensajes() const;
    // One error as it stands among them.
    static DString TextoDe(const TErrorLectura& error);
    // What the error pane shows: the messages, or "ok", or "Undefined error" for a
    // failure that left no message.
    DString Texto() const;
    // The script lines that have an error, in order, without repeats.
    std::vector<int> LineasConError() const;

    bool correcto = true;
    std::vector<TErrorLectura> errores;
};

// The kinds of command of the script: the header commands, each with its own effect,
// and the commands that make an element.
enum class TTipoComando : uint8_t {
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

struct TComando3Di {
    const char* palabra;
    TTipoComando tipo;
    // A new element of the command's class (elements only).
    std::shared_ptr<TElementoObj3D> (*fabrica)();
};

// The command of a word in capitals (as the parser compares it), or null.
const TComando3Di* BuscaComando3Di(const char* mayusculas);
// Whether a word, in any case, is a command of the script (the parser's command table).
bool EsComando3Di(const char* palabra);
// Every command word of the script, in the order of the parser's command table.
std::vector<const char*> Comandos3Di();

// The settings of the header commands that decide how the whole scene is shown: CENTER
// (the point moved to the origin), SCALE, the two orientation flags (recorded only), and
// the turn a 3D Studio mesh is shown with (about z, and the vertical turn about y).
struct TCabeceraEscena {
    vector3D centro;
    double escala = 1.0;
    double anguloGiro = 0.0;
    bool orientacionX = false;
    bool orientacionZ = false;
    bool giroEnY = false;
    bool operator==(const TCabeceraEscena&) const = default;
};

// What the editor picks in the scene: the script line whose elements are drawn
// highlighted (-1: none) and the field under the caret on it, the control point marked
// (-1: none). A value handed to the painter: the scene knows nothing of it.
struct TSeleccion {
    int32_t lineaResaltada = -1;
    int32_t puntoResaltado = -1;
    bool operator==(const TSeleccion&) const = default;
};

// The scene: the elements in script order and the header settings, as one read made
// them (Lectura_escena.h). Once read it is handed out as a const object and never
// changed: not by painting, not by the caret, not by the next read, which takes its
// elements into a scene of its own.
class TObjeto3D : public TCabeceraEscena {
public:
    using TElemento = std::shared_ptr<const TElementoObj3D>;

    // A scene of a new line of reads, or the next scene of the line `numeracion`.
    explicit TObjeto3D(std::shared_ptr<TNumeracion> numeracion = std::make_shared<TNumeracion>())
        : numeracion(std::move(numeracion)), serie(this->numeracion->Nueva()) {}
    // A copy is another scene of the same line: it gets a number of its own.
    TObjeto3D(const TObjeto3D& otra);
    TObjeto3D& operator=(const TObjeto3D&) = delete;

    int Count() const { return static_cast<int>(elementos.size()); }
    const TElementoObj3D& operator[](int i) const { return *elementos.at(static_cast<size_t>(i)); }
    // The script line of element i, -1 for none (the faces of a mesh). The line belongs
    // to the scene, not to the element: an element taken into the next read keeps its
    // text and state, and may stand on another line there.
    int32_t Linea(int i) const {
        const auto k = static_cast<size_t>(i);
        if (k >= elementos.size()) throw TXPictomolder(TCausa::interna, "TObjeto3D::Linea");
        return k < lineas.size() ? lineas[k] : -1;
    }
    const std::vector<TElemento>& Elementos() const { return elementos; }
    // The elements' lines up to the last element that has one (a mesh keeps none).
    const std::vector<int32_t>& Lineas() const { return lineas; }
    template <class F> void ParaCada(F&& f) const {
        for (const TElemento& e : elementos)
            f(*e);
    }

    // While the scene is made (the readers only): a new element, which gets its number,
    // or one taken back from the read before, which keeps its own.
    void Anade(std::shared_ptr<TElementoObj3D> nuevo, int32_t linea = -1) {
        nuevo->serie = numeracion->Nueva();
        Retoma(std::move(nuevo), linea);
    }
    void Retoma(TElemento elemento, int32_t linea = -1) {
        elementos.push_back(std::move(elemento));
        if (linea < 0 && lineas.empty()) return;
        lineas.resize(elementos.size() - 1, -1);
        lineas.push_back(linea);
    }
    void Reserva(size_t n) { elementos.reserve(n); }
    void Vacia() {
        elementos.clear();
        lineas.clear();
    }

    // The script or mesh file the scene was read as (texture names were resolved against
    // its folder); empty for a text that stands for no file.
    DString nombreFichero;
    // The textures its elements were read with.
    std::vector<std::shared_ptr<const TTextura3Di>> texturas;
    // The files the read used (see Ficheros_leidos.h): the scene's own file when it has
    // a name, then every image file that TEXTURET named, read or not, each once.
    std::vector<DString> ficheros;
    // Its line of reads, which the next read of the line numbers from, and its number in
    // it: another scene, or another read, has another.
    const std::shared_ptr<TNumeracion> numeracion;
    const uint64_t serie;
    TIdentidadEscena Identidad() const { return {numeracion, serie}; }

private:
    std::vector<TElemento> elementos;
    std::vector<int32_t> lineas;
};

// Receives each element as its own class. Classes that differ only in their reader
// (CYLINDER, SPHERE, DISK, CUBE, the three PUSH commands) come as their base.
class TElementoQuad3D;
class TElementoTriang3D;
class TElementoLinea;
class TElementoCircle;
class TElementoCono3D;
class TElementoElipsoide3D;
class TElementoPrisma3D;
class TElementoPolilinea;
class TElementoXtrusion;
class TElementoRevolution;
class TElementoPush;
class TElementoPop;

class TVisitanteElementos {
public:
    virtual ~TVisitanteElementos() = default;
    virtual void Visita(const TElementoQuad3D& e) = 0;
    virtual void Visita(const TElementoTriang3D& e) = 0;
    virtual void Visita(const TElementoLinea& e) = 0;
    virtual void Visita(const TElementoCircle& e) = 0;
    virtual void Visita(const TElementoCono3D& e) = 0;
    virtual void Visita(const TElementoElipsoide3D& e) = 0;
    virtual void Visita(const TElementoPrisma3D& e) = 0;
    virtual void Visita(const TElementoPolilinea& e) = 0;
    virtual void Visita(const TElementoXtrusion& e) = 0;
    virtual void Visita(const TElementoRevolution& e) = 0;
    virtual void Visita(const TElementoPush& e) = 0;
    virtual void Visita(const TElementoPop& e) = 0;
};
