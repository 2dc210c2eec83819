#include "lsp/Lenguaje_lsp.h"

#include "image/Tdibigformat.h"
#include "lsp/Protocolo_lsp.h"
#include "script/Lexico_3di.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>

using nlohmann::json;

namespace {

// The protocol's kinds of completion item and of symbol.
constexpr int itemFuncion = 3, itemPalabraClave = 14, itemFichero = 17, itemCarpeta = 19, itemConstante = 21;
constexpr int simboloObjeto = 19, simboloConstante = 14;
// A folder listed for TEXTURET gives no more names than this.
constexpr size_t maxFicherosCompletados = 500;

json Markdown(std::string texto) {
    return {{"kind", "markdown"}, {"value", std::move(texto)}};
}

// A request's place: the document, the line and the byte in it, and the word there.
struct TContexto {
    TContexto(TDocumentoLsp& doc, const json& parametros)
        : doc(doc), lugar(doc.Lugar(parametros.at("position"))), linea(doc.Linea(lugar.linea)),
          palabra(PalabraEn(linea, lugar.byte)) {}
    std::string_view Palabra() const { return linea.substr(palabra.desde, palabra.hasta - palabra.desde); }
    // Whether the place is in the code of its line (not in its comment, nor past VOID).
    bool EnCodigo() const {
        const TLineaCodigo c = CodigoDeLinea(linea);
        return lugar.linea < doc.LineasLeidas() &&
               (c.comentario == std::string_view::npos || lugar.byte <= c.comentario);
    }
    json Rango() const { return doc.Rango(lugar.linea, palabra.desde, palabra.hasta); }

