#include "script/Ficheros_leidos.h"

#include "script/Objetos_3d.h"
#include "script/Texturas_3di.h"
#include "support/Rutas.h"

std::vector<std::filesystem::path> FicherosLeidos(const TObjeto3D& escena) {
    std::vector<std::filesystem::path> ficheros;
    if (!escena.nombreFichero.IsEmpty()) ficheros.push_back(RutaSistema(escena.nombreFichero.c_str()));
    if (escena.texturas)
        for (const DString& nombre : escena.texturas->nombradas)
            ficheros.push_back(RutaSistema(nombre.c_str()));
    return ficheros;
}
