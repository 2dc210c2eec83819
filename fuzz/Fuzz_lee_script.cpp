// libFuzzer target for the script reader: the input is a script text, parsed through
// a memory file as the editor parses its text pane, with the expanded text asked for,
// and parsed again into the same scene as the next keystroke does (the textures of the
// examples folder, where the script is taken to lie, come from the cache then).
// Any input must end in a result: no crash, no hang, no leak.
#include "script/Objetos_3d.h"
#include "support/Ficheroqordatos.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano > 200000) return 0;
    TObjeto3D escena;
    escena.nombreFichero = PM_EXAMPLES "/fuzz.3di";
    for (int lectura = 0; lectura < 2; ++lectura) {
        TFicheroQORdatos fichero(fqLeeTexto, reinterpret_cast<const char*>(datos),
                                 static_cast<int32_t>(tamano));
        DString error, expandido;
        const bool correcto = escena.Lee(fichero, &expandido, error);
        // A successful parse reports nothing; an unclosed PUSH is always reported.
        if (correcto && escena.nivelPush != 0) __builtin_trap();
    }
    return 0;
}
