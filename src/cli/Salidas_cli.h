// The rule that every subcommand that writes keeps, for every output it has: an output
// never replaces one of the command's inputs, which are the script, mesh or image named
// on the command line and every file the script read (its textures). The same file is
// the same device and inode, so a hard link or a symbolic link to an input is that input.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

class TObjeto3D;

// The inputs of a command that read `fichero` ("-" is standard input, /dev/stdin) into
// `escena`.
std::vector<std::filesystem::path> EntradasDe(const std::string& fichero, const TObjeto3D& escena);

// Raises std::runtime_error naming both ("the output OUT is the same file as the input
// IN; nothing was written") when one of `salidas` is one of `entradas`. A name that does
// not exist yet is no input.
void CompruebaSalidas(std::span<const std::filesystem::path> entradas,
                      std::span<const std::filesystem::path> salidas);
