// What a double-click on a TEXTURET line may hand to the desktop's opener. The desktop
// runs what it is handed in the way its type says (a ".desktop" file is a program), so
// only an image the textures take goes: a regular file whose extension the texture
// loader reads and whose first bytes are of that format. An image the loader refuses for
// its size still goes, since the user opens it to fix it.
#pragma once

#include "support/Resultado.h"

// Success when the file at `ruta` may go to the desktop; otherwise the message says why,
// naming the file ("/a/b.desktop is not an image file the textures take").
TResultado<void> TexturaParaEscritorio(const char* ruta);
