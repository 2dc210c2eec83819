#include "image/Tdibigymask.h"

#include "support/Rutas.h"

TIconIG::~TIconIG() {
    Suelta();
}

bool TIconIG::Carga(const DString& nombre) {
    Suelta();
    if (!ExisteFichero(nombre.c_str())) return false;
    auto nuevo = std::make_unique<TImagenIcono>();
    if (DecodificaICO(nombre.c_str(), *nuevo)) icono = std::move(nuevo);
    return true;
}

void TIconIG::Suelta() {
    icono.reset();
}
