#include "script/Texturas_3di.h"

#include "image/Tdibigformat.h"
#include "script/Lexico_3di.h"
#include "support/Rutas.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

constexpr const char* mensajeTamano =
    "Texture images must measure 2^n x 2^m:  example 128x128, 256x1024, etc..";

bool LadoTextura(int32_t lado) {
    for (int32_t valido = 32; valido <= 1024; valido *= 2)
        if (lado == valido) return true;
    return false;
}

// What tells one state of a file from another: a file replaced or rewritten changes
// its size or one of its times.
struct TEstadoFichero {
    uintmax_t tamano = 0;
    int64_t fecha = 0;
};

int64_t Nanosegundos(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool EstadoFichero(const DString& nombre, TEstadoFichero& estado) {
    struct stat datos {};
    if (::stat(RutaSistema(nombre.c_str()).c_str(), &datos) != 0 || !S_ISREG(datos.st_mode)) return false;
    estado.tamano = static_cast<uintmax_t>(datos.st_size);
    // The change time too: a file copied in with its old modification time kept.
    estado.fecha = std::max(Nanosegundos(datos.st_mtim), Nanosegundos(datos.st_ctim));
    return true;
}

// Every pixel opaque: a 24-bit image made 32-bit for blending has no transparency of its own.
void HazOpaca(TDibIG& imagen) {
    for (int32_t y = 0; y < imagen.AltoAbsoluto(); ++y) {
        uint8_t* fila = imagen.Bits() + static_cast<size_t>(y) * imagen.BytesFila();
        for (int32_t x = 0; x < imagen.Ancho(); ++x)
            fila[4 * x + 3] = 0xFF;
    }
}

} // namespace

void TTexturas3Di::Vacia() {
    lista.clear();
    nombradas.clear();
    actual = -1;
    for (TImagenGuardada& g : guardadas)
        g.nombrada = false;
}

void TTexturas3Di::TerminaLectura() {
    std::erase_if(guardadas, [](const TImagenGuardada& g) { return !g.nombrada; });
}

const TTextura3Di* TTexturas3Di::TexturaActual() const {
    return actual >= 0 && static_cast<size_t>(actual) < lista.size()
               ? lista[static_cast<size_t>(actual)].get()
               : nullptr;
}

const TTextura3Di* TexturaActual(const TTexturas3Di& texturas) {
    return texturas.TexturaActual();
}

bool LeeTextura(TTexturas3Di& texturas, const DString& parametros, const DString& script, DString& error) {
    const TCamposTextura campos = CamposTextura(parametros);
    return SeleccionaTextura(texturas, campos.nombre, script, campos.alfa, error);
}

bool SeleccionaTextura(TTexturas3Di& texturas, const DString& nombre, const DString& script, bool alfa,
                       DString& error) {
    const DString completo = ResuelveRuta(nombre.c_str(), script.c_str());
    if (std::find(texturas.nombradas.begin(), texturas.nombradas.end(), completo) == texturas.nombradas.end())
        texturas.nombradas.push_back(completo);
    for (size_t i = 0; i < texturas.lista.size(); ++i) {
        if (texturas.lista[i]->nombre.CompareNoCase(completo.c_str()) == 0) {
            texturas.actual = static_cast<int32_t>(i);
            return true;
        }
    }

    TEstadoFichero estado;
    const bool conEstado = EstadoFichero(completo, estado);
    const auto guardada =
        std::find_if(texturas.guardadas.begin(), texturas.guardadas.end(), [&](const auto& g) {
            return conEstado && g.nombre == completo && g.tamano == estado.tamano &&
                   g.fecha == estado.fecha && g.mezcla == alfa;
        });
    std::shared_ptr<const TTextura3Di> elegida;
    if (guardada != texturas.guardadas.end()) {
        guardada->nombrada = true;
        elegida = guardada->textura;
    } else {
        ++texturas.cargas;
        auto textura = std::make_shared<TTextura3Di>();
        textura->mezcla = alfa;
        if (!CargaTextura(*textura, completo, alfa, error)) {
            texturas.actual = -1;
            return false;
        }
        elegida = std::move(textura);
        if (conEstado) texturas.guardadas.push_back({completo, estado.tamano, estado.fecha, alfa, elegida});
    }
    texturas.actual = static_cast<int32_t>(texturas.lista.size());
    texturas.lista.push_back(std::move(elegida));
    return true;
}

bool CargaTextura(TTextura3Di& textura, const DString& nombreCompleto, bool alfa, DString& error) {
    auto imagen = std::make_shared<TDibIGformat>();
    const DString antes = error;
    if (!imagen->LeeImagen(nombreCompleto, error)) {
        // Readers of the map formats fail without a word.
        if (error.IsEmpty() || error == antes) {
            error = "Error reading the texture file ";
            error += nombreCompleto;
        }
        return false;
    }
    if (!LadoTextura(imagen->Ancho()) || !LadoTextura(imagen->AltoAbsoluto())) {
        error = mensajeTamano;
        return false;
    }
    if (alfa && imagen->BitsPixel() == 24 && imagen->Convierte(32)) HazOpaca(*imagen);
    textura.nombre = nombreCompleto;
    textura.imagen = std::move(imagen);
    return true;
}
