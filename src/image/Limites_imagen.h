// Sizes the image file readers accept, shared by the readers in this folder and by the
// codec modules (which link nothing of the program): a header that asks for more is
// taken for damage, and no header alone ever drives an allocation past them.
#pragma once

#include <cstdint>

// Each side from 1 to ladoMaximoImagen; the pixel rows must fit the u32 header field
// and the i32 progress counters.
inline constexpr int32_t ladoMaximoImagen = 32768;
inline constexpr int64_t bytesMaximosImagen = 0x7FFF0000;
// Pixel bytes a compressed file may describe beyond its compression's own limit, so
// that small pictures in small files never meet that limit.
inline constexpr uint64_t holguraDescompresion = 1u << 20;

// Bytes of one bitmap row padded to 4 bytes; -1 for a width or depth no row can have.
// Widths up to the int32 range stay exact in 64 bits.
inline constexpr int64_t BytesFilaDib(int64_t ancho, int64_t bits) {
    if (ancho < 0 || ancho > INT32_MAX || bits < 1 || bits > 32) return -1;
    return ((ancho * bits + 31) & ~int64_t{31}) / 8;
}

// True when an image of these sides and depth can be held.
inline constexpr bool ImagenAdmisible(int64_t ancho, int64_t alto, int32_t bits) {
    if (ancho < 1 || ancho > ladoMaximoImagen || alto < 1 || alto > ladoMaximoImagen) return false;
    const int64_t fila = BytesFilaDib(ancho, bits);
    return fila > 0 && fila * alto <= bytesMaximosImagen;
}

// True when `bytesImagen` of pixels can come out of `bytesDatos` of compressed data
// whose format gives at most `proporcion` bytes out per byte in.
inline constexpr bool CabeEnDatos(uint64_t bytesImagen, uint64_t bytesDatos, uint64_t proporcion) {
    return bytesImagen <= bytesDatos * proporcion + holguraDescompresion;
}
