// libFuzzer target for the script reader: the input is a script text, parsed through
// a memory file as the editor parses its text pane, with the expanded text asked for.
// Any input must end in a result: no crash, no hang, no leak. Then the same scene reads
// the text again as the next keystroke does (the textures of the examples folder, where
// the script is taken to lie, come from the cache then), and again with its lines turned
// about (the elements it can take back are taken back), and must hold what a fresh read
// of that text gives.
#include "script/Objetos_3d.h"
#include "script/Volcado_json.h"
#include "support/Ficheroqordatos.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool Lee(TObjeto3D& escena, const std::string& texto, DString* expandido) {
    TFicheroQORdatos fichero(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString error;
    return escena.Lee(fichero, expandido, error);
}

// The text with its first line moved to the end: most lines keep their text, but their
// numbers and the state they meet change.
std::string Gira(std::string_view texto) {
    const size_t fin = texto.find('\n');
    if (fin == std::string_view::npos) return std::string(texto);
    return std::string(texto.substr(fin + 1)) + "\n" + std::string(texto.substr(0, fin));
}

std::string Vuelca(const TObjeto3D& escena) {
    return VuelcaEscena(escena, escena.informe.correcto, escena.informe.Mensajes().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano > 200000) return 0;
    const std::string texto(reinterpret_cast<const char*>(datos), tamano);
    TObjeto3D escena;
    escena.nombreFichero = PM_EXAMPLES "/fuzz.3di";
    DString expandido;
    const bool correcto = Lee(escena, texto, &expandido);
    // A successful parse reports nothing; an unclosed PUSH is always reported.
    if (correcto && escena.nivelPush != 0) __builtin_trap();

    const std::string girado = Gira(texto);
    Lee(escena, texto, nullptr);
    Lee(escena, girado, nullptr);
    TObjeto3D fresca;
    fresca.nombreFichero = escena.nombreFichero;
    Lee(fresca, girado, nullptr);
    fresca.centro = escena.centro; // kept from the read before when the text has no CENTER
    if (Vuelca(escena) != Vuelca(fresca)) __builtin_trap();
    return 0;
}
