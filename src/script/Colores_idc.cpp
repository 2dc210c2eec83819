#include "script/Colores_idc.h"

#include "image/Fichero_imagen.h"
#include "script/Objetos_3d.h"
#include "script/Objetos_3d_planos.h"
#include "support/Descriptor_regular.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <numbers>
#include <string>
#include <unordered_map>
#include <utility>

static_assert(std::endian::native == std::endian::little,
              "the 3DS reader copies the file's little-endian numbers as they are stored");

namespace {

enum IdTrozo : uint16_t {
    idPrincipal = 0x4D4D,
    idEditor = 0x3D3D,
    idObjeto = 0x4000,
    idMaterial = 0xAFFF,
    idMalla = 0x4100,
    idVertices = 0x4110,
    idCaras = 0x4120,
    idGrupoMaterial = 0x4130,
    idCoordTextura = 0x4140,
    idEjeLocal = 0x4160,
    idNombreMaterial = 0xA000,
    idDifuso = 0xA020,
    idColor24 = 0x0011,
};

constexpr int64_t largoCabecera = 6;
// A diffuse colour is read only from a chunk of this length range: room for one
// 24-bit colour sub-chunk, and not much more.
constexpr int64_t largoMinimoDifuso = 15;
constexpr int64_t largoTopeDifuso = 50;
constexpr size_t largoNombreObjeto = 15;
// Longest material name kept; longer names (in material entries and in the material
// groups that refer to them alike) are cut to it.
constexpr size_t largoMaximoMaterial = 63;

// Ends the whole read; ReadModel3DS turns it into a null model and the reason.
class TAbandono : public TXPictomolder {
public:
    explicit TAbandono(const std::string& motivo)
        : TXPictomolder(TCausa::abandono, DString(motivo.c_str())) {}
};

[[noreturn]] void Abandona(const std::string& motivo) {
    throw TAbandono(motivo);
}

// How a chunk is called in messages.
std::string Nombra(uint16_t id) {
    switch (id) {
    case idPrincipal:
        return "the main chunk";
    case idEditor:
        return "the editor block";
    case idObjeto:
        return "a named object";
    case idMaterial:
        return "a material entry";
    case idMalla:
        return "a triangle mesh";
    case idVertices:
        return "a vertex list";
    case idCaras:
        return "a face list";
    case idGrupoMaterial:
        return "a face material group";
    case idCoordTextura:
        return "a texture coordinate list";
    case idEjeLocal:
        return "a local axis matrix";
    case idNombreMaterial:
        return "a material name";
    case idDifuso:
        return "a diffuse colour";
    default:
        break;
    }
    char texto[16];
    std::snprintf(texto, sizeof texto, "chunk 0x%04X", id);
    return texto;
}

// The three operations the reader is written against; the mode chooses them.
class TFuente3DS {
public:
    virtual ~TFuente3DS() = default;
    // Exactly n bytes, or false.
    virtual bool Lee(void* destino, size_t n) = 0;
    // An absolute position no further than the end.
    virtual bool Busca(int64_t posicion) = 0;
    // Negative on error.
    virtual int64_t Posicion() = 0;

