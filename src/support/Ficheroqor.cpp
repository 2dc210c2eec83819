#include "support/Ficheroqor.h"

#include "support/Descriptor_regular.h"
#include "support/Guardado_seguro.h"
#include "support/Monitor_procesos.h"
#include "support/Rutas.h"
#include "support/Throw_qor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long pasoEscrituraDefecto = 32000;

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

namespace {

int BanderasApertura(const char* tipo) {
    const bool mas = std::strchr(tipo, '+') != nullptr;
    switch (tipo[0]) {
    case 'r':
        return mas ? O_RDWR : O_RDONLY;
    case 'w':
        return (mas ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    default:
        return (mas ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    }
}

constexpr const char* textoNoRegular = "Not a regular file";

bool EsSoloLectura(mode_t modo) {
    return (modo & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

void TFicheroQOR::MarcaFallo() {
    if (!fallo) errorEscritura = errno ? errno : EIO;
    fallo = true;
}

bool TFicheroQOR::Falla(const char* texto) {
    motivo = texto;
    return false;
}

bool TFicheroQOR::Falla(int error) {
    return Falla(std::strerror(error));
}

// Takes over an open descriptor, which must be a regular file; it never blocks (a FIFO
// is opened without waiting for its other end, then refused).
bool TFicheroQOR::AbreDescriptor(int fd, const char* tipo) {
    if (fd < 0) return Falla(errno);
    const int noRegular = CompruebaRegular(fd);
    if (noRegular != 0) {
        ::close(fd);
        return noRegular == errorNoRegular ? Falla(textoNoRegular) : Falla(noRegular);
    }
    stream.reset(::fdopen(fd, tipo));
    if (!stream) {
        const int error = errno;
        ::close(fd);
        return Falla(error);
    }
    return true;
}

bool TFicheroQOR::Abre(const char* nombre, int32_t modoApertura) {
    if (EstaAbierto()) LanzaTexto("Error, fichero abierto ya en TFicheroQOR::Abre");
    const int accesos = (modoApertura & fqLectura ? 1 : 0) + (modoApertura & fqEscritura ? 1 : 0) +
                        (modoApertura & fqAnadir ? 1 : 0);
    if (accesos != 1) LanzaTexto("Error en TFicheroQOR::Abre");
    motivo.clear();
    aviso.clear();
    seguro = false;
    if (!nombre || !*nombre) return Falla(ENOENT);

    std::string tipo = (modoApertura & fqLectura) ? "r" : (modoApertura & fqEscritura) ? "w" : "a";
    if (modoApertura & fqActualizar) tipo += '+';
    tipo += 'b';
    modo = modoApertura;
    lineas = 0;
    ultimo = 0;
    fallo = false;
    errorEscritura = 0;
    devueltos = "";

    const bool escribe = !(modoApertura & fqLectura);
    if (escribe && (modoApertura & fqSeguro)) {
        if (!AbreSeguro(nombre, tipo.c_str())) return false;
    } else {
        const std::string ruta = RutaSistema(nombre).string();
        if ((modoApertura & fqEscritura) && (modoApertura & fqCopiaBak) && ExisteFichero(nombre) &&
            !GuardaCopia(ruta, RutaSistema(CambiaExtension(nombre, "BAK").c_str()).string(), false))
            return false;
        const int banderas = BanderasApertura(tipo.c_str()) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        if (!AbreDescriptor(::open(ruta.c_str(), banderas, 0666), tipo.c_str())) return false;
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

bool TFicheroQOR::AbreSeguro(const char* nombre, const char* tipo) {
    const auto resuelto = ResuelveEnlaces(RutaSistema(nombre).string());
    if (!resuelto) return Falla(errno);
    const std::string& real = *resuelto;
    struct stat datos {};
    existia = ::stat(real.c_str(), &datos) == 0;
    if (existia) {
        if (!S_ISREG(datos.st_mode)) return S_ISDIR(datos.st_mode) ? Falla(EISDIR) : Falla(textoNoRegular);
        if (EsSoloLectura(datos.st_mode)) return Falla(EACCES);
        permisos = datos.st_mode & 07777;
        dueno = datos.st_uid;
        grupo = datos.st_gid;
    }
    const int fd = CreaFicheroUnico(real + ".$$$", temporal);
    if (fd < 0) return Falla(errno);
    if (!AbreDescriptor(fd, tipo)) {
        ::unlink(temporal.c_str());
        return false;
    }
    seguro = true;
    destino = real.c_str();
    return true;
}

bool TFicheroQOR::GuardaCopia(const std::string& real, const std::string& bak, bool enlazar) {
    const TResultado<void> copia = CopiaDeSeguridad(real, bak, enlazar);
    if (copia) return true;
    if (copia.Causa() == TCausa::ajeno) {
        // The backup is the program's own file: whatever stands at its name is the
        // user's, or someone's trap, and is left alone; the save goes on without it.
        aviso = "No backup was kept: " + bak + " " + copia.Mensaje().c_str() + ", left alone";
        return true;
    }
    return Falla(copia.Mensaje().c_str());
}

bool TFicheroQOR::Cierra() {
    if (!stream) return true;
    std::FILE* f = stream.get();
    int error = 0;
    if (fallo) error = errorEscritura;
    if (!error && std::fflush(f) != 0) error = errno;
    if (!error && seguro) {
        // The new file takes the real file's place with its permissions and, where the
        // system allows, its owner; a new file gets the usual permissions.
        const int fd = ::fileno(f);
        if (existia && ::fchown(fd, dueno, grupo) != 0) permisos &= ~static_cast<uint32_t>(S_ISUID | S_ISGID);
        if (::fchmod(fd, existia ? permisos : PermisosNuevos()) != 0 || ::fsync(fd) != 0) error = errno;
    }
    if (std::fclose(stream.release()) != 0 && !error) error = errno;
    const bool terminaGuardado = seguro;
    seguro = false;
    if (error) {
        // A short write (a full disk) must not replace the good file with a broken one.
        if (terminaGuardado) ::unlink(temporal.c_str());
        return Falla(error);
    }
    return !terminaGuardado || TerminaGuardadoSeguro();
}

bool TFicheroQOR::TerminaGuardadoSeguro() {
    // No backup, no save: a failed backup leaves the old file as the only copy.
    if (existia && !(modo & fqSinCopiaBak) &&
        !GuardaCopia(destino.c_str(), CambiaExtension(destino.c_str(), "BAK").c_str(), true)) {
        ::unlink(temporal.c_str());
        return false;
    }
    // The rename replaces the real file in one step; when it fails the temporary file
    // stays, holding the text that could not be put in place.
    if (::rename(temporal.c_str(), destino.c_str()) != 0) return Falla(errno);
    SincronizaCarpeta(destino.c_str());
    return true;
}

void TFicheroQOR::CuentaFinLinea(int c) {
    if (c == '\r' || (c == '\n' && ultimo != '\r')) ++lineas;
    ultimo = static_cast<char>(c);
}

int TFicheroQOR::LeeLinea(DString& linea) {
    return LeeLineaDe([this] { return LeeCaracter(); }, [this] { return FinFichero(); }, linea);
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
    return EscribeDatoTexto(t.c_str(), static_cast<size_t>(t.Length()));
}

bool TFicheroQOR::EscribeDatoTexto(const char* texto, size_t largo) {
    bool correcto = EscribeBloque(texto, static_cast<long>(largo));
    if (separador) correcto = EscribeBloque(&separador, 1) && correcto;
    return correcto;
}

void TFicheroQOR::Salta(long desplazamiento) {
    Posiciona(Posicion() + desplazamiento);
}
