#include "script/Texturas_3di.h"

#include "image/Tdibigformat.h"
#include "script/Lexico_3di.h"
#include "support/Rutas.h"

#include <algorithm>
#include <string>
#include <sys/stat.h>

namespace {

constexpr const char* mensajeTamano =
    "Texture images must measure 2^n x 2^m:  example 128x128, 256x1024, etc..";
constexpr const char* mensajeMemoria = "Texture memory exceeded (512 MB): ";

bool LadoTextura(int32_t lado) {
    for (int32_t valido = 32; valido <= 1024; valido *= 2)
        if (lado == valido) return true;
    return false;
}

int64_t Nanosegundos(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The state of the regular file the name reaches (links followed); false when there is none.
bool EstadoFichero(const DString& nombre, TEstadoFichero& estado) {
    struct stat datos {};
    if (::stat(RutaSistema(nombre.c_str()).c_str(), &datos) != 0 || !S_ISREG(datos.st_mode)) return false;
    estado.dispositivo = static_cast<uint64_t>(datos.st_dev);
    estado.nodo = static_cast<uint64_t>(datos.st_ino);
    estado.tamano = static_cast<uintmax_t>(datos.st_size);
    // The change time too: a file copied in with its old modification time kept.
    estado.fecha = std::max(Nanosegundos(datos.st_mtim), Nanosegundos(datos.st_ctim));
    return true;
}

bool SinMemoria(const DString& nombre, DString& error, bool* sinMemoria) {
    error = mensajeMemoria;
    error += nombre;
    if (sinMemoria) *sinMemoria = true;
    return false;
}

// A remembered failure's message for the file named anew: the old spelling replaced.
DString MensajePara(const DString& mensaje, const DString& antes, const DString& ahora) {
    std::string texto = mensaje.c_str();
    const std::string viejo = antes.c_str();
    for (size_t i = texto.find(viejo); !viejo.empty() && i != std::string::npos; i = texto.find(viejo, i + 1))
        texto.replace(i, viejo.size(), ahora.c_str());
    return DString(texto.c_str());
}

} // namespace

int64_t BytesTextura(int64_t ancho, int64_t alto) {
    int64_t lado = 1;
    while (lado < std::max(ancho, alto))
        lado *= 2;
    return 4 * ancho * alto + 4 * lado * lado;
}

void TTexturas3Di::Vacia() {
    lista.clear();
    nombradas.clear();
    actual = -1;
    bytesLectura = 0;
    for (TGuardado& g : guardados)
        g.nombrada = false;
}

void TTexturas3Di::TerminaLectura() {
    std::erase_if(guardados, [](const TGuardado& g) { return !g.nombrada; });
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
    TEstadoFichero estado;
    const bool existe = EstadoFichero(completo, estado);
    for (size_t i = 0; existe && i < texturas.lista.size(); ++i) {
        if (texturas.lista[i]->estado.MismoFichero(estado)) {
            texturas.actual = static_cast<int32_t>(i);
            return true;
        }
    }
    texturas.actual = -1;
    const int64_t libres = presupuestoTexturas - texturas.bytesLectura;
    const auto guardado =
        std::find_if(texturas.guardados.begin(), texturas.guardados.end(), [&](const auto& g) {
            return existe && g.estado == estado && (!g.textura || g.mezcla == alfa);
        });
    std::shared_ptr<const TTextura3Di> elegida;
    if (guardado != texturas.guardados.end()) {
        guardado->nombrada = true;
        if (!guardado->textura) {
            error = MensajePara(guardado->mensaje, guardado->nombre, completo);
            return false;
        }
        const TDibIG& imagen = *guardado->textura->imagen;
        if (BytesTextura(imagen.Ancho(), imagen.AltoAbsoluto()) > libres)
            return SinMemoria(completo, error, nullptr);
        // The very texture of the read before, so that the elements taken back from it
        // keep theirs; a new one of the same image for a name spelled anew.
        elegida = guardado->textura;
        if (!(elegida->nombre == completo)) {
            auto otra = std::make_shared<TTextura3Di>(*elegida);
            otra->nombre = completo;
            elegida = std::move(otra);
        }
    } else {
        ++texturas.cargas;
        auto textura = std::make_shared<TTextura3Di>();
        textura->mezcla = alfa;
        textura->estado = estado;
        bool sinMemoria = false;
        if (!CargaTextura(*textura, completo, alfa, error, libres, &sinMemoria)) {
            // A failure of the file itself stays until the file changes; one for the budget
            // depends on the rest of the script.
            if (existe && !sinMemoria) texturas.guardados.push_back({estado, alfa, nullptr, completo, error});
            return false;
        }
        elegida = std::move(textura);
        if (existe) texturas.guardados.push_back({estado, alfa, elegida, completo, {}});
    }
    texturas.bytesLectura += BytesTextura(elegida->imagen->Ancho(), elegida->imagen->AltoAbsoluto());
    texturas.actual = static_cast<int32_t>(texturas.lista.size());
    texturas.lista.push_back(std::move(elegida));
    return true;
}

bool CargaTextura(TTextura3Di& textura, const DString& nombreCompleto, bool alfa, DString& error,
                  int64_t libres, bool* sinMemoria) {
    // The header first: a picture of the wrong size, or past the budget, is never decoded.
    TMedidasImagen medidas;
    if (MideImagen(nombreCompleto.c_str(), medidas)) {
        if (!LadoTextura(medidas.ancho) || !LadoTextura(medidas.alto)) {
            error = mensajeTamano;
            return false;
        }
        if (BytesTextura(medidas.ancho, medidas.alto) > libres)
            return SinMemoria(nombreCompleto, error, sinMemoria);
    }
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
    if (BytesTextura(imagen->Ancho(), imagen->AltoAbsoluto()) > libres)
        return SinMemoria(nombreCompleto, error, sinMemoria);
    if (alfa) imagen->ConvierteConAlfa();
    textura.nombre = nombreCompleto;
    textura.imagen = std::move(imagen);
    return true;
}