    int64_t fin = 0; // one past the last byte
};

class TFuenteFichero : public TFuente3DS {
public:
    explicit TFuenteFichero(std::FILE* f) : fichero(f) {
        const long actual = std::ftell(f);
        const bool medido = actual >= 0 && std::fseek(f, 0, SEEK_END) == 0;
        fin = medido ? std::ftell(f) : -1;
        if (medido && std::fseek(f, actual, SEEK_SET) != 0) fin = -1;
    }
    bool Lee(void* destino, size_t n) override { return std::fread(destino, 1, n, fichero) == n; }
    bool Busca(int64_t posicion) override {
        return posicion <= fin && std::fseek(fichero, static_cast<long>(posicion), SEEK_SET) == 0;
    }
    int64_t Posicion() override { return std::ftell(fichero); }

private:
    std::FILE* fichero;
};

class TFuenteMemoria : public TFuente3DS {
public:
    TFuenteMemoria(const void* datos, size_t tamano) : bytes(static_cast<const unsigned char*>(datos)) {
        fin = static_cast<int64_t>(std::min<size_t>(tamano, INT64_MAX));
    }
    bool Lee(void* destino, size_t n) override {
        if (n > static_cast<uint64_t>(fin - posicion)) return false;
        if (n > 0) std::memcpy(destino, bytes + posicion, n);
        posicion += static_cast<int64_t>(n);
        return true;
    }
    bool Busca(int64_t p) override {
        if (p < 0 || p > fin) return false;
        posicion = p;
        return true;
    }
    int64_t Posicion() override { return posicion; }

private:
    const unsigned char* bytes;
    int64_t posicion = 0;
};

struct TTrozo {
    uint16_t id = 0;
    int64_t inicio = 0;
    int64_t fin = 0;
};

uint16_t U16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t U32(const unsigned char* p) {
    return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16;
}

// A material of the file: its name and diffuse colour.
struct TMaterial {
    DString nombre;
    uint32_t color = colorBlanco;
};

// One read of one model: the source, the model under construction and the material
// list live here, so reads never share state.
class TLector3DS {
public:
    TLector3DS(TFuente3DS& f, int64_t maxCaras)
        : fuente(f), modelo(std::make_unique<TModelo3DS>()), maxCaras(maxCaras) {}
    std::unique_ptr<TModelo3DS> Lee();

private:
    void LeeBytes(void* destino, size_t n, uint16_t dentroDe);
    uint16_t LeeU16(uint16_t dentroDe);
    int64_t Posicion();
    void Salta(const TTrozo& t);
    // `primera`: the file's first chunk, which must be the main chunk.
    TTrozo LeeCabecera(const TTrozo& padre, bool primera = false);
    // Hands every sub-chunk from the current position to the end of `padre` to `trata`,
    // which leaves the position where the walk goes on.
    template <class F> void Recorre(const TTrozo& padre, F&& trata);
    // The bytes from the current position to the end of the chunk.
    int64_t Resto(const TTrozo& t) { return t.fin - Posicion(); }
    // The rest of the chunk's data, into `bloque`.
    void LeeResto(const TTrozo& t);
    // A zero-terminated text within the chunk; the first `maximo` bytes are kept.
    std::string LeeTexto(const TTrozo& t, size_t maximo);
    // A 16-bit count of records of `tamano` bytes each, which must fit in the chunk.
    uint16_t LeeCuenta(const TTrozo& t, size_t tamano, const char* registros);

    void LeeEditor(const TTrozo& t);
    void LeeObjeto(const TTrozo& t);
    void LeeMalla(const TTrozo& t, const std::array<char, 16>& nombre);
    void LeeVertices(const TTrozo& t, TMalla3DS& malla);
    void LeeCaras(const TTrozo& t, TMalla3DS& malla);
    void LeeGrupoMaterial(const TTrozo& t, TMalla3DS& malla);
    void LeeCoordTextura(const TTrozo& t, TMalla3DS& malla);
    void LeeEjeLocal(const TTrozo& t, TMalla3DS& malla);
    void LeeMaterial(const TTrozo& t);
    void CompruebaVertices(const TMalla3DS& malla) const;

    // The faces that the file's face lists declare, from their headers alone: the walk
    // goes where the read goes, and stops without a word where the file is broken (the
    // read then says how) or once the count passes `tope`.
    int64_t CuentaCaras(const TTrozo& principal, int64_t tope);
    // The header of the chunk at `posicion`, false when it does not fit in `finPadre`.
    bool CabeceraEn(int64_t posicion, int64_t finPadre, TTrozo& t);
    // Counts `n` more faces, and ends the read once they pass the limit.
    void AnadeCaras(int64_t n);

