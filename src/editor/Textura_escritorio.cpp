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

TFallo Falla(const char* ruta, const std::string& razon, TCausa causa = TCausa::uso) {
    return FalloNombrando(causa, ruta, (" " + razon).c_str());
}

} // namespace

TResultado<void> TexturaParaEscritorio(const char* ruta) {
    const TFormatoImagen* formato = FormatoImagen(ruta);
    if (!formato || !formato->lee) return Falla(ruta, "is not an image file the textures take");
    // Looked at before it is opened: opening a device may already do something.
    const std::string sistema = RutaSistema(ruta).string();
    struct stat datos {};
    if (::stat(sistema.c_str(), &datos) != 0)
        return Falla(ruta, std::string("cannot be read (") + std::strerror(errno) + ")",
                     TCausa::entradaSalida);
    if (!S_ISREG(datos.st_mode)) return Falla(ruta, "is not a regular file");
    const int fd = AbreLecturaRegular(sistema.c_str());
    if (fd < 0)
        return Falla(ruta, std::string("cannot be read (") + std::strerror(errno) + ")",
                     TCausa::entradaSalida);
    char cabecera[8] = {};
    const ssize_t leidos = ::read(fd, cabecera, sizeof cabecera);
    ::close(fd);
    const std::string_view inicio(cabecera, leidos > 0 ? static_cast<size_t>(leidos) : 0);
    if (std::none_of(formato->firmas.begin(), formato->firmas.end(),
                     [&](std::string_view firma) { return !firma.empty() && inicio.starts_with(firma); }))
        return Falla(ruta, std::string("does not begin as a ") + formato->nombre + " file does");
    return {};
}
