// Writes the malformed 3D Studio files of tests/data/3ds/malformed and expected.txt,
// which pairs each file with the reason the reader must give for refusing it:
//   pm_genera_malformados_3ds tests/data/3ds/malformed
// Every file is one fault in an otherwise sound file; a test checks that this program
// still writes exactly the committed files.
#include "Escritor_3ds.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace prueba3ds;

namespace {

struct TCaso {
    const char* nombre;
    std::string datos;
    const char* motivo;
};

const std::vector<TPunto> seis = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}};
const std::vector<TTriangulo> cuatro = {{0, 1, 2}, {0, 2, 3}, {0, 1, 5}, {0, 4, 5}};
const std::string rojo = Material("Red", 255, 0, 0);
const std::string vertices = Vertices(seis);
const std::string grupo = GrupoMaterial("Red", {0, 1});
const std::string caras = Caras(cuatro, grupo);
const std::string objeto = Objeto("Box", vertices + caras);
const std::string sano = Fichero(rojo + objeto);

std::string ConMalla(const std::string& malla) {
    return Fichero(rojo + Objeto("Box", malla));
}

// A chunk header with any length, followed by `resto`.
std::string Cabecera(uint16_t id, uint32_t largo, const std::string& resto = "") {
    return U16(id) + U32(largo) + resto;
}

// The sound file cut after the first `n` bytes of one of its chunks.
std::string CortadoEn(const std::string& trozo, size_t n) {
    return sano.substr(0, sano.find(trozo) + n);
}

