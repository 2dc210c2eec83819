#include "cli/Escena_cli.h"

#include "script/Objetos_3d.h"
#include "support/Ficheroqordatos.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

// More than a script can sensibly be: standard input is read no further (it may be an
// endless stream such as /dev/zero).
constexpr size_t maxEntradaEstandar = size_t{64} << 20;

} // namespace

double LeeNumero(const std::string& texto, const char* opcion) {
    char* fin = nullptr;
    const double v = std::strtod(texto.c_str(), &fin);
    if (texto.empty() || *fin != '\0' || !(v == v) || v > 1e12 || v < -1e12)
        throw TErrorUso(std::string("invalid number for ") + opcion + ": " + texto);
    return v;
}

std::pair<double, double> LeePar(const std::string& texto, char separador, const char* opcion) {
    const size_t p = texto.find(separador);
    if (p == std::string::npos)
        throw TErrorUso(std::string("expected two values for ") + opcion + ": " + texto);
    return {LeeNumero(texto.substr(0, p), opcion), LeeNumero(texto.substr(p + 1), opcion)};
}

bool LeeEscena(const std::string& fichero, TObjeto3D& escena, DString& error) {
    if (fichero == "-") {
        std::string texto;
        char bloque[1 << 16];
        for (size_t n;
             texto.size() <= maxEntradaEstandar && (n = std::fread(bloque, 1, sizeof bloque, stdin)) > 0;)
            texto.append(bloque, n);
        if (texto.size() > maxEntradaEstandar)
            throw std::runtime_error("standard input holds more than 64 MB; no script is that long");
        TFicheroQORdatos memoria(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
        return escena.Lee(memoria, nullptr, error);
    }
    TFicheroQOR prueba;
    if (!prueba.Abre(fichero.c_str(), fqLeeTexto))
        throw std::runtime_error("cannot read " + fichero + ": " + prueba.Motivo());
    prueba.Cierra();
    return escena.Carga(fichero.c_str(), error);
}
