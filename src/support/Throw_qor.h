// The text exception of the file classes: LanzaTexto raises an exception whose
// payload is the message text.
#pragma once

#include "support/Resultado.h"

class TXTextoQOR : public TXPictomolder {
public:
    explicit TXTextoQOR(const char* texto, TCausa causa = TCausa::interna)
        : TXPictomolder(causa, DString(texto)) {}
};

// `causa` says why: a misuse of the classes (interna), a block too large (limite), ...
[[noreturn]] void LanzaTexto(const char* texto, TCausa causa = TCausa::interna);
