// Reading and writing BMP files. A BMP file is a 14-byte file header followed by the
// image's block as TDibIG keeps it in memory, except that OS/2 files carry a 12-byte
// header and 3-byte colour-table entries, and later Windows headers (52, 56, 108 and 124
// bytes, as GIMP, SDL and most tools write) carry the colour masks and more inside the
// header: their extra fields are skipped, and 16- and 32-bit bit-field pixels become
// plain 24-bit ones (32-bit with an alpha mask) as they are read. Every size the file
// states is checked before it drives an allocation or a read.
#include "image/Lector_bmp.h"

#include "image/Fichero_imagen.h"
#include "image/Orden_bytes.h"

#include "support/Ficheroqor.h"
#include "support/Monitor_procesos.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* prefijoError = "Error reading the BMP file.";
constexpr uint16_t firmaBMP = 0x4D42; // "BM"
constexpr uint32_t tamanoCabeceraFichero = 14;
constexpr uint32_t tamanoCabeceraWindows = 40;
constexpr uint32_t tamanoCabeceraOS2 = 12;
// Headers after the Windows 3.x one: with the colour masks (52), with an alpha mask too
// (56), and the Windows 95 and 98 headers (108, 124).
constexpr uint32_t tamanosMayores[] = {52, 56, 108, 124};
constexpr uint32_t tamanoCabeceraMayor = 124;
constexpr uint32_t compresionCamposAlfa = 6;
constexpr uint32_t tamanoMascaras = 12;
constexpr long pasoPixeles = 10000;

int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(LeeU32(p));
}

void PonU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PonU32(uint8_t* p, uint32_t v) {
    PonU16(p, v);
    PonU16(p + 2, v >> 16);
}

int32_t AltoAbsolutoDe(const TCabeceraDIB& c) {
    return c.alto < 0 ? -c.alto : c.alto; // after ValidaCabecera: never INT32_MIN
}

TCabeceraDIB CabeceraOS2(const uint8_t* c) {
    TCabeceraDIB cab;
    cab.ancho = LeeU16(c); // the OS/2 1.x sizes are unsigned: such files are always bottom-up
    cab.alto = LeeU16(c + 2);
    cab.planos = LeeU16(c + 4);
    cab.bitsPixel = LeeU16(c + 6);
    return cab;
}

TCabeceraDIB CabeceraWindows(const uint8_t* c) {
    TCabeceraDIB cab;
    cab.ancho = I32(c);
    cab.alto = I32(c + 4);
    cab.planos = LeeU16(c + 8);
    cab.bitsPixel = LeeU16(c + 10);
    cab.compresion = LeeU32(c + 12);
    cab.tamanoImagen = LeeU32(c + 16);
    cab.resolucionX = I32(c + 20);
    cab.resolucionY = I32(c + 24);
    cab.coloresUsados = LeeU32(c + 28);
    cab.coloresImportantes = LeeU32(c + 32);
    return cab;
}

// Checks the header beyond what the file format itself demands, and completes its
// colour count and image size. Returns the error suffix, or null when it is sound.
const char* ValidaCabecera(TCabeceraDIB& cab) {
    if (cab.planos != 1) return "Invalid number of planes in DIB";
    const int32_t tabla = TDibIG::ColoresPorBits(cab.bitsPixel);
    if (tabla < 0) return " Unsupported bit count";
    if (cab.compresion != compresionNinguna && cab.compresion != compresionCamposBits)
        return " Unsupported compression";
    // Widened before the negation, which keeps INT_MIN away from overflow.
    const int64_t alto = cab.alto < 0 ? -int64_t{cab.alto} : cab.alto;
    if (cab.ancho < 1 || cab.ancho > ladoMaximoImagen || alto < 1 || alto > ladoMaximoImagen)
        return " Invalid image size";
    if (cab.coloresUsados == 0) cab.coloresUsados = static_cast<uint32_t>(tabla);
    // Deeper images may carry a table of up to 256 colours as a hint for displays.
    const uint32_t limite = cab.bitsPixel <= 8 ? static_cast<uint32_t>(tabla) : 256u;
    if (cab.coloresUsados > limite) return " Too many colors in the DIB color table";
    if (!ImagenAdmisible(cab.ancho, alto, cab.bitsPixel)) return " Image too large";
    cab.tamanoImagen = static_cast<uint32_t>(int64_t{TDibIG::BytesFila(cab.ancho, cab.bitsPixel)} * alto);
    return nullptr;
}

