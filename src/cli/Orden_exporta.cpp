#include "cli/Orden_exporta.h"

#include "cli/Escena_cli.h"
#include "cli/Fichero_dependencias.h"
#include "cli/Opciones_exporta.h"
#include "cli/Salidas_cli.h"
#include "cli/Vigilante_inotify.h"
#include "image/Fichero_imagen.h"
#include "script/Ficheros_leidos.h"
#include "support/Rutas.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A burst of saves ends when the files have been quiet this long.
constexpr std::chrono::milliseconds calmaVigilancia{300};

// One icon of the command as it goes: its read (none when the script could not be
// read) and its exit status.
struct TIconoLote {
    TTareaExporta tarea;
    std::optional<TLecturaEscena> lectura;
    int estado = salidaCorrecta;
};

// The progress of a batch on a terminal: files done of the total, the one being drawn.
class TProgreso {
public:
    explicit TProgreso(size_t total) : total(total), activo(total > 1 && isatty(STDERR_FILENO)) {}
    ~TProgreso() { Borra(); }
    void Muestra(size_t hechos, const std::string& fichero) {
        if (!activo) return;
        std::fprintf(stderr, "\r\033[K[%zu/%zu] %s", hechos, total, fichero.c_str());
        std::fflush(stderr);
    }
    // Before another line is written to the terminal.
    void Borra() {
        if (activo) std::fputs("\r\033[K", stderr);
    }

private:
    size_t total;
    bool activo;
};

class TLoteExporta {
public:
    TLoteExporta(const TOpcionesExporta& o, std::vector<TTareaExporta> tareas) : opciones(o) {
        for (auto& t : tareas)
            iconos.push_back({std::move(t), std::nullopt, salidaCorrecta});
    }

    // Reads, checks and draws the icons of `cuales` (all when empty); the worst status.
    int Exporta(const std::vector<size_t>& cuales, bool informa);
    // Every file the icons depend on, for a watcher.
    std::vector<fs::path> Entradas() const;
    // The icons whose script or read files are among `cambiados`.
    std::vector<size_t> Afectados(const std::set<fs::path>& cambiados) const;

private:
    void Lee(TIconoLote& icono);
    void Dibuja(TIconoLote& icono, const std::vector<fs::path>& entradas);
    int EscribeDependencias(const std::vector<fs::path>& entradas);
    void Falla(TIconoLote& icono, const std::string& mensaje);

    const TOpcionesExporta& opciones;
    std::vector<TIconoLote> iconos;
    TExportadorIcono exportador;
    std::optional<TProgreso> progreso;
};

void TLoteExporta::Falla(TIconoLote& icono, const std::string& mensaje) {
    if (progreso) progreso->Borra();
    std::fprintf(stderr, "pictomolder-cli: %s\n", mensaje.c_str());
    icono.estado = salidaUso;
}

void TLoteExporta::Lee(TIconoLote& icono) {
    icono.estado = salidaCorrecta;
    try {
        const TLecturaEscena* anterior = icono.lectura ? &*icono.lectura : nullptr;
        icono.lectura = LeeEntrada(icono.tarea.fichero, anterior);
    } catch (const TXPictomolder& e) {
        icono.lectura.reset();
        Falla(icono, e.what());
        return;
    }
    if (icono.lectura->Correcta()) return;
    if (progreso) progreso->Borra();
    // In a batch the report is headed by its script's name.
    if (iconos.size() > 1)
        std::fprintf(stderr, "pictomolder-cli: %s has errors:\n", icono.tarea.fichero.c_str());
    std::fprintf(stderr, "%s\n", icono.lectura->informe.Texto().c_str());
    icono.estado = salidaFallo;
}

void TLoteExporta::Dibuja(TIconoLote& icono, const std::vector<fs::path>& entradas) {
    try {
        CompruebaSalidas(entradas, SalidasDestino(icono.tarea.destino));
    } catch (const TXPictomolder& e) {
        Falla(icono, e.what());
        return;
    }
    const auto grabado = GrabaDestino(exportador, icono.lectura->escena, opciones.icono, icono.tarea.destino);
    if (!grabado) {
        const std::string prefijo = iconos.size() > 1 ? icono.tarea.fichero + ": " : "";
        Falla(icono, prefijo + grabado.Mensaje().c_str());
    }
}

std::vector<fs::path> TLoteExporta::Entradas() const {
    std::vector<fs::path> entradas;
    for (const TIconoLote& i : iconos) {
        entradas.push_back(RutaSistema(i.tarea.fichero.c_str()));
        if (i.lectura)
            for (fs::path& f : FicherosLeidos(i.lectura->Escena()))
                entradas.push_back(std::move(f));
    }
    return entradas;
}

