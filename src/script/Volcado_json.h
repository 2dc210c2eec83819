// The parsed scene as JSON, for scripts and tests that inspect what a 3DI script
// produced without a display.
#pragma once

#include <string>

class TObjeto3D;

// {"ok": ..., "errors": ..., "centro": [...], "escala": ..., "anguloGiro": ...,
//  "giroEnY": ..., "elements": [...]}
std::string VuelcaEscena(const TObjeto3D& escena, bool correcto, const char* errores);