// OS/2 tables hold 3-byte entries; they are spread to 4 bytes from the last entry
// down, so that no entry is overwritten before it has been moved.
void ExpandeTablaOS2(uint8_t* tabla, uint32_t entradas) {
    for (uint32_t i = entradas; i-- > 0;) {
        const uint8_t azul = tabla[3 * i];
        const uint8_t verde = tabla[3 * i + 1];
        const uint8_t rojo = tabla[3 * i + 2];
        tabla[4 * i] = azul;
        tabla[4 * i + 1] = verde;
        tabla[4 * i + 2] = rojo;
        tabla[4 * i + 3] = 0;
    }
}

// One colour of a bit-field pixel: its mask, where it starts and how many bits it has.
struct TCampoBits {
    uint32_t mascara = 0;
    int desplazamiento = 0;
    int bits = 0;

    // The field scaled to 8 bits (0 without a mask).
    uint8_t Valor(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t v = (pixel & mascara) >> desplazamiento;
        if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
        const uint32_t maximo = (1u << bits) - 1;
        return static_cast<uint8_t>((v * 255 + maximo / 2) / maximo);
    }
};

// The masks of a header of 52 bytes or more: red, green, blue, alpha.
struct TMascarasBits {
    TCampoBits campos[4];
};

// False for a mask whose bits are not one run, or that reaches past the pixel.
bool CampoDe(uint32_t mascara, int bitsPixel, TCampoBits& campo) {
    campo = {};
    if (mascara == 0) return true;
    if (bitsPixel < 32 && (mascara >> bitsPixel) != 0) return false;
    campo.mascara = mascara;
    campo.desplazamiento = std::countr_zero(mascara);
    campo.bits = std::popcount(mascara);
    return (mascara >> campo.desplazamiento) == (campo.bits == 32 ? ~0u : (1u << campo.bits) - 1);
}

// Bit-field rows of the file (16 or 32 bits) into blue, green, red (and alpha) rows. An
// alpha mask whose values are all 0 stands for a picture without alpha: it is made opaque.
void ConvierteCamposBits(const std::vector<uint8_t>& origen, const TCabeceraDIB& fichero,
                         const TMascarasBits& m, TDibIG& destino) {
    const int64_t filaOrigen = BytesFilaDib(fichero.ancho, fichero.bitsPixel);
    const int64_t filaDestino = destino.BytesFila();
    const int32_t bytesDestino = destino.BitsPixel() / 8;
    bool algunAlfa = false;
    for (int32_t y = 0; y < destino.AltoAbsoluto(); ++y) {
        const uint8_t* o = origen.data() + y * filaOrigen;
        uint8_t* d = destino.Bits() + y * filaDestino;
        for (int32_t x = 0; x < fichero.ancho; ++x, d += bytesDestino) {
            const uint32_t pixel = fichero.bitsPixel == 16 ? LeeU16(o + 2 * x) : LeeU32(o + 4 * x);
            d[0] = m.campos[2].Valor(pixel);
            d[1] = m.campos[1].Valor(pixel);
            d[2] = m.campos[0].Valor(pixel);
            if (bytesDestino == 4) {
                d[3] = m.campos[3].Valor(pixel);
                algunAlfa = algunAlfa || d[3] != 0;
            }
        }
    }
    if (bytesDestino == 4 && !algunAlfa)
        for (int32_t y = 0; y < destino.AltoAbsoluto(); ++y)
            for (int32_t x = 0; x < fichero.ancho; ++x)
                destino.Bits()[y * filaDestino + 4 * x + 3] = 0xFF;
}