    TFuente3DS& fuente;
    std::unique_ptr<TModelo3DS> modelo;
    const int64_t maxCaras;
    int64_t caras = 0; // read so far
    // The colours of the materials that have a name and a colour, by name; the first
    // material of a name counts.
    std::unordered_map<std::string, uint32_t> coloresMaterial;
    std::vector<unsigned char> bloque;
};

std::string Objeto(const TMalla3DS& malla) {
    return "object \"" + std::string(malla.nombre.data()) + "\"";
}

void TLector3DS::LeeBytes(void* destino, size_t n, uint16_t dentroDe) {
    if (!fuente.Lee(destino, n)) Abandona("the file ends inside " + Nombra(dentroDe));
}

uint16_t TLector3DS::LeeU16(uint16_t dentroDe) {
    unsigned char b[2];
    LeeBytes(b, 2, dentroDe);
    return U16(b);
}

int64_t TLector3DS::Posicion() {
    const int64_t p = fuente.Posicion();
    if (p < 0) Abandona("its read position cannot be told");
    return p;
}

void TLector3DS::Salta(const TTrozo& t) {
    if (!fuente.Busca(t.fin)) Abandona("the file ends inside " + Nombra(t.id));
}

TTrozo TLector3DS::LeeCabecera(const TTrozo& padre, bool primera) {
    TTrozo t;
    t.inicio = Posicion();
    if (padre.fin - t.inicio < largoCabecera)
        Abandona("a chunk header runs past the end of " + Nombra(padre.id));
    unsigned char b[largoCabecera];
    LeeBytes(b, sizeof b, padre.id);
    t.id = U16(b);
    if (primera && t.id != idPrincipal)
        Abandona("it is not a 3D Studio file (it does not begin with a main chunk)");
    const uint32_t largo = U32(b + 2);
    if (largo < largoCabecera)
        Abandona(Nombra(t.id) + " is " + std::to_string(largo) + " bytes long, less than its 6-byte header");
    t.fin = t.inicio + largo;
    if (t.fin > padre.fin) Abandona(Nombra(t.id) + " runs past the end of " + Nombra(padre.id));
    return t;
}

template <class F> void TLector3DS::Recorre(const TTrozo& padre, F&& trata) {
    while (Posicion() < padre.fin)
        trata(LeeCabecera(padre));
}

void TLector3DS::LeeResto(const TTrozo& t) {
    // Nothing is allocated for data that the file cannot hold.
    if (t.fin > fuente.fin) Abandona("the file ends inside " + Nombra(t.id));
    bloque.resize(static_cast<size_t>(Resto(t)));
    LeeBytes(bloque.data(), bloque.size(), t.id);
}

std::string TLector3DS::LeeTexto(const TTrozo& t, size_t maximo) {
    std::string texto;
    for (int64_t i = Resto(t); i > 0; --i) {
        char c = 0;
        LeeBytes(&c, 1, t.id);
        if (c == '\0') break;
        if (texto.size() < maximo) texto += c;
    }
    return texto;
}

uint16_t TLector3DS::LeeCuenta(const TTrozo& t, size_t tamano, const char* registros) {
    const uint16_t n = LeeU16(t.id);
    if (static_cast<int64_t>(n * tamano) > Resto(t))
        Abandona(Nombra(t.id) + " of " + std::to_string(n) + " " + registros + " does not fit in its chunk");
    return n;
}

std::unique_ptr<TModelo3DS> TLector3DS::Lee() {
    if (fuente.fin < 0) Abandona("its size cannot be told");
    TTrozo fichero;
    fichero.inicio = Posicion();
    // Chunks are not held to the real end of the file here: one that runs past it fails
    // where its data run out, which names what the file lost.
    fichero.fin = INT64_MAX;
    if (fuente.fin - fichero.inicio < largoCabecera) Abandona("it is too short for a 3D Studio file");
    const TTrozo principal = LeeCabecera(fichero, true);
    // Refused before any face list is kept, however large the file.
    AnadeCaras(CuentaCaras(principal, maxCaras));
    caras = 0;
    if (!fuente.Busca(principal.inicio + largoCabecera)) Abandona("the file ends inside the main chunk");
    Recorre(principal, [&](const TTrozo& t) {
        if (t.id == idEditor) LeeEditor(t);
        Salta(t);
    });
    return std::move(modelo);
}

void TLector3DS::AnadeCaras(int64_t n) {
    caras += n;
    if (caras > maxCaras)
        Abandona("it has more than " + std::to_string(maxCaras) + " faces, the most one import takes");
}

bool TLector3DS::CabeceraEn(int64_t posicion, int64_t finPadre, TTrozo& t) {
    unsigned char b[largoCabecera];
    if (finPadre - posicion < largoCabecera || !fuente.Busca(posicion) || !fuente.Lee(b, sizeof b))
        return false;
    const uint32_t largo = U32(b + 2);
    t = {U16(b), posicion, posicion + largo};
    return largo >= largoCabecera && t.fin <= finPadre;
}

int64_t TLector3DS::CuentaCaras(const TTrozo& principal, int64_t tope) {
    // The chunk walked into at each depth: the editor block in the main chunk, then
    // named objects, their meshes, and the meshes' face lists.
    constexpr uint16_t camino[] = {idEditor, idObjeto, idMalla, idCaras};
    int64_t cuenta = 0;
    const auto recorre = [&](const auto& self, const TTrozo& padre, int64_t desde, size_t nivel) -> void {
        TTrozo t;
        for (int64_t p = desde; p < padre.fin && cuenta <= tope && CabeceraEn(p, padre.fin, t);) {
            p = t.fin;
            if (t.id != camino[nivel]) continue;
            int64_t dentro = t.inicio + largoCabecera;
            if (nivel + 1 == std::size(camino)) {
                // A face list. As the read does, its own chunks follow in the mesh's walk.
                unsigned char b[2];
                if (!fuente.Lee(b, sizeof b)) return;
                const int64_t n = U16(b);
                p = dentro + 2 + n * 8;
                if (p > t.fin) return;
                cuenta += n;
                continue;
            }
            if (t.id == idObjeto) {
                // The object's name comes before its chunks.
                for (char c = 1; c != '\0' && dentro < t.fin; ++dentro)
                    if (!fuente.Lee(&c, 1)) return;
            }
            self(self, t, dentro, nivel + 1);
        }
    };
    recorre(recorre, principal, principal.inicio + largoCabecera, 0);
    return cuenta;
}

void TLector3DS::LeeEditor(const TTrozo& editor) {
    Recorre(editor, [&](const TTrozo& t) {
        if (t.id == idObjeto)
            LeeObjeto(t);
        else if (t.id == idMaterial)
            LeeMaterial(t);
        Salta(t);
    });
}

void TLector3DS::LeeObjeto(const TTrozo& objeto) {
    // The whole name is read, however long, so that the walk starts after it.
    const std::string texto = LeeTexto(objeto, largoNombreObjeto);
    std::array<char, 16> nombre{};
    std::copy(texto.begin(), texto.end(), nombre.begin());
    Recorre(objeto, [&](const TTrozo& t) {
        if (t.id == idMalla) LeeMalla(t, nombre);
        Salta(t);
    });
}

void TLector3DS::LeeMalla(const TTrozo& trozo, const std::array<char, 16>& nombre) {
    TMalla3DS& malla = modelo->mallas.emplace_back();
    malla.nombre = nombre;
    Recorre(trozo, [&](const TTrozo& t) {
        switch (t.id) {
        case idVertices:
            LeeVertices(t, malla);
            break;
        case idCaras:
            // Its sub-chunks (material groups, smoothing) are met next by this walk.
            LeeCaras(t, malla);
            return;
        case idGrupoMaterial:
            LeeGrupoMaterial(t, malla);
            break;
        case idCoordTextura:
            LeeCoordTextura(t, malla);
            break;
        case idEjeLocal:
            LeeEjeLocal(t, malla);
            break;
        default:
            break;
        }
        Salta(t);
    });
    CompruebaVertices(malla);
}

void TLector3DS::LeeVertices(const TTrozo& t, TMalla3DS& malla) {
    const uint16_t n = LeeCuenta(t, sizeof(malla.vertices[0]), "vertices");
    malla.vertices.resize(n);
    LeeBytes(malla.vertices.data(), n * sizeof(malla.vertices[0]), t.id);
}

void TLector3DS::LeeCaras(const TTrozo& t, TMalla3DS& malla) {
    constexpr size_t largoCara = 8;
    const uint16_t n = LeeCuenta(t, largoCara, "faces");
    AnadeCaras(n);
    bloque.resize(n * largoCara);
    LeeBytes(bloque.data(), bloque.size(), t.id);
    malla.caras.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const unsigned char* p = bloque.data() + i * largoCara;
        malla.caras[i] = {U16(p), U16(p + 2), U16(p + 4), U16(p + 6), colorBlanco};
    }
}

