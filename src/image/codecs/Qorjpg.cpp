// qorjpg.so: the JPEG codec module, libjpeg-turbo behind the program's request record.
// libjpeg reports a fatal error through error_exit, which here jumps back to the read
// instead of ending the process; its warnings and messages print nothing. The frame
// that calls setjmp holds only plain data, so the jump skips no destructor.
#include "image/Limites_imagen.h"
#include "image/codecs/Registros_codec.h"
#include "support/Descriptor_regular.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg's headers need <cstdio> (FILE, size_t) before them.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// Grey and colour JPEG give at most about 512 pixel bytes per byte of Huffman-coded data;
// arithmetic coding of flat areas goes further, so the bound is generous.
constexpr uint64_t proporcionJPG = 4096;
// Progressive files may hold scan after scan over the same pixels, each costing a pass
// over the whole picture: more than any encoder writes is taken for a hostile file, and
// counted before any decoding.
constexpr int maxEscaneos = 100;
constexpr const char* motivoEscaneos = "more than 100 scans";
constexpr long memoriaMaxima = 1L << 30;

// The reason of the last failure for _Get_JPG_Error; empty for damaged data.
const char* ultimoMotivo = "";

struct TErrorJPG {
    jpeg_error_mgr base;
    std::jmp_buf salto;
    bool danado;
};

struct TProgresoJPG {
    jpeg_progress_mgr base;
    TRegistroJPG* registro;
};

void SalidaError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TErrorJPG*>(info->err)->salto, 1);
}

void EmiteMensaje(j_common_ptr info, int nivel) {
    // Pixel data that ends before the picture does, or codes no table holds, are damage
    // rather than oddities (a file that only lacks its end marker reads whole).
    const int codigo = info->err->msg_code;
    if (nivel < 0 && (codigo == JWRN_HIT_MARKER || codigo == JWRN_HUFF_BAD_CODE))
        reinterpret_cast<TErrorJPG*>(info->err)->danado = true;
}

void SinSalida(j_common_ptr) {}

void Progreso(j_common_ptr info) {
    const auto* progreso = reinterpret_cast<TProgresoJPG*>(info->progress);
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    const bool cancelado = progreso->registro->cancelado && *progreso->registro->cancelado;
    if (d->input_scan_number > maxEscaneos) ultimoMotivo = motivoEscaneos;
    if (d->input_scan_number > maxEscaneos || cancelado) info->err->error_exit(info);
}

bool EsRST(int c) {
    return c >= 0xD0 && c <= 0xD7;
}

// The code of the marker at the file's position (0xFF, fill bytes, the code); -1 when
// there is none.
int SiguienteMarcador(std::FILE* f) {
    if (std::getc(f) != 0xFF) return -1;
    int c = 0;
    do
        c = std::getc(f);
    while (c == 0xFF);
    return c;
}

// Past the entropy-coded data of a scan: the code of the marker that ends it, or -1.
int FinDatos(std::FILE* f) {
    for (;;) {
        int c = std::getc(f);
        if (c < 0) return -1;
        if (c != 0xFF) continue;
        do
            c = std::getc(f);
        while (c == 0xFF);
        if (c < 0) return -1;
        if (c != 0 && !EsRST(c)) return c;
    }
}

// The scans of the file (SOS markers) found by walking its segments and scan data, up
// to one past `limite`; the file is rewound after. Damage ends the count: the decoder
// judges it.
int CuentaEscaneos(std::FILE* f, int limite) {
    int escaneos = 0;
    if (std::getc(f) == 0xFF && std::getc(f) == 0xD8) {
        int c = SiguienteMarcador(f);
        while (c >= 0 && c != 0xD9 && escaneos <= limite) {
            if (c == 0x01 || EsRST(c)) {
                c = SiguienteMarcador(f);
                continue;
            }
            const int alto = std::getc(f);
            const int bajo = std::getc(f);
            const long largo = long{alto} << 8 | bajo;
            if (bajo < 0 || largo < 2 || std::fseek(f, largo - 2, SEEK_CUR) != 0) break;
            if (c == 0xDA) {
                ++escaneos;
                c = FinDatos(f);
            } else {
                c = SiguienteMarcador(f);
            }
        }
    }
    std::rewind(f);
    return escaneos;
}

