// The files a read of a scene used: the script or 3D Studio mesh it was loaded from and
// the image files its TEXTURET lines named. Whoever must know them asks here: a watcher
// of textures changed on disk, a list of a command's dependencies, or the command line's
// rule that an output never replaces one of its inputs.
#pragma once

#include <filesystem>
#include <vector>

class TObjeto3D;

// The scene's own file (when it has a name), then every image file its last read named,
// read or refused, in the order they were named; each once, as the system names it.
std::vector<std::filesystem::path> FicherosLeidos(const TObjeto3D& escena);