void TLector3DS::LeeCoordTextura(const TTrozo& t, TMalla3DS& malla) {
    const uint16_t n = LeeCuenta(t, sizeof(malla.coordTextura[0]), "texture coordinates");
    malla.coordTextura.resize(n);
    LeeBytes(malla.coordTextura.data(), n * sizeof(malla.coordTextura[0]), t.id);
}

void TLector3DS::LeeEjeLocal(const TTrozo& t, TMalla3DS& malla) {
    if (Resto(t) < static_cast<int64_t>(sizeof malla.ejeLocal))
        Abandona(Nombra(t.id) + " is shorter than its 12 numbers");
    LeeBytes(malla.ejeLocal.data(), sizeof malla.ejeLocal, t.id);
    malla.tieneEjeLocal = true;
}

// A material name, a 16-bit count and that many face indices: the named material's
// colour goes to those faces.
void TLector3DS::LeeGrupoMaterial(const TTrozo& t, TMalla3DS& malla) {
    LeeResto(t);
    const auto finNombre = std::find(bloque.begin(), bloque.end(), 0);
    const size_t inicioCuenta = static_cast<size_t>(finNombre - bloque.begin()) + 1;
    if (finNombre == bloque.end() || bloque.size() - inicioCuenta < 2)
        Abandona(Nombra(t.id) + " of " + Objeto(malla) + " ends before its face count");
    const size_t n = U16(bloque.data() + inicioCuenta);
    if (bloque.size() - inicioCuenta - 2 < n * 2)
        Abandona(Nombra(t.id) + " of " + Objeto(malla) + " lists more faces than its chunk holds");

    const size_t largoNombre = std::min(inicioCuenta - 1, largoMaximoMaterial);
    const auto material = coloresMaterial.find(std::string(bloque.begin(), bloque.begin() + largoNombre));
    const bool conColor = material != coloresMaterial.end();
    const unsigned char* indices = bloque.data() + inicioCuenta + 2;
    for (size_t i = 0; i < n; ++i) {
        const uint16_t cara = U16(indices + 2 * i);
        if (cara >= malla.caras.size())
            Abandona(Nombra(t.id) + " of " + Objeto(malla) + " names face " + std::to_string(cara) +
                     ", but the object has " + std::to_string(malla.caras.size()) + " faces");
        if (conColor) malla.caras[cara].color = material->second;
    }
}

