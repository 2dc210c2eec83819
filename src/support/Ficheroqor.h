// TFicheroQOR: the program's one file abstraction. Scripts are read through its
// line reader LeeLinea; scripts are written as text data; bitmaps are read and
// written as binary blocks. TFicheroQORdatos replaces the character source with a
// memory block (see Ficheroqordatos.h).
#pragma once

#include "support/Dstring.h"

#include <cstdint>
#include <cstdio>
#include <memory>

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
    fqSeguro = 256, // write to name + ".$$$" and replace the real file on closing
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

    bool Abre(const char* nombre, int32_t modoApertura);
    // Closes the stream and finishes a safe save. False when a write failed or the
    // saved file could not replace the real one (which then stays as it was).
    bool Cierra();
    bool EstaAbierto() const { return static_cast<bool>(stream); }

    // The next non-empty, comment-free line; returns the 0-based number of the line
    // on which it ended. An empty line means the end of the text (or a VOID line).
    int LeeLinea(DString& linea);
    void get_dato_texto(DString& dato);
    bool EscribeDatoTexto(const char* texto);
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
    void MarcaFallo() { fallo = true; }
    bool fallo = false; // a write failed since Abre

private:
    struct CierraStream {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    bool TerminaGuardadoSeguro(bool escrituraCorrecta);

    std::unique_ptr<std::FILE, CierraStream> stream;
};
