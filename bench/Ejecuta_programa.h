// Benchmarks of whole commands: a program run to its end, as a user's shell runs it.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Runs a program (looked up in PATH unless the name has a folder), its output dropped;
// false when it failed.
inline bool Ejecuta(const std::vector<std::string>& argumentos) {
    std::vector<char*> argv;
    for (const std::string& a : argumentos)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t hijo = -1;
    const int fallo = posix_spawnp(&hijo, argv[0], &acciones, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acciones);
    int estado = 0;
    return fallo == 0 && ::waitpid(hijo, &estado, 0) == hijo && WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
}
