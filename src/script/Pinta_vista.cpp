#include "script/Pinta_vista.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Superficie_egl.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d.h"

void CargaVista(IDCOpenGL& dc, const TVistaPrevia& vista) {
    TMatriz4 matrizVista, matrizProyeccion;
    vista.ConstruyeMatrices(dc.perspectiva, dc.rectangulo.derecha - dc.rectangulo.izquierda,
                            dc.rectangulo.abajo - dc.rectangulo.arriba, matrizVista, matrizProyeccion);
    dc.SetProjection(matrizVista, matrizProyeccion);
}

void PintaVista(IDCOpenGL& dc, TObjeto3D& objeto, const TVistaPrevia& vista) {
    CargaVista(dc, vista);
    dc.Clear();
    if (dc.rectangulo.derecha - dc.rectangulo.izquierda < 1) return;
    objeto.Pinta(dc, vector3D(), 0.0, 1.0, 0.0, 1.0);
    dc.Swap();
}

bool RenderizaEscena(TObjeto3D& objeto, const TVistaPrevia& vista, bool perspectiva, int ancho, int alto,
                     TDibIG& imagen, DString& error) {
    TSuperficieEGL superficie(ancho, alto);
    IDCOpenGL dc;
    dc.luz = luzEscena;
    TRectanguloGL rectangulo;
    rectangulo.derecha = ancho;
    rectangulo.abajo = alto;
    int bits = 0;
    if (!dc.SetWindow(&superficie, bits, colorAzul, rectangulo, 512, error)) return false;
    dc.perspectiva = perspectiva;
    PintaVista(dc, objeto, vista);
    dc.ReadPixels(imagen);
    return true;
}
