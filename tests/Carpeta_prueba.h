// Test helper: a scratch folder of its own for every test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace prueba {

inline std::string LeeFichero(const fs::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

class Carpeta : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* prueba = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("pm_" + std::to_string(::getpid()) + "_" + prueba->test_suite_name() + "_" + prueba->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Ruta(const char* nombre) const { return (dir / nombre).string(); }
    std::string Escribe(const char* nombre, const std::string& datos) const {
        std::ofstream(dir / nombre, std::ios::binary) << datos;
        return Ruta(nombre);
    }
    std::string Contenido(const char* nombre) const { return LeeFichero(dir / nombre); }

    fs::path dir;
};

} // namespace prueba
