#include "cli/Vigilante_inotify.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t cambiosCarpeta = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_ATTRIB;
constexpr uint32_t cambiosFichero = IN_CLOSE_WRITE | IN_ATTRIB | IN_MODIFY;

sigset_t SenalesDeFin() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGINT);
    sigaddset(&s, SIGTERM);
    return s;
}

} // namespace

fs::path RutaVigilada(const fs::path& ruta) {
    std::error_code ec;
    const fs::path absoluta = fs::absolute(ruta, ec);
    return (ec ? ruta : absoluta).lexically_normal();
}

TVigilanteInotify::TVigilanteInotify() {
    inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const sigset_t s = SenalesDeFin();
    if (sigprocmask(SIG_BLOCK, &s, nullptr) == 0) senales = signalfd(-1, &s, SFD_NONBLOCK | SFD_CLOEXEC);
}

TVigilanteInotify::~TVigilanteInotify() {
    if (inotify >= 0) close(inotify);
    if (senales >= 0) close(senales);
    const sigset_t s = SenalesDeFin();
    sigprocmask(SIG_UNBLOCK, &s, nullptr);
}

void TVigilanteInotify::Quita() {
    for (const auto& [w, carpeta] : carpetas)
        inotify_rm_watch(inotify, w);
    for (const auto& [w, f] : ficherosDe)
        if (!carpetas.count(w)) inotify_rm_watch(inotify, w);
    carpetas.clear();
    ficherosDe.clear();
    vigilados.clear();
}

void TVigilanteInotify::Vigila(const std::vector<fs::path>& ficheros) {
    Quita();
    for (const fs::path& f : ficheros) {
        const fs::path ruta = RutaVigilada(f);
        if (!vigilados.insert(ruta).second) continue;
        const int wc = inotify_add_watch(inotify, ruta.parent_path().c_str(), cambiosCarpeta | IN_ONLYDIR);
        if (wc >= 0) carpetas[wc] = ruta.parent_path();
        // Never opened: a FIFO or a device is watched without waiting on it.
        const int wf = inotify_add_watch(inotify, ruta.c_str(), cambiosFichero);
        if (wf >= 0) ficherosDe[wf].push_back(ruta);
    }
}

bool TVigilanteInotify::LeeEventos(std::set<fs::path>& cambiados) {
    signalfd_siginfo senal{};
    if (read(senales, &senal, sizeof senal) == static_cast<ssize_t>(sizeof senal)) return false;
    alignas(inotify_event) char bloque[16384];
    for (;;) {
        const ssize_t n = read(inotify, bloque, sizeof bloque);
        if (n <= 0) return true;
        for (ssize_t en = 0; en < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(bloque + en);
            en += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->len > 0) {
                const auto carpeta = carpetas.find(e->wd);
                if (carpeta == carpetas.end()) continue;
                const fs::path ruta = carpeta->second / e->name;
                if (vigilados.count(ruta)) cambiados.insert(ruta);
            } else if (const auto f = ficherosDe.find(e->wd); f != ficherosDe.end()) {
                cambiados.insert(f->second.begin(), f->second.end());
            }
        }
    }
}

std::set<fs::path> TVigilanteInotify::Espera(std::chrono::milliseconds calma) {
    std::set<fs::path> cambiados;
    pollfd fds[2] = {{inotify, POLLIN, 0}, {senales, POLLIN, 0}};
    // Till the first change, then till a quiet spell.
    for (int espera = -1;;) {
        const int r = poll(fds, 2, espera);
        if (r < 0 && errno != EINTR) return {};
        if (r == 0 && !cambiados.empty()) return cambiados;
        if (!LeeEventos(cambiados)) return {};
        if (!cambiados.empty()) espera = static_cast<int>(calma.count());
    }
}