// Before the block is allocated: the rest of the file must hold what the header
// announces, so that a damaged header never drives a large allocation.
const char* CompruebaResto(TFicheroQOR& f, int64_t mascaras, int64_t tabla, int64_t salto, int64_t pixeles) {
    const long total = f.Tamano();
    const long posicion = f.Posicion();
    if (total < 0 || posicion < 0 || posicion > total) return nullptr; // no size known: the reads decide
    int64_t resto = total - posicion;
    if (resto < mascaras) return "Could not read DIB color mask";
    resto -= mascaras;
    if (resto < tabla) return "Could not read DIB color table";
    resto -= tabla;
    if (resto < salto) return " Pixel data offset beyond the end of the file";
    resto -= salto;
    if (resto < pixeles) return "Could not read DIB bits";
    return nullptr;
}

// The end of the message, after "Error reading the BMP file.".
TFallo Falla(const char* sufijo, TCausa causa = TCausa::entrada) {
    return {causa, sufijo};
}

} // namespace

TResultado<void> TDibIG::LeeBMP(const char* nombre, TMonitorProcesos* progreso) {
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqLeeBinario))
        return FalloNombrando(TCausa::entradaSalida, "Error: File not found: ", nombre ? nombre : "");
    return LeeDIB(fichero, true, progreso);
}

TResultado<void> TDibIG::LeeDIB(TFicheroQOR& fichero, bool conCabeceraFichero, TMonitorProcesos* progreso) {
    const TResultado<void> leido = LeeDIBcuerpo(fichero, conCabeceraFichero, progreso);
    if (leido) return leido;
    return FalloNombrando(leido.Causa(), prefijoError, leido.Mensaje().c_str());
}

TResultado<void> TDibIG::LeeDIBcuerpo(TFicheroQOR& f, bool conCabeceraFichero, TMonitorProcesos* progreso) {
    // Position of the pixels counted from the end of the file header; -1 when unknown.
    int64_t posicionPixeles = -1;
    if (conCabeceraFichero) {
        uint8_t c[tamanoCabeceraFichero];
        if (!f.LeeBloque(c, sizeof c) || LeeU16(c) != firmaBMP) return Falla(" 1");
        const uint32_t desplazamiento = LeeU32(c + 10);
        if (desplazamiento != 0) posicionPixeles = int64_t{desplazamiento} - tamanoCabeceraFichero;
    }
    uint8_t t[4];
    if (!f.LeeBloque(t, sizeof t)) return Falla(" 2");
    const uint32_t tamano = LeeU32(t);
    const bool mayor =
        std::find(std::begin(tamanosMayores), std::end(tamanosMayores), tamano) != std::end(tamanosMayores);
    if (tamano != tamanoCabeceraOS2 && tamano != tamanoCabeceraWindows && !mayor) return Falla(" 3");
    const bool os2 = tamano == tamanoCabeceraOS2;

    uint8_t c[tamanoCabeceraMayor - 4];
    const long resto = static_cast<long>(tamano - 4);
    if (!f.LeeBloque(c, resto)) return Falla(" Invalid PM 1.x DIB Header");
    TCabeceraDIB cab = os2 ? CabeceraOS2(c) : CabeceraWindows(c);
    // The bit fields of a larger header are read into plain pixels; other depths take
    // no bit fields there.
    TMascarasBits mascarasMayor;
    const bool camposMayor =
        mayor && (cab.compresion == compresionCamposBits || cab.compresion == compresionCamposAlfa);
    if (camposMayor) {
        if (cab.bitsPixel != 16 && cab.bitsPixel != 32) return Falla(" Unsupported compression");
        for (int i = 0; i < 4; ++i) {
            const uint32_t mascara = i < 3 || tamano > 52 ? LeeU32(c + 36 + 4 * i) : 0;
            if (!CampoDe(mascara, cab.bitsPixel, mascarasMayor.campos[i]))
                return Falla(" Unsupported bit fields");
        }
        cab.compresion = compresionNinguna;
    }
    if (const char* fallo = ValidaCabecera(cab)) return Falla(fallo);
    TCabeceraDIB leida = cab;
    if (camposMayor) {
        leida.bitsPixel = mascarasMayor.campos[3].bits ? 32 : 24;
        if (!ImagenAdmisible(cab.ancho, AltoAbsolutoDe(cab), leida.bitsPixel))
            return Falla(" Image too large", TCausa::limite);
        leida.tamanoImagen =
            static_cast<uint32_t>(int64_t{BytesFila(cab.ancho, leida.bitsPixel)} * AltoAbsolutoDe(cab));
    }

    const int64_t bytesMascaras = cab.compresion == compresionCamposBits ? tamanoMascaras : 0;
    const int64_t bytesTabla = int64_t{cab.coloresUsados} * (os2 ? 3 : 4);
    // A stated offset at or before the end of the colour table is ignored.
    const int64_t leido = tamano + bytesMascaras + bytesTabla;
    const int64_t salto = posicionPixeles > leido ? posicionPixeles - leido : 0;
    if (const char* fallo = CompruebaResto(f, bytesMascaras, bytesTabla, salto, cab.tamanoImagen))
        return Falla(fallo);

    Reserva(leida);
    if (mascaras && !f.LeeBloque(mascaras, tamanoMascaras)) return Falla("Could not read DIB color mask");
    if (bytesTabla) {
        if (!tablaColores || !f.LeeBloque(tablaColores, static_cast<long>(bytesTabla)))
            return Falla("Could not read DIB color table");
        if (os2) ExpandeTablaOS2(reinterpret_cast<uint8_t*>(tablaColores), cab.coloresUsados);
    }
    if (salto > 0) f.Salta(static_cast<long>(salto));
    if (camposMayor) {
        std::vector<uint8_t> filas(cab.tamanoImagen);
        if (!f.LeeBloque(filas.data(), static_cast<long>(filas.size()), progreso, pasoPixeles))
            return Falla("Could not read DIB bits");
        ConvierteCamposBits(filas, cab, mascarasMayor, *this);
        return {};
    }
    if (!bits || bytesPixeles < cab.tamanoImagen ||
        !f.LeeBloque(bits, static_cast<long>(cab.tamanoImagen), progreso, pasoPixeles))
        return Falla("Could not read DIB bits");
    return {};
}

