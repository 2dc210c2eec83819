// The text exception of the file classes: LanzaTexto raises an exception whose
// payload is the message text.
#pragma once

#include <stdexcept>

class TXTextoQOR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void LanzaTexto(const char* texto);
