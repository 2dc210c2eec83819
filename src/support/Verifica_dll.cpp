#include "support/Verifica_dll.h"

#include "support/Rutas.h"

TResultado<void> VerificaDLL(const char* nombre, const char* formato) {
    const std::string ruta = (CarpetaPrograma() / RutaSistema(nombre)).string();
    if (ExisteFichero(ruta.c_str())) return {};
    // The format comes from our own message table; it is filled by hand so that no
    // text is ever used as a printf format.
    DString texto(formato);
    const int marca = texto.FindText("%s");
    if (marca >= 0) {
        DString resto = texto.Mid(marca + 2);
        texto.Truncate(marca);
        texto += nombre;
        texto += resto;
    }
    texto += "\r\n(";
    texto += ruta.c_str();
    texto += ")\r\n";
    return TFallo{TCausa::entradaSalida, std::move(texto)};
}
