// The transport of the language server: JSON-RPC 2.0 messages, each framed by its
// headers ("Content-Length: N", a blank line) as the Language Server Protocol frames
// them, read from a stream of bytes; and the dispatch of the messages read to the
// handlers of their methods, with the protocol's life cycle (initialize, shutdown, exit)
// and its error answers. It knows nothing of the script language.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <string>

// The most a message may hold, and so a document: more than a script can sensibly be
// (the command line takes no more from standard input either).
inline constexpr size_t maxMensajeLsp = size_t{64} << 20;

// The error codes of JSON-RPC and of the protocol.
enum TCodigoRpc : int {
    errorSintaxis = -32700,
    peticionInvalida = -32600,
    metodoDesconocido = -32601,
    parametrosInvalidos = -32602,
    errorInterno = -32603,
    sinIniciar = -32002,
};

// What a handler raises to answer with an error.
class TErrorRpc : public std::exception {
public:
    TErrorRpc(int codigo, std::string texto) : codigo(codigo), texto(std::move(texto)) {}
    const char* what() const noexcept override { return texto.c_str(); }
    int codigo;
    std::string texto;
};

// A source of bytes: fills at most `maximo` bytes of `destino` and says how many; 0 at
// the end of the stream.
using TFuenteBytes = std::function<size_t(char* destino, size_t maximo)>;

// One thing read from the stream: a message, a message that could not be taken (its
// error, to be answered), or the end of the stream.
struct TLecturaMensaje {
    enum TTipo { mensaje, error, fin };
    TTipo tipo = fin;
    nlohmann::json valor;
    int codigo = 0;
    std::string texto;
};

// Reads framed messages. A body longer than `maximo` gives its error at once (the client
// hears of it before it has sent the body) and is skipped unread, never held; a header block without its
// length, a header line past a few kilobytes, a body that is no JSON or is nested past any sensible depth,
// each give an error, and reading goes on with what follows.
class TLectorMensajes {
public:
    explicit TLectorMensajes(TFuenteBytes fuente, size_t maximo = maxMensajeLsp);
    TLecturaMensaje Siguiente();

private:
    bool Rellena();
    // A header line without its line end; false at the end of the stream.
    bool LineaCabecera(std::string& linea, bool& larga);
    bool Toma(size_t n, std::string* destino);

    TFuenteBytes fuente;
    size_t maximo;
    std::string bufer;
    size_t pos = 0;
    size_t saltar = 0; // the bytes of a refused body still to come
};

// A message with its headers, as it goes out.
std::string EnmarcaMensaje(const nlohmann::json& mensaje);

// Hands each message to the handler of its method and writes the answers. Requests
// before `initialize` are refused, requests after `shutdown` too; `exit` ends the
// service. A handler answers a request with its result, or raises TErrorRpc (a
// nlohmann::json type error in the parameters answers "invalid params").
class TServidorRpc {
public:
    using TPeticion = std::function<nlohmann::json(const nlohmann::json& parametros)>;
    using TAviso = std::function<void(const nlohmann::json& parametros)>;

    explicit TServidorRpc(std::function<void(const std::string&)> escribe) : escribe(std::move(escribe)) {}

    void Peticion(const std::string& metodo, TPeticion manejador) {
        peticiones[metodo] = std::move(manejador);
    }
    void Aviso(const std::string& metodo, TAviso manejador) { avisos[metodo] = std::move(manejador); }
    // Sends a notification to the client.
    void Notifica(const std::string& metodo, nlohmann::json parametros);

    // Handles what was read; false once the service is over (exit).
    bool Atiende(const TLecturaMensaje& leido);
    // Serves until exit or the end of the stream; the exit status the protocol asks for
    // (0 after shutdown, 1 otherwise).
    int Sirve(TLectorMensajes& lector);

private:
    void Responde(const nlohmann::json& id, nlohmann::json resultado);
    void RespondeError(const nlohmann::json& id, int codigo, const std::string& texto);
    void AtiendePeticion(const nlohmann::json& id, const std::string& metodo,
                         const nlohmann::json& parametros);
    void AtiendeAviso(const std::string& metodo, const nlohmann::json& parametros);

    std::function<void(const std::string&)> escribe;
    std::map<std::string, TPeticion> peticiones;
    std::map<std::string, TAviso> avisos;
    bool iniciado = false;
    bool cerrado = false; // shutdown received
    bool terminado = false;
};
