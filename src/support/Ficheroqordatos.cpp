#include "support/Ficheroqordatos.h"

#include "support/Throw_qor.h"

#include <cstring>

TFicheroQORdatos::TFicheroQORdatos(int32_t modoDatos, const char* datos, int32_t tamanoDatos)
    : tamano(datos && tamanoDatos > 0 ? tamanoDatos : 0), bloque(datos) {
    modo = modoDatos;
}

TFicheroQORdatos::TFicheroQORdatos(int32_t modoDatos) : propio(true) {
    modo = modoDatos;
}

int TFicheroQORdatos::LeeCaracter() {
    if (posicion + 1 <= tamano) return static_cast<unsigned char>(bloque[posicion++]);
    if (posicion == tamano) ++posicion; // the first read past the end sets FinFichero
    return 0;
}

// The same reader over the block, without a virtual call for every byte.
int TFicheroQORdatos::LeeLinea(DString& linea) {
    return LeeLineaDe([this] { return TFicheroQORdatos::LeeCaracter(); },
                      [this] { return TFicheroQORdatos::FinFichero(); }, linea);
}

void TFicheroQORdatos::Posiciona(long p) {
    if (p >= 0 && p <= tamano) posicion = static_cast<int32_t>(p);
}

bool TFicheroQORdatos::EscribeBloque(const void* buffer, long bytes, TMonitorProcesos*, long) {
    if (bytes <= 0) return true;
    if (posicion > tamano) posicion = tamano;
    ActuLenMax(static_cast<int32_t>(posicion + bytes));
    std::memcpy(almacen.get() + posicion, buffer, static_cast<size_t>(bytes));
    posicion += static_cast<int32_t>(bytes);
    if (posicion > tamano) tamano = posicion;
    return true;
}

bool TFicheroQORdatos::LeeBloque(void* buffer, long bytes, TMonitorProcesos*, long) {
    if (bytes <= 0) return true;
    if (posicion + bytes > tamano) return false;
    std::memcpy(buffer, bloque + posicion, static_cast<size_t>(bytes));
    posicion += static_cast<int32_t>(bytes);
    return true;
}

void TFicheroQORdatos::ActuLenMax(int32_t necesarios) {
    if (capacidad >= necesarios) return;
    if (!propio) LanzaTexto("Error, en TFicheroQORdatos::ActuLenMax");
    const int32_t nueva = (necesarios + margen + 1000) & ~3;
    auto nuevo = std::make_unique<char[]>(static_cast<size_t>(nueva));
    if (tamano > 0) std::memcpy(nuevo.get(), bloque, static_cast<size_t>(tamano));
    almacen = std::move(nuevo);
    bloque = almacen.get();
    capacidad = nueva;
}
