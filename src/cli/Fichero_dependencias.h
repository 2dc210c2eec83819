// A dependency file as Make and Ninja read it (the form compilers write with -MD): one
// rule per output, naming the files it was made from, so that a build system draws an
// icon again when its script or a file the script read changes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct TReglaDependencias {
    std::filesystem::path salida;
    std::vector<std::filesystem::path> entradas;
};

// "OUT: IN IN ..." lines, names escaped as Make wants them (a space, "#" and "$").
std::string TextoDependencias(const std::vector<TReglaDependencias>& reglas);
