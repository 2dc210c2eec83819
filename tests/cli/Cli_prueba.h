// The command-line tool run as a process, in a scratch folder of its own for every test.
#pragma once

#include "image/Tdibig.h"

#include "Carpeta_prueba.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

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

class Cli : public prueba::Carpeta {
protected:
    // Runs the tool with the arguments (a shell fragment), optionally feeding stdin.
    TSalida Ejecuta(const std::string& argumentos, const std::string& entrada = "") {
        Escribe("stdin.txt", entrada);
        TSalida s;
        s.estado = Sistema(std::string(PM_CLI) + " " + argumentos + " <" + Ruta("stdin.txt") + " >" +
                           Ruta("stdout.txt") + " 2>" + Ruta("stderr.txt"));
        s.texto = Contenido("stdout.txt");
        s.errores = Contenido("stderr.txt");
        return s;
    }
    // Reads a picture the tool wrote; a failure names the file and the reader's reason.
    static ::testing::AssertionResult LeeBmp(TDibIG& imagen, const std::string& ruta) {
        const auto leida = imagen.LeeBMP(ruta.c_str());
        if (leida) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << ruta << ": " << leida.Mensaje().c_str();
    }
};

inline const std::string quad = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";

} // namespace prueba_cli

using namespace prueba_cli;
