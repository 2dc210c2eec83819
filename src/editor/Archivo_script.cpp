#include "editor/Archivo_script.h"

#include "support/Ficheroqor.h"
#include "support/Rutas.h"

#include <cctype>
#include <filesystem>
#include <system_error>

bool GrabaTextoScript(const char* nombre, const std::string& texto, bool copiaBak) {
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqGrabaTexto | fqSeguro | (copiaBak ? 0 : fqSinCopiaBak))) return false;
    const bool escrito = fichero.EscribeDatoTexto(texto.data(), texto.size());
    return fichero.Cierra() && escrito;
}

bool LeeTextoFichero(const char* nombre, std::string& texto) {
    texto.clear();
    if (!ExisteFichero(nombre)) return false;
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqLeeTexto)) return false;
    const long tamano = fichero.Tamano();
    if (tamano < 0) return false;
    texto.resize(static_cast<size_t>(tamano));
    if (tamano > 0 && !fichero.LeeBloque(texto.data(), tamano)) {
        texto.clear();
        return false;
    }
    return true;
}

bool LeeTextoScript(const char* nombre, std::string& texto) {
    if (!LeeTextoFichero(nombre, texto)) return false;
    if (!texto.empty() && texto.back() == ' ') texto.pop_back();
    return true;
}

bool EsModelo3DS(const char* nombre) {
    return Extension(nombre).CompareNoCase("3DS") == 0;
}

bool EsOpcionLineaOrdenes(const char* argumento) {
    if (!argumento || !*argumento) return true;
    if (argumento[0] == '-') return true;
    if (argumento[0] != '/' || !argumento[1]) return false;
    for (const char* p = argumento + 1; *p; ++p)
        if (!std::isalpha(static_cast<unsigned char>(*p))) return false;
    std::error_code ec;
    return !std::filesystem::exists(argumento, ec);
}

std::vector<int> LineasConError(const char* errores) {
    std::vector<int> lineas;
    if (!errores) return lineas;
    const char* p = errores;
    while (*p) {
        const char* inicio = p;
        long numero = 0;
        while (std::isdigit(static_cast<unsigned char>(*p)) && numero < 100000000)
            numero = numero * 10 + (*p++ - '0');
        if (p > inicio && *p == ':') lineas.push_back(static_cast<int>(numero));
        while (*p && *p != '\n' && *p != '\r')
            ++p;
        while (*p == '\n' || *p == '\r')
            ++p;
    }
    return lineas;
}
