#include "support/Throw_qor.h"

void LanzaTexto(const char* texto) {
    throw TXTextoQOR(texto ? texto : "");
}
