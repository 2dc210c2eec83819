#include "support/Var_config.h"

#include "support/Descriptor_regular.h"
#include "support/Guardado_seguro.h"
#include "support/Rutas.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <strings.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* valorAusente = "foca_noE";
constexpr char crCodificado = static_cast<char>(254);
constexpr char lfCodificado = static_cast<char>(255);

std::string Recorta(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    const size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> LeeLineas(const fs::path& ruta) {
    std::vector<std::string> lineas;
    // Never a FIFO or a device in its place: reading the settings waits for nobody.
    const int fd = AbreLecturaRegular(ruta.c_str());
    if (fd < 0) return lineas;
    std::string texto;
    char bloque[4096];
    for (ssize_t n; (n = ::read(fd, bloque, sizeof bloque)) != 0;) {
        if (n < 0 && errno != EINTR) break;
        if (n > 0) texto.append(bloque, static_cast<size_t>(n));
    }
    ::close(fd);
    std::istringstream f(texto);
    for (std::string linea; std::getline(f, linea);) {
        if (!linea.empty() && linea.back() == '\r') linea.pop_back();
        lineas.push_back(linea);
    }
    return lineas;
}

bool EsSeccion(const std::string& linea, const char* seccion) {
    const std::string t = Recorta(linea);
    return t.size() >= 2 && t.front() == '[' && t.back() == ']' &&
           strcasecmp(Recorta(t.substr(1, t.size() - 2)).c_str(), seccion) == 0;
}

bool EsCabeceraSeccion(const std::string& linea) {
    const std::string t = Recorta(linea);
    return !t.empty() && t.front() == '[';
}

// Index of the key's line inside the section, or -1; `finSeccion` receives the
// index after the section's last line (or -1 when the section is missing).
int BuscaClave(const std::vector<std::string>& lineas, const char* seccion, const char* clave,
               int& finSeccion) {
    finSeccion = -1;
    bool dentro = false;
    for (int i = 0; i < static_cast<int>(lineas.size()); ++i) {
        if (EsCabeceraSeccion(lineas[i])) {
            if (dentro) return -1;
            dentro = EsSeccion(lineas[i], seccion);
            if (dentro) finSeccion = i + 1;
            continue;
        }
        if (!dentro) continue;
        if (!Recorta(lineas[i]).empty()) finSeccion = i + 1;
        const size_t igual = lineas[i].find('=');
        if (igual != std::string::npos && strcasecmp(Recorta(lineas[i].substr(0, igual)).c_str(), clave) == 0)
            return i;
    }
    return -1;
}

} // namespace

fs::path RutaPerfil(const char* fichero) {
    const std::string nombre(fichero ? fichero : "");
    if (nombre.find_first_of("/\\") != std::string::npos) return RutaSistema(fichero);
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        base = ".";
    return base / "pictomolder" / nombre;
}

std::string LeePerfil(const char* seccion, const char* clave, const char* defecto, const char* fichero) {
    const auto lineas = LeeLineas(RutaPerfil(fichero));
    int fin = 0;
    const int i = BuscaClave(lineas, seccion, clave, fin);
    if (i < 0) return defecto ? defecto : "";
    const std::string& linea = lineas[static_cast<size_t>(i)];
    return linea.substr(linea.find('=') + 1);
}

bool EscribePerfil(const char* seccion, const char* clave, const char* valor, const char* fichero) {
    const fs::path ruta = RutaPerfil(fichero);
    auto lineas = LeeLineas(ruta);
    std::string texto(valor ? valor : "");
    for (char& c : texto) {
        if (c == '\r') c = crCodificado;
        if (c == '\n') c = lfCodificado;
    }
    const std::string nueva = std::string(clave) + "=" + texto;
    int fin = 0;
    const int i = BuscaClave(lineas, seccion, clave, fin);
    if (i >= 0)
        lineas[static_cast<size_t>(i)] = nueva;
    else if (fin >= 0)
        lineas.insert(lineas.begin() + fin, nueva);
    else {
        // Appended piece by piece: GCC 12 takes `"[" + std::string(...)` at -O3 for an
        // overlapping copy (-Wrestrict) and stops a build with warnings as errors.
        std::string cabecera(1, '[');
        cabecera.append(seccion).append(1, ']');
        lineas.push_back(cabecera);
        lineas.push_back(nueva);
    }

    std::error_code ec;
    if (ruta.has_parent_path()) fs::create_directories(ruta.parent_path(), ec);
    std::string contenido;
    for (const auto& l : lineas)
        contenido.append(l).append(1, '\n');
    // The settings are the program's own file: a unique temporary file renamed over
    // them, never written through a link nor over anything but the user's own file.
    return GrabaFicheroPropio(ruta.string(), contenido, std::nullopt).Correcto();
}

TvarConfig::TvarConfig(bool rellenar, const char* seccionConfig, const char* claveConfig,
                       const char* ficheroConfig) {
    if (!rellenar) return;
    seccion = seccionConfig;
    clave = claveConfig;
    fichero = ficheroConfig;
}

bool TvarConfig::Escribe(const char* texto) const {
    return EscribePerfil(seccion.c_str(), clave.c_str(), texto, fichero.c_str());
}

bool TvarConfig::LeeValor(DString& out) const {
    // The whole value in one read: no buffer to outgrow, so the file is read once.
    const std::string valor = LeePerfil(seccion.c_str(), clave.c_str(), valorAusente, fichero.c_str());
    out = valor.c_str();
    return valor != valorAusente;
}

TstringConfig::TstringConfig(bool rellenar, const char* seccionConfig, const char* claveConfig,
                             const char* ficheroConfig, const char* defecto)
    : TvarConfig(rellenar, seccionConfig, claveConfig, ficheroConfig) {
    DString leido;
    if (LeeValor(leido)) {
        leido.ReplaceChar(crCodificado, '\r');
        leido.ReplaceChar(lfCodificado, '\n');
        valor = leido;
    } else {
        valor = defecto;
        Guarda();
    }
}

void TstringConfig::Asigna(const char* texto) {
    if (valor.Compare(texto) == 0) return;
    valor = texto;
    Guarda();
}

void TstringConfig::Guarda() const {
    if (seccion.IsEmpty()) return;
    DString copia(valor);
    copia.ReplaceChar('\r', crCodificado);
    copia.ReplaceChar('\n', lfCodificado);
    Escribe(copia.c_str());
}
