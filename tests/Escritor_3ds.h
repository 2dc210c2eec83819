// Writes small 3D Studio files chunk by chunk, for the tests, the benchmark and the
// generators of the example mesh and the malformed files. A chunk is its identifier,
// its length (6 header bytes + everything after them) and its contents.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace prueba3ds {

using TPunto = std::array<float, 3>;
using TTriangulo = std::array<uint16_t, 3>;

inline std::string U16(uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}
inline std::string U32(uint32_t v) {
    return U16(v & 0xFFFF) + U16(v >> 16);
}
inline std::string F32(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return U32(u);
}
// A zero-terminated text.
inline std::string Texto(const std::string& s) {
    return s + '\0';
}

inline std::string Trozo(uint16_t id, const std::string& contenido) {
    return U16(id) + U32(static_cast<uint32_t>(6 + contenido.size())) + contenido;
}

inline std::string Vertices(const std::vector<TPunto>& v) {
    std::string d = U16(static_cast<uint32_t>(v.size()));
    for (const TPunto& p : v)
        d += F32(p[0]) + F32(p[1]) + F32(p[2]);
    return Trozo(0x4110, d);
}

// The face list; `dentro` are the sub-chunks stored inside it (material groups).
inline std::string Caras(const std::vector<TTriangulo>& caras, const std::string& dentro = "") {
    std::string d = U16(static_cast<uint32_t>(caras.size()));
    for (const TTriangulo& c : caras)
        d += U16(c[0]) + U16(c[1]) + U16(c[2]) + U16(0x0007);
    return Trozo(0x4120, d + dentro);
}

inline std::string GrupoMaterial(const std::string& material, const std::vector<uint16_t>& caras) {
    std::string d = Texto(material) + U16(static_cast<uint32_t>(caras.size()));
    for (const uint16_t c : caras)
        d += U16(c);
    return Trozo(0x4130, d);
}

// A named object holding one triangle mesh made of the given chunks.
inline std::string Objeto(const std::string& nombre, const std::string& malla) {
    return Trozo(0x4000, Texto(nombre) + Trozo(0x4100, malla));
}

// The 24-bit colour sub-chunk of a diffuse colour.
inline std::string Color24(uint8_t r, uint8_t g, uint8_t b) {
    return Trozo(0x0011, std::string{static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)});
}
inline std::string Difuso(const std::string& contenido) {
    return Trozo(0xA020, contenido);
}
// A material entry: its name and the given sub-chunks.
inline std::string Material(const std::string& nombre, const std::string& resto) {
    return Trozo(0xAFFF, Trozo(0xA000, Texto(nombre)) + resto);
}
inline std::string Material(const std::string& nombre, uint8_t r, uint8_t g, uint8_t b) {
    return Material(nombre, Difuso(Color24(r, g, b)));
}

// The whole file, a version chunk and the editor block holding `veces` copies of
// `contenido`, written straight to `salida`: a file of many large meshes is never held
// whole in memory.
inline void EscribeFichero(std::ostream& salida, const std::string& contenido, size_t veces) {
    const std::string version = Trozo(0x0002, U32(3));
    const std::string versionMalla = Trozo(0x3D3E, U32(3));
    const auto editor = static_cast<uint32_t>(6 + versionMalla.size() + contenido.size() * veces);
    salida << U16(0x4D4D) << U32(static_cast<uint32_t>(6 + version.size() + editor)) << version << U16(0x3D3D)
           << U32(editor) << versionMalla;
    for (size_t i = 0; i < veces; ++i)
        salida << contenido;
}

// The whole file: a version chunk and the editor block with the given contents.
inline std::string Fichero(const std::string& editor) {
    std::ostringstream salida;
    EscribeFichero(salida, editor, 1);
    return salida.str();
}

// A strip of n triangles over n + 2 vertices along x (vertex k at x0 + k / 2, 0, k % 2),
// with the material groups `grupos` and the chunks `otros` before its face list.
inline std::string Tira(const std::string& nombre, int n, float x0, const std::string& grupos = "",
                        const std::string& otros = "") {
    std::vector<TPunto> v;
    std::vector<TTriangulo> c;
    for (int i = 0; i < n + 2; ++i)
        v.push_back({x0 + static_cast<float>(i / 2), 0.0f, static_cast<float>(i % 2)});
    for (int i = 0; i < n; ++i)
        c.push_back({static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i + 2)});
    return Objeto(nombre, Vertices(v) + otros + Caras(c, grupos));
}

} // namespace prueba3ds
