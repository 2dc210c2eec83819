#include "image/Lector_jpg.h"

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

bool LeeJPGcon(TLeeJPG lee, const char* nombre, TDibIG& destino, DString& error, TMonitorProcesos* progreso) {
    destino.Libera();
    TRegistroJPG registro;
    registro.imagen = &destino;
    registro.reserva = ReservaJPG;
    if (progreso) {
        registro.progresoTotal = &progreso->total;
        registro.progresoHechas = &progreso->hechas;
        registro.cancelado = &progreso->cancelado;
    }
    const int correcto = lee(RutaSistema(nombre).c_str(), &registro);
    if (registro.respuesta != 1) {
        MensajeModuloErroneo(error, moduloJPG);
    } else if (!correcto) {
        error = "Error reading JPG";
    } else {
        return true;
    }
    destino.Libera();
    return false;
}

bool LeeJPG(const char* nombre, TDibIG& destino, DString& error, TMonitorProcesos* progreso) {
    TModuloCodec modulo;
    if (!modulo.Abre(moduloJPG, error)) return false;
    const auto lee = modulo.Entrada<TLeeJPG>(entradaLeeJPG);
    if (!lee) {
        MensajeModuloErroneo(error, moduloJPG);
        return false;
    }
    return LeeJPGcon(lee, nombre, destino, error, progreso);
}