void TLector3DS::LeeMaterial(const TTrozo& entrada) {
    TMaterial material;
    bool conColor = false;
    Recorre(entrada, [&](const TTrozo& t) {
        const int64_t largo = t.fin - t.inicio;
        if (t.id == idNombreMaterial) {
            material.nombre = LeeTexto(t, largoMaximoMaterial).c_str();
        } else if (t.id == idDifuso && largo >= largoMinimoDifuso && largo < largoTopeDifuso) {
            LeeResto(t);
            if (U16(bloque.data()) == idColor24) {
                material.color = static_cast<uint32_t>(bloque[6] | bloque[7] << 8 | bloque[8] << 16);
                conColor = true;
            }
        }
        Salta(t);
    });
    if (!material.nombre.IsEmpty() && conColor)
        coloresMaterial.try_emplace(material.nombre.c_str(), material.color);
}

void TLector3DS::CompruebaVertices(const TMalla3DS& malla) const {
    const size_t n = malla.vertices.size();
    for (const TCara3DS& c : malla.caras)
        for (const uint16_t v : {c.a, c.b, c.c})
            if (v >= n)
                Abandona("a face of " + Objeto(malla) + " refers to vertex " + std::to_string(v) +
                         ", but the object has " + std::to_string(n) + " vertices");
}

// The triangles of an import in one block of memory, made in place one after another
// and destroyed with the block.
class TBloqueTriangulos {
public:
    explicit TBloqueTriangulos(size_t capacidad)
        : memoria(static_cast<TElementoTriang3D*>(::operator new(capacidad * sizeof(TElementoTriang3D)))) {}
    ~TBloqueTriangulos() {
        for (size_t i = hechos; i-- > 0;)
            memoria[i].~TElementoTriang3D();
        ::operator delete(memoria);
    }
    TBloqueTriangulos(const TBloqueTriangulos&) = delete;
    TBloqueTriangulos& operator=(const TBloqueTriangulos&) = delete;

