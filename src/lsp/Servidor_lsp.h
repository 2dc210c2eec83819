// The language server whole: the protocol's methods handed to the language features.
// Opening or changing a document reads it and publishes its diagnostics.
#pragma once

#include "lsp/Lenguaje_lsp.h"
#include "lsp/Protocolo_lsp.h"

void RegistraLenguaje(TServidorRpc& rpc, TLenguajeLsp& lenguaje);
