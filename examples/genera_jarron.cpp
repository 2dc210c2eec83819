// Writes examples/vase.3ds, a low-polygon glazed vase as a 3D Studio mesh:
//   pm_genera_jarron examples/vase.3ds
// Two objects: the body, a profile turned in 16 steps about the vertical axis with a
// chequered band, and its bottom; four materials.
#include "Escritor_3ds.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

using namespace prueba3ds;

namespace {

constexpr int pasos = 16;
constexpr float tamano = 1.6f; // model units per unit of the profile

struct TPerfil {
    float radio, altura;
    const char* material; // of the band from this point up to the next
};

// From the foot to the lip; heights centred on the origin.
const TPerfil perfil[] = {
    {1.4f, -2.8f, "Foot"},  {1.9f, -2.4f, "Glaze"}, {2.3f, -1.4f, "Band"},
    {2.3f, -0.6f, "Glaze"}, {2.0f, 0.6f, "Glaze"},  {1.5f, 1.5f, "Glaze"},
    {1.0f, 2.2f, "Lip"},    {1.0f, 2.5f, "Lip"},    {1.4f, 2.9f, "Lip"},
};
constexpr int numPerfil = sizeof perfil / sizeof perfil[0];

TPunto EnAnillo(int k, int paso) {
    const double angulo = 2.0 * std::numbers::pi * paso / pasos;
    const float r = tamano * perfil[k].radio;
    return {r * static_cast<float>(std::cos(angulo)), r * static_cast<float>(std::sin(angulo)),
            tamano * perfil[k].altura};
}

uint16_t Indice(int k, int paso) {
    return static_cast<uint16_t>(k * pasos + paso % pasos);
}

std::string Cuerpo() {
    std::vector<TPunto> vertices;
    for (int k = 0; k < numPerfil; ++k)
        for (int p = 0; p < pasos; ++p)
            vertices.push_back(EnAnillo(k, p));
    std::vector<TTriangulo> caras;
    std::vector<std::vector<uint16_t>> porMaterial(4);
    const std::string nombres[] = {"Foot", "Glaze", "Band", "Lip"};
    for (int k = 0; k + 1 < numPerfil; ++k)
        for (int p = 0; p < pasos; ++p) {
            std::string material = perfil[k].material;
            if (material == "Band" && p % 2) material = "Glaze"; // the chequered band
            for (int m = 0; m < 4; ++m)
                if (nombres[m] == material)
                    for (int t = 0; t < 2; ++t)
                        porMaterial[static_cast<size_t>(m)].push_back(
                            static_cast<uint16_t>(caras.size() + t));
            caras.push_back({Indice(k, p), Indice(k, p + 1), Indice(k + 1, p + 1)});
            caras.push_back({Indice(k, p), Indice(k + 1, p + 1), Indice(k + 1, p)});
        }
    std::string grupos;
    for (int m = 0; m < 4; ++m)
        grupos += GrupoMaterial(nombres[m], porMaterial[static_cast<size_t>(m)]);
    return Objeto("Body", Vertices(vertices) + Caras(caras, grupos));
}

std::string Fondo() {
    std::vector<TPunto> vertices = {{0.0f, 0.0f, tamano * perfil[0].altura}};
    std::vector<TTriangulo> caras;
    std::vector<uint16_t> todas;
    for (int p = 0; p < pasos; ++p) {
        vertices.push_back(EnAnillo(0, p));
        caras.push_back({0, static_cast<uint16_t>(1 + (p + 1) % pasos), static_cast<uint16_t>(1 + p)});
        todas.push_back(static_cast<uint16_t>(p));
    }
    return Objeto("Bottom", Vertices(vertices) + Caras(caras, GrupoMaterial("Foot", todas)));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pm_genera_jarron OUT.3ds\n";
        return 2;
    }
    const std::string materiales = Material("Foot", 170, 85, 55) + Material("Glaze", 30, 125, 120) +
                                   Material("Band", 225, 175, 45) + Material("Lip", 235, 225, 200);
    std::ofstream salida(argv[1], std::ios::binary);
    salida << Fichero(materiales + Cuerpo() + Fondo());
    return salida ? 0 : 1;
}
