// What the subcommands of pictomolder-cli share: the exit statuses, the usage error, the
// numbers of the options, the view options into the camera, and reading the script (or
// 3D Studio mesh) named on the command line.
#pragma once

#include "render/Camara.h"
#include "script/Lectura_escena.h"
#include "support/Resultado.h"

#include <exception>
#include <functional>
#include <string>
#include <utility>

// Exit statuses of every subcommand: success, a script with errors (whatever could be
// done was done), usage or file errors.
constexpr int salidaCorrecta = 0;
constexpr int salidaFallo = 1;
constexpr int salidaUso = 2;

// A mistake in the command line: the tool prints it on one line (AvisaUso), status 2.
class TErrorUso : public TXPictomolder {
public:
    explicit TErrorUso(const std::string& texto) : TXPictomolder(TCausa::uso, DString(texto.c_str())) {}
};

// Prints a mistake in the command line as one line that names it and where the whole
// usage is told (`ayuda`, the help command of the subcommand); gives status 2.
int AvisaUso(const std::string& mensaje, const char* ayuda = "pictomolder-cli --help");

// A finite number of at most 1e12 in size; `opcion` names the option in the message.
double LeeNumero(const std::string& texto, const char* opcion);
// "A<sep>B" as two numbers.
std::pair<double, double> LeePar(const std::string& texto, char separador, const char* opcion);

// The options that choose the camera, shared by `render` and `export`: --angles X,Y,
// --view NAME, --zoom S, --pan X,Y, --perspective and --distance D. True when `opcion`
// is one of them, its value (if it takes one) given by `valor`; `encuadreDado` is set
// when the zoom or the pan is given by hand.
bool LeeOpcionCamara(const std::string& opcion, const std::function<std::string()>& valor, TCamara& camara,
                     bool& encuadreDado);

// Reads the script as the editor does: standard input ("-") as a text (as the editor
// reads its text pane), a named file by its extension. A file that cannot be read
// raises TXPictomolder with the system's reason (a usage error, not a script
// error); otherwise the read's report tells whether the script has errors. `anterior`,
// the read of the same file before, lends what is unchanged. `texto`, when given,
// receives the script's text, for the messages that point into it.
TLecturaEscena LeeEntrada(const std::string& fichero, const TLecturaEscena* anterior = nullptr,
                          std::string* texto = nullptr);
