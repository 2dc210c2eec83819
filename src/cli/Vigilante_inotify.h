// Waiting for files to change, through the kernel's inotify: each file is watched itself
// (a write through any of its names) and in its folder (an editor that saves by writing
// a new file and renaming it over the old, a file made or removed). Ctrl+C (SIGINT) and
// SIGTERM end the wait instead of the process, so the caller can stop cleanly.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

class TVigilanteInotify {
public:
    // Takes SIGINT and SIGTERM for itself while it lives.
    TVigilanteInotify();
    ~TVigilanteInotify();
    TVigilanteInotify(const TVigilanteInotify&) = delete;
    TVigilanteInotify& operator=(const TVigilanteInotify&) = delete;

    // Whether inotify and the signals could be had.
    bool Listo() const { return inotify >= 0 && senales >= 0; }
    // The files watched from now on (those that do not exist yet are watched for in
    // their folder).
    void Vigila(const std::vector<std::filesystem::path>& ficheros);
    // Waits for a change to a watched file, then until `calma` passes without another:
    // the files a burst of saves changed. Empty when a signal asked to stop.
    std::set<std::filesystem::path> Espera(std::chrono::milliseconds calma);

private:
    void Quita();
    // Reads the pending events into `cambiados`; false on a signal.
    bool LeeEventos(std::set<std::filesystem::path>& cambiados);

    int inotify = -1;
    int senales = -1;
    std::map<int, std::filesystem::path> carpetas;                // watch -> folder
    std::map<int, std::vector<std::filesystem::path>> ficherosDe; // watch -> files it is
    std::set<std::filesystem::path> vigilados;
};

// The form a watched name is compared in: absolute, without "." and "..".
std::filesystem::path RutaVigilada(const std::filesystem::path& ruta);
