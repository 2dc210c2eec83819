#include "script/Diagnosticos_3di.h"

#include "script/Lexico_3di.h"

#include <algorithm>

namespace {

// The length of the well-formed UTF-8 sequence that starts at `i` (overlong forms,
// surrogates and values past U+10FFFF are not), or 0.
size_t LargoUtf8(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    size_t n = 0;
    unsigned char minimo = 0x80, maximo = 0xBF; // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) minimo = 0xA0;
        if (c == 0xED) maximo = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) minimo = 0x90;
        if (c == 0xF4) maximo = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size() || b(i + 1) < minimo || b(i + 1) > maximo) return 0;
    for (size_t k = 2; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

struct TTramo {
    size_t inicio = 0;
    size_t fin = 0;
};

size_t Desde(std::string_view parte, std::string_view linea) {
    return static_cast<size_t>(parte.data() - linea.data());
}

// What of the line as written the error points at.
TTramo TramoDeError(std::string_view linea, TErrorLectura::TParte parte) {
    const TLineaCodigo codigo = CodigoDeLinea(linea);
    const std::string_view texto = codigo.Codigo(linea);
    if (texto.empty()) return {0, linea.size()};
    const TOrdenLinea orden = OrdenDeLinea(texto);
    std::string_view elegida = texto;
    if (parte == TErrorLectura::enComando && !orden.comando.empty()) elegida = orden.comando;
    if (parte == TErrorLectura::enCampos && !orden.parametros.empty()) elegida = orden.parametros;
    const size_t inicio = Desde(elegida, linea);
    return {inicio, inicio + elegida.size()};
}

std::string UnaLinea(const DString& mensaje) {
    std::string texto(mensaje.c_str(), static_cast<size_t>(mensaje.Length()));
    std::replace(texto.begin(), texto.end(), '\n', ' ');
    std::erase(texto, '\r');
    return texto;
}

} // namespace

TLineasTexto::TLineasTexto(std::string_view t) : texto(t) {
    inicios.push_back(0);
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
        if (texto[i] == '\r' || texto[i] == '\n') inicios.push_back(i + 1);
    }
}

std::string_view TLineasTexto::operator[](size_t n) const {
    if (n >= inicios.size()) return {};
    size_t fin = n + 1 < inicios.size() ? inicios[n + 1] : texto.size();
    while (fin > inicios[n] && (texto[fin - 1] == '\n' || texto[fin - 1] == '\r'))
        --fin;
    return texto.substr(inicios[n], fin - inicios[n]);
}

std::vector<TDiagnostico3Di> Diagnosticos3Di(std::string_view texto, const TInformeLectura& informe) {
    std::vector<TDiagnostico3Di> lista;
    const TLineasTexto lineas(texto);
    for (const TErrorLectura& e : informe.errores) {
        TDiagnostico3Di d;
        d.linea = e.linea;
        d.mensaje = UnaLinea(e.mensaje);
        if (e.linea >= 0) {
            const TTramo tramo = TramoDeError(lineas[static_cast<size_t>(e.linea)], e.parte);
            d.inicio = tramo.inicio;
            d.fin = tramo.fin;
        }
        lista.push_back(std::move(d));
    }
    if (lista.empty() && !informe.correcto) lista.push_back({-1, 0, 0, UnaLinea(informe.Texto())});
    return lista;
}

bool EsUtf8(std::string_view texto) {
    for (size_t i = 0, n; i < texto.size(); i += n)
        if ((n = LargoUtf8(texto, i)) == 0) return false;
    return true;
}

size_t CaracteresHasta(std::string_view linea, size_t bytes, bool utf8) {
    bytes = std::min(bytes, linea.size());
    if (!utf8) return bytes;
    size_t n = 0;
    for (size_t i = 0; i < bytes; i += std::max<size_t>(LargoUtf8(linea, i), 1))
        ++n;
    return n;
}

size_t Utf16Hasta(std::string_view linea, size_t bytes) {
    bytes = std::min(bytes, linea.size());
    size_t n = 0;
    for (size_t i = 0; i < bytes;) {
        const size_t largo = std::max<size_t>(LargoUtf8(linea, i), 1);
        n += largo == 4 ? 2 : 1;
        i += largo;
    }
    return n;
}

size_t BytesDeUtf16(std::string_view linea, size_t unidades) {
    size_t i = 0;
    for (size_t n = 0; i < linea.size() && n < unidades;) {
        const size_t largo = std::max<size_t>(LargoUtf8(linea, i), 1);
        n += largo == 4 ? 2 : 1;
        i += largo;
    }
    return i;
}
