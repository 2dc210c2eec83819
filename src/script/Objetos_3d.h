// The scene of a 3DI script: TObjeto3D is the parsed icon (an ordered list of
// elements plus the settings of the header commands), TElementoObj3D the base of
// every element. The scene reads a script line by line and collects errors with their
// line numbers. It draws nothing: the scene painter (render/Pinta_escena.h) turns the
// elements into geometry and draws them.
#pragma once

#include "geometry/Matrix3.h"
#include "support/Dstring.h"
#include "support/Vectores_dg.h"

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TFicheroQOR;
class TObjeto3D;
class TDefines3Di;
class TTexturas3Di;
struct TTextura3Di;
class TVisitanteElementos;

// The script error that element readers raise: it carries a fixed message text.
class TXErrorObjeto3D : public std::exception {
public:
    explicit TXErrorObjeto3D(const char* texto) : mensaje(texto) {}
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

// What a painter keeps with an element or a scene between frames (its geometry, the
// frame made of them). The model only holds it: it is dropped with its owner, and an
// element is never changed after its read, so what was made from it stays true.
class TCachePintura {
public:
    virtual ~TCachePintura() = default;
};

class TElementoObj3D {
public:
    TElementoObj3D(TObjeto3D* escena, int numPuntos);
    virtual ~TElementoObj3D() = default;
    TElementoObj3D(const TElementoObj3D&) = delete;
    TElementoObj3D& operator=(const TElementoObj3D&) = delete;

    // Reads the parameter text; a problem is either written into `error` (the element
    // is then discarded) or raised as TXErrorObjeto3D (the parse then stops).
    virtual void Lee(const DString& parametros, DString& error) = 0;
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

    TObjeto3D* objeto;
    std::vector<vector3D> puntos;
    uint32_t color = 0;
    int32_t grosorLinea = 1;
    int32_t linea = -1;
    // The width of the element's lines when it is highlighted: three more, saturated
    // (LINEWIDTH takes any number of the int range).
    int32_t GrosorResaltado() const { return grosorLinea > INT32_MAX - 3 ? INT32_MAX : grosorLinea + 3; }
    TTextura3Di* textura = nullptr;
    // The painter's geometry of the element.
    mutable std::unique_ptr<TCachePintura> cachePintura;
    // Its number among the elements its scene has made (from 1; 0 outside a scene): an
    // element kept from one read to the next keeps it, so the painter can tell it from
    // a new one that happens to take the same memory.
    const uint64_t serie;
};

// One problem met while loading or reading a script: the script line it belongs to
// (-1 when it is the whole script's or the file's) and its message. `forma` is how
// the message stands in the error text: "N: message" and a line end, the message and
// a line end (as the extrusion readers and TEXTURET give theirs), or the message alone.
struct TErrorLectura {
    enum TForma : uint8_t { conNumero, conFinLinea, suelto };
    int32_t linea = -1;
    DString mensaje;
    TForma forma = conNumero;
};

// The outcome of the last load or read of a scene: success and the errors in the order
// they were met. The texts that the error pane and `check` show are made here, and only
// here, from the list.
class TInformeLectura {
public:
    // "N: message\r\n".
    void AnadeNumerado(int32_t linea, const char* mensaje);
    // A reader's own text, which ends with its line end (when it has one).
    void AnadeDelLector(int32_t linea, const DString& texto);
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

// Whether a word, in any case, is a command of the script (the parser's command table).
bool EsComando3Di(const char* palabra);
// Every command word of the script, in the order of the parser's command table.
std::vector<const char*> Comandos3Di();

class TObjeto3D : public VectorP<TElementoObj3D> {
public:
    TObjeto3D();
    ~TObjeto3D() override;

    // Loads a model file chosen by its extension ("3di" scripts; "3DS" meshes).
    bool Carga(const char* nombre, DString& error, void* extra = nullptr);
    bool CargaScript(const char* nombre, DString& error, void* extra = nullptr);
    // The parse loop over any reader of the file family (a disk file or the editor's
    // text in memory). `textoExpandido`, when given, receives every line after macro
    // replacement followed by CR LF. Returns true when no error was flagged.
    //
    // A read takes back the elements of the last read whose line has the same text and
    // meets the same reader state (the definitions in force, colour, line width and
    // texture), instead of reading them again: what a line makes depends on nothing
    // else, so the scene is the one a fresh read gives, and the painter keeps the
    // geometry of the elements taken back. (Not when the expanded text is asked for.)
    bool Lee(TFicheroQOR& lector, DString* textoExpandido, DString& error);

    // The reader state that elements change, each raising the script error where the
    // script passes its bounds: PUSH and POP...
    void AbrePush();
    void CierraPush();
    // ...and the grid points of the extrusions and revolutions.
    void ReservaMalla(int64_t puntos);

    // The list's own changes, which also tell the painter that its frame is out of date.
    int Insert(std::unique_ptr<TElementoObj3D> elemento, int indice = -1);
    void Clear(bool borraElementos);
    // Grows with every change of the element list.
    uint64_t Revision() const { return revision; }
    // The number of the next element made for the scene, and of the last one.
    uint64_t NuevaSerie() { return ++series; }
    uint64_t UltimaSerie() const { return series; }

    vector3D centro;
    double escala = 1.0;
    double anguloGiro = 0.0;
    bool orientacionX = false;
    bool orientacionZ = false;
    bool giroEnY = false;
    int32_t lineaResaltada = -1;
    int32_t puntoResaltado = -1;
    // Open PUSH commands while a script is read.
    int32_t nivelPush = 0;
    // Grid points of the extrusions and revolutions read so far (they are bounded).
    int64_t puntosMalla = 0;
    std::unique_ptr<TDefines3Di> defines;
    std::unique_ptr<TTexturas3Di> texturas;
    DString nombreFichero;
    // What the last load or read gave.
    TInformeLectura informe;
    // The painter's frame of the scene.
    mutable std::unique_ptr<TCachePintura> cachePintura;

private:
    struct TLectura;
    struct TLineaElemento;
    class TAnteriores;
    void Reinicia();
    TAnteriores TomaAnteriores();
    void LeeLineas(TFicheroQOR& lector, DString* textoExpandido, TAnteriores& anteriores);
    bool LeeLinea(TLectura& estado, DString& linea, int numero, DString* textoExpandido);
    bool Reutiliza(TLectura& estado, const DString& linea, int numero, TAnteriores& anteriores);

    uint64_t revision = 0;
    uint64_t series = 0;
    // The lines of the last read that made elements (in the order of the list), and its
    // definition lines, as the next read compares them; valid while the list is as
    // that read left it.
    std::vector<TLineaElemento> lineasElemento;
    std::vector<std::string> definicionesLeidas;
    uint64_t revisionLectura = 0;
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
