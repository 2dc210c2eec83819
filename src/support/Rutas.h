// File-name utilities. Names are taken as written: "\" and "/" both separate
// folders, and a name that begins with either, or with a drive ("C:\", "C:/"), is
// absolute; any other ":" is an ordinary character of a name.
#pragma once

#include "support/Dstring.h"

#include <filesystem>

// The text after the last "." of the name, empty when there is none.
DString Extension(const char* nombre);
// The name with its extension replaced (or added when it has none).
DString CambiaExtension(const char* nombre, const char* extension);
bool EsRutaAbsoluta(const char* nombre);
// The folder part of a name, with its trailing separator; empty without a folder.
DString Carpeta(const char* nombre);
// `nombre` as is when absolute, else relative to the folder of `referencia` (a file
// name); without a reference (a script never saved, or read from standard input) the
// current folder.
DString ResuelveRuta(const char* nombre, const char* referencia);
// The name in a form the file system understands ("\" turned into "/").
std::filesystem::path RutaSistema(const char* nombre);
// True when the name is an existing file (not a folder).
bool ExisteFichero(const char* nombre);
// The folder of the running program.
std::filesystem::path CarpetaPrograma();
