#include "editor/Textura_escritorio.h"

#include "support/Descriptor_regular.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_view_literals;

// The formats of the texture loader: their extensions, name and the bytes their files
// begin with.
struct TFormatoTextura {
    std::initializer_list<std::string_view> extensiones;
    const char* nombre;
    std::initializer_list<std::string_view> firmas;
};

const TFormatoTextura formatos[] = {
    {{"BMP"}, "BMP", {"BM"sv}},
    {{"JPG", "JPEG"}, "JPEG", {"\xFF\xD8\xFF"sv}},
    {{"TIF"}, "TIFF", {"II*\0"sv, "MM\0*"sv, "II+\0"sv, "MM\0+"sv}},
    {{"ICO"}, "icon", {"\0\0\1\0"sv}},
    {{"PNG"}, "PNG", {"\x89PNG\r\n\x1A\n"sv}},
    {{"GIF"}, "GIF", {"GIF87a"sv, "GIF89a"sv}},
    {{"RAS", "RS"}, "Sun raster", {"\x59\xA6\x6A\x95"sv}},
};

const TFormatoTextura* FormatoDe(const char* ruta) {
    const DString extension = Extension(ruta);
    for (const TFormatoTextura& f : formatos)
        for (const std::string_view e : f.extensiones)
            if (extension.CompareNoCase(std::string(e).c_str()) == 0) return &f;
    return nullptr;
}

bool Falla(std::string& motivo, const char* ruta, const std::string& razon) {
    motivo = std::string(ruta) + " " + razon;
    return false;
}

} // namespace

bool TexturaParaEscritorio(const char* ruta, std::string& motivo) {
    const TFormatoTextura* formato = FormatoDe(ruta);
    if (!formato) return Falla(motivo, ruta, "is not an image file the textures take");
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
                     [&](std::string_view firma) { return inicio.starts_with(firma); }))
        return Falla(motivo, ruta, std::string("does not begin as a ") + formato->nombre + " file does");
    return true;
}
