#include "lsp/Documento_lsp.h"

#include "lsp/Protocolo_lsp.h"
#include "script/Lexico_3di.h"
#include "support/Dstring.h"

using nlohmann::json;

namespace {

int ValorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The file of a file: URI (percent escapes decoded); empty for another scheme.
std::string RutaDeUri(std::string_view uri) {
    constexpr std::string_view esquema = "file://";
    if (!uri.starts_with(esquema)) return {};
    uri.remove_prefix(esquema.size());
    if (uri.starts_with("localhost/")) uri.remove_prefix(9);
    std::string ruta;
    for (size_t i = 0; i < uri.size(); ++i) {
        const int alto = uri[i] == '%' && i + 2 < uri.size() ? ValorHex(uri[i + 1]) : -1;
        const int bajo = alto >= 0 ? ValorHex(uri[i + 2]) : -1;
        if (bajo >= 0) {
            ruta += static_cast<char>(alto * 16 + bajo);
            i += 2;
        } else {
            ruta += uri[i];
        }
    }
    // A NUL would cut the name short: such a URI names no file.
    return ruta.find('\0') == std::string::npos ? ruta : std::string();
}

size_t Entero(const json& valor) {
    const int64_t n = valor.get<int64_t>();
    return n < 0 ? 0 : static_cast<size_t>(n);
}

} // namespace

TDocumentoLsp::TDocumentoLsp(std::string nombre, std::string inicial, int64_t version)
    : uri(std::move(nombre)), texto(std::move(inicial)), lineas(texto), ruta(RutaDeUri(uri)),
      version(version) {}

TLugarTexto TDocumentoLsp::Lugar(const json& posicion) const {
    const size_t linea = Entero(posicion.at("line"));
    if (linea >= lineas.Cuantas()) return {lineas.Cuantas() - 1, lineas[lineas.Cuantas() - 1].size()};
    return {linea, BytesDeUtf16(lineas[linea], Entero(posicion.at("character")))};
}

json TDocumentoLsp::Posicion(size_t linea, size_t byte) const {
    return {{"line", linea}, {"character", Utf16Hasta(lineas[linea], byte)}};
}

json TDocumentoLsp::Rango(size_t linea, size_t desde, size_t hasta) const {
    return {{"start", Posicion(linea, desde)}, {"end", Posicion(linea, hasta)}};
}

bool TDocumentoLsp::Cambia(const json& cambios, int64_t nuevaVersion) {
    std::string nuevo = texto;
    for (const json& c : cambios) {
        if (!c.contains("range")) {
            nuevo = c.at("text").get<std::string>();
        } else {
            const TLineasTexto l(nuevo);
            const auto desplazamiento = [&](const json& p) {
                const size_t linea = Entero(p.at("line"));
                if (linea >= l.Cuantas()) return nuevo.size();
                return l.Inicio(linea) + BytesDeUtf16(l[linea], Entero(p.at("character")));
            };
            const size_t desde = desplazamiento(c["range"].at("start"));
            const size_t hasta = std::max(desde, desplazamiento(c["range"].at("end")));
            const std::string& por = c.at("text").get_ref<const std::string&>();
            if (nuevo.size() - (hasta - desde) + por.size() > maxMensajeLsp) return false;
            nuevo.replace(desde, hasta - desde, por);
        }
        if (nuevo.size() > maxMensajeLsp) return false;
    }
    texto = std::move(nuevo);
    lineas = TLineasTexto(texto);
    version = nuevaVersion;
    return true;
}

void TDocumentoLsp::Lee() {
    lectura = LeeEscena(TFuenteEscena::Texto(texto, DString(ruta.c_str())), &lectura);
}

json TDocumentoLsp::Diagnosticos() const {
    json lista = json::array();
    for (const TDiagnostico3Di& d : Diagnosticos3Di(texto, lectura.informe)) {
        // A message for the whole script stands on its first line.
        const size_t linea = d.linea >= 0 ? std::min(static_cast<size_t>(d.linea), lineas.Cuantas() - 1) : 0;
        const size_t hasta = d.linea >= 0 ? d.fin : lineas[0].size();
        lista.push_back({{"range", Rango(linea, d.inicio, hasta)},
                         {"severity", 1},
                         {"source", "pictomolder"},
                         {"message", d.mensaje}});
    }
    return {{"uri", uri}, {"version", version}, {"diagnostics", std::move(lista)}};
}

size_t TDocumentoLsp::LineasLeidas() const {
    for (size_t n = 0; n < lineas.Cuantas(); ++n)
        if (CodigoDeLinea(lineas[n]).finScript) return n;
    return lineas.Cuantas();
}

std::vector<TDefinicionLsp> TDocumentoLsp::Definiciones() const {
    std::vector<TDefinicionLsp> lista;
    const size_t leidas = LineasLeidas();
    for (size_t n = 0; n < leidas; ++n) {
        const std::string_view linea = lineas[n];
        std::string_view nombre, valor;
        if (LeeDefinicion(CodigoDeLinea(linea).Codigo(linea), nombre, valor) && !nombre.empty() &&
            !valor.empty())
            lista.push_back({n, static_cast<size_t>(nombre.data() - linea.data()), std::string(nombre),
                             std::string(valor)});
    }
    return lista;
}

TPalabraLsp PalabraEn(std::string_view linea, size_t byte) {
    byte = std::min(byte, linea.size());
    size_t desde = byte, hasta = byte;
    while (desde > 0 && EsCaracterIdentificador(linea[desde - 1]))
        --desde;
    while (hasta < linea.size() && EsCaracterIdentificador(linea[hasta]))
        ++hasta;
    return {desde, hasta};
}
