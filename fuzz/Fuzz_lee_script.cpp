// libFuzzer target for the script reader: the input is a script text, parsed through
// a memory file as the editor parses its text pane, with the expanded text asked for.
// Any input must end in a result: no crash, no hang, no leak.
#include "script/Objetos_3d.h"
#include "support/Ficheroqordatos.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano > 200000) return 0;
    TFicheroQORdatos fichero(fqLeeTexto, reinterpret_cast<const char*>(datos), static_cast<int32_t>(tamano));
    TObjeto3D escena;
    DString error, expandido;
    const bool correcto = escena.Lee(fichero, &expandido, error);
    // A successful parse reports nothing; an unclosed PUSH is always reported.
    if (correcto && escena.nivelPush != 0) __builtin_trap();
    return 0;
}