    TDocumentoLsp& doc;
    TLugarTexto lugar;
    std::string_view linea;
    TPalabraLsp palabra;
};

// The name of a line's definition, or an empty view.
std::string_view NombreDefinido(std::string_view linea) {
    std::string_view nombre, valor;
    return LeeDefinicion(CodigoDeLinea(linea).Codigo(linea), nombre, valor) ? nombre : std::string_view();
}

bool EnNombreDefinido(const TContexto& c) {
    const std::string_view nombre = NombreDefinido(c.linea);
    return !nombre.empty() && static_cast<size_t>(nombre.data() - c.linea.data()) == c.palabra.desde &&
           nombre.size() == c.palabra.hasta - c.palabra.desde;
}

// The definition a name stands for on a line: the first of that name on a line before
// (a later one does not replace it); on the name of a definition line, that line counts.
std::optional<TDefinicionLsp> EnVigor(const TContexto& c) {
    const std::string_view nombre = c.Palabra();
    if (nombre.empty() || !c.EnCodigo()) return std::nullopt;
    const size_t hasta = c.lugar.linea + (EnNombreDefinido(c) ? 1 : 0);
    for (TDefinicionLsp& d : c.doc.Definiciones())
        if (d.linea < hasta && d.nombre == nombre) return std::move(d);
    return std::nullopt;
}

// Every whole-word use of a name in the code of a line (the name of a definition left out).
template <class F> void Usos(std::string_view linea, std::string_view nombre, F&& f) {
    const TLineaCodigo c = CodigoDeLinea(linea);
    const std::string_view definido = NombreDefinido(linea);
    const size_t desde =
        definido.empty() ? c.inicio : static_cast<size_t>(definido.data() - linea.data()) + definido.size();
    ParaCadaPalabra(linea.data() + desde, static_cast<int>(c.fin - desde), [&](int i, int largo) {
        if (linea.substr(desde + static_cast<size_t>(i), static_cast<size_t>(largo)) == nombre)
            f(desde + static_cast<size_t>(i));
        return true;
    });
}

std::string TextoTextura(const TContexto& c, const DString& nombre) {
    const DString completo = ResuelveRuta(nombre.c_str(), c.doc.Ruta().c_str());
    // Appended piece by piece: GCC 12 at -O3 takes "`" + std::string for an overlapping copy.
    std::string texto = "`";
    texto += nombre.c_str();
    texto += "`: ";
    TMedidasImagen medidas;
    if (MideImagen(completo.c_str(), medidas))
        return texto + std::to_string(medidas.ancho) + " x " + std::to_string(medidas.alto) + ", " +
               FormatoImagen(completo.c_str())->nombre;
    // What the loader said when the read met the line, if it got there.
    for (const TDiagnostico3Di& d : Diagnosticos3Di(c.doc.Texto(), c.doc.Lectura().informe))
        if (d.linea == static_cast<int32_t>(c.lugar.linea)) return texto + d.mensaje;
    return texto + "the image's header cannot be read: " + completo.c_str();
}

json CompletaOrdenes(const TManualLsp& manual) {
    json lista = json::array();
    for (const TEntradaManual& e : manual.Entradas())
        lista.push_back({{"label", e.palabra},
                         {"kind", itemPalabraClave},
                         {"detail", e.sintaxis},
                         {"documentation", Markdown(e.resumen)},
                         {"insertText", e.plantilla},
                         {"insertTextFormat", 2}});
    return lista;
}

// The #define names in force at a line, and the functions of formulas.
json CompletaFormula(const TDocumentoLsp& doc, size_t linea) {
    json lista = json::array();
    std::set<std::string> vistos;
    for (const TDefinicionLsp& d : doc.Definiciones())
        if (d.linea < linea && vistos.insert(d.nombre).second)
            lista.push_back({{"label", d.nombre}, {"kind", itemConstante}, {"detail", d.valor}});
    for (const char* funcion : {"cos", "sin"})
        lista.push_back(
            {{"label", funcion}, {"kind", itemFuncion}, {"insertText", std::string(funcion) + "("}});
    return lista;
}

// The images and folders of the folder that the typed name is in, relative to the
// document's folder.
json CompletaFicheros(const TDocumentoLsp& doc, std::string_view escrito) {
    while (!escrito.empty() && (escrito.front() == ' ' || escrito.front() == '"'))
        escrito.remove_prefix(1);
    const size_t barra = escrito.find_last_of("/\\");
    const std::string carpetaEscrita(barra == std::string_view::npos ? std::string_view()
                                                                     : escrito.substr(0, barra + 1));
    const DString carpeta =
        ResuelveRuta(carpetaEscrita.empty() ? "." : carpetaEscrita.c_str(), doc.Ruta().c_str());
    json lista = json::array();
    std::error_code error;
    for (std::filesystem::directory_iterator i(RutaSistema(carpeta.c_str()), error), fin;
         !error && i != fin && lista.size() < maxFicherosCompletados; i.increment(error)) {
        const std::string nombre = i->path().filename().string();
        if (i->is_directory(error))
            lista.push_back({{"label", nombre + "/"}, {"kind", itemCarpeta}});
        else if (FormatoImagen(nombre.c_str()))
            lista.push_back({{"label", nombre}, {"kind", itemFichero}});
    }
    return lista;
}

json Simbolo(const TDocumentoLsp& doc, std::string nombre, std::string detalle, int tipo, size_t linea,
             size_t desde, size_t hasta) {
    return {{"name", nombre.empty() ? std::string("?") : std::move(nombre)},
            {"detail", std::move(detalle)},
            {"kind", tipo},
            {"range", doc.Rango(linea, 0, doc.Linea(linea).size())},
            {"selectionRange", doc.Rango(linea, desde, hasta)}};
}

} // namespace

TLenguajeLsp::TLenguajeLsp() : manual(ManualIncorporado()) {}

json TLenguajeLsp::Capacidades() {
    return {{"capabilities",
             {{"textDocumentSync", {{"openClose", true}, {"change", 2}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {"=", ":", "|", "/", "\""}}}},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"documentSymbolProvider", true}}},
            {"serverInfo", {{"name", "pictomolder-lsp"}}}};
}

TDocumentoLsp& TLenguajeLsp::Abre(const std::string& uri, std::string texto, int64_t version) {
    auto& documento = documentos[uri];
    documento = std::make_unique<TDocumentoLsp>(uri, std::move(texto), version);
    return *documento;
}

TDocumentoLsp& TLenguajeLsp::Documento(const json& parametros) {
    const std::string& uri = parametros.at("textDocument").at("uri").get_ref<const std::string&>();
    const auto i = documentos.find(uri);
    if (i == documentos.end()) throw TErrorRpc(parametrosInvalidos, "the document is not open: " + uri);
    return *i->second;
}