std::vector<size_t> TLoteExporta::Afectados(const std::set<fs::path>& cambiados) const {
    std::vector<size_t> afectados;
    for (size_t n = 0; n < iconos.size(); ++n) {
        std::vector<fs::path> propias{RutaSistema(iconos[n].tarea.fichero.c_str())};
        if (iconos[n].lectura) propias = FicherosLeidos(iconos[n].lectura->Escena());
        if (std::any_of(propias.begin(), propias.end(),
                        [&](const fs::path& f) { return cambiados.count(RutaVigilada(f)) > 0; }))
            afectados.push_back(n);
    }
    return afectados;
}

int TLoteExporta::EscribeDependencias(const std::vector<fs::path>& entradas) {
    std::vector<TReglaDependencias> reglas;
    for (const TIconoLote& i : iconos) {
        if (!i.lectura) continue;
        const std::vector<fs::path> leidos = FicherosLeidos(i.lectura->Escena());
        for (const fs::path& salida : SalidasDestino(i.tarea.destino))
            reglas.push_back({salida, leidos});
    }
    const fs::path fichero = RutaSistema(opciones.dependencias.c_str());
    const std::string texto = TextoDependencias(reglas);
    DString fallo;
    try {
        CompruebaSalidas(entradas, std::span(&fichero, 1));
    } catch (const TXPictomolder& e) {
        fallo = e.what();
    }
    if (fallo.IsEmpty()) {
        const auto grabado =
            GrabaFichero(fichero.c_str(), {reinterpret_cast<const uint8_t*>(texto.data()), texto.size()});
        if (grabado) return salidaCorrecta;
        fallo = grabado.Mensaje();
    }
    std::fprintf(stderr, "pictomolder-cli: %s\n", fallo.c_str());
    return salidaUso;
}

int TLoteExporta::Exporta(const std::vector<size_t>& cuales, bool informa) {
    std::vector<size_t> lista = cuales;
    if (lista.empty())
        for (size_t n = 0; n < iconos.size(); ++n)
            lista.push_back(n);
    // Every script is read before any is drawn: no output may replace a file that any
    // of them reads.
    for (const size_t n : lista)
        Lee(iconos[n]);
    const std::vector<fs::path> entradas = Entradas();
    progreso.emplace(lista.size());
    for (size_t hechos = 0; hechos < lista.size(); ++hechos) {
        TIconoLote& icono = iconos[lista[hechos]];
        if (!icono.lectura) continue;
        progreso->Muestra(hechos, icono.tarea.fichero);
        Dibuja(icono, entradas);
        if (informa && icono.estado != salidaUso) {
            progreso->Borra();
            std::printf("%s: written %s\n", icono.tarea.fichero.c_str(), icono.tarea.destino.ruta.c_str());
            std::fflush(stdout);
        }
    }
    progreso.reset();
    int peor = salidaCorrecta;
    for (const TIconoLote& i : iconos)
        peor = std::max(peor, i.estado);
    if (!opciones.dependencias.empty()) peor = std::max(peor, EscribeDependencias(entradas));
    return peor;
}

// Draws the icons again whenever their files change, until Ctrl+C.
int Vigila(TLoteExporta& lote) {
    TVigilanteInotify vigilante;
    if (!vigilante.Listo()) {
        std::fprintf(stderr, "pictomolder-cli: cannot watch the files: %s\n", std::strerror(errno));
        return salidaUso;
    }
    int estado = salidaCorrecta;
    for (;;) {
        vigilante.Vigila(lote.Entradas());
        const std::set<fs::path> cambiados = vigilante.Espera(calmaVigilancia);
        if (cambiados.empty()) return estado;
        const std::vector<size_t> afectados = lote.Afectados(cambiados);
        if (!afectados.empty()) estado = lote.Exporta(afectados, true);
    }
}

} // namespace

int OrdenExporta(int cuantos, char** argumentos) {
    TOpcionesExporta o;
    std::vector<TTareaExporta> tareas;
    try {
        o = LeeOpcionesExporta(cuantos, argumentos);
        if (o.ayuda) {
            std::fputs(usoExporta, stdout);
            return salidaCorrecta;
        }
        tareas = TareasExporta(o);
    } catch (const TErrorUso& e) {
        return AvisaUso(e.what(), "pictomolder-cli export --help");
    }
    if (!o.carpeta.empty()) {
        std::error_code ec;
        fs::create_directories(RutaSistema(o.carpeta.c_str()), ec);
        if (ec) {
            std::fprintf(stderr, "pictomolder-cli: cannot make the folder %s: %s\n", o.carpeta.c_str(),
                         ec.message().c_str());
            return salidaUso;
        }
    }
    TLoteExporta lote(o, std::move(tareas));
    const int estado = lote.Exporta({}, o.vigila);
    return o.vigila ? Vigila(lote) : estado;
}
