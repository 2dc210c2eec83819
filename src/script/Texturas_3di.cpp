#include "script/Texturas_3di.h"

#include "script/Objetos_3d.h"

void TTexturas3Di::Vacia() {
    lista.Clear(lista.Owns());
    actual = -1;
}

TTextura3Di* TTexturas3Di::TexturaActual() const {
    return actual >= 0 && lista.IsOccupied(actual) ? &lista[actual] : nullptr;
}

bool LeeTextura(TObjeto3D& escena, const DString& parametros, DString& error) {
    escena.texturas->actual = -1;
    Vector<DString> trozos(2, 1, true);
    parametros.Split(",", trozos, 2, true);
    DString nombre = trozos.Count() > 0 ? trozos[0] : DString();
    nombre.Unquote();
    error = "Textures are not available in this version: ";
    error += nombre;
    return false;
}
