#include "lsp/Protocolo_lsp.h"

#include <algorithm>
#include <cstdio>
#include <utility>

using nlohmann::json;

namespace {

constexpr size_t maxLineaCabecera = 4096;
constexpr size_t bloque = size_t{1} << 16;
// Deeper than any message of the protocol; a deeper body is refused before it is parsed.
constexpr int maxProfundidad = 64;

TLecturaMensaje Error(int codigo, std::string texto) {
    TLecturaMensaje l;
    l.tipo = TLecturaMensaje::error;
    l.codigo = codigo;
    l.texto = std::move(texto);
    return l;
}

bool EmpiezaSinCaso(const std::string& linea, std::string_view prefijo) {
    return linea.size() >= prefijo.size() &&
           std::equal(prefijo.begin(), prefijo.end(), linea.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The value of a Content-Length header: decimal digits, blanks around; false otherwise.
bool LeeLargo(std::string_view valor, size_t& largo) {
    while (!valor.empty() && (valor.front() == ' ' || valor.front() == '\t'))
        valor.remove_prefix(1);
    while (!valor.empty() && (valor.back() == ' ' || valor.back() == '\t'))
        valor.remove_suffix(1);
    if (valor.empty() || valor.size() > 18) return false;
    largo = 0;
    for (const char c : valor) {
        if (c < '0' || c > '9') return false;
        largo = largo * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

bool DemasiadoProfundo(std::string_view texto) {
    int profundidad = 0;
    bool enCadena = false;
    for (size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (enCadena) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                enCadena = false;
        } else if (c == '"') {
            enCadena = true;
        } else if (c == '[' || c == '{') {
            if (++profundidad > maxProfundidad) return true;
        } else if (c == ']' || c == '}') {
            --profundidad;
        }
    }
    return false;
}

} // namespace

TLectorMensajes::TLectorMensajes(TFuenteBytes fuente, size_t maximo)
    : fuente(std::move(fuente)), maximo(maximo) {}

bool TLectorMensajes::Rellena() {
    if (pos > 0) {
        bufer.erase(0, pos);
        pos = 0;
    }
    const size_t antes = bufer.size();
    bufer.resize(antes + bloque);
    const size_t n = fuente(bufer.data() + antes, bloque);
    bufer.resize(antes + n);
    return n > 0;
}

bool TLectorMensajes::LineaCabecera(std::string& linea, bool& larga) {
    linea.clear();
    larga = false;
    for (;;) {
        const size_t fin = bufer.find('\n', pos);
        const size_t hasta = fin == std::string::npos ? bufer.size() : fin;
        const size_t cabe = maxLineaCabecera - std::min(linea.size(), maxLineaCabecera);
        linea.append(bufer, pos, std::min(hasta - pos, cabe));
        larga = larga || hasta - pos > cabe;
        if (fin != std::string::npos) {
            pos = fin + 1;
            if (!linea.empty() && linea.back() == '\r') linea.pop_back();
            return true;
        }
        pos = bufer.size();
        if (!Rellena()) return false;
    }
}

bool TLectorMensajes::Toma(size_t n, std::string* destino) {
    while (n > 0) {
        if (pos == bufer.size() && !Rellena()) return false;
        const size_t parte = std::min(n, bufer.size() - pos);
        if (destino) destino->append(bufer, pos, parte);
        pos += parte;
        n -= parte;
    }
    return true;
}

TLecturaMensaje TLectorMensajes::Siguiente() {
    if (saltar > 0 && !Toma(std::exchange(saltar, 0), nullptr)) return {};
    std::string linea;
    bool larga = false, conLargo = false, malFormada = false, alguna = false;
    size_t largo = 0;
    for (;;) {
        if (!LineaCabecera(linea, larga)) return {};
        if (linea.empty() && !larga) {
            if (alguna) break;
            continue; // blank lines between messages
        }
        alguna = true;
        if (larga)
            malFormada = true;
        else if (EmpiezaSinCaso(linea, "content-length:"))
            conLargo = LeeLargo(std::string_view(linea).substr(15), largo);
    }
    if (malFormada || !conLargo)
        return Error(errorSintaxis, "a message without a valid Content-Length header");
    if (largo > maximo) {
        saltar = largo;
        return Error(peticionInvalida,
                     "message longer than " + std::to_string(maximo >> 20) + " MB, skipped");
    }
    std::string cuerpo;
    cuerpo.reserve(std::min(largo, bloque));
    if (!Toma(largo, &cuerpo)) return {};
    if (DemasiadoProfundo(cuerpo)) return Error(peticionInvalida, "message nested too deeply");
    TLecturaMensaje l;
    l.valor = json::parse(cuerpo, nullptr, false);
    if (l.valor.is_discarded()) return Error(errorSintaxis, "the message is not JSON");
    l.tipo = TLecturaMensaje::mensaje;
    return l;
}

std::string EnmarcaMensaje(const json& mensaje) {
    const std::string cuerpo = mensaje.dump(-1, ' ', false, json::error_handler_t::replace);
    return "Content-Length: " + std::to_string(cuerpo.size()) + "\r\n\r\n" + cuerpo;
}

void TServidorRpc::Notifica(const std::string& metodo, json parametros) {
    escribe(EnmarcaMensaje({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametros)}}));
}

void TServidorRpc::Responde(const json& id, json resultado) {
    escribe(EnmarcaMensaje({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(resultado)}}));
}