    // The next triangle; the caller never asks for more than the capacity.
    TElementoTriang3D& Anade(const vector3D& a, const vector3D& b, const vector3D& c) {
        TElementoTriang3D* t = new (memoria + hechos) TElementoTriang3D(a, b, c);
        ++hechos;
        return *t;
    }

private:
    TElementoTriang3D* memoria;
    size_t hechos = 0;
};

// One triangle element per face, in file order, appended to the scene. The faces live
// together in one block held by one count: a count of its own for each of a million
// faces would take more memory than the face, and a block of its own the time of a
// thousand faces' reading.
void AnadeTriangulos(TObjeto3D& escena, const TModelo3DS& modelo) {
    size_t total = 0;
    for (const TMalla3DS& m : modelo.mallas)
        total += m.caras.size();
    if (total > static_cast<size_t>(INT_MAX / 2)) throw std::bad_alloc();
    escena.Reserva(total);
    const auto caras = std::make_shared<TBloqueTriangulos>(total);
    for (const TMalla3DS& m : modelo.mallas) {
        const auto punto = [&](uint16_t i) {
            const auto& v = m.vertices[i];
            return vector3D(v[0], v[1], v[2]);
        };
        for (const TCara3DS& c : m.caras) {
            TElementoTriang3D& triangulo = caras->Anade(punto(c.a), punto(c.b), punto(c.c));
            triangulo.color = c.color;
            escena.Anade(std::shared_ptr<TElementoObj3D>(caras, &triangulo));
        }
    }
}

} // namespace

TResultado<std::unique_ptr<TModelo3DS>> ReadModel3DS(const void* fuente, int modo, size_t tamano,
                                                     int64_t maxCaras) {
    if (!fuente) return TFallo{TCausa::uso, "there is nothing to read"};
    std::unique_ptr<TFuente3DS> origen;
    if (modo == modoFichero3DS)
        origen = std::make_unique<TFuenteFichero>(static_cast<std::FILE*>(const_cast<void*>(fuente)));
    else if (modo == modoMemoria3DS)
        origen = std::make_unique<TFuenteMemoria>(fuente, tamano);
    else
        return TFallo{TCausa::uso, "the read mode is unknown"};
    try {
        return TLector3DS(*origen, maxCaras).Lee();
    } catch (const TAbandono& a) {
        return a.Fallo();
    } catch (const std::bad_alloc&) {
        return TFallo{TCausa::limite, "there is not enough memory to read it"};
    }
}

void FreeModel3DS(std::unique_ptr<TModelo3DS> modelo) {
    modelo.reset();
}

TResultado<void> ImportScene3DS(TObjeto3D& escena, const char* nombreFichero) {
    escena.giroEnY = true;
    escena.Vacia();
    escena.nombreFichero = nombreFichero;
    const auto falla = [&](TCausa causa, const char* motivo) {
        TFallo fallo = FalloNombrando(causa, "Error reading the 3DS file ", nombreFichero, ": ");
        fallo.mensaje += motivo;
        return fallo;
    };
    std::unique_ptr<TModelo3DS> modelo;
    {
        // Never a FIFO or a device: opening one would wait for a writer.
        const TFicheroC fichero = AbreLectura(nombreFichero);
        if (!fichero) {
            const char* razon = errno == errorNoRegular ? "not a regular file" : std::strerror(errno);
            return falla(TCausa::entradaSalida, (std::string("it cannot be opened (") + razon + ")").c_str());
        }
        auto leido = ReadModel3DS(fichero.get(), modoFichero3DS, 0);
        if (!leido) return falla(leido.Causa(), leido.Mensaje().c_str());
        modelo = std::move(leido).Valor();
    }
    escena.escala = 1.0;
    escena.anguloGiro = -std::numbers::pi / 2;
    escena.centro = vector3D();
    try {
        AnadeTriangulos(escena, *modelo);
    } catch (const std::bad_alloc&) {
        escena.Vacia();
        return falla(TCausa::limite, "there is not enough memory for its triangles");
    }
    FreeModel3DS(std::move(modelo));
    return {};
}
