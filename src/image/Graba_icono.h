// Where an exported icon goes: a Windows icon file holding every size, a PNG file
// holding one, or a folder laid out as a freedesktop icon theme (FOLDER/NxN/apps/NAME.png
// for each size).
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The pictures of one icon, one per size.
using TImagenesIcono = std::vector<std::unique_ptr<TDibIG>>;

enum class TFormatoIcono { ico, png, icns };

// The format that a file name asks for by its extension (".ico", ".png" or ".icns", any
// case); false for any other.
bool FormatoPorNombre(const std::string& nombre, TFormatoIcono& formato);
// Writes the pictures as an icon file (all of them) or as a PNG file (exactly one). A
// macOS icon file takes `dobles` too, the pictures drawn at twice their size's side,
// each under the type of its size and density.
TResultado<void> GrabaIcono(const TImagenesIcono& imagenes, TFormatoIcono formato, const std::string& nombre,
                            const TImagenesIcono& dobles = {});
// Where a theme keeps the picture of one size: FOLDER/NxN/apps/NAME.png, and the
// picture of that size at twice the density FOLDER/NxN@2/apps/NAME.png.
std::filesystem::path RutaEnTema(const std::string& carpeta, int lado, const std::string& nombre,
                                 int densidad = 1);
// Writes each picture as FOLDER/NxN/apps/NAME.png (N its side over `densidad`, in the
// @2 folder at density 2), making the folders it needs. NAME is a plain file name
// without its extension.
TResultado<void> GrabaTemaIconos(const TImagenesIcono& imagenes, const std::string& carpeta,
                                 const std::string& nombre, int densidad = 1);
