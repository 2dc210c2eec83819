// The device textures of the images a scene paints with, kept across paints and across
// the scene's reads. The images come from the scene's own cache of decoded texture
// files (shared pointers, see script/Texturas_3di.h); each is uploaded on its first
// paint and its texture reused for as long as the image lives. The store holds only weak
// references: when no scene names an image any more and it is freed, its texture is
// deleted at the next upload or Purga. Everything lives in the device's context and is
// forgotten with it.
#pragma once

#include "render/Textura_ig.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

class IDCOpenGL;
class TDibIG;

class TAlmacenTexturasIG {
public:
    TAlmacenTexturasIG() = default;
    TAlmacenTexturasIG(const TAlmacenTexturasIG&) = delete;
    TAlmacenTexturasIG& operator=(const TAlmacenTexturasIG&) = delete;

    // The texture of the image on the device, uploaded when the image is new to the store
    // (the device's context must be current); null without an image. The record stays
    // valid until the next Prepara, Purga or Libera.
    TTexturaIG* Prepara(IDCOpenGL& dc, const std::shared_ptr<const TDibIG>& imagen, bool mezcla);
    // Deletes the textures whose images are gone.
    void Purga(IDCOpenGL& dc);
    // Deletes every texture (with the context current), or only forgets them when the
    // context is gone.
    void Libera(IDCOpenGL& dc);

    size_t Cuenta() const { return entradas.size(); }
    // Images uploaded since the store was made.
    int64_t Subidas() const { return subidas; }

private:
    struct TEntrada {
        std::weak_ptr<const TDibIG> imagen;
        TTexturaIG registro;
    };
    // Keyed by the image's address; the weak reference tells a live image from a freed
    // one whose address came round again.
    std::unordered_map<const TDibIG*, TEntrada> entradas;
    int64_t subidas = 0;
};
