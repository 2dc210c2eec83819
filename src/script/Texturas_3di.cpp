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

// Past the read's budget: a failure that depends on the rest of the script.
TFallo SinMemoria(const DString& nombre) {
    return FalloNombrando(TCausa::limite, mensajeMemoria, nombre.c_str());
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

TResultado<void> LeeTextura(TTexturas3Di& texturas, const DString& parametros, const DString& script) {
    const TCamposTextura campos = CamposTextura(parametros);
    return SeleccionaTextura(texturas, campos.nombre, script, campos.alfa);
}

TResultado<void> SeleccionaTextura(TTexturas3Di& texturas, const DString& nombre, const DString& script,
                                   bool alfa) {
    const DString completo = ResuelveRuta(nombre.c_str(), script.c_str());
    if (std::find(texturas.nombradas.begin(), texturas.nombradas.end(), completo) == texturas.nombradas.end())
        texturas.nombradas.push_back(completo);
    TEstadoFichero estado;
    const bool existe = EstadoFichero(completo, estado);
    for (size_t i = 0; existe && i < texturas.lista.size(); ++i) {
        if (texturas.lista[i]->estado.MismoFichero(estado)) {
            texturas.actual = static_cast<int32_t>(i);
            return {};
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
        if (!guardado->textura)
            return TFallo{TCausa::entrada, MensajePara(guardado->mensaje, guardado->nombre, completo)};
        const TDibIG& imagen = *guardado->textura->imagen;
        if (BytesTextura(imagen.Ancho(), imagen.AltoAbsoluto()) > libres) return SinMemoria(completo);
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
        TResultado<void> cargada = CargaTextura(*textura, completo, alfa, libres);
        if (!cargada) {
            // A failure of the file itself stays until the file changes; one for the budget
            // depends on the rest of the script.
            if (existe && cargada.Causa() != TCausa::limite)
                texturas.guardados.push_back({estado, alfa, nullptr, completo, cargada.Mensaje()});
            return cargada;
        }
        elegida = std::move(textura);
        if (existe) texturas.guardados.push_back({estado, alfa, elegida, completo, {}});
    }
    texturas.bytesLectura += BytesTextura(elegida->imagen->Ancho(), elegida->imagen->AltoAbsoluto());
    texturas.actual = static_cast<int32_t>(texturas.lista.size());
    texturas.lista.push_back(std::move(elegida));
    return {};
}

TResultado<void> CargaTextura(TTextura3Di& textura, const DString& nombreCompleto, bool alfa,
                              int64_t libres) {
    const TFallo malTamano{TCausa::entrada, mensajeTamano};
    // The header first: a picture of the wrong size, or past the budget, is never decoded.
    TMedidasImagen medidas;
    if (MideImagen(nombreCompleto.c_str(), medidas)) {
        if (!LadoTextura(medidas.ancho) || !LadoTextura(medidas.alto)) return malTamano;
        if (BytesTextura(medidas.ancho, medidas.alto) > libres) return SinMemoria(nombreCompleto);
    }
    auto imagen = std::make_shared<TDibIGformat>();
    if (const TResultado<void> leida = imagen->LeeImagen(nombreCompleto); !leida) {
        // Readers of the map formats fail without a word. Whatever the reader's cause, the
        // file is what failed (not the read's budget).
        if (leida.Mensaje().IsEmpty())
            return FalloNombrando(TCausa::entrada, "Error reading the texture file ", nombreCompleto.c_str());
        return TFallo{TCausa::entrada, leida.Mensaje()};
    }
    if (!LadoTextura(imagen->Ancho()) || !LadoTextura(imagen->AltoAbsoluto())) return malTamano;
    if (BytesTextura(imagen->Ancho(), imagen->AltoAbsoluto()) > libres) return SinMemoria(nombreCompleto);
    if (alfa) imagen->ConvierteConAlfa();
    textura.nombre = nombreCompleto;
    textura.imagen = std::move(imagen);
    return {};
}
