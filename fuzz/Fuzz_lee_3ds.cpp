// libFuzzer target for the 3D Studio reader in memory mode. Any input must end in a
// model or in a refusal with its reason: no crash, no hang, no leak; every face of a
// model refers only to vertices of its own mesh; and the face limit holds: a model of
// N faces is read again under a limit of N (the same model) and of N - 1 (refused).
#include "script/Colores_idc.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

int64_t Caras(const TModelo3DS& modelo) {
    int64_t n = 0;
    for (const TMalla3DS& m : modelo.mallas)
        n += static_cast<int64_t>(m.caras.size());
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    auto leido = ReadModel3DS(datos, modoMemoria3DS, tamano);
    if (!leido) {
        if (datos && leido.Mensaje().IsEmpty()) __builtin_trap();
        return 0;
    }
    std::unique_ptr<TModelo3DS> modelo = std::move(leido).Valor();
    for (const TMalla3DS& m : modelo->mallas)
        for (const TCara3DS& c : m.caras)
            if (c.a >= m.vertices.size() || c.b >= m.vertices.size() || c.c >= m.vertices.size())
                __builtin_trap();
    const int64_t caras = Caras(*modelo);
    FreeModel3DS(std::move(modelo));
    if (caras == 0) return 0;
    const auto igual = ReadModel3DS(datos, modoMemoria3DS, tamano, caras);
    if (!igual || Caras(**igual) != caras) __builtin_trap();
    if (!std::strstr(MensajeDe(ReadModel3DS(datos, modoMemoria3DS, tamano, caras - 1)).c_str(),
                     "faces, the most one import takes"))
        __builtin_trap();
    return 0;
}