TResultado<void> LeeBMP(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    return destino.LeeBMP(nombre, progreso);
}

bool MideBMP(const char* nombre, TMedidasImagen& medidas) {
    const TFicheroC f = AbreLectura(nombre);
    uint8_t c[tamanoCabeceraFichero + tamanoCabeceraWindows];
    if (!f || std::fread(c, 1, sizeof c, f.get()) < tamanoCabeceraFichero + tamanoCabeceraOS2 ||
        LeeU16(c) != firmaBMP)
        return false;
    const uint8_t* h = c + tamanoCabeceraFichero;
    if (LeeU32(h) == tamanoCabeceraOS2) {
        medidas = {LeeU16(h + 4), LeeU16(h + 6)};
        return true;
    }
    const int32_t alto = I32(h + 8);
    medidas = {I32(h + 4), alto == INT32_MIN ? INT32_MAX : std::abs(alto)};
    return true;
}

bool TDibIG::GrabaBMP(const char* nombre, TMonitorProcesos* progreso) const {
    TFicheroQOR fichero;
    // All or nothing: a full disk or a size limit leaves an older picture whole.
    if (!fichero.Abre(nombre, fqGrabaBinario | fqSeguro | fqSinCopiaBak)) return false;
    const bool correcto = GrabaDIB(fichero, true, progreso);
    return fichero.Cierra() && correcto;
}

bool TDibIG::GrabaDIB(TFicheroQOR& f, bool conCabeceraFichero, TMonitorProcesos* progreso) const {
    if (!cabecera || !bits) return false;
    const uint32_t imagen = cabecera->tamanoImagen;
    if (imagen > bytesPixeles) return false;
    // Header, masks and table lie together at the start of the block.
    const uint32_t bytesCabecera =
        tamanoCabeceraWindows + (mascaras ? tamanoMascaras : 0) +
        static_cast<uint32_t>(numColores) * static_cast<uint32_t>(sizeof(TColorPaleta));
    if (conCabeceraFichero) {
        uint8_t c[tamanoCabeceraFichero] = {};
        PonU16(c, firmaBMP);
        PonU32(c + 2, imagen + bytesCabecera + tamanoCabeceraFichero);
        PonU32(c + 10, tamanoCabeceraFichero + bytesCabecera);
        if (!f.EscribeBloque(c, sizeof c)) return false;
    }
    if (!f.EscribeBloque(bloque.get(), bytesCabecera)) return false;
    return f.EscribeBloque(bits, imagen, progreso, pasoPixeles);
}
