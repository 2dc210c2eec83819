// The command reference of the manual, as the editor's F1 shows it: the manual is built
// into the server, and each heading of its "Command reference" that names a command (or
// #define, or VOID) is an entry. An entry gives the hover text (the syntax, the table
// of fields and the first sentence of what the command does) and the snippet that
// completion inserts (the syntax, its fields as placeholders).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TEntradaManual {
    std::string palabra;   // as the heading writes it: "QUAD", "#define"
    std::string sintaxis;  // the first form: "QUAD=corner0:corner1:corner2:corner3"
    std::string resumen;   // Markdown
    std::string plantilla; // "QUAD=${1:corner0}:${2:corner1}:..."
};

class TManualLsp {
public:
    explicit TManualLsp(std::string_view manual);
    // The entry of a word: commands in any case, "#define" as written; null for none.
    const TEntradaManual* Entrada(std::string_view palabra) const;
    const std::vector<TEntradaManual>& Entradas() const { return entradas; }

private:
    std::vector<TEntradaManual> entradas;
};

// The manual the server was built with (Markdown).
std::string_view ManualIncorporado();
