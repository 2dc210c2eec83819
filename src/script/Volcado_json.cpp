#include "script/Volcado_json.h"

#include "script/Objetos_3d.h"
#include "script/Texturas_3di.h"

#include <cmath>
#include <cstdio>

namespace {

// Writes JSON text; values are appended after a key or inside an array.
class TEscritorJson {
public:
    std::string texto;

    void Numero(double v) {
        if (!std::isfinite(v)) {
            texto += "null"; // JSON has no infinities or NaN
            return;
        }
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", v);
        texto += buffer;
    }
    // Script texts are Latin-1 bytes; JSON wants UTF-8.
    void Cadena(const char* s) {
        texto += '"';
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
            if (*p == '"' || *p == '\\') {
                texto += '\\';
                texto += static_cast<char>(*p);
            } else if (*p == '\r') {
                texto += "\\r";
            } else if (*p == '\n') {
                texto += "\\n";
            } else if (*p == '\t') {
                texto += "\\t";
            } else if (*p < 0x20 || *p >= 0x7F) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", *p);
                texto += buffer;
            } else {
                texto += static_cast<char>(*p);
            }
        }
        texto += '"';
    }
    void Vector(const vector3D& v) {
        texto += '[';
        Numero(v.x);
        texto += ',';
        Numero(v.y);
        texto += ',';
        Numero(v.z);
        texto += ']';
    }
    void Clave(const char* nombre) {
        if (!texto.empty() && texto.back() != '{' && texto.back() != '[') texto += ", ";
        Cadena(nombre);
        texto += ": ";
    }
    template <class T, class F> void Lista(std::span<const T> valores, F escribe) {
        texto += '[';
        for (size_t i = 0; i < valores.size(); ++i) {
            if (i) texto += ',';
            escribe(valores[i]);
        }
        texto += ']';
    }
};

class TVisitanteJson : public TVisitanteCampos {
public:
    explicit TVisitanteJson(TEscritorJson& e) : j(e) {}

    void Campo(const char* nombre, double valor) override {
        j.Clave(nombre);
        j.Numero(valor);
    }
    void Campo(const char* nombre, int valor) override {
        j.Clave(nombre);
        j.Numero(valor);
    }
    void Campo(const char* nombre, bool valor) override {
        j.Clave(nombre);
        j.texto += valor ? "true" : "false";
    }
    void Campo(const char* nombre, const vector3D& valor) override {
        j.Clave(nombre);
        j.Vector(valor);
    }
    void Campo(const char* nombre, std::span<const double> valores) override {
        j.Clave(nombre);
        j.Lista(valores, [&](double v) { j.Numero(v); });
    }
    void Campo(const char* nombre, std::span<const vector3D> valores) override {
        j.Clave(nombre);
        j.Lista(valores, [&](const vector3D& v) { j.Vector(v); });
    }
    void Campo(const char* nombre, std::span<const vector2D> valores) override {
        j.Clave(nombre);
        j.Lista(valores, [&](const vector2D& v) {
            j.texto += '[';
            j.Numero(v.x);
            j.texto += ',';
            j.Numero(v.y);
            j.texto += ']';
        });
    }
    void Campo(const char* nombre, std::span<const std::array<int32_t, 4>> valores) override {
        j.Clave(nombre);
        j.Lista(valores, [&](const std::array<int32_t, 4>& q) {
            j.texto += '[';
            for (int k = 0; k < 4; ++k) {
                if (k) j.texto += ',';
                j.Numero(q[static_cast<size_t>(k)]);
            }
            j.texto += ']';
        });
    }
    void Objeto(const char* nombre, const TElementoObj3D& elemento) override {
        j.Clave(nombre);
        Elemento(elemento);
    }

    // `linea`: its script line in the scene (-1 for a part of an element).
    void Elemento(const TElementoObj3D& e, int linea = -1) {
        j.texto += '{';
        j.Clave("class");
        j.Cadena(e.NombreClase());
        Campo("linea", linea);
        Campo("color", static_cast<double>(e.color));
        Campo("grosorLinea", static_cast<int>(e.grosorLinea));
        j.Clave("textura");
        if (e.textura)
            j.Cadena(e.textura->nombre.c_str());
        else
            j.texto += "null";
        e.DescribePuntos(*this);
        e.Describe(*this);
        j.texto += '}';
    }

private:
    TEscritorJson& j;
};

} // namespace

std::string VuelcaEscena(const TObjeto3D& escena, bool correcto, const char* errores) {
    TEscritorJson j;
    TVisitanteJson v(j);
    j.texto += '{';
    v.Campo("ok", correcto);
    j.Clave("errors");
    j.Cadena(errores ? errores : "");
    v.Campo("centro", escena.centro);
    v.Campo("escala", escena.escala);
    v.Campo("anguloGiro", escena.anguloGiro);
    v.Campo("giroEnY", escena.giroEnY);
    j.Clave("elements");
    j.texto += '[';
    for (int i = 0; i < escena.Count(); ++i) {
        if (i > 0) j.texto += ", ";
        v.Elemento(escena[i], escena.Linea(i));
    }
    j.texto += "]}";
    return j.texto;
}