uint64_t TamanoFichero(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return 0;
    const long tamano = std::ftell(f);
    std::rewind(f);
    return tamano > 0 ? static_cast<uint64_t>(tamano) : 0;
}

// CMYK rows (Adobe files store them inverted) to blue, green, red.
void FilaDeCMYK(const JSAMPLE* cmyk, uint8_t* bgr, JDIMENSION ancho, bool invertido) {
    for (JDIMENSION x = 0; x < ancho; ++x, cmyk += 4, bgr += 3) {
        const int k = invertido ? cmyk[3] : 255 - cmyk[3];
        for (int canal = 0; canal < 3; ++canal) {
            const int v = invertido ? cmyk[canal] : 255 - cmyk[canal];
            bgr[2 - canal] = static_cast<uint8_t>(v * k / 255);
        }
    }
}

int Decodifica(std::FILE* f, TRegistroJPG* r) {
    jpeg_decompress_struct info;
    TErrorJPG error;
    TProgresoJPG progreso;
    std::memset(&progreso, 0, sizeof progreso);
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = SalidaError;
    error.base.emit_message = EmiteMensaje;
    error.base.output_message = SinSalida;
    error.danado = false;
    if (setjmp(error.salto)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = memoriaMaxima;
    progreso.base.progress_monitor = Progreso;
    progreso.registro = r;
    info.progress = &progreso.base;
    const uint64_t bytesFichero = TamanoFichero(f);
    if (CuentaEscaneos(f, maxEscaneos) > maxEscaneos) {
        ultimoMotivo = motivoEscaneos;
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_stdio_src(&info, f);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    const bool gris = info.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = gris ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_EXT_BGR);
    const int bits = gris ? 8 : 24;
    const int64_t fila = BytesFilaDib(info.image_width, bits);
    if (!ImagenAdmisible(info.image_width, info.image_height, bits) ||
        !CabeEnDatos(static_cast<uint64_t>(fila) * info.image_height, bytesFichero, proporcionJPG)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_start_decompress(&info);
    r->ancho = static_cast<int32_t>(info.output_width);
    r->alto = -static_cast<int32_t>(info.output_height);
    r->bitsPixel = bits;
    uint8_t* pixeles = r->reserva ? r->reserva(r) : nullptr;
    if (!pixeles || r->bytesFila < fila) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    JSAMPARRAY filaCMYK = cmyk ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                           info.output_width * 4, 1)
                               : nullptr;
    if (r->progresoTotal) *r->progresoTotal = static_cast<int32_t>(info.output_height);
    if (r->progresoHechas) *r->progresoHechas = 0;
    while (info.output_scanline < info.output_height) {
        JSAMPROW destino =
            pixeles + static_cast<size_t>(info.output_scanline) * static_cast<size_t>(r->bytesFila);
        if (cmyk) {
            jpeg_read_scanlines(&info, filaCMYK, 1);
            FilaDeCMYK(filaCMYK[0], destino, info.output_width, info.saw_Adobe_marker);
        } else {
            jpeg_read_scanlines(&info, &destino, 1);
        }
        if (r->progresoHechas) ++*r->progresoHechas;
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return error.danado ? 0 : 1;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int _Lee_JPG(const char* nombre, TRegistroJPG* registro) {
    if (!registro) return 0;
    if (registro->version != versionRegistroJPG) {
        registro->respuesta = 0;
        return 0;
    }
    registro->respuesta = 1;
    ultimoMotivo = "";
    const int fd = nombre ? AbreLecturaRegular(nombre) : -1;
    if (fd < 0) return 0;
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        return 0;
    }
    const int resultado = Decodifica(f, registro);
    std::fclose(f);
    return resultado;
}

extern "C" __attribute__((visibility("default"))) const char* _Get_JPG_Error() {
    return ultimoMotivo;
}
