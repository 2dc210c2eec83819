// Standard streams for the image readers that work on one (GIF, PNG, icons), and the
// whole-file write of the image writers.
#pragma once

#include "support/Dstring.h"
#include "support/Resultado.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

struct TCierraFichero {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFicheroC = std::unique_ptr<std::FILE, TCierraFichero>;

// Opens a file for binary reading, its name taken as the program writes names ("\" or
// "/" between folders); null when it cannot be opened or is no regular file (a folder, a
// FIFO, a device), which never makes it wait.
TFicheroC AbreLectura(const char* nombre);
// Bytes from the stream's position to the end of the file; 0 when unknown.
uint64_t BytesHastaFin(std::FILE* f);

// Writes a whole file safely: the bytes go to a temporary file that then replaces the
// old one whole, or the old one stays; "Can't write NAME: reason" otherwise.
TResultado<void> GrabaFichero(const char* nombre, std::span<const uint8_t> datos);
