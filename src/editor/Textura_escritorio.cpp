#include "editor/Textura_escritorio.h"

#include "image/Tdibigformat.h"
#include "support/Descriptor_regular.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Falla(std::string& motivo, const char* ruta, const std::string& razon) {
    motivo = std::string(ruta) + " " + razon;
    return false;
}

} // namespace

bool TexturaParaEscritorio(const char* ruta, std::string& motivo) {
    const TFormatoImagen* formato = FormatoImagen(ruta);
    if (!formato || !formato->lee) return Falla(motivo, ruta, "is not an image file the textures take");
    // Looked at before it is opened: opening a device may already do something.
    const std::string sistema = RutaSistema(ruta).string();
    struct stat datos {};
    if (::stat(sistema.c_str(), &datos) != 0)
        return Falla(motivo, ruta, std::string("cannot be read (") + std::strerror(errno) + ")");
    if (!S_ISREG(datos.st_mode)) return Falla(motivo, ruta, "is not a regular file");
    const int fd = AbreLecturaRegular(sistema.c_str());
    if (fd < 0) return Falla(motivo, ruta, std::string("cannot be read (") + std::strerror(errno) + ")");
    char cabecera[8] = {};
    const ssize_t leidos = ::read(fd, cabecera, sizeof cabecera);
    ::close(fd);
    const std::string_view inicio(cabecera, leidos > 0 ? static_cast<size_t>(leidos) : 0);
    if (std::none_of(formato->firmas.begin(), formato->firmas.end(),
                     [&](std::string_view firma) { return !firma.empty() && inicio.starts_with(firma); }))
        return Falla(motivo, ruta, std::string("does not begin as a ") + formato->nombre + " file does");
    return true;
}
