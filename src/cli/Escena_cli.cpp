#include "cli/Escena_cli.h"

#include "support/Ficheroqor.h"

#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace {

// More than a script can sensibly be: standard input is read no further (it may be an
// endless stream such as /dev/zero).
constexpr size_t maxEntradaEstandar = size_t{64} << 20;

} // namespace

int AvisaUso(const std::string& mensaje, const char* ayuda) {
    std::fprintf(stderr, "pictomolder-cli: %s (see %s)\n", mensaje.c_str(), ayuda);
    return salidaUso;
}

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

bool LeeOpcionCamara(const std::string& opcion, const std::function<std::string()>& valor, TCamara& camara,
                     bool& encuadreDado) {
    if (opcion == "--angles") {
        std::tie(camara.anguloX, camara.anguloY) = LeePar(valor(), ',', "--angles");
    } else if (opcion == "--view") {
        const std::string nombre = valor();
        if (!camara.Orienta(nombre)) throw TErrorUso("unknown view: " + nombre);
    } else if (opcion == "--perspective") {
        camara.perspectiva = true;
    } else if (opcion == "--distance") {
        camara.distancia = LeeNumero(valor(), "--distance");
    } else if (opcion == "--zoom") {
        camara.escala = LeeNumero(valor(), "--zoom");
        encuadreDado = true;
    } else if (opcion == "--pan") {
        std::tie(camara.desplazamiento.x, camara.desplazamiento.y) = LeePar(valor(), ',', "--pan");
        encuadreDado = true;
    } else {
        return false;
    }
    return true;
}

TLecturaEscena LeeEntrada(const std::string& fichero, const TLecturaEscena* anterior, std::string* texto) {
    if (fichero == "-") {
        std::string leido;
        char bloque[1 << 16];
        for (size_t n;
             leido.size() <= maxEntradaEstandar && (n = std::fread(bloque, 1, sizeof bloque, stdin)) > 0;)
            leido.append(bloque, n);
        if (leido.size() > maxEntradaEstandar)
            throw TXPictomolder(TCausa::limite,
                                "standard input holds more than 64 MB; no script is that long");
        TLecturaEscena lectura = LeeEscena(TFuenteEscena::Texto(leido, DString()), anterior);
        if (texto) *texto = std::move(leido);
        return lectura;
    }
    TFicheroQOR prueba;
    if (!prueba.Abre(fichero.c_str(), fqLeeTexto))
        throw TXPictomolder(TCausa::entradaSalida, "cannot read " + fichero + ": " + prueba.Motivo());
    if (texto) {
        const long tamano = prueba.Tamano();
        if (tamano < 0 || static_cast<size_t>(tamano) > maxEntradaEstandar)
            throw TXPictomolder(TCausa::limite, "cannot read " + fichero + ": not a script of at most 64 MB");
        texto->resize(static_cast<size_t>(tamano));
        if (tamano > 0 && !prueba.LeeBloque(texto->data(), tamano))
            throw TXPictomolder(TCausa::entradaSalida, "cannot read " + fichero + ": " + prueba.Motivo());
    }
    prueba.Cierra();
    return LeeEscena(TFuenteEscena::Fichero(fichero.c_str()), anterior);
}
