// The editor's file work that needs no window: writing a script safely, reading a
// file's whole text, telling a 3D Studio mesh from a script, and the command line.
#pragma once

#include "support/Dstring.h"

#include <string>
#include <vector>

// Writes the script text, every byte of it, as one text datum (the file class adds its
// separator space after it) through a temporary file that replaces `nombre` only once
// the whole text is on disk: a failed or interrupted write leaves the old file as it
// was. The old file is kept as its ".BAK" unless `copiaBak` is false (an autosave copy).
bool GrabaTextoScript(const char* nombre, const std::string& texto, bool copiaBak = true);
// The whole content of a file, read as text; false when it cannot be opened or read.
bool LeeTextoFichero(const char* nombre, std::string& texto);
// The script text of a file as GrabaTextoScript wrote it: the content less the one
// separator space that saving puts after the text, so that opening and saving again
// gives the same file instead of one space more each time.
bool LeeTextoScript(const char* nombre, std::string& texto);
// A 3D Studio mesh (".3DS", any case): binary, never shown as text or overwritten.
bool EsModelo3DS(const char* nombre);
// Whether a command-line argument is a switch rather than a file to open: it begins
// with "-", or it is a Windows-style switch ("/" and letters only, such as "/s") that
// names nothing that exists. Absolute paths begin with "/" here, so "/" alone does not
// make a switch.
bool EsOpcionLineaOrdenes(const char* argumento);
// The lines that the error pane names: each line of `errores` that begins with a
// number followed by ":" gives that (0-based) script line.
std::vector<int> LineasConError(const char* errores);
