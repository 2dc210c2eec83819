// The command-line tool's test bench: the tool run as a process with a scratch folder
// of its own for every test, its exit status, what it prints and what it reports.
#pragma once

#include "image/Tdibig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace prueba_cli {

// Exit status of a shell command.
inline int Sistema(const std::string& orden) {
    const int estado = std::system(orden.c_str());
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

struct TSalida {
    int estado = -1;
    std::string texto;
    std::string errores;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pm_cli_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with the arguments (a shell fragment), optionally feeding stdin.
    TSalida Ejecuta(const std::string& argumentos, const std::string& entrada = "") {
        const fs::path in = dir / "stdin.txt", err = dir / "stderr.txt";
        std::ofstream(in, std::ios::binary) << entrada;
        const std::string orden =
            std::string(PM_CLI) + " " + argumentos + " <" + in.string() + " 2>" + err.string();
        TSalida s;
        FILE* p = ::popen(orden.c_str(), "r");
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
            s.texto.append(buffer, n);
        const int estado = ::pclose(p);
        s.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        std::ifstream e(err);
        s.errores.assign(std::istreambuf_iterator<char>(e), {});
        return s;
    }
    std::string Escribe(const char* nombre, const std::string& texto) {
        const fs::path p = dir / nombre;
        std::ofstream(p, std::ios::binary) << texto;
        return p.string();
    }
    std::string Ruta(const char* nombre) const { return (dir / nombre).string(); }
    // Reads a picture the tool wrote; a failure names the file and the reader's reason.
    static ::testing::AssertionResult LeeBmp(TDibIG& imagen, const std::string& ruta) {
        DString error;
        if (imagen.LeeBMP(ruta.c_str(), error)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << ruta << ": " << error.c_str();
    }

    fs::path dir;
};

inline const std::string quad = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";

} // namespace prueba_cli

using namespace prueba_cli;
