#include "image/Lector_jpg.h"

#include "image/Fichero_imagen.h"
#include "image/Modulo_codec.h"
#include "support/Monitor_procesos.h"
#include "support/Rutas.h"

#include <exception>

namespace {

// Called by the module once it knows the size, before it writes any pixel. Nothing may
// be thrown back into the module.
uint8_t* ReservaJPG(TRegistroJPG* r) {
    auto* imagen = static_cast<TDibIG*>(r->imagen);
    const int64_t alto = r->alto < 0 ? -int64_t{r->alto} : r->alto;
    if (!imagen || !ImagenAdmisible(r->ancho, alto, r->bitsPixel) || TDibIG::ColoresPorBits(r->bitsPixel) < 0)
        return nullptr;
    try {
        imagen->Crea(r->ancho, r->alto, r->bitsPixel, 0, nullptr, true);
    } catch (const std::exception&) {
        return nullptr;
    }
    r->bytesFila = imagen->BytesFila();
    return imagen->Bits();
}

} // namespace

TResultado<void> LeeJPGcon(const TEntradasJPG& e, const char* nombre, TDibIG& destino,
                           TMonitorProcesos* progreso) {
    destino.Libera();
    TRegistroJPG registro;
    registro.imagen = &destino;
    registro.reserva = ReservaJPG;
    if (progreso) {
        registro.progresoTotal = &progreso->total;
        registro.progresoHechas = &progreso->hechas;
        registro.cancelado = &progreso->cancelado;
    }
    const int correcto = e.lee(RutaSistema(nombre).c_str(), &registro);
    if (registro.respuesta == 1 && correcto) return {};
    destino.Libera();
    if (registro.respuesta != 1) return ModuloErroneo(moduloJPG);
    TFallo fallo{TCausa::entrada, "Error reading JPG"};
    const char* motivo = e.error ? e.error() : nullptr;
    if (motivo && *motivo) {
        fallo.mensaje += ": ";
        fallo.mensaje += motivo;
    }
    return fallo;
}

TResultado<void> LeeJPG(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    TModuloCodec modulo;
    if (auto abierto = modulo.Abre(moduloJPG); !abierto) return abierto;
    const TEntradasJPG e{modulo.Entrada<TLeeJPG>(entradaLeeJPG), modulo.Entrada<TErrorJPG>(entradaErrorJPG)};
    if (!e.lee) return ModuloErroneo(moduloJPG);
    return LeeJPGcon(e, nombre, destino, progreso);
}

bool MideJPG(const char* nombre, TMedidasImagen& medidas) {
    const TFicheroC f = AbreLectura(nombre);
    uint8_t marca[4];
    if (!f || std::fread(marca, 1, 2, f.get()) != 2 || marca[0] != 0xFF || marca[1] != 0xD8) return false;
    for (;;) {
        if (std::fgetc(f.get()) != 0xFF) return false;
        int c = std::fgetc(f.get());
        while (c == 0xFF) // fill bytes before the marker's code
            c = std::fgetc(f.get());
        if (c == 0x01 || (c >= 0xD0 && c <= 0xD7)) continue; // markers without a segment
        if (c < 0 || std::fread(marca, 1, 2, f.get()) != 2) return false;
        const int largo = marca[0] << 8 | marca[1];
        // Start of frame: SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC).
        if (c >= 0xC0 && c <= 0xCF && c != 0xC4 && c != 0xC8 && c != 0xCC) {
            uint8_t sof[5];
            if (std::fread(sof, 1, sizeof sof, f.get()) != sizeof sof) return false;
            medidas = {sof[3] << 8 | sof[4], sof[1] << 8 | sof[2]};
            return true;
        }
        if (c == 0xD9 || c == 0xDA || largo < 2 || std::fseek(f.get(), largo - 2, SEEK_CUR) != 0)
            return false;
    }
}
