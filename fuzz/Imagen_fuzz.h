// Helpers of the image reader targets: the input as a file the readers open by name,
// and the checks every read image must pass.
#pragma once

#include "image/Lector_imagen.h"
#include "support/Ficheroqordatos.h"
#include "support/Throw_qor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

// The input written into a memory file that stays open for the whole run; its name.
inline const char* FicheroDeEntrada(const uint8_t* datos, size_t tamano) {
    static const int fd = memfd_create("entrada", 0);
    static const std::string nombre = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, datos, tamano, 0) != static_cast<ssize_t>(tamano))
        __builtin_trap();
    return nombre.c_str();
}

// A read image must be safe to use everywhere: every pixel operation, the depth
// conversions and writing it as BMP.
inline void UsaImagen(TDibIG& img) {
    const int32_t ancho = img.Ancho();
    const int32_t alto = img.AltoAbsoluto();
    uint32_t suma = 0;
    for (int32_t y = -1; y <= alto; y += (alto > 64 ? alto / 16 + 1 : 1))
        for (int32_t x = -1; x <= ancho; x += (ancho > 64 ? ancho / 16 + 1 : 1))
            suma += img.Pixel(x, y) + img.Indice(x, y);
    img.PonPixel(ancho - 1, alto - 1, suma);
    // The whole-picture steps are linear in the pixels: a large picture from a small input
    // (which the readers allow) would only spend the run's time on them.
    if (int64_t{ancho} * alto > (int64_t{1} << 22)) return;
    img.IntercambiaRojoAzul();
    img.Convierte(32);
    img.ConvierteConAlfa(); // palette images with their entries' alpha
    TFicheroQORdatos salida(fqGrabaBinario);
    if (!img.GrabaDIB(salida, true)) __builtin_trap();
}

// The header probe must give the sides of the picture the reader decoded.
inline void CompruebaMedidas(TMedidorImagen mide, const char* nombre, const TDibIG& img) {
    TMedidasImagen medidas;
    if (!mide(nombre, medidas) || medidas.ancho != img.Ancho() || medidas.alto != img.AltoAbsoluto())
        __builtin_trap();
}

// One run of a reader that opens its file by name: the input becomes the file; a failed
// read must leave a message beginning with `prefijo`, a successful one a usable image
// whose sides `mide` (when given) finds in the header.
template <typename Imagen = TDibIG, typename Lector>
void LeePorNombre(const uint8_t* datos, size_t tamano, const char* prefijo, Lector lee,
                  TMedidorImagen mide = nullptr) {
    if (tamano > (1u << 22)) return;
    const char* nombre = FicheroDeEntrada(datos, tamano);
    Imagen img;
    try {
        if (const auto leida = lee(nombre, img); !leida) {
            if (std::string(leida.Mensaje().c_str()).rfind(prefijo, 0) != 0) __builtin_trap();
            return;
        }
    } catch (const TXTextoQOR&) {
        return; // an allocation refused by the system is reported this way
    }
    if (mide) CompruebaMedidas(mide, nombre, img);
    UsaImagen(img);
}

} // namespace fuzz
