// pictomolder-lsp: the language server of 3DI scripts, for the editors people already
// use. It speaks the Language Server Protocol on standard input and output; its
// diagnostics are the editor's error pane, read as the editor reads on a keystroke.
#include "lsp/Servidor_lsp.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Reads standard input as it comes: a message is answered as soon as it is whole.
size_t LeeEntrada(char* destino, size_t maximo) {
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, destino, maximo);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) return 0;
    }
}

void Escribe(const std::string& texto) {
    std::fwrite(texto.data(), 1, texto.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--stdio") != 0) {
        std::fputs("Usage: pictomolder-lsp [--stdio]\n"
                   "The language server of 3DI scripts: it speaks the Language Server Protocol on\n"
                   "standard input and output. Start it from the editor, not by hand.\n",
                   std::strcmp(argv[1], "--help") == 0 ? stdout : stderr);
        return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    TServidorRpc rpc(Escribe);
    TLenguajeLsp lenguaje;
    RegistraLenguaje(rpc, lenguaje);
    TLectorMensajes lector(LeeEntrada);
    return rpc.Sirve(lector);
}
