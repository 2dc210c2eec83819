#include "script/Ficheros_leidos.h"

#include "script/Objetos_3d.h"
#include "support/Rutas.h"

std::vector<std::filesystem::path> FicherosLeidos(const TObjeto3D& escena) {
    std::vector<std::filesystem::path> ficheros;
    for (const DString& nombre : escena.ficheros)
        ficheros.push_back(RutaSistema(nombre.c_str()));
    return ficheros;
}
