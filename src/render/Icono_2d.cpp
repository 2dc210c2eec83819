#include "render/Icono_2d.h"

#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Objetos_idc.h"
#include "support/Ficheroqor.h"

bool ReduceAIcono(const TDibIG& imagen, TDibIG& icono, int bitsPantalla) {
    if (imagen.Vacia() || imagen.Ancho() < 1 || imagen.AltoAbsoluto() < 1) return false;
    const TContextoDC referencia(bitsPantalla);
    TImagenIG fuera;
    if (!fuera.Create(&referencia, ladoIcono, ladoIcono)) return false;
    IDCMemoria pintor;
    pintor.BeginPaint(fuera.DC());
    pintor.SetStretchMode(HALFTONE);
    pintor.StretchDIB({0, 0, ladoIcono, ladoIcono}, {0, 0, imagen.Ancho(), imagen.AltoAbsoluto()}, imagen,
                      SRCCOPY);
    pintor.EndPaint();
    return icono.DesdeBitmap(*fuera.Dib(), true, false);
}

TResultado<void> GrabaIcono2D(IDCOpenGL& dc, const char* fichero) {
    TDibIG vista;
    dc.ReadPixels(vista);
    TDibIG icono;
    if (!ReduceAIcono(vista, icono, dc.bitsColor))
        return TFallo{TCausa::entradaSalida, "the preview could not be read back"};
    // As a BMP file is written, all or nothing, with the system's reason on failure.
    TFicheroQOR f;
    const bool abierto = f.Abre(fichero, fqGrabaBinario | fqSeguro | fqSinCopiaBak);
    if (abierto && icono.GrabaDIB(f, true) && f.Cierra()) return {};
    return TFallo{TCausa::entradaSalida, f.Motivo()};
}
