#include "render/Icono_2d.h"

#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Objetos_idc.h"
#include "support/Ficheroqor.h"

TResultado<void> ReduceAIcono(const TDibIG& imagen, TDibIG& icono, int bitsPantalla) {
    if (imagen.Vacia() || imagen.Ancho() < 1 || imagen.AltoAbsoluto() < 1)
        return TFallo{TCausa::entrada, "there is no picture to shrink"};
    const TContextoDC referencia(bitsPantalla);
    TImagenIG fuera;
    if (!fuera.Create(&referencia, ladoIcono, ladoIcono))
        return TFallo{TCausa::limite, "no room for the icon's bitmap"};
    IDCMemoria pintor;
    pintor.BeginPaint(fuera.DC());
    pintor.SetStretchMode(HALFTONE);
    pintor.StretchDIB({0, 0, ladoIcono, ladoIcono}, {0, 0, imagen.Ancho(), imagen.AltoAbsoluto()}, imagen,
                      SRCCOPY);
    pintor.EndPaint();
    if (!icono.DesdeBitmap(*fuera.Dib(), true, false))
        return TFallo{TCausa::interna, "the icon could not be made from its bitmap"};
    return {};
}

TResultado<void> GrabaIcono2D(IDCOpenGL& dc, const char* fichero) {
    TDibIG vista;
    dc.ReadPixels(vista);
    TDibIG icono;
    if (const auto reducida = ReduceAIcono(vista, icono, dc.bitsColor); !reducida)
        return TFallo{reducida.Causa(),
                      vista.Vacia() ? "the preview could not be read back" : reducida.Mensaje()};
    // As a BMP file is written, all or nothing, with the system's reason on failure.
    TFicheroQOR f;
    const bool abierto = f.Abre(fichero, fqGrabaBinario | fqSeguro | fqSinCopiaBak);
    if (abierto && icono.GrabaDIB(f, true) && f.Cierra()) return {};
    return TFallo{TCausa::entradaSalida, f.Motivo()};
}