void TServidorRpc::RespondeError(const json& id, int codigo, const std::string& texto) {
    escribe(
        EnmarcaMensaje({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codigo}, {"message", texto}}}}));
}

void TServidorRpc::AtiendePeticion(const json& id, const std::string& metodo, const json& parametros) {
    if (!iniciado && metodo != "initialize")
        return RespondeError(id, sinIniciar, "the server is not initialized");
    if (cerrado) return RespondeError(id, peticionInvalida, "the server is shut down");
    if (metodo == "shutdown") {
        cerrado = true;
        return Responde(id, nullptr);
    }
    const auto manejador = peticiones.find(metodo);
    if (manejador == peticiones.end())
        return RespondeError(id, metodoDesconocido, "unknown method: " + metodo);
    try {
        json resultado = manejador->second(parametros);
        if (metodo == "initialize") iniciado = true;
        Responde(id, std::move(resultado));
    } catch (const TErrorRpc& e) {
        RespondeError(id, e.codigo, e.texto);
    } catch (const json::exception& e) {
        RespondeError(id, parametrosInvalidos, e.what());
    } catch (const std::exception& e) {
        RespondeError(id, errorInterno, e.what());
    }
}

void TServidorRpc::AtiendeAviso(const std::string& metodo, const json& parametros) {
    if (metodo == "exit") {
        terminado = true;
        return;
    }
    const auto manejador = avisos.find(metodo);
    if (!iniciado || cerrado || manejador == avisos.end()) return;
    try {
        manejador->second(parametros);
    } catch (const std::exception& e) {
        // A notification has no answer: the client hears of the fault in its log.
        Notifica("window/logMessage", {{"type", 1}, {"message", metodo + ": " + e.what()}});
    }
}

bool TServidorRpc::Atiende(const TLecturaMensaje& leido) {
    if (leido.tipo == TLecturaMensaje::fin) return false;
    if (leido.tipo == TLecturaMensaje::error) {
        RespondeError(nullptr, leido.codigo, leido.texto);
        return true;
    }
    const json& m = leido.valor;
    const bool conId =
        m.is_object() && m.contains("id") && (m["id"].is_number_integer() || m["id"].is_string());
    if (!m.is_object() || !m.contains("method") || !m["method"].is_string()) {
        // An answer of the client to a request of ours (none are sent) needs nothing.
        if (!(m.is_object() && conId && (m.contains("result") || m.contains("error"))))
            RespondeError(conId ? m["id"] : json(nullptr), peticionInvalida, "not a JSON-RPC request");
        return true;
    }
    const json sinParametros = json::object();
    const json& parametros = m.contains("params") ? m["params"] : sinParametros;
    const std::string& metodo = m["method"].get_ref<const std::string&>();
    if (conId)
        AtiendePeticion(m["id"], metodo, parametros);
    else if (m.contains("id"))
        RespondeError(nullptr, peticionInvalida, "an id must be a number or a string");
    else
        AtiendeAviso(metodo, parametros);
    return !terminado;
}

int TServidorRpc::Sirve(TLectorMensajes& lector) {
    while (Atiende(lector.Siguiente())) {
    }
    return cerrado ? 0 : 1;
}
