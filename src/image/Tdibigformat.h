// TDibIGformat: the image that loads itself from a file chosen by the file's extension.
// Every texture a script names comes through here. The formats are one table: per
// extension, a reader and a header probe, all of one signature (Lector_imagen.h).
#pragma once

#include "image/Lector_imagen.h"
#include "support/Dstring.h"

#include <array>
#include <string_view>

struct TMonitorProcesos;

// One row of the table. A map format of the maker's other programs has no reader and no
// probe: it is recognised and never read.
struct TFormatoImagen {
    const char* extension; // upper case, without the dot
    TLectorImagen lee;
    TMedidorImagen mide;
    const char* nombre;                     // the format as a message names it
    std::array<std::string_view, 4> firmas; // the bytes its files begin with (empty: none more)
};

// The row of the file's extension (the text after its last ".", case aside); null for an
// extension no row has.
const TFormatoImagen* FormatoImagen(const char* nombre);

// The picture's sides from the file's header, without decoding it; false for an unknown
// or map format, or a header that cannot be read.
bool MideImagen(const char* nombre, TMedidasImagen& medidas);

class TDibIGformat : public TDibIG {
public:
    TDibIGformat();
    ~TDibIGformat() override;

    // Empties the image, then reads the file by its extension: BMP; JPG, JPEG and JPE;
    // TIF and TIFF; ICO; PNG; GIF; RAS and RS. A few map formats fail without a message;
    // any other extension gives "Unknown bitmap file extension: NAME". A failure carries
    // the reader's message (empty where there is none).
    TResultado<void> LeeImagen(const DString& nombre, TMonitorProcesos* progreso = nullptr);
};
