#include "support/Ficheroqor.h"

#include "support/Monitor_procesos.h"
#include "support/Rutas.h"
#include "support/Throw_qor.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr long pasoEscrituraDefecto = 32000;

bool EsSoloLectura(const char* nombre) {
    std::error_code ec;
    const auto permisos = fs::status(RutaSistema(nombre), ec).permissions();
    if (ec) return false;
    const auto escritura = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (permisos & escritura) == fs::perms::none;
}

DString NombreTemporal(const DString& nombre) {
    DString t(nombre);
    t += ".$$$";
    return t;
}

} // namespace

TFicheroQOR::TFicheroQOR() : separadores(" \t\n") {}

TFicheroQOR::~TFicheroQOR() {
    Cierra();
}

int TFicheroQOR::LeeCaracter() {
    return stream ? std::fgetc(stream.get()) : EOF;
}

void TFicheroQOR::Posiciona(long offset) {
    if (stream) std::fseek(stream.get(), offset, SEEK_SET);
}

long TFicheroQOR::Posicion() {
    return stream ? std::ftell(stream.get()) : 0;
}

long TFicheroQOR::Tamano() {
    if (!stream) return 0;
    const long actual = std::ftell(stream.get());
    std::fseek(stream.get(), 0, SEEK_END);
    const long tamano = std::ftell(stream.get());
    std::fseek(stream.get(), actual, SEEK_SET);
    return tamano;
}

bool TFicheroQOR::FinFichero() {
    return !stream || std::feof(stream.get());
}

namespace {

// Moves `bytes` bytes in one piece, or with a progress record in pieces of `paso` bytes
// (32000 when `paso` is below 1), counting them and stopping when a cancel is seen.
template <class Pieza>
bool TransfiereEnPiezas(long bytes, TMonitorProcesos* progreso, long paso, Pieza&& transfiere) {
    if (!progreso)
        paso = bytes;
    else {
        if (paso < 1) paso = pasoEscrituraDefecto;
        // Only total and count start anew: a cancel already requested must still stop the transfer.
        progreso->total = static_cast<int32_t>(bytes);
        progreso->hechas = 0;
    }
    for (long hecho = 0; hecho < bytes;) {
        const long trozo = std::min(paso, bytes - hecho);
        if (!transfiere(hecho, trozo)) return false;
        hecho += trozo;
        if (progreso) {
            progreso->Avanza(static_cast<int32_t>(trozo));
            if (progreso->cancelado) return false;
        }
    }
    return true;
}

} // namespace

bool TFicheroQOR::EscribeBloque(const void* buffer, long bytes, TMonitorProcesos* progreso, long paso) {
    if (bytes <= 0) return true;
    if (!stream) return false;
    const auto* p = static_cast<const char*>(buffer);
    return TransfiereEnPiezas(bytes, progreso, paso, [&](long desde, long trozo) {
        if (std::fwrite(p + desde, 1, static_cast<size_t>(trozo), stream.get()) == static_cast<size_t>(trozo))
            return true;
        MarcaFallo();
        return false;
    });
}

bool TFicheroQOR::LeeBloque(void* buffer, long bytes, TMonitorProcesos* progreso, long paso) {
    if (bytes <= 0) return true;
    if (!stream) return false;
    auto* p = static_cast<char*>(buffer);
    return TransfiereEnPiezas(bytes, progreso, paso, [&](long desde, long trozo) {
        return std::fread(p + desde, 1, static_cast<size_t>(trozo), stream.get()) ==
               static_cast<size_t>(trozo);
    });
}

bool TFicheroQOR::Abre(const char* nombre, int32_t modoApertura) {
    if (EstaAbierto()) LanzaTexto("Error, fichero abierto ya en TFicheroQOR::Abre");
    const int accesos = (modoApertura & fqLectura ? 1 : 0) + (modoApertura & fqEscritura ? 1 : 0) +
                        (modoApertura & fqAnadir ? 1 : 0);
    if (accesos != 1) LanzaTexto("Error en TFicheroQOR::Abre");
    if (!nombre || !*nombre) return false;

    std::string tipo = (modoApertura & fqLectura) ? "r" : (modoApertura & fqEscritura) ? "w" : "a";
    if (modoApertura & fqActualizar) tipo += '+';
    tipo += 'b';

    if ((modoApertura & fqEscritura) && (modoApertura & fqCopiaBak) && ExisteFichero(nombre))
        CopiaFichero(nombre, CambiaExtension(nombre, "BAK").c_str());

    DString real(nombre);
    seguro = false;
    if (modoApertura & fqSeguro) {
        if (ExisteFichero(nombre) && EsSoloLectura(nombre)) return false;
        seguro = true;
        destino = nombre;
        real = NombreTemporal(destino);
    }

    stream.reset(std::fopen(RutaSistema(real.c_str()).c_str(), tipo.c_str()));
    modo = modoApertura;
    lineas = 0;
    ultimo = 0;
    fallo = false;
    devueltos = "";
    if (!stream) {
        seguro = false;
        return false;
    }
    if ((modo & fqLectura) && (modo & fqCabecera)) {
        if (modo & fqTexto) {
            DString dato;
            get_dato_texto(dato);
            version = static_cast<int32_t>(ConvierteEntero(dato.c_str()));
        } else {
            LeeBloque(&version, sizeof version);
        }
    }
    return true;
}

