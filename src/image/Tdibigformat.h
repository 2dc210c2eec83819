// TDibIGformat: the image that loads itself from a file chosen by the file's extension.
// Every texture a script names comes through here.
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"

#include <memory>

class TLecturaTIFF;
struct TMonitorProcesos;

class TDibIGformat : public TDibIG {
public:
    TDibIGformat();
    ~TDibIGformat() override;

    // Also closes a TIFF read whose pixels the image shows.
    void Libera() override;

    // Empties the image, then reads the file by its extension (case aside): BMP, JPG and
    // JPEG, TIF, ICO, PNG, GIF, RAS and RS. A few map formats fail without a message;
    // any other extension gives "Unknown bitmap file extension: NAME". On failure `error`
    // holds the reader's message (or stays as it was where there is none).
    bool LeeImagen(const DString& nombre, DString& error, TMonitorProcesos* progreso = nullptr);

private:
    bool Despacha(const char* nombre, DString& error, TMonitorProcesos* progreso);

    std::unique_ptr<TLecturaTIFF> lecturaTIFF;
};
