#include "lsp/Manual_lsp.h"

#include "script/Lexico_3di.h"
#include "support/Dstring.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view tituloReferencia = "# Command reference";

std::vector<std::string_view> Lineas(std::string_view texto) {
    std::vector<std::string_view> lineas;
    while (!texto.empty()) {
        const size_t fin = texto.find('\n');
        lineas.push_back(texto.substr(0, fin));
        if (fin == std::string_view::npos) break;
        texto.remove_prefix(fin + 1);
    }
    return lineas;
}

// Every run of identifier characters after the command word becomes a placeholder.
std::string Plantilla(std::string_view sintaxis) {
    size_t i = 0;
    while (i < sintaxis.size() && sintaxis[i] != ' ' && sintaxis[i] != '=')
        ++i;
    std::string plantilla(sintaxis.substr(0, i));
    int n = 0;
    while (i < sintaxis.size()) {
        if (!EsCaracterIdentificador(sintaxis[i])) {
            plantilla += sintaxis[i++];
            continue;
        }
        const size_t inicio = i;
        while (i < sintaxis.size() && EsCaracterIdentificador(sintaxis[i]))
            ++i;
        plantilla +=
            "${" + std::to_string(++n) + ':' + std::string(sintaxis.substr(inicio, i - inicio)) + '}';
    }
    return plantilla;
}

// The first sentence of a paragraph (its lines joined).
std::string PrimeraFrase(const std::string& parrafo) {
    const size_t punto = parrafo.find(". ");
    return punto == std::string::npos ? parrafo : parrafo.substr(0, punto + 1);
}

// The body of an entry, up to its example: the syntax line, the table, the paragraphs.
TEntradaManual LeeEntrada(std::string palabra, const std::vector<std::string_view>& cuerpo) {
    TEntradaManual e;
    e.palabra = std::move(palabra);
    std::string sintaxisLinea, tabla, parrafo;
    bool parrafoCompleto = false;
    for (const std::string_view linea : cuerpo) {
        if (linea.starts_with("```")) break;
        if (linea.starts_with('`') && sintaxisLinea.empty()) {
            sintaxisLinea = linea;
        } else if (linea.starts_with('|')) {
            tabla += std::string(linea) + '\n';
        } else if (linea.empty()) {
            parrafoCompleto = parrafoCompleto || !parrafo.empty();
        } else if (!parrafoCompleto && !linea.starts_with('!')) {
            if (!parrafo.empty()) parrafo += ' ';
            parrafo += linea;
        }
    }
    const size_t abre = sintaxisLinea.find('`');
    const size_t cierra = sintaxisLinea.find('`', abre + 1);
    if (abre != std::string::npos && cierra != std::string::npos)
        e.sintaxis = sintaxisLinea.substr(abre + 1, cierra - abre - 1);
    e.plantilla = Plantilla(e.sintaxis);
    e.resumen = sintaxisLinea + "\n\n";
    if (!tabla.empty()) e.resumen += tabla + '\n';
    e.resumen += PrimeraFrase(parrafo);
    return e;
}

} // namespace

TManualLsp::TManualLsp(std::string_view manual) {
    const std::vector<std::string_view> lineas = Lineas(manual);
    auto i = std::find(lineas.begin(), lineas.end(), tituloReferencia);
    while (i != lineas.end()) {
        while (i != lineas.end() && !i->starts_with("### "))
            ++i;
        if (i == lineas.end()) break;
        const std::string palabra(i->substr(4));
        const auto desde = ++i;
        while (i != lineas.end() && !i->starts_with('#'))
            ++i;
        entradas.push_back(LeeEntrada(palabra, {desde, i}));
    }
}

const TEntradaManual* TManualLsp::Entrada(std::string_view palabra) const {
    for (const TEntradaManual& e : entradas)
        if (e.palabra.starts_with('#') ? e.palabra == palabra : IgualSinCaso(e.palabra, palabra)) return &e;
    return nullptr;
}
