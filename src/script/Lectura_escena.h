// Reading a scene. One read function, LeeEscena, turns a script's text or a model file
// into a scene that nothing changes afterwards, and gives it with the report of the read.
// Handed the read before, it takes back that read's elements wherever a line has the
// same text and meets the same reader state (the definitions in force, colour, line
// width and texture), instead of reading them again: what a line makes depends on
// nothing else, so the scene is the one a fresh read gives, and the new scene shares
// those elements with the old one (the painter keeps what it made of them). The decoded
// texture images whose files are unchanged are taken back too (Texturas_3di.h). The old
// read is not changed: it may be shown until the new one takes its place.
#pragma once

#include "script/Objetos_3d.h"
#include "script/Texturas_3di.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <memory>
#include <string_view>

class TFicheroQOR;
class TMemoriaLectura;

// Where a read takes its script from: a text (the editor's pane, standard input) that
// stands for the file `nombreFichero` (texture names are resolved against its folder;
// the current folder when it is empty), or the model file `nombreFichero` itself, read
// by its extension ("3di" scripts, "3DS" meshes).
struct TFuenteEscena {
    static TFuenteEscena Texto(std::string_view texto, const DString& nombreFichero);
    static TFuenteEscena Fichero(const DString& nombre);

    std::string_view texto;
    DString nombreFichero;
    bool esFichero = false;
    // For a text: receives every line after macro replacement followed by CR LF (every
    // line is then read anew).
    DString* textoExpandido = nullptr;
};

// A read: its scene and report, and what the next read may take back from it.
class TLecturaEscena {
public:
    TLecturaEscena();

    const TObjeto3D& Escena() const { return *escena; }
    bool Correcta() const { return informe.correcto; }
    // The textures of the read: the list it named and the images kept for the next one.
    const TTexturas3Di& Texturas() const;

    // The scene read (an empty one before any read): shared with whoever shows it.
    std::shared_ptr<const TObjeto3D> escena;
    TInformeLectura informe;
    // The script file that Lee takes its text as (Carga and CargaScript set it).
    DString nombreFichero;

    // The operations of the scene's loader, as entry points to LeeEscena: each reads with
    // this read as the one before, and the new read takes this one's place. A read with
    // an error fails with the report's messages (none for a drawing); the messages of a
    // read that succeeds stay in `informe`.
    TResultado<void> Carga(const char* nombre, void* extra = nullptr);
    TResultado<void> CargaScript(const char* nombre, void* extra = nullptr);
    // The parse loop over any reader of the file family; `textoExpandido`, when given,
    // receives every line after macro replacement followed by CR LF (every line is then
    // read anew).
    TResultado<void> Lee(TFicheroQOR& lector, DString* textoExpandido);

private:
    friend class TLector3Di;
    TLecturaEscena(std::shared_ptr<const TObjeto3D> escena, TInformeLectura informe, DString nombreFichero,
                   std::shared_ptr<const TMemoriaLectura> memoria);
    TResultado<void> Sustituye(TLecturaEscena nueva);

    std::shared_ptr<const TMemoriaLectura> memoria;
};

// The read function. `anterior`, when given, is the read before: its elements and
// texture images are taken back where they can be, and its CENTER and orientation flags
// stand where the text sets none. A file that cannot be read at all gives the scene of
// the read before (or an empty one) with the message.
TLecturaEscena LeeEscena(const TFuenteEscena& fuente, const TLecturaEscena* anterior = nullptr);
