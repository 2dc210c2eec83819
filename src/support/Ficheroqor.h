// TFicheroQOR: the program's one file abstraction. Scripts are read through its
// line reader LeeLinea; scripts are written as text data; bitmaps are read and
// written as binary blocks. TFicheroQORdatos replaces the character source with a
// memory block (see Ficheroqordatos.h).
#pragma once

#include "support/Dstring.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct TMonitorProcesos;

// Bits of the mode word.
enum ModoFicheroQOR : int32_t {
    fqLectura = 1,
    fqEscritura = 2,
    fqAnadir = 4,
    fqTexto = 8,
    fqBinario = 16,
    fqCopiaBak = 32, // before writing, copy the existing file to the ".BAK" name
    fqCabecera = 64, // on opening for reading, read a header integer into `version`
    fqActualizar = 128,
    fqSeguro = 256,      // safe save: see Abre
    fqSinCopiaBak = 512, // with fqSeguro: the old file is not kept as ".BAK"
};

// The modes the program uses.
constexpr int32_t fqLeeTexto = fqLectura | fqTexto;         // 9: scripts
constexpr int32_t fqGrabaTexto = fqEscritura | fqTexto;     // 10: saved scripts
constexpr int32_t fqLeeBinario = fqLectura | fqBinario;     // 17: bitmaps
constexpr int32_t fqGrabaBinario = fqEscritura | fqBinario; // 18: bitmaps

// Longest text that LeeLinea keeps of one line.
constexpr int maxLargoLinea = 19999;

class TFicheroQOR {
public:
    TFicheroQOR();
    virtual ~TFicheroQOR();
    TFicheroQOR(const TFicheroQOR&) = delete;
    TFicheroQOR& operator=(const TFicheroQOR&) = delete;

    // The character source. LeeCaracter yields the next byte (0..255), or a value
    // after which FinFichero() is true once the source is exhausted.
    virtual int LeeCaracter();
    virtual void Posiciona(long offset);
    virtual long Posicion();
    virtual long Tamano();
    virtual bool FinFichero();
    virtual bool EscribeBloque(const void* buffer, long bytes, TMonitorProcesos* progreso = nullptr,
                               long paso = 0);
    virtual bool LeeBloque(void* buffer, long bytes, TMonitorProcesos* progreso = nullptr, long paso = 0);

    // Opens a regular file; false (with Motivo) when it cannot be opened, and for a
    // folder, a FIFO, a device or a socket, which are never read, written nor replaced
    // (a FIFO would block the program until someone wrote to it).
    // Safe save (fqSeguro): the name is followed through symbolic links to the real
    // file, which must be writable when it exists, and the data go to a new temporary
    // file beside it, created exclusively under a unique name ("NAME.$$$" and a
    // suffix). Cierra then gives it the real file's permissions (and owner where
    // allowed), keeps the old file as "NAME.BAK" (unless fqSinCopiaBak; never through a
    // link nor over anything but the user's regular file, see Aviso) and renames it over
    // the real file: the real file is replaced whole or not at all, and the links to it
    // stay links.
    bool Abre(const char* nombre, int32_t modoApertura);
    // Closes the stream and finishes a safe save. False when a write failed or the
    // saved file could not replace the real one (which then stays as it was).
    bool Cierra();
    // Why the last Abre or Cierra failed, in the system's words ("Permission denied",
    // "No space left on device"); empty after a success.
    const char* Motivo() const { return motivo.c_str(); }
    // What a successful Abre or Cierra left undone, to tell the user: the backup that
    // was not kept because something that is not the user's regular file has its name.
    // Empty when everything was done.
    const std::string& Aviso() const { return aviso; }
    bool EstaAbierto() const { return static_cast<bool>(stream); }

    // The next non-empty, comment-free line; returns the 0-based number of the line
    // on which it ended. An empty line means the end of the text (or a VOID line).
    virtual int LeeLinea(DString& linea);
    void get_dato_texto(DString& dato);
    bool EscribeDatoTexto(const char* texto);
    // Text mode: the `largo` bytes (zero bytes too), then the separator.
    bool EscribeDatoTexto(const char* texto, size_t largo);
    // Moves the position by a signed offset.
    void Salta(long desplazamiento);

    char separador = ' ';
    int32_t reservado = 2;
    int32_t version = 0;
    int32_t modo = 0;
    DString separadores;
    DString devueltos;
    int32_t lineas = 0;
    char ultimo = 0;
    bool seguro = false;
    DString destino;

protected:
    // Counts a line end: a CR counts one, an LF one unless it follows a CR.
    void CuentaFinLinea(int c);
    // The line reader over a character source: `lee()` yields the next byte as
    // LeeCaracter does and `fin()` tells what FinFichero tells. A memory file hands its
    // block to it directly instead of through the virtual calls for every byte.
    template <class Lee, class Fin> int LeeLineaDe(Lee&& lee, Fin&& fin, DString& linea);
    void MarcaFallo();
    bool fallo = false; // a write failed since Abre

private:
    struct CierraStream {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    bool AbreSeguro(const char* nombre, const char* tipo);
    bool AbreDescriptor(int fd, const char* tipo);
    bool TerminaGuardadoSeguro();
    // Keeps `real` as `bak`: false (with Motivo) when the system refuses; a name that
    // may not be replaced is skipped, with Aviso.
    bool GuardaCopia(const std::string& real, const std::string& bak, bool enlazar);
    bool Falla(int error);
    bool Falla(const char* texto);

    std::unique_ptr<std::FILE, CierraStream> stream;
    std::string motivo;
    std::string aviso;
    std::string textoLinea; // kept from line to line, so that its room is kept too
    int errorEscritura = 0;
    // During a safe save: the temporary file, and the real file's permissions and
    // owner when it exists.
    std::string temporal;
    bool existia = false;
    uint32_t permisos = 0;
    uint32_t dueno = 0;
    uint32_t grupo = 0;
};

template <class Lee, class Fin> int TFicheroQOR::LeeLineaDe(Lee&& lee, Fin&& fin, DString& linea) {
    if (!devueltos.IsEmpty()) {
        linea = devueltos;
        devueltos = "";
        return ++lineas;
    }
    std::string& texto = textoLinea;
    int numero = lineas;
    for (;;) {
        texto.clear();
        int c = lee();
        while (!fin() && (c == '\t' || c == '\n' || c == ' ' || c == '\r')) {
            CuentaFinLinea(c);
            c = lee();
        }
        while (!fin() && c != '\r' && c != '\n' && c != ';' && c != 0) {
            if (texto.size() < static_cast<size_t>(maxLargoLinea)) texto += static_cast<char>(c);
            ultimo = static_cast<char>(c);
            c = lee();
        }
        numero = lineas;
        if (!fin()) CuentaFinLinea(c);
        if (c == ';') {
            // The rest of the physical line is a comment.
            while (!fin() && c != '\r' && c != '\n') {
                c = lee();
                if (!fin()) CuentaFinLinea(c);
            }
        }
        if (!texto.empty() || fin()) break;
    }
    size_t final = texto.size();
    while (final > 1 && (texto[final - 1] == ' ' || texto[final - 1] == '\t'))
        --final;
    texto.resize(final);
    if (texto == "VOID")
        linea = "";
    else
        linea = texto.c_str();
    return numero;
}
