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

enum class TFormatoIcono { ico, png };

// The format that a file name asks for by its extension (".ico" or ".png", any case);
// false for any other.
bool FormatoPorNombre(const std::string& nombre, TFormatoIcono& formato);
// Writes the pictures as an icon file (all of them) or as a PNG file (exactly one).
TResultado<void> GrabaIcono(const TImagenesIcono& imagenes, TFormatoIcono formato, const std::string& nombre);
// Where a theme keeps the picture of one size: FOLDER/NxN/apps/NAME.png.
std::filesystem::path RutaEnTema(const std::string& carpeta, int lado, const std::string& nombre);
// Writes each picture as FOLDER/NxN/apps/NAME.png, making the folders it needs. NAME is
// a plain file name without its extension.
TResultado<void> GrabaTemaIconos(const TImagenesIcono& imagenes, const std::string& carpeta,
                                 const std::string& nombre);
