// The scene's textures: TEXTURET makes an image file the current texture of the elements
// that follow it, until the next TEXTURET.
//
// One file, one texture. A name is resolved against the script's folder and the file it
// names is known by its identity (device and inode): within one read, every TEXTURET that
// reaches the same file makes the first one's texture current again, with that line's
// alpha option, however the name is spelled. Names are compared exactly (on this system
// "A.png" and "a.png" are two files).
//
// The cache. The list of textures is emptied at the start of every read of the script,
// that is on every keystroke in the editor, and filled again by the TEXTURET lines of the
// new text. Decoding an image costs far more than reading a script, so what the files
// gave is handed from one read to the next (TTexturas3Di is copied), keyed by the file's
// identity, size and modification time: the texture made of the decoded image (per alpha
// option) or the failure with its message. A file changed on disk is read again at the
// next read; a missing file is looked for again at every read (one stat); what a read no
// longer names is dropped at its end. Textures and images are shared and never changed
// once made: the scenes and elements of several reads hold the very texture of an
// unchanged file, and the drawing device can keep their uploaded textures keyed by the
// image; nothing here touches OpenGL.
//
// The budget. The images that one read holds, decoded and uploaded, are bounded at
// 512 MB: a TEXTURET past it fails as an unreadable texture does, with "Texture memory
// exceeded (512 MB): " and the file's name. Sides are read from the file's header before
// any pixel is decoded, so a file of the wrong size or one past the budget costs a
// header's read. A refusal for the budget is not remembered.
#pragma once

#include "support/Dstring.h"
#include "support/Resultado.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TDibIG;

// What tells one file from another, and one state of a file from the next.
struct TEstadoFichero {
    uint64_t dispositivo = 0;
    uint64_t nodo = 0;
    uintmax_t tamano = 0;
    int64_t fecha = 0; // modification (or change) time in nanoseconds
    bool MismoFichero(const TEstadoFichero& o) const {
        return dispositivo == o.dispositivo && nodo == o.nodo;
    }
    bool operator==(const TEstadoFichero&) const = default;
};

struct TTextura3Di {
    DString nombre; // the file's full name as resolved (see SeleccionaTextura)
    // The image as the device takes it: 32 bits with an alpha channel when `mezcla`.
    std::shared_ptr<const TDibIG> imagen;
    bool mezcla = false; // the alpha option: blended, without the depth test
    TEstadoFichero estado;
};

// The bytes one read may hold in texture images, decoded and uploaded.
inline constexpr int64_t presupuestoTexturas = int64_t{512} << 20;

class TTexturas3Di {
public:
    // The start of a read (on a copy of the read before's): an empty list, no current
    // texture, nothing named yet, the whole budget.
    void Vacia();
    // The end of a read: what the cache holds that the read did not name is dropped.
    void TerminaLectura();
    // The texture at the current index, or null.
    const TTextura3Di* TexturaActual() const;

    int32_t actual = -1;
    std::vector<std::shared_ptr<const TTextura3Di>> lista;
    // The full name of every image file the read's TEXTURET lines named, in order and
    // once each, those that could not be read as well.
    std::vector<DString> nombradas;
    // Image files read so far, failed reads included (the cache spares the others).
    int64_t cargas = 0;
    // Bytes of the textures of the read under way.
    int64_t bytesLectura = 0;

private:
    // What one state of a file gave: an image for one alpha option, or a failure.
    struct TGuardado {
        TEstadoFichero estado;
        bool mezcla = false;
        std::shared_ptr<const TTextura3Di> textura; // null: the file failed
        DString nombre;                             // as the failure's message spells it
        DString mensaje;
        bool nombrada = true; // by the read under way
    };
    std::vector<TGuardado> guardados;

    friend TResultado<void> SeleccionaTextura(TTexturas3Di& texturas, const DString& nombre,
                                              const DString& script, bool alfa);
};

// The TEXTURET handler, for a script that stands for the file `script`: a failure when
// the texture cannot be made current; the read then stops.
TResultado<void> LeeTextura(TTexturas3Di& texturas, const DString& parametros, const DString& script);
// Makes the file `nombre` current, resolved against the folder of `script` (the current
// folder when there is no script file): from the list when the read has it already, else
// from the cache or the file, within the read's budget.
TResultado<void> SeleccionaTextura(TTexturas3Di& texturas, const DString& nombre, const DString& script,
                                   bool alfa);
// Reads the image file into the texture and checks its size (each side one of 32 to
// 1024, a power of two), from the header before decoding where the header can be read;
// with `alfa` the image becomes 32-bit with alpha (its palette's transparency, or
// opaque). A texture that would take more than `libres` bytes is refused with the budget's
// message and the cause `limite`; every other failure is the file's (`entrada`).
TResultado<void> CargaTextura(TTextura3Di& textura, const DString& nombreCompleto, bool alfa,
                              int64_t libres = presupuestoTexturas);
const TTextura3Di* TexturaActual(const TTexturas3Di& texturas);
// The bytes a texture of these sides counts against the budget: its decoded image (at
// most 4 bytes a pixel) and its upload, a square of the next power of two.
int64_t BytesTextura(int64_t ancho, int64_t alto);
