// libFuzzer target for the language server's message reader: the input is what a client
// sends on the server's standard input, handed over in pieces of the sizes its first
// bytes choose (a message split anywhere), and every message read goes to the whole
// server (documents opened, changed by ranges, asked about). Any input must end in a
// result: no crash, no hang, no leak; every answer is a framed JSON-RPC message.
#include "lsp/Servidor_lsp.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    const size_t trozo = largo > 0 ? 1 + datos[0] % 64 : 1;
    size_t pos = std::min<size_t>(largo, 1);
    const auto fuente = [&](char* destino, size_t maximo) {
        const size_t n = std::min({maximo, trozo, largo - pos});
        std::memcpy(destino, datos + pos, n);
        pos += n;
        return n;
    };
    const auto escribe = [](const std::string& salida) {
        if (salida.rfind("Content-Length: ", 0) != 0 || salida.find("\r\n\r\n{") == std::string::npos)
            std::abort();
    };
    TLectorMensajes lector(fuente, size_t{1} << 16);
    TServidorRpc rpc(escribe);
    TLenguajeLsp lenguaje;
    RegistraLenguaje(rpc, lenguaje);
    rpc.Sirve(lector);
    return 0;
}
