#include "script/Lexico_3di.h"

#include "support/Vectores_dg.h"

#include <algorithm>
#include <cctype>

namespace {

bool EsBlanco(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool IgualSinCaso(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

TLineaCodigo CodigoDeLinea(std::string_view linea) {
    TLineaCodigo c;
    while (c.inicio < linea.size() && EsBlanco(linea[c.inicio]))
        ++c.inicio;
    // A NUL ends the code as a line end does.
    c.fin = c.inicio;
    while (c.fin < linea.size() && linea[c.fin] != ';' && linea[c.fin] != '\0')
        ++c.fin;
    if (c.fin < linea.size() && linea[c.fin] == ';') c.comentario = c.fin;
    while (c.fin > c.inicio && EsBlanco(linea[c.fin - 1]))
        --c.fin;
    c.finScript = c.Codigo(linea) == "VOID";
    return c;
}

bool LeeDefinicion(std::string_view codigo, std::string_view& nombre, std::string_view& valor) {
    constexpr std::string_view inicio = "#define ";
    if (!codigo.starts_with(inicio)) return false;
    const std::string_view resto = codigo.substr(inicio.size());
    const size_t igual = resto.find('=');
    if (igual == std::string_view::npos || resto.find('=', igual + 1) != std::string_view::npos) return false;
    nombre = resto.substr(0, igual);
    valor = resto.substr(igual + 1);
    return true;
}

bool TOrdenLinea::EsPopSinParametro() const {
    return comando == "POP" || (conIgual && IgualSinCaso(comando, "POP"));
}

TOrdenLinea OrdenDeLinea(std::string_view codigo) {
    TOrdenLinea o;
    const size_t igual = codigo.find('=');
    o.comando = codigo.substr(0, igual);
    if (igual == std::string_view::npos) return o;
    o.conIgual = true;
    o.conParametros = igual + 1 < codigo.size();
    const size_t siguiente = codigo.find('=', igual + 1);
    o.parametros =
        codigo.substr(igual + 1, siguiente == std::string_view::npos ? siguiente : siguiente - igual - 1);
    return o;
}

TCamposTextura CamposTextura(const DString& parametros) {
    Vector<DString> trozos(2, 1, true);
    parametros.Split(",", trozos, 2, true);
    TCamposTextura campos;
    if (trozos.Count() > 0) campos.nombre = trozos[0];
    campos.nombre.Unquote();
    campos.alfa = trozos.Count() > 1 && ConvierteEntero(trozos[1].c_str()) != 0;
    return campos;
}

bool TexturaDeLinea(std::string_view linea, DString& nombre) {
    const TOrdenLinea orden = OrdenDeLinea(CodigoDeLinea(linea).Codigo(linea));
    if (!orden.conParametros || !IgualSinCaso(orden.comando, "TEXTURET")) return false;
    nombre =
        CamposTextura(DString(orden.parametros.data(), static_cast<int>(orden.parametros.size()))).nombre;
    return true;
}