bool TFicheroQOR::Cierra() {
    if (!stream) return true;
    bool correcto = !fallo && std::fflush(stream.get()) == 0;
    if (seguro) correcto = correcto && ::fsync(::fileno(stream.get())) == 0;
    correcto = (std::fclose(stream.release()) == 0) && correcto;
    if (seguro) correcto = TerminaGuardadoSeguro(correcto);
    return correcto;
}

bool TFicheroQOR::TerminaGuardadoSeguro(bool escrituraCorrecta) {
    seguro = false;
    const DString temporal = NombreTemporal(destino);
    std::error_code ec;
    if (!ExisteFichero(temporal.c_str())) return false;
    if (!escrituraCorrecta) {
        // A short write (a full disk) must not replace the good file with a broken one.
        fs::remove(RutaSistema(temporal.c_str()), ec);
        return false;
    }
    if (ExisteFichero(destino.c_str()))
        CopiaFichero(destino.c_str(), CambiaExtension(destino.c_str(), "BAK").c_str());
    // The rename replaces the real file in one step; when it fails the ".$$$" file stays.
    fs::rename(RutaSistema(temporal.c_str()), RutaSistema(destino.c_str()), ec);
    return !ec;
}

void TFicheroQOR::CuentaFinLinea(int c) {
    if (c == '\r' || (c == '\n' && ultimo != '\r')) ++lineas;
    ultimo = static_cast<char>(c);
}

int TFicheroQOR::LeeLinea(DString& linea) {
    if (!devueltos.IsEmpty()) {
        linea = devueltos;
        devueltos = "";
        return ++lineas;
    }
    std::string texto;
    int numero = lineas;
    for (;;) {
        texto.clear();
        int c = LeeCaracter();
        while (!FinFichero() && (c == '\t' || c == '\n' || c == ' ' || c == '\r')) {
            CuentaFinLinea(c);
            c = LeeCaracter();
        }
        while (!FinFichero() && c != '\r' && c != '\n' && c != ';' && c != 0) {
            if (texto.size() < static_cast<size_t>(maxLargoLinea)) texto += static_cast<char>(c);
            ultimo = static_cast<char>(c);
            c = LeeCaracter();
        }
        numero = lineas;
        if (!FinFichero()) CuentaFinLinea(c);
        if (c == ';') {
            // The rest of the physical line is a comment.
            while (!FinFichero() && c != '\r' && c != '\n') {
                c = LeeCaracter();
                if (!FinFichero()) CuentaFinLinea(c);
            }
        }
        if (!texto.empty() || FinFichero()) break;
    }
    size_t fin = texto.size();
    while (fin > 1 && (texto[fin - 1] == ' ' || texto[fin - 1] == '\t'))
        --fin;
    texto.resize(fin);
    linea = texto == "VOID" ? "" : texto.c_str();
    return numero;
}

void TFicheroQOR::get_dato_texto(DString& dato) {
    if (!(modo & fqLectura) || !(modo & fqTexto)) LanzaTexto("Error en get_dato_texto");
    DString linea;
    LeeLinea(linea);
    const int resto = linea.FirstOfSet(separadores.c_str());
    if (resto < 0) {
        dato = linea;
        return;
    }
    int inicio = resto;
    while (inicio > 0 && separadores.Find(linea.CharAt(inicio - 1)) >= 0)
        --inicio;
    dato = linea.Mid(0, inicio);
    DString nuevos = linea.Mid(resto);
    nuevos += devueltos;
    devueltos = nuevos;
    --lineas;
}

bool TFicheroQOR::EscribeDatoTexto(const char* texto) {
    const DString t(texto);
    if (modo & fqBinario) {
        const uint16_t largo = static_cast<uint16_t>(t.Length());
        return EscribeBloque(&largo, sizeof largo) && EscribeBloque(t.c_str(), t.Length() + 1);
    }
    bool correcto = EscribeBloque(t.c_str(), t.Length());
    if (separador) correcto = EscribeBloque(&separador, 1) && correcto;
    return correcto;
}

void TFicheroQOR::Salta(long desplazamiento) {
    Posiciona(Posicion() + desplazamiento);
}
