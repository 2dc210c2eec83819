// Filled spheres go out in one draw, with their far half skipped when it cannot show.
// Whatever the mirrors in the transform or the signs of the radii, the picture must be
// the one that drawing the cells one by one gives (the path a texture record takes).
#include "Dispositivo_prueba.h"

#include <GL/gl.h>

namespace {

// The largest channel difference between two frames, over every pixel.
int DiferenciaImagenes(TDispositivoPrueba& d, TDibIG& a, TDibIG& b) {
    int maxima = 0;
    for (int y = 0; y < d.alto; ++y)
        for (int x = 0; x < d.ancho; ++x)
            maxima = std::max(maxima, DiferenciaMaxima(a.Pixel(x, y), b.Pixel(x, y)));
    return maxima;
}

} // namespace

TEST(EsferasDeUnTrazo, MatchTheCellByCellDrawingWhateverTheSignsAndMirrors) {
    TDispositivoPrueba d(64, 64);
    ASSERT_TRUE(d.activo) << d.error.c_str();
    const uint32_t color = 0x3080E0;
    struct TCaso {
        double rx, ry, rz;
        vector3D centro;
    };
    const TCaso casos[] = {{0.6, 0.6, 0.6, {}},         {-0.6, -0.6, -0.6, {}}, {0.6, -0.4, 0.5, {}},
                           {-0.6, 0.4, 0.5, {}},        {0.6, 0.4, -0.5, {}},   {0.5, 0.5, 0.5, {0, 0, 0.8}},
                           {1.5, 1.5, 1.5, {0.5, 0, 0}}};
    for (const double espejoX : {1.0, -1.0}) {
        TMatriz4 proyeccion;
        proyeccion(0, 0) = espejoX;
        proyeccion(2, 2) = -1.0;
        for (const TCaso& c : casos) {
            d.dc.SetProjection(TMatriz4(), proyeccion);
            d.dc.Clear();
            d.dc.Ellipsoid(c.centro, c.rx, c.ry, c.rz, color, modoRelleno);
            TDibIG deUnTrazo;
            d.dc.ReadPixels(deUnTrazo);
            d.dc.Clear();
            TTexturaIG sinImagen; // no texture shows, but the cells are drawn one by one
            d.dc.Ellipsoid(c.centro, c.rx, c.ry, c.rz, color, modoRelleno, &sinImagen);
            TDibIG celdaACelda;
            d.dc.ReadPixels(celdaACelda);
            EXPECT_LE(DiferenciaImagenes(d, deUnTrazo, celdaACelda), 3)
                << "mirror " << espejoX << " radii " << c.rx << "," << c.ry << "," << c.rz << " centre z "
                << c.centro.z;
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)); // culling never outlives a sphere
}

TEST(EsferasDeUnTrazo, ASphereCutByTheNearPlaneShowsItsInside) {
    TDispositivoPrueba d(64, 64);
    // The near cap reaches beyond the depth range and is clipped away: the inside of the
    // far half shows, lit by normals that face away from the viewer.
    d.dc.Sphere(vector3D(0, 0, 0.8), 0.6, colorBlanco, modoRelleno);
    uint32_t lejos = colorBlanco;
    d.dc.LitColor(lejos, vector3D(0, 0, -1), false);
    EXPECT_LE(DiferenciaMaxima(d.Lee(32, 32), lejos), 2);
}
