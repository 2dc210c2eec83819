// The error messages of `check` in the forms tools read: "FILE:LINE:COLUMN: error:
// MESSAGE" as compilers print them (lines and columns from 1, columns in bytes), and one
// JSON document (lines from 0 as the error pane counts them, columns from 0 in
// characters). The manual's "Using other editors" describes both as stable interfaces.
#pragma once

#include "script/Objetos_3d.h"

#include <string>
#include <string_view>

enum class TFormatoDiagnosticos { pane, gcc, json };

// The format of `--format NAME`; raises TErrorUso for another name.
TFormatoDiagnosticos FormatoDiagnosticos(const std::string& nombre);

// The report of the read of `texto` (the script named `fichero`, "-" for standard
// input) in the gcc or JSON format (the pane's text is the report's own).
std::string TextoDiagnosticos(TFormatoDiagnosticos formato, const std::string& fichero,
                              std::string_view texto, const TInformeLectura& informe);
