#include "script/Campos_script.h"

#include <algorithm>

namespace {

bool EsSeparador(char c) {
    return c == ':' || c == '|';
}

} // namespace

int CampoEnCursor(std::string_view antesDelCursor) {
    if (antesDelCursor.find('=') == std::string_view::npos) return -1;
    return static_cast<int>(std::count_if(antesDelCursor.begin(), antesDelCursor.end(), EsSeparador));
}

int ColumnaDeCampo(std::string_view linea, int campo) {
    const size_t igual = linea.find('=');
    if (igual == std::string_view::npos) return 0;
    size_t columna = igual + 1;
    for (int i = 0; i < campo; ++i) {
        const auto siguiente =
            std::find_if(linea.begin() + static_cast<std::ptrdiff_t>(columna), linea.end(), EsSeparador);
        if (siguiente == linea.end()) break;
        columna = static_cast<size_t>(siguiente - linea.begin()) + 1;
    }
    return static_cast<int>(columna);
}
