#include "editor/Archivo_script.h"

#include "support/Ficheroqor.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The system's reason ("Permission denied") as the failure's message.
TFallo Falla(const char* razon) {
    return {TCausa::entradaSalida, razon};
}

// Nothing at all has the name (a dangling link is something).
bool NadaSeLlama(const char* nombre) {
    std::error_code error;
    return fs::symlink_status(RutaSistema(nombre), error).type() == fs::file_type::not_found;
}

} // namespace

TResultado<void> GrabaTextoScript(const char* nombre, const std::string& texto, std::string* aviso) {
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqGrabaTexto | fqSeguro)) return Falla(fichero.Motivo());
    const bool escrito = fichero.EscribeDatoTexto(texto.data(), texto.size());
    if (!fichero.Cierra() || !escrito) return Falla(fichero.Motivo());
    if (aviso) *aviso = fichero.Aviso();
    return {};
}

TResultado<std::string> LeeTextoFichero(const char* nombre) {
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqLeeTexto)) return Falla(fichero.Motivo());
    errno = 0;
    const long tamano = fichero.Tamano();
    std::string texto(static_cast<size_t>(std::max(tamano, 0L)), '\0');
    if (tamano < 0 || (tamano > 0 && !fichero.LeeBloque(texto.data(), tamano)))
        return Falla(std::strerror(errno ? errno : EIO));
    return texto;
}

TResultado<std::string> LeeTextoScript(const char* nombre) {
    TResultado<std::string> texto = LeeTextoFichero(nombre);
    if (texto && !texto->empty() && texto->back() == ' ') texto->pop_back();
    return texto;
}

TResultado<void> SePuedeLeer(const char* nombre) {
    TFicheroQOR fichero;
    if (fichero.Abre(nombre, fqLeeBinario)) return {};
    return Falla(fichero.Motivo());
}

std::string TextoFallo(const char* texto, const char* nombre, const std::string& motivo) {
    std::string resultado = std::string(texto) + " " + nombre;
    if (!motivo.empty()) resultado += ": " + motivo;
    return resultado;
}

std::string NombreAutoguardado(const char* nombre) {
    return nombre && *nombre ? std::string(nombre) + ".seg" : std::string();
}

TResultado<void> GrabaAutoguardado(const char* nombre, const std::string& texto) {
    const std::string copia = RutaSistema(NombreAutoguardado(nombre).c_str()).string();
    // The separator space that a script saved as one text datum ends with.
    std::string datos = texto + ' ';
    // The copy of a private script stays private.
    struct stat script {};
    const auto permisos = ::stat(RutaSistema(nombre).c_str(), &script) == 0
                              ? std::optional<mode_t>(script.st_mode & 0666)
                              : std::nullopt;
    return GrabaFicheroPropio(copia, datos, permisos);
}

bool AutoguardadoPendiente(const char* nombre) {
    const std::string copia = NombreAutoguardado(nombre);
    std::error_code errorCopia, errorScript;
    if (copia.empty() || !ExisteFichero(copia.c_str()) || !PuedeSustituir(RutaSistema(copia.c_str())))
        return false;
    if (NadaSeLlama(nombre)) return true;
    const auto fechaCopia = fs::last_write_time(RutaSistema(copia.c_str()), errorCopia);
    const auto fechaScript = fs::last_write_time(RutaSistema(nombre), errorScript);
    if (errorCopia || errorScript || fechaCopia <= fechaScript) return false;
    const auto textoCopia = LeeTextoFichero(copia.c_str());
    if (!textoCopia) return false;
    const auto textoScript = LeeTextoFichero(nombre);
    return textoScript && *textoCopia != *textoScript;
}

void BorraAutoguardado(const char* nombre) {
    const std::string copia = NombreAutoguardado(nombre);
    if (copia.empty()) return;
    // Only the copy the program wrote: never a link, a folder or another user's file that
    // happens to have its name.
    const fs::path ruta = RutaSistema(copia.c_str());
    std::error_code error;
    if (fs::is_regular_file(fs::symlink_status(ruta, error)) && PuedeSustituir(ruta)) fs::remove(ruta, error);
}

DString NombrePropuesto(const char* nombre, bool propio) {
    if (!nombre || !*nombre) return DString();
    const bool malla = EsModelo3DS(nombre);
    const DString candidato = malla ? CambiaExtension(nombre, "3di") : DString(nombre);
    if (propio && !malla) return candidato;
    return NadaSeLlama(candidato.c_str()) ? candidato : DString();
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

std::string RutaAbsoluta(const std::string& nombre) {
    std::error_code error;
    const fs::path absoluta = fs::absolute(RutaSistema(nombre.c_str()), error);
    return error ? nombre : absoluta.lexically_normal().string();
}

int SaltosDeLinea(const char* texto) {
    int saltos = 0;
    for (const char* p = texto; p && *p; ++p) {
        if (*p == '\r' && p[1] == '\n') ++p;
        saltos += *p == '\r' || *p == '\n';
    }
    return saltos;
}
