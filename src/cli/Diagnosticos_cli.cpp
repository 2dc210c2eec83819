#include "cli/Diagnosticos_cli.h"

#include "cli/Escena_cli.h"
#include "script/Diagnosticos_3di.h"

#include <nlohmann/json.hpp>

namespace {

constexpr const char* nombreEntradaEstandar = "<stdin>";

std::string Gcc(const std::string& fichero, std::string_view texto, const TInformeLectura& informe) {
    std::string salida;
    for (const TDiagnostico3Di& d : Diagnosticos3Di(texto, informe)) {
        salida += fichero;
        if (d.linea >= 0) salida += ':' + std::to_string(d.linea + 1) + ':' + std::to_string(d.inicio + 1);
        salida += ": error: " + d.mensaje + '\n';
    }
    return salida;
}

std::string Json(const std::string& fichero, std::string_view texto, const TInformeLectura& informe) {
    const TLineasTexto lineas(texto);
    const bool utf8 = EsUtf8(texto);
    nlohmann::ordered_json lista = nlohmann::ordered_json::array();
    for (const TDiagnostico3Di& d : Diagnosticos3Di(texto, informe)) {
        nlohmann::ordered_json e = {{"line", nullptr},
                                    {"startColumn", nullptr},
                                    {"endColumn", nullptr},
                                    {"severity", "error"},
                                    {"message", d.mensaje}};
        if (d.linea >= 0) {
            const std::string_view linea = lineas[static_cast<size_t>(d.linea)];
            e["line"] = d.linea;
            e["startColumn"] = CaracteresHasta(linea, d.inicio, utf8);
            e["endColumn"] = CaracteresHasta(linea, d.fin, utf8);
        }
        lista.push_back(std::move(e));
    }
    const nlohmann::ordered_json documento = {{"file", fichero}, {"diagnostics", std::move(lista)}};
    // A script that is not UTF-8 still gives valid JSON: its stray bytes become U+FFFD.
    return documento.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}

} // namespace

TFormatoDiagnosticos FormatoDiagnosticos(const std::string& nombre) {
    if (nombre == "pane") return TFormatoDiagnosticos::pane;
    if (nombre == "gcc") return TFormatoDiagnosticos::gcc;
    if (nombre == "json") return TFormatoDiagnosticos::json;
    throw TErrorUso("unknown format: " + nombre + " (pane, gcc or json)");
}

std::string TextoDiagnosticos(TFormatoDiagnosticos formato, const std::string& fichero,
                              std::string_view texto, const TInformeLectura& informe) {
    const std::string nombre = fichero == "-" ? nombreEntradaEstandar : fichero;
    return formato == TFormatoDiagnosticos::json ? Json(nombre, texto, informe) : Gcc(nombre, texto, informe);
}
