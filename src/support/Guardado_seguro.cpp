#include "support/Guardado_seguro.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int maxEnlaces = 40; // as the kernel's own limit for a path

std::string CarpetaDe(const std::string& nombre) {
    const size_t barra = nombre.find_last_of('/');
    if (barra == std::string::npos) return ".";
    return barra == 0 ? "/" : nombre.substr(0, barra);
}

bool EscribeTodo(int fd, const char* datos, size_t n) {
    while (n > 0) {
        const ssize_t escrito = ::write(fd, datos, n);
        if (escrito < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        datos += escrito;
        n -= static_cast<size_t>(escrito);
    }
    return true;
}

// Copies the whole of `origen` into the open descriptor `fd`, with the same permissions,
// and syncs it.
bool CopiaEn(const std::string& origen, int fd) {
    const int entrada = ::open(origen.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (entrada < 0) return false;
    struct stat datos {};
    bool correcto = ::fstat(entrada, &datos) == 0;
    std::vector<char> bloque(1 << 16);
    while (correcto) {
        const ssize_t leido = ::read(entrada, bloque.data(), bloque.size());
        if (leido < 0 && errno == EINTR) continue;
        if (leido <= 0) {
            correcto = leido == 0;
            break;
        }
        correcto = EscribeTodo(fd, bloque.data(), static_cast<size_t>(leido));
    }
    const int error = errno;
    ::close(entrada);
    correcto = correcto && ::fchmod(fd, datos.st_mode & 07777) == 0 && ::fsync(fd) == 0;
    if (!correcto) errno = error ? error : EIO;
    return correcto;
}

// The system's refusal, errno kept.
TFallo Rechazo(int error) {
    errno = error;
    return {TCausa::entradaSalida, std::strerror(error)};
}

} // namespace

TResultado<std::string> ResuelveEnlaces(const std::string& nombre) {
    std::string real = nombre;
    for (int i = 0; i < maxEnlaces; ++i) {
        struct stat datos {};
        if (::lstat(real.c_str(), &datos) != 0) {
            if (errno == ENOENT) return real;
            return Rechazo(errno);
        }
        if (!S_ISLNK(datos.st_mode)) return real;
        std::vector<char> destino(static_cast<size_t>(PATH_MAX) + 1);
        const ssize_t n = ::readlink(real.c_str(), destino.data(), destino.size() - 1);
        if (n < 0) return Rechazo(errno);
        const std::string objetivo(destino.data(), static_cast<size_t>(n));
        real = objetivo.front() == '/' ? objetivo : CarpetaDe(real) + "/" + objetivo;
    }
    return Rechazo(ELOOP);
}

int CreaFicheroUnico(const std::string& base, std::string& nombre) {
    std::string plantilla = base + "XXXXXX";
    const int fd = ::mkostemp(plantilla.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) nombre = plantilla;
    return fd;
}

TResultado<void> PuedeSustituir(const std::string& nombre) {
    struct stat datos {};
    if (::lstat(nombre.c_str(), &datos) != 0) {
        if (errno == ENOENT) return {};
        return FalloNombrando(TCausa::entradaSalida, "cannot be looked at (", std::strerror(errno), ")");
    }
    if (S_ISLNK(datos.st_mode)) return TFallo{TCausa::ajeno, "is a symbolic link"};
    if (!S_ISREG(datos.st_mode)) return TFallo{TCausa::ajeno, "is not a regular file"};
    if (datos.st_uid != ::geteuid()) return TFallo{TCausa::ajeno, "belongs to another user"};
    return {};
}

namespace {

// Puts the finished temporary file in the place of `nombre`, unless something that may not
// be replaced has taken the name meanwhile; the temporary file goes in any case.
TResultado<void> Sustituye(const std::string& temporal, const std::string& nombre) {
    if (auto sustituible = PuedeSustituir(nombre); !sustituible) {
        ::unlink(temporal.c_str());
        return sustituible;
    }
    if (::rename(temporal.c_str(), nombre.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporal.c_str());
        return Rechazo(error);
    }
    return {};
}

TFallo Falla(int fd, const std::string& temporal) {
    const int error = errno ? errno : EIO;
    if (fd >= 0) ::close(fd);
    ::unlink(temporal.c_str());
    return Rechazo(error);
}

} // namespace

TResultado<void> GrabaFicheroPropio(const std::string& nombre, std::string_view datos,
                                    std::optional<mode_t> permisos) {
    if (auto sustituible = PuedeSustituir(nombre); !sustituible) return sustituible;
    if (!permisos) {
        struct stat actual {};
        permisos = ::lstat(nombre.c_str(), &actual) == 0 ? actual.st_mode & 07777 : PermisosNuevos();
    }
    std::string temporal;
    const int fd = CreaFicheroUnico(nombre + ".", temporal);
    if (fd < 0) return Rechazo(errno);
    if (!EscribeTodo(fd, datos.data(), datos.size()) || ::fchmod(fd, *permisos) != 0 || ::fsync(fd) != 0)
        return Falla(fd, temporal);
    if (::close(fd) != 0) return Falla(-1, temporal);
    TResultado<void> sustituido = Sustituye(temporal, nombre);
    if (sustituido) SincronizaCarpeta(nombre);
    return sustituido;
}

TResultado<void> CopiaDeSeguridad(const std::string& real, const std::string& bak, bool enlazar) {
    if (auto sustituible = PuedeSustituir(bak); !sustituible) return sustituible;
    std::string temporal;
    const int fd = CreaFicheroUnico(bak + ".", temporal);
    if (fd < 0) return Rechazo(errno);
    if (enlazar) {
        // The unique name is free again only for as long as it takes to link it; if
        // someone takes it in between, link() refuses and the copy below is made instead.
        ::unlink(temporal.c_str());
        ::close(fd);
        if (::link(real.c_str(), temporal.c_str()) != 0) return CopiaDeSeguridad(real, bak, false);
        return Sustituye(temporal, bak);
    }
    if (!CopiaEn(real, fd)) return Falla(fd, temporal);
    if (::close(fd) != 0) return Falla(-1, temporal);
    return Sustituye(temporal, bak);
}

void SincronizaCarpeta(const std::string& fichero) {
    const int fd = ::open(CarpetaDe(fichero).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

mode_t PermisosNuevos() {
    // The mask can only be read by setting it; its copy in /proc changes nothing.
    std::ifstream estado("/proc/self/status");
    std::string linea;
    while (std::getline(estado, linea))
        if (linea.rfind("Umask:", 0) == 0)
            return 0666 & ~static_cast<mode_t>(std::strtoul(linea.c_str() + 6, nullptr, 8));
    return 0644;
}