json TLenguajeLsp::Hover(const json& parametros) {
    const TContexto c(Documento(parametros), parametros);
    if (!c.EnCodigo()) return nullptr;
    const std::string_view codigo = CodigoDeLinea(c.linea).Codigo(c.linea);
    const TOrdenLinea orden = OrdenDeLinea(codigo);
    const size_t campos =
        orden.conIgual ? static_cast<size_t>(orden.parametros.data() - c.linea.data()) : c.linea.size();
    DString textura;
    if (c.lugar.byte >= campos && TexturaDeLinea(c.linea, textura))
        return {{"contents", Markdown(TextoTextura(c, textura))}};
    if (const auto d = EnVigor(c))
        return {{"contents", Markdown("```\n#define " + d->nombre + "=" + d->valor +
                                      "\n```\n\ndefined on line " + std::to_string(d->linea))},
                {"range", c.Rango()}};
    std::string palabra(c.Palabra());
    if (c.palabra.desde > 0 && c.linea[c.palabra.desde - 1] == '#') palabra.insert(0, "#");
    const TEntradaManual* entrada = manual.Entrada(palabra);
    if (!entrada && c.lugar.byte < campos) entrada = manual.Entrada(orden.comando);
    if (!entrada) return nullptr;
    return {{"contents", Markdown("**" + entrada->palabra + "**\n\n" + entrada->resumen)},
            {"range", c.Rango()}};
}

json TLenguajeLsp::Completa(const json& parametros) {
    const TContexto c(Documento(parametros), parametros);
    if (!c.EnCodigo()) return json::array();
    const std::string_view antes = c.linea.substr(0, c.lugar.byte);
    const size_t igual = antes.find('=');
    if (igual == std::string_view::npos) return CompletaOrdenes(manual);
    const TOrdenLinea orden = OrdenDeLinea(CodigoDeLinea(c.linea).Codigo(c.linea));
    if (IgualSinCaso(orden.comando, "TEXTURET")) return CompletaFicheros(c.doc, antes.substr(igual + 1));
    return CompletaFormula(c.doc, c.lugar.linea);
}

json TLenguajeLsp::Definicion(const json& parametros) {
    const TContexto c(Documento(parametros), parametros);
    const auto d = EnVigor(c);
    if (!d) return nullptr;
    return {{"uri", c.doc.uri}, {"range", c.doc.Rango(d->linea, d->columna, d->columna + d->nombre.size())}};
}

json TLenguajeLsp::Referencias(const json& parametros) {
    const TContexto c(Documento(parametros), parametros);
    json lista = json::array();
    const auto d = EnVigor(c);
    if (!d) return lista;
    const auto anade = [&](size_t linea, size_t columna) {
        lista.push_back(
            {{"uri", c.doc.uri}, {"range", c.doc.Rango(linea, columna, columna + d->nombre.size())}});
    };
    if (parametros.contains("context") && parametros["context"].value("includeDeclaration", false))
        anade(d->linea, d->columna);
    for (size_t n = d->linea + 1, leidas = c.doc.LineasLeidas(); n < leidas; ++n)
        Usos(c.doc.Linea(n), d->nombre, [&](size_t columna) { anade(n, columna); });
    return lista;
}

json TLenguajeLsp::Simbolos(const json& parametros) {
    const TDocumentoLsp& doc = Documento(parametros);
    std::vector<std::pair<size_t, json>> simbolos;
    const TObjeto3D& escena = doc.Lectura().Escena();
    for (int i = 0; i < escena.Count(); ++i) {
        const int32_t n = escena.Linea(i);
        if (n < 0 || static_cast<size_t>(n) >= doc.Lineas().Cuantas()) continue;
        const std::string_view linea = doc.Linea(static_cast<size_t>(n));
        const std::string_view comando = OrdenDeLinea(CodigoDeLinea(linea).Codigo(linea)).comando;
        const size_t desde = static_cast<size_t>(comando.data() - linea.data());
        std::string nombre(comando);
        std::transform(nombre.begin(), nombre.end(), nombre.begin(),
                       [](char x) { return static_cast<char>(std::toupper(static_cast<unsigned char>(x))); });
        simbolos.emplace_back(n, Simbolo(doc, std::move(nombre), "line " + std::to_string(n), simboloObjeto,
                                         static_cast<size_t>(n), desde, desde + comando.size()));
    }
    for (TDefinicionLsp& d : doc.Definiciones())
        simbolos.emplace_back(d.linea, Simbolo(doc, d.nombre, d.valor, simboloConstante, d.linea, d.columna,
                                               d.columna + d.nombre.size()));
    std::stable_sort(simbolos.begin(), simbolos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    json lista = json::array();
    for (auto& s : simbolos)
        lista.push_back(std::move(s.second));
    return lista;
}
