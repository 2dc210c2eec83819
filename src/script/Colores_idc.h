// Autodesk 3D Studio meshes (.3DS): a chunk reader that builds a plain model of the
// file (meshes with their vertices, faces and face colours), and the import that turns
// every face of that model into a triangle element of the scene, coloured by the
// diffuse colour of its material. Cameras, lights, keyframes, texture maps and
// smoothing are not used. The reader draws nothing; the colour constants themselves
// live with the lighting (geometry/Luz_normals.h).
#pragma once

#include "geometry/Luz_normals.h"
#include "support/Dstring.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TObjeto3D;

// One face: three vertex indices, the stored flags, and its colour (packed red |
// green << 8 | blue << 16), white unless a material group names the face.
struct TCara3DS {
    uint16_t a = 0, b = 0, c = 0;
    uint16_t indicadores = 0;
    uint32_t color = colorBlanco;
};

// One triangle mesh of the file. Every face of a model that the reader returns refers
// only to vertices of its own mesh.
struct TMalla3DS {
    std::vector<TCara3DS> caras;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 2>> coordTextura;
    bool tieneEjeLocal = false;
    std::array<float, 12> ejeLocal{}; // as stored
    std::array<char, 16> nombre{};    // the object's name, at most 15 characters
    uint32_t color = colorBlanco;     // not changed by the reader
};

struct TModelo3DS {
    std::vector<TMalla3DS> mallas; // in file order
};

// How ReadModel3DS takes its source.
enum ModoLectura3DS : int {
    modoFichero3DS = 0, // `fuente` is an open std::FILE*, read from its current position
    modoMemoria3DS = 1, // `fuente` points to a block of `tamano` bytes
};

// The most faces one import takes, all meshes of the file together: a face costs a few
// hundred bytes once imported, so a file may not ask for gigabytes. A file that
// declares more is refused before anything of it is kept.
inline constexpr int64_t maxCaras3DS = int64_t{1} << 22; // 4,194,304

// Reads a model; a failure (a null source too) carries the reason. `tamano` is used in
// memory mode only. A file whose face lists hold
// more than `maxCaras` faces in all is refused ("it has more than N faces, the most one
// import takes") before anything is allocated for them.
TResultado<std::unique_ptr<TModelo3DS>> ReadModel3DS(const void* fuente, int modo, size_t tamano,
                                                     int64_t maxCaras = maxCaras3DS);
// Releases a model (null is accepted).
void FreeModel3DS(std::unique_ptr<TModelo3DS> modelo);

// The scene loader's 3D Studio branch: empties the scene, reads the file and fills the
// scene with one triangle per face, in file order. On failure the scene stays empty and
// the message reads "Error reading the 3DS file NAME: REASON".
TResultado<void> ImportScene3DS(TObjeto3D& escena, const char* nombreFichero);