std::vector<TCaso> Casos() {
    return {
        {"empty.3ds", "", "it is too short for a 3D Studio file"},
        {"five_bytes.3ds", U16(0x4D4D) + std::string(3, '\x10'), "it is too short for a 3D Studio file"},
        {"not_a_main_chunk.3ds", Trozo(0x3D3D, Objeto("Box", vertices)),
         "it is not a 3D Studio file (it does not begin with a main chunk)"},
        {"ends_inside_a_vertex_list.3ds", CortadoEn(vertices, 30), "the file ends inside a vertex list"},
        {"ends_inside_a_face_list.3ds", CortadoEn(caras, 14), "the file ends inside a face list"},
        {"ends_inside_a_material_group.3ds", CortadoEn(grupo, 9),
         "the file ends inside a face material group"},
        {"ends_inside_a_chunk_header.3ds", CortadoEn(objeto, 3), "the file ends inside the editor block"},
        {"ends_inside_an_object_name.3ds", CortadoEn(objeto, 8), "the file ends inside a named object"},
        {"main_chunk_longer_than_the_file.3ds", Cabecera(0x4D4D, 1000, Trozo(0x0002, U32(3))),
         "the file ends inside the main chunk"},
        {"skipped_chunk_past_the_end.3ds", Cabecera(0x4D4D, 1000, Cabecera(0xB000, 900, "keyframes")),
         "the file ends inside chunk 0xB000"},
        {"chunk_of_3_bytes.3ds", Fichero(Cabecera(0x4000, 3, "Box")),
         "a named object is 3 bytes long, less than its 6-byte header"},
        {"chunk_of_0_bytes.3ds", ConMalla(vertices + Cabecera(0x4150, 0)),
         "chunk 0x4150 is 0 bytes long, less than its 6-byte header"},
        {"mesh_longer_than_its_object.3ds",
         Fichero(Trozo(0x4000, Texto("Box") + Cabecera(0x4100, static_cast<uint32_t>(6 + vertices.size() + 1),
                                                       vertices))),
         "a triangle mesh runs past the end of a named object"},
        {"header_cut_by_its_mesh.3ds", ConMalla(vertices + "\x10\x41\x01"),
         "a chunk header runs past the end of a triangle mesh"},
        {"more_vertices_than_the_chunk_holds.3ds", ConMalla(Trozo(0x4110, U16(100) + std::string(36, '\0'))),
         "a vertex list of 100 vertices does not fit in its chunk"},
        {"more_faces_than_the_chunk_holds.3ds",
         ConMalla(vertices + Trozo(0x4120, U16(100) + std::string(16, '\0'))),
         "a face list of 100 faces does not fit in its chunk"},
        {"more_texture_coordinates_than_the_chunk_holds.3ds",
         ConMalla(vertices + Trozo(0x4140, U16(9) + std::string(8, '\0'))),
         "a texture coordinate list of 9 texture coordinates does not fit in its chunk"},
        {"local_axis_of_11_numbers.3ds", ConMalla(vertices + Trozo(0x4160, std::string(44, '\0'))),
         "a local axis matrix is shorter than its 12 numbers"},
        {"face_beyond_the_vertices.3ds", ConMalla(vertices + Caras({{0, 1, 2}, {0, 1, 6}})),
         "a face of object \"Box\" refers to vertex 6, but the object has 6 vertices"},
        {"face_at_vertex_65535.3ds", ConMalla(vertices + Caras({{65535, 1, 2}})),
         "a face of object \"Box\" refers to vertex 65535, but the object has 6 vertices"},
        {"faces_without_vertices.3ds", ConMalla(Caras(cuatro)),
         "a face of object \"Box\" refers to vertex 0, but the object has 0 vertices"},
        {"group_beyond_the_faces.3ds", ConMalla(vertices + Caras(cuatro, GrupoMaterial("Red", {1, 4}))),
         "a face material group of object \"Box\" names face 4, but the object has 4 faces"},
        {"group_before_the_faces.3ds", ConMalla(vertices + GrupoMaterial("Red", {0}) + Caras(cuatro)),
         "a face material group of object \"Box\" names face 0, but the object has 0 faces"},
        {"group_without_a_count.3ds",
         ConMalla(vertices + Caras(cuatro, Trozo(0x4130, Texto("Red") + "\x01"))),
         "a face material group of object \"Box\" ends before its face count"},
        {"group_name_without_an_end.3ds", ConMalla(vertices + Caras(cuatro, Trozo(0x4130, "Red"))),
         "a face material group of object \"Box\" ends before its face count"},
        {"group_of_more_faces_than_it_holds.3ds",
         ConMalla(vertices + Caras(cuatro, Trozo(0x4130, Texto("Red") + U16(3) + U16(0) + U16(1)))),
         "a face material group of object \"Box\" lists more faces than its chunk holds"},
        // Lengths near 4 GB all the way down: nothing may be allocated for them.
        {"group_of_4_gigabytes.3ds",
         Cabecera(
             0x4D4D, 0xFFFFFFFF,
             Cabecera(0x3D3D, 0xFFFFFF00,
                      Cabecera(0x4000, 0xFFFFF000,
                               Texto("Box") + Cabecera(0x4100, 0xFFFF0000,
                                                       vertices + Caras(cuatro, Cabecera(0x4130, 0xFF000000,
                                                                                         Texto("Red"))))))),
         "the file ends inside a face material group"},
        {"material_name_of_4_gigabytes.3ds",
         Cabecera(0x4D4D, 0xFFFFFFFF,
                  Cabecera(0x3D3D, 0xFFFFFF00,
                           Cabecera(0xAFFF, 0xFFFFF000, Cabecera(0xA000, 0xFFFF0000, Texto("Red"))))),
         "the file ends inside a material name"},
        {"diffuse_colour_cut.3ds", Fichero(Material("Red", Difuso(Color24(1, 2, 3)))).substr(0, 60),
         "the file ends inside a diffuse colour"},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pm_genera_malformados_3ds FOLDER\n";
        return 2;
    }
    const std::filesystem::path carpeta = argv[1];
    std::filesystem::create_directories(carpeta);
    std::ofstream esperados(carpeta / "expected.txt", std::ios::binary);
    for (const TCaso& c : Casos()) {
        std::ofstream(carpeta / c.nombre, std::ios::binary) << c.datos;
        esperados << c.nombre << '|' << c.motivo << '\n';
    }
    return esperados ? 0 : 1;
}
