// Reading and writing BMP files (Windows 3.x and OS/2 1.x headers). A BMP file is a
// 14-byte file header followed by the image's block as TDibIG keeps it in memory,
// except that OS/2 files carry a 12-byte header and 3-byte colour-table entries.
// Every size the file states is checked before it drives an allocation or a read.
#include "image/Tdibig.h"

#include "image/Orden_bytes.h"

#include "support/Ficheroqor.h"
#include "support/Monitor_procesos.h"

#include <cstring>

namespace {

constexpr const char* prefijoError = "Error reading the BMP file.";
constexpr uint16_t firmaBMP = 0x4D42; // "BM"
constexpr uint32_t tamanoCabeceraFichero = 14;
constexpr uint32_t tamanoCabeceraWindows = 40;
constexpr uint32_t tamanoCabeceraOS2 = 12;
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

bool Falla(DString& sufijo, const char* texto) {
    sufijo = texto;
    return false;
}

} // namespace

bool TDibIG::LeeBMP(const char* nombre, DString& error, TMonitorProcesos* progreso) {
    TFicheroQOR fichero;
    if (!fichero.Abre(nombre, fqLeeBinario)) {
        error = "Error: File not found: ";
        error += nombre ? nombre : "";
        return false;
    }
    return LeeDIB(fichero, true, error, progreso);
}

bool TDibIG::LeeDIB(TFicheroQOR& fichero, bool conCabeceraFichero, DString& error,
                    TMonitorProcesos* progreso) {
    DString sufijo;
    if (LeeDIBcuerpo(fichero, conCabeceraFichero, sufijo, progreso)) return true;
    error = prefijoError;
    error += sufijo;
    return false;
}

bool TDibIG::LeeDIBcuerpo(TFicheroQOR& f, bool conCabeceraFichero, DString& sufijo,
                          TMonitorProcesos* progreso) {
    // Position of the pixels counted from the end of the file header; -1 when unknown.
    int64_t posicionPixeles = -1;
    if (conCabeceraFichero) {
        uint8_t c[tamanoCabeceraFichero];
        if (!f.LeeBloque(c, sizeof c) || LeeU16(c) != firmaBMP) return Falla(sufijo, " 1");
        const uint32_t desplazamiento = LeeU32(c + 10);
        if (desplazamiento != 0) posicionPixeles = int64_t{desplazamiento} - tamanoCabeceraFichero;
    }
    uint8_t t[4];
    if (!f.LeeBloque(t, sizeof t)) return Falla(sufijo, " 2");
    const uint32_t tamano = LeeU32(t);
    if (tamano != tamanoCabeceraOS2 && tamano != tamanoCabeceraWindows) return Falla(sufijo, " 3");
    const bool os2 = tamano == tamanoCabeceraOS2;

    uint8_t c[tamanoCabeceraWindows - 4];
    const long resto = static_cast<long>(tamano - 4);
    if (!f.LeeBloque(c, resto)) return Falla(sufijo, " Invalid PM 1.x DIB Header");
    TCabeceraDIB cab = os2 ? CabeceraOS2(c) : CabeceraWindows(c);
    if (const char* fallo = ValidaCabecera(cab)) return Falla(sufijo, fallo);

    const int64_t bytesMascaras = cab.compresion == compresionCamposBits ? tamanoMascaras : 0;
    const int64_t bytesTabla = int64_t{cab.coloresUsados} * (os2 ? 3 : 4);
    // A stated offset at or before the end of the colour table is ignored.
    const int64_t leido = tamano + bytesMascaras + bytesTabla;
    const int64_t salto = posicionPixeles > leido ? posicionPixeles - leido : 0;
    if (const char* fallo = CompruebaResto(f, bytesMascaras, bytesTabla, salto, cab.tamanoImagen))
        return Falla(sufijo, fallo);

    Reserva(cab);
    if (mascaras && !f.LeeBloque(mascaras, tamanoMascaras))
        return Falla(sufijo, "Could not read DIB color mask");
    if (bytesTabla) {
        if (!tablaColores || !f.LeeBloque(tablaColores, static_cast<long>(bytesTabla)))
            return Falla(sufijo, "Could not read DIB color table");
        if (os2) ExpandeTablaOS2(reinterpret_cast<uint8_t*>(tablaColores), cab.coloresUsados);
    }
    if (salto > 0) f.Salta(static_cast<long>(salto));
    if (!bits || bytesPixeles < cab.tamanoImagen ||
        !f.LeeBloque(bits, static_cast<long>(cab.tamanoImagen), progreso, pasoPixeles))
        return Falla(sufijo, "Could not read DIB bits");
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
