#include "image/Lector_tif.h"

#include "support/Monitor_procesos.h"
#include "support/Rutas.h"

namespace {

constexpr const char* finalErroneo = " ";

// The record as the module filled it must describe an image this program can hold.
bool RegistroValido(const TRegistroTIFF& r) {
    const int64_t alto = r.alto < 0 ? -int64_t{r.alto} : r.alto;
    return r.pixeles && ImagenAdmisible(r.ancho, alto, r.bitsPixel) &&
           TDibIG::ColoresPorBits(r.bitsPixel) >= 0 && r.numColores >= 0 && r.numColores <= 256;
}

} // namespace

bool LeeTIFcon(const TEntradasTIFF& e, TModuloCodec modulo, const char* nombre, TDibIG& destino,
               std::unique_ptr<TLecturaTIFF>& lectura, DString& error, TMonitorProcesos* progreso) {
    const std::string ruta = RutaSistema(nombre).string();
    TBufferGeoTIFF geo;
    e.geo(ruta.c_str(), &geo);
    if (geo.version != versionGeoTIFF) {
        MensajeModuloErroneo(error, moduloTIFF, finalErroneo);
        return false;
    }
    destino.Libera();
    lectura.reset();
    auto nueva = std::make_unique<TLecturaTIFF>(e, std::move(modulo));
    TRegistroTIFF& r = nueva->registro;
    if (progreso) {
        r.progresoTotal = &progreso->total;
        r.progresoHechas = &progreso->hechas;
        r.cancelado = &progreso->cancelado;
    }
    if (!e.cabecera(ruta.c_str(), &r) || !RegistroValido(r)) {
        error = "Error reading TIF header ";
        error += e.error();
        return false;
    }
    const auto* paleta = r.numColores ? reinterpret_cast<const TColorPaleta*>(r.paleta) : nullptr;
    destino.Crea(r.ancho, r.alto, r.bitsPixel, r.numColores, paleta, false);
    destino.EnlazaPixeles(r.pixeles, static_cast<size_t>(destino.BytesFila()) * destino.AltoAbsoluto());
    if (!e.bits(&r)) {
        destino.Libera();
        error = "Error reading TIF bits";
        return false;
    }
    lectura = std::move(nueva);
    if (r.bitsPixel >= 24) destino.IntercambiaRojoAzul();
    return true;
}

bool LeeTIF(const char* nombre, TDibIG& destino, std::unique_ptr<TLecturaTIFF>& lectura, DString& error,
            TMonitorProcesos* progreso) {
    TModuloCodec modulo;
    if (!modulo.Abre(moduloTIFF, error, finalErroneo)) return false;
    TEntradasTIFF e;
    e.geo = modulo.Entrada<TLeeGeoTIFF>(entradaLeeGeoTIFF);
    e.cabecera = modulo.Entrada<TLeeCabeceraTIFF>(entradaLeeCabeceraTIFF);
    e.bits = modulo.Entrada<TLeeBitsTIFF>(entradaLeeBitsTIFF);
    e.cierra = modulo.Entrada<TCierraTIFF>(entradaCierraTIFF);
    e.error = modulo.Entrada<TErrorTIFF>(entradaErrorTIFF);
    if (!e.geo || !e.cabecera || !e.bits || !e.cierra || !e.error) {
        MensajeModuloErroneo(error, moduloTIFF, finalErroneo);
        return false;
    }
    return LeeTIFcon(e, std::move(modulo), nombre, destino, lectura, error, progreso);
}
