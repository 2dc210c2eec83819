// The editor's file work that needs no window: writing a script safely, reading a
// file's whole text, the autosave copy, the name that Save As proposes, telling a 3D
// Studio mesh from a script, and the command line.
#pragma once

#include "support/Dstring.h"
#include "support/Guardado_seguro.h"
#include "support/Resultado.h"

#include <string>
#include <vector>

// Writes the script text, every byte of it, as one text datum (the file class adds its
// separator space after it) through a temporary file that replaces `nombre` only once
// the whole text is on disk: a failed or interrupted write leaves the old file as it
// was. The old file is kept as its ".BAK", unless something other than the user's
// regular file has that name: it is left alone and `aviso` (when given) says so. A
// failure's message is the system's reason ("Permission denied").
TResultado<void> GrabaTextoScript(const char* nombre, const std::string& texto, std::string* aviso = nullptr);
// The whole content of a file, read as text; a failure (with the system's reason) when
// it cannot be opened or read.
TResultado<std::string> LeeTextoFichero(const char* nombre);
// The script text of a file as GrabaTextoScript wrote it: the content less the one
// separator space that saving puts after the text, so that opening and saving again
// gives the same file instead of one space more each time.
TResultado<std::string> LeeTextoScript(const char* nombre);
// Whether the file can be opened for reading; the system's reason when not.
TResultado<void> SePuedeLeer(const char* nombre);
// A failure as the editor reports it: "TEXT NAME: REASON".
std::string TextoFallo(const char* texto, const char* nombre, const std::string& motivo);

// The autosave copy of a script: its full name with ".seg" appended (a.3di gives
// a.3di.seg). Empty for a script without a name.
std::string NombreAutoguardado(const char* nombre);
// Writes the script text as the autosave copy of `nombre`, as GrabaTextoScript writes a
// script but as a file of the program's own: never through a link, never in the place
// of anything but the user's regular file (`apartado` then, with `motivo` saying what
// stands there), readable by whom the script is readable by.
TResultado<void> GrabaAutoguardado(const char* nombre, const std::string& texto);
// Whether the autosave copy of `nombre` is worth recovering: it is the user's regular
// file (never a link), it was written after the script and holds something else, or the
// script was never saved at all.
bool AutoguardadoPendiente(const char* nombre);
// Removes the autosave copy of `nombre`, when it is the user's regular file.
void BorraAutoguardado(const char* nombre);

// The name that Save As offers for a script now named `nombre`: that name when it is
// the script's own file (`propio`), else that name (a mesh's with the extension
// "3di") only when no file has it, so that a Return never overwrites another file;
// empty otherwise.
DString NombrePropuesto(const char* nombre, bool propio);
// A 3D Studio mesh (".3DS", any case): binary, never shown as text or overwritten.
bool EsModelo3DS(const char* nombre);
// Whether a command-line argument is a switch rather than a file to open: it begins
// with "-", or it is a Windows-style switch ("/" and letters only, such as "/s") that
// names nothing that exists. Absolute paths begin with "/" here, so "/" alone does not
// make a switch.
bool EsOpcionLineaOrdenes(const char* argumento);
// The absolute form of a file name, kept as the system's bytes (whatever its encoding):
// relative to the current folder, "." and ".." taken out as written.
std::string RutaAbsoluta(const std::string& nombre);
// The line ends of a text as a text pane counts them: CR LF, a lone CR and a lone LF
// each end one row.
int SaltosDeLinea(const char* texto);
