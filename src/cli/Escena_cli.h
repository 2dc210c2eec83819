// What the subcommands of pictomolder-cli share: the exit statuses, the usage error, the
// numbers of the options, and reading the script (or 3D Studio mesh) named on the command line.
#pragma once

#include "support/Dstring.h"

#include <exception>
#include <string>
#include <utility>

class TObjeto3D;

// Exit statuses of every subcommand: success, a script with errors (whatever could be
// done was done), usage or file errors.
constexpr int salidaCorrecta = 0;
constexpr int salidaFallo = 1;
constexpr int salidaUso = 2;

// A mistake in the command line: the tool prints it with the usage text, status 2.
class TErrorUso : public std::exception {
public:
    explicit TErrorUso(std::string t) : texto(std::move(t)) {}
    const char* what() const noexcept override { return texto.c_str(); }
    std::string texto;
};

// A finite number of at most 1e12 in size; `opcion` names the option in the message.
double LeeNumero(const std::string& texto, const char* opcion);
// "A<sep>B" as two numbers.
std::pair<double, double> LeePar(const std::string& texto, char separador, const char* opcion);

// Parses the script as the editor does: standard input ("-") through a memory file (as
// the editor parses its text pane), a named file through the scene's loader. A file
// that cannot be read raises std::runtime_error with the system's reason (a usage
// error, not a script error); otherwise false means the script has errors.
bool LeeEscena(const std::string& fichero, TObjeto3D& escena, DString& error);
