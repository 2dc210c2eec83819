// libFuzzer target for the script reader: the input is a script text, read as the editor
// reads its text pane, with the expanded text asked for. Any input must end in a result:
// no crash, no hang, no leak. Then the text is read again after that read as the next
// keystroke does (the textures of the examples folder, where the script is taken to lie,
// come from the cache then), and again with its lines turned about (the elements it can
// take back are taken back), and must hold what a fresh read of that text gives.
#include "script/Lectura_escena.h"
#include "script/Objetos_3d_pila.h"
#include "script/Volcado_json.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

const DString nombre = PM_EXAMPLES "/fuzz.3di";

TLecturaEscena Lee(const std::string& texto, const TLecturaEscena* anterior, DString* expandido = nullptr) {
    TFuenteEscena fuente = TFuenteEscena::Texto(texto, nombre);
    fuente.textoExpandido = expandido;
    return LeeEscena(fuente, anterior);
}

// The text with its first line moved to the end: most lines keep their text, but their
// numbers and the state they meet change.
std::string Gira(std::string_view texto) {
    const size_t fin = texto.find('\n');
    if (fin == std::string_view::npos) return std::string(texto);
    return std::string(texto.substr(fin + 1)) + "\n" + std::string(texto.substr(0, fin));
}

std::string Vuelca(const TObjeto3D& escena, const TLecturaEscena& lectura) {
    return VuelcaEscena(escena, lectura.Correcta(), lectura.informe.Mensajes().c_str());
}

// PUSH elements less POP elements.
int PushAbiertos(const TObjeto3D& escena) {
    int abiertos = 0;
    escena.ParaCada([&](const TElementoObj3D& e) {
        abiertos += dynamic_cast<const TElementoPush*>(&e)  ? 1
                    : dynamic_cast<const TElementoPop*>(&e) ? -1
                                                            : 0;
    });
    return abiertos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano > 200000) return 0;
    const std::string texto(reinterpret_cast<const char*>(datos), tamano);
    DString expandido;
    const TLecturaEscena primera = Lee(texto, nullptr, &expandido);
    // A successful parse reports nothing; an unclosed PUSH is always reported.
    if (primera.Correcta() && PushAbiertos(primera.Escena()) != 0) __builtin_trap();

    const std::string girado = Gira(texto);
    const TLecturaEscena otraVez = Lee(texto, &primera);
    const TLecturaEscena girada = Lee(girado, &otraVez);
    const TLecturaEscena fresca = Lee(girado, nullptr);
    // CENTER is kept from the read before when the text has none.
    TObjeto3D frescaCentrada(fresca.Escena());
    frescaCentrada.centro = girada.Escena().centro;
    if (Vuelca(girada.Escena(), girada) != Vuelca(frescaCentrada, fresca)) __builtin_trap();
    return 0;
}
