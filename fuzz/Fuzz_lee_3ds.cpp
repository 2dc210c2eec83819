// libFuzzer target for the 3D Studio reader in memory mode. Any input must end in a
// model or in a refusal with its reason: no crash, no hang, no leak; and every face of
// a model refers only to vertices of its own mesh.
#include "script/Colores_idc.h"

#include <cstddef>
#include <cstdint>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    DString motivo;
    auto modelo = ReadModel3DS(datos, modoMemoria3DS, tamano, &motivo);
    if (!modelo) {
        if (datos && motivo.IsEmpty()) __builtin_trap();
        return 0;
    }
    for (const TMalla3DS& m : modelo->mallas)
        for (const TCara3DS& c : m.caras)
            if (c.a >= m.vertices.size() || c.b >= m.vertices.size() || c.c >= m.vertices.size())
                __builtin_trap();
    FreeModel3DS(std::move(modelo));
    return 0;
}
