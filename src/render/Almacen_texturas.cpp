#include "render/Almacen_texturas.h"

#include "image/Tdibig.h"
#include "render/Idc_opengl.h"

namespace {

bool MismaImagen(const std::weak_ptr<const TDibIG>& guardada, const std::shared_ptr<const TDibIG>& imagen) {
    return !guardada.expired() && !guardada.owner_before(imagen) && !imagen.owner_before(guardada);
}

} // namespace

TTexturaIG* TAlmacenTexturasIG::Prepara(IDCOpenGL& dc, const std::shared_ptr<const TDibIG>& imagen,
                                        bool mezcla) {
    if (!imagen) return nullptr;
    const auto encontrada = entradas.find(imagen.get());
    if (encontrada != entradas.end() && MismaImagen(encontrada->second.imagen, imagen)) {
        encontrada->second.registro.mezcla = mezcla;
        return &encontrada->second.registro;
    }
    // A new image: the textures of the images gone go first (a stale entry at this
    // address among them).
    Purga(dc);
    TEntrada& entrada = entradas[imagen.get()];
    entrada.imagen = imagen;
    entrada.registro.mezcla = mezcla;
    dc.CreateTexture(*imagen, 0, 0, imagen->Ancho(), imagen->AltoAbsoluto(), entrada.registro,
                     imagen->BitsPixel());
    ++subidas;
    return &entrada.registro;
}

void TAlmacenTexturasIG::Purga(IDCOpenGL& dc) {
    for (auto i = entradas.begin(); i != entradas.end();) {
        if (!i->second.imagen.expired()) {
            ++i;
            continue;
        }
        dc.ReleaseTexture(i->second.registro);
        i = entradas.erase(i);
    }
}

void TAlmacenTexturasIG::Libera(IDCOpenGL& dc) {
    for (auto& [imagen, entrada] : entradas)
        dc.ReleaseTexture(entrada.registro);
    entradas.clear();
}
