// How failures travel. An operation that can fail returns a TResultado: its value (or
// nothing, for TResultado<void>) or a TFallo, which is the message shown to the user
// and its cause. What is thrown derives from TXPictomolder, which carries the same two,
// so a catch turns it into a result (Fallo()) and a result into a throw (Lanza()).
// Messages are exactly the texts the user reads; the cause lets a caller choose what
// to do (an exit status, a retry, whether to show the usage text) without parsing them.
#pragma once

#include "support/Dstring.h"

#include <cstdarg>
#include <exception>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

enum class TCausa {
    entrada,       // the data read is not what it should be (a script, an image, a model)
    entradaSalida, // a file could not be opened, read or written
    limite,        // the data passes a bound set to keep time or memory in check
    uso,           // the caller or the user asked for something that cannot be done
    abandono,      // the work was stopped on purpose (a hostile file, a cancelled task)
    ajeno,         // a name the program writes on its own account is taken by what is not
                   // its to replace (a link, a special or another user's file): left alone
    interna,       // our own fault: a broken invariant
};

struct TFallo {
    TCausa causa = TCausa::entrada;
    DString mensaje;
};

// The one exception base of the program. `what()` is the message.
class TXPictomolder : public std::exception {
public:
    TXPictomolder(TCausa c, DString m) : causa(c), mensaje(std::move(m)) {}
    TXPictomolder(TCausa c, const char* m) : causa(c), mensaje(m) {}
    TXPictomolder(TCausa c, const std::string& m) : causa(c), mensaje(m.c_str()) {}
    explicit TXPictomolder(const TFallo& f) : causa(f.causa), mensaje(f.mensaje) {}
    const char* what() const noexcept override { return mensaje.c_str(); }
    TCausa Causa() const noexcept { return causa; }
    TFallo Fallo() const { return {causa, DString(what())}; }

protected:
    // For a derived class that gives its message through its own what().
    explicit TXPictomolder(TCausa c) noexcept : causa(c) {}

private:
    TCausa causa;
    DString mensaje;
};

// Either the value or the failure (std::expected is not in C++20). [[nodiscard]]: a
// failure is never dropped without a word.
template <class T> class [[nodiscard]] TResultado {
public:
    template <class U = T>
    requires std::is_constructible_v<T, U&&> TResultado(U&& valor)
        : estado(std::in_place_index<0>, std::forward<U>(valor)) {}
    TResultado(TFallo fallo) : estado(std::in_place_index<1>, std::move(fallo)) {}

    explicit operator bool() const noexcept { return estado.index() == 0; }
    bool Correcto() const noexcept { return estado.index() == 0; }

    // Only on success.
    T& Valor() & { return std::get<0>(estado); }
    const T& Valor() const& { return std::get<0>(estado); }
    T&& Valor() && { return std::get<0>(std::move(estado)); }
    T& operator*() & { return Valor(); }
    const T& operator*() const& { return Valor(); }
    T* operator->() { return &Valor(); }
    const T* operator->() const { return &Valor(); }

    // Only on failure.
    const TFallo& Fallo() const& { return std::get<1>(estado); }
    TFallo&& Fallo() && { return std::get<1>(std::move(estado)); }
    const DString& Mensaje() const { return Fallo().mensaje; }
    TCausa Causa() const { return Fallo().causa; }

    // The value, or the failure thrown.
    T& ValorOLanza() & {
        if (!Correcto()) throw TXPictomolder(Fallo());
        return Valor();
    }
    T ValorOLanza() && {
        if (!Correcto()) throw TXPictomolder(Fallo());
        return std::move(*this).Valor();
    }

private:
    std::variant<T, TFallo> estado;
};

template <> class [[nodiscard]] TResultado<void> {
public:
    TResultado() = default; // success
    TResultado(TFallo f) : fallo(std::move(f)) {}

    explicit operator bool() const noexcept { return !fallo; }
    bool Correcto() const noexcept { return !fallo; }

    const TFallo& Fallo() const& { return *fallo; }
    TFallo&& Fallo() && { return std::move(*fallo); }
    const DString& Mensaje() const { return fallo->mensaje; }
    TCausa Causa() const { return fallo->causa; }

    void Lanza() const {
        if (fallo) throw TXPictomolder(*fallo);
    }

private:
    std::optional<TFallo> fallo;
};

using TExito = TResultado<void>;

// A failure whose message names a file (or another thing): "<antes><nombre><despues>".
inline TFallo FalloNombrando(TCausa causa, const char* antes, const char* nombre, const char* despues = "") {
    DString mensaje(antes);
    mensaje += nombre;
    mensaje += despues;
    return {causa, std::move(mensaje)};
}

// A failure whose message is formatted as printf formats it.
inline TFallo FalloFormato(TCausa causa, const char* formato, ...) __attribute__((format(printf, 2, 3)));
inline TFallo FalloFormato(TCausa causa, const char* formato, ...) {
    TFallo fallo{causa, {}};
    va_list argumentos;
    va_start(argumentos, formato);
    fallo.mensaje.FormatV(formato, argumentos);
    va_end(argumentos);
    return fallo;
}

// The message of a failed result, or "" on success (for callers that collect texts).
template <class T> DString MensajeDe(const TResultado<T>& r) {
    return r ? DString() : r.Mensaje();
}
