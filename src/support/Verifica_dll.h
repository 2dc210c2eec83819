// Presence check of a module that an operation needs: the module file must lie in
// the program's own folder.
#pragma once

#include "support/Dstring.h"
#include "support/Resultado.h"

// Success when the module exists; otherwise the message is `formato` with its "%s"
// filled with the module's name, then "\r\n(", the absolute path and ")\r\n".
TResultado<void> VerificaDLL(const char* nombre, const char* formato);

// The messages used with it.
inline constexpr const char* msgInstalaLibreria =
    "Error: It\xB4s necesary to install the %s to make this operation.";
inline constexpr const char* msgDllNoEncontrada = "Error: DLL not found %s";
