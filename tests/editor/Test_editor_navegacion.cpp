// Navigation of the preview in the real window: drags, the wheel, zoom and perspective.
#include "Ventana_prueba.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

namespace {

// A drag from `desde` by `paso` pixels, in one move, with `boton` held.
void Arrastra(QWidget* w, Qt::MouseButton boton, QPoint desde, QPoint paso) {
    QTest::mousePress(w, boton, Qt::NoModifier, desde);
    const QPoint hasta = desde + paso;
    QMouseEvent mover(QEvent::MouseMove, hasta, w->mapToGlobal(hasta), Qt::NoButton, boton, Qt::NoModifier);
    QApplication::sendEvent(w, &mover);
    QTest::mouseRelease(w, boton, Qt::NoModifier, hasta);
}

// A wheel turn over `w` at `posicion`; returns whether anyone accepted it.
bool Rueda(QWidget* w, QPoint posicion, int delta) {
    QWheelEvent rueda(posicion, w->mapToGlobal(posicion), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &rueda);
    return rueda.isAccepted();
}

} // namespace

class EditorNavegacion : public VentanaPrueba {};

TEST_F(EditorNavegacion, DragsTurnAndPanTheView) {
    TFormTestOpenGL& v = Abre();
    Escribe("QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n");
    const double anguloY = v.vista.camara.anguloY, anguloX = v.vista.camara.anguloX;
    const long antes = v.PaintBox3D->Cuadros();
    Arrastra(v.PaintBox3D, Qt::RightButton, QPoint(100, 100), QPoint(100, 50));
    EXPECT_NEAR(v.vista.camara.anguloY, anguloY + 1.0, 1e-12);
    EXPECT_NEAR(v.vista.camara.anguloX, anguloX - 0.5, 1e-12);
    EXPECT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));
    EXPECT_FALSE(v.PaintBox3D->arrastrando);

    // The left button pans: 2/W per pixel across, 2/H per pixel down (the picture
    // follows the pointer).
    const double w = v.PaintBox3D->width(), h = v.PaintBox3D->height();
    Arrastra(v.PaintBox3D, Qt::LeftButton, QPoint(50, 50), QPoint(10, 5));
    EXPECT_NEAR(v.vista.camara.desplazamiento.x, 20.0 / w, 1e-12);
    EXPECT_NEAR(v.vista.camara.desplazamiento.y, -10.0 / h, 1e-12);
    Arrastra(v.PaintBox3D, Qt::MiddleButton, QPoint(50, 50), QPoint(-10, 0));
    EXPECT_NEAR(v.vista.camara.desplazamiento.x, 0.0, 1e-12);
}

TEST_F(EditorNavegacion, TheWheelZoomsOverThePreviewOnly) {
    TFormTestOpenGL& v = Abre();
    const double escala = v.vista.camara.escala;
    EXPECT_TRUE(Rueda(v.PaintBox3D, QPoint(50, 50), 120));
    EXPECT_NEAR(v.vista.camara.escala, escala * 0.88, 1e-12);
    // Right of the preview (over the script side) the window leaves the event alone.
    EXPECT_FALSE(Rueda(&v, QPoint(v.PaintBox3D->width() + 40, 100), 120));
    EXPECT_NEAR(v.vista.camara.escala, escala * 0.88, 1e-12);

    // In perspective the wheel moves the eye instead.
    v.MenuPerspectivaClick();
    const double distancia = v.vista.camara.distancia;
    EXPECT_TRUE(Rueda(v.PaintBox3D, QPoint(50, 50), 120));
    EXPECT_NEAR(v.vista.camara.distancia, distancia * 0.88, 1e-12);
    EXPECT_NEAR(v.vista.camara.escala, escala * 0.88, 1e-12);
}

TEST_F(EditorNavegacion, ZoomButtonsAndPerspective) {
    TFormTestOpenGL& v = Abre();
    Escribe("QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n");
    const double escala = v.vista.camara.escala;
    v.ToolButtonZoomDins->trigger();
    EXPECT_NEAR(v.vista.camara.escala, escala * 1.2, 1e-12);
    v.ToolButtonZoomFora->trigger();
    EXPECT_NEAR(v.vista.camara.escala, escala, 1e-12);

    // F5 switches to perspective, which shows the model in the middle.
    v.Repaint();
    EsperaCuadro();
    const QImage paralela = Preview();
    EXPECT_FALSE(v.vista.camara.perspectiva);
    const long antes = v.PaintBox3D->Cuadros();
    QTest::keyClick(&v, Qt::Key_F5);
    EXPECT_TRUE(v.vista.camara.perspectiva);
    EXPECT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));
    const QImage perspectiva = Preview();
    EXPECT_FALSE(EsAzul(EnMedio(perspectiva)));
    // Panning has no effect on the picture in perspective; in parallel it moves the quad.
    Arrastra(v.PaintBox3D, Qt::LeftButton, QPoint(50, 50), QPoint(100, 0));
    EXPECT_EQ(Preview(), perspectiva);
    v.MenuPerspectiva->trigger();
    EXPECT_FALSE(v.vista.camara.perspectiva);
    EXPECT_NE(Preview(), paralela);
}
