#include "image/Fichero_imagen.h"

#include "support/Descriptor_regular.h"
#include "support/Ficheroqor.h"
#include "support/Rutas.h"

TFicheroC AbreLectura(const char* nombre) {
    const int fd = AbreLecturaRegular(RutaSistema(nombre).c_str());
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) ::close(fd);
    return TFicheroC(f);
}

uint64_t BytesHastaFin(std::FILE* f) {
    const long aqui = std::ftell(f);
    if (aqui < 0 || std::fseek(f, 0, SEEK_END) != 0) return 0;
    const long fin = std::ftell(f);
    std::fseek(f, aqui, SEEK_SET);
    return fin > aqui ? static_cast<uint64_t>(fin - aqui) : 0;
}

TResultado<void> GrabaFichero(const char* nombre, std::span<const uint8_t> datos) {
    TFicheroQOR fichero;
    const bool escrito = fichero.Abre(nombre, fqGrabaBinario | fqSeguro | fqSinCopiaBak) &&
                         fichero.EscribeBloque(datos.data(), static_cast<long>(datos.size()));
    if (fichero.Cierra() && escrito) return {};
    TFallo fallo = FalloNombrando(TCausa::entradaSalida, "Can't write ", nombre, ": ");
    fallo.mensaje += fichero.Motivo();
    return fallo;
}
