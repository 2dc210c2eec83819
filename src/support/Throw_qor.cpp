#include "support/Throw_qor.h"

void LanzaTexto(const char* texto, TCausa causa) {
    throw TXTextoQOR(texto ? texto : "", causa);
}
