#include "image/Lector_tif.h"

#include "image/Fichero_imagen.h"

#include "support/Monitor_procesos.h"
#include "support/Rutas.h"

#include <climits>
#include <cstdio>
#include <memory>

namespace {

constexpr const char* finalErroneo = " ";

// One read: the record, whose pixels the module holds until the read is destroyed.
class TLecturaTIFF {
public:
    TLecturaTIFF(const TEntradasTIFF& e, TModuloCodec m) : entradas(e), modulo(std::move(m)) {}
    ~TLecturaTIFF() { entradas.cierra(&registro); }
    TLecturaTIFF(const TLecturaTIFF&) = delete;
    TLecturaTIFF& operator=(const TLecturaTIFF&) = delete;

    TRegistroTIFF registro;

private:
    TEntradasTIFF entradas;
    TModuloCodec modulo; // stays open while the module holds the pixels
};

// The record as the module filled it must describe an image this program can hold.
bool RegistroValido(const TRegistroTIFF& r) {
    const int64_t alto = r.alto < 0 ? -int64_t{r.alto} : r.alto;
    return r.pixeles && ImagenAdmisible(r.ancho, alto, r.bitsPixel) &&
           TDibIG::ColoresPorBits(r.bitsPixel) >= 0 && r.numColores >= 0 && r.numColores <= 256;
}

} // namespace

TResultado<void> LeeTIFcon(const TEntradasTIFF& e, TModuloCodec modulo, const char* nombre, TDibIG& destino,
                           TMonitorProcesos* progreso) {
    const std::string ruta = RutaSistema(nombre).string();
    TBufferGeoTIFF geo;
    e.geo(ruta.c_str(), &geo);
    if (geo.version != versionGeoTIFF) return ModuloErroneo(moduloTIFF, finalErroneo);
    destino.Libera();
    auto lectura = std::make_shared<TLecturaTIFF>(e, std::move(modulo));
    TRegistroTIFF& r = lectura->registro;
    if (progreso) {
        r.progresoTotal = &progreso->total;
        r.progresoHechas = &progreso->hechas;
        r.cancelado = &progreso->cancelado;
    }
    if (!e.cabecera(ruta.c_str(), &r) || !RegistroValido(r))
        return FalloNombrando(TCausa::entrada, "Error reading TIF header ", e.error());
    const auto* paleta = r.numColores ? reinterpret_cast<const TColorPaleta*>(r.paleta) : nullptr;
    destino.Crea(r.ancho, r.alto, r.bitsPixel, r.numColores, paleta, false);
    destino.EnlazaPixeles(r.pixeles, static_cast<size_t>(destino.BytesFila()) * destino.AltoAbsoluto(),
                          lectura);
    if (!e.bits(&r)) {
        destino.Libera();
        return TFallo{TCausa::entrada, "Error reading TIF bits"};
    }
    if (r.bitsPixel >= 24) destino.IntercambiaRojoAzul();
    return {};
}

TResultado<void> LeeTIF(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    TModuloCodec modulo;
    if (auto abierto = modulo.Abre(moduloTIFF, finalErroneo); !abierto) return abierto;
    TEntradasTIFF e;
    e.geo = modulo.Entrada<TLeeGeoTIFF>(entradaLeeGeoTIFF);
    e.cabecera = modulo.Entrada<TLeeCabeceraTIFF>(entradaLeeCabeceraTIFF);
    e.bits = modulo.Entrada<TLeeBitsTIFF>(entradaLeeBitsTIFF);
    e.cierra = modulo.Entrada<TCierraTIFF>(entradaCierraTIFF);
    e.error = modulo.Entrada<TErrorTIFF>(entradaErrorTIFF);
    if (!e.geo || !e.cabecera || !e.bits || !e.cierra || !e.error)
        return ModuloErroneo(moduloTIFF, finalErroneo);
    return LeeTIFcon(e, std::move(modulo), nombre, destino, progreso);
}

bool MideTIF(const char* nombre, TMedidasImagen& medidas) {
    const TFicheroC f = AbreLectura(nombre);
    uint8_t c[20];
    if (!f || std::fread(c, 1, 16, f.get()) < 8) return false;
    const bool intel = c[0] == 'I' && c[1] == 'I';
    if (!intel && !(c[0] == 'M' && c[1] == 'M')) return false;
    // A number of n bytes in the file's byte order.
    const auto numero = [intel](const uint8_t* p, int n) {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= uint64_t{p[intel ? i : n - 1 - i]} << (8 * i);
        return v;
    };
    const uint64_t version = numero(c + 2, 2);
    if (version != 42 && version != 43) return false;
    const bool grande = version == 43; // BigTIFF: 8-byte offsets and counts
    const uint64_t directorio = grande ? numero(c + 8, 8) : numero(c + 4, 4);
    const int bytesCuenta = grande ? 8 : 2;
    const int bytesEntrada = grande ? 20 : 12;
    if (directorio > LONG_MAX || std::fseek(f.get(), static_cast<long>(directorio), SEEK_SET) != 0 ||
        std::fread(c, 1, static_cast<size_t>(bytesCuenta), f.get()) != static_cast<size_t>(bytesCuenta))
        return false;
    const uint64_t entradas = numero(c, bytesCuenta);
    int64_t lados[2] = {-1, -1}; // ImageWidth (256), ImageLength (257)
    for (uint64_t i = 0; i < entradas && i < 65536 && (lados[0] < 0 || lados[1] < 0); ++i) {
        if (std::fread(c, 1, static_cast<size_t>(bytesEntrada), f.get()) != static_cast<size_t>(bytesEntrada))
            return false;
        const uint64_t etiqueta = numero(c, 2);
        const uint64_t tipo = numero(c + 2, 2);
        const uint8_t* valor = c + (grande ? 12 : 8);
        if (etiqueta != 256 && etiqueta != 257) continue;
        // SHORT, LONG or LONG8 values, stored in the entry itself.
        const int bytes = tipo == 3 ? 2 : (tipo == 4 ? 4 : (tipo == 16 ? 8 : 0));
        if (bytes == 0) return false;
        const uint64_t v = numero(valor, bytes);
        lados[etiqueta - 256] = v > INT32_MAX ? INT32_MAX : static_cast<int64_t>(v);
    }
    if (lados[0] < 0 || lados[1] < 0) return false;
    medidas = {static_cast<int32_t>(lados[0]), static_cast<int32_t>(lados[1])};
    return true;
}
