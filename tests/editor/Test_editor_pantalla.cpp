// Start-up with its command line and stored last file, the full-screen view, and
// "Save for 2D Icon".
#include "Ventana_prueba.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "script/Texturas_3di.h"

#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTest>

namespace {

const std::string casa = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";

// The icon's four corners and its centre as packed colours.
std::vector<uint32_t> Esquinas(const QString& nombre) {
    TDibIG icono;
    DString error;
    EXPECT_TRUE(icono.LeeBMP(nombre.toLocal8Bit().constData(), error)) << error.c_str();
    EXPECT_EQ(icono.Ancho(), 32);
    EXPECT_EQ(icono.AltoAbsoluto(), 32);
    return {icono.Pixel(0, 0), icono.Pixel(31, 0), icono.Pixel(0, 31), icono.Pixel(31, 31),
            icono.Pixel(16, 16)};
}

} // namespace

class EditorPantalla : public VentanaPrueba {};

TEST_F(EditorPantalla, AnAbsolutePathOnTheCommandLineIsOpened) {
    const QString nombre = Fichero("start.3di", &casa);
    ASSERT_TRUE(nombre.startsWith("/"));
    TFormTestOpenGL& v = Abre({nombre});
    EXPECT_EQ(v.MemoPrograma->toPlainText().toStdString(), casa);
    EXPECT_EQ(v.TextoPanelErrores(), "ok");
    EXPECT_EQ(v.windowTitle(), "start.3di[*] - Pictomolder");
    EXPECT_EQ(v.configFichero.Valor(), DString(nombre.toLocal8Bit().constData()));
    EXPECT_FALSE(v.modificado);
    EXPECT_TRUE(dialogos->mensajes.isEmpty());
}

TEST_F(EditorPantalla, ARelativeArgumentBecomesAFullPath) {
    Fichero("rel.3di", &casa);
    TFormTestOpenGL& v = Abre({"rel.3di"});
    EXPECT_EQ(v.nombreFichero, DString(carpeta.filePath("rel.3di").toLocal8Bit().constData()));
    EXPECT_EQ(v.objeto.Count(), 1);
}

TEST_F(EditorPantalla, SwitchesAreIgnoredAndTheLastFileIsLoaded) {
    const QString ultimo = Fichero("last.3di", &casa);
    GuardaUltimoFichero(ultimo);
    TFormTestOpenGL& v = Abre({"-style"});
    EXPECT_EQ(v.nombreFichero, DString(ultimo.toLocal8Bit().constData()));
    EXPECT_EQ(v.objeto.Count(), 1);
    Cierra();
    TFormTestOpenGL& w = Abre({"/s"});
    EXPECT_EQ(w.nombreFichero, DString(ultimo.toLocal8Bit().constData()));
}

TEST_F(EditorPantalla, WithNothingToLoadTheScriptIsEmpty) {
    TFormTestOpenGL& v = Abre();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "");
    EXPECT_EQ(v.windowTitle(), "Pictomolder[*]");
    EXPECT_TRUE(v.sinNombre);
    EXPECT_TRUE(dialogos->mensajes.isEmpty());
    EXPECT_TRUE(v.idc.IsActive());
}

TEST_F(EditorPantalla, WithoutOpenGLTheErrorPaneSaysWhy) {
    // A window that was never shown has no context: binding the device fails.
    auto d = std::make_unique<TDialogosPrueba>();
    TFormTestOpenGL v({}, std::move(d));
    v.StartClick();
    EXPECT_FALSE(v.idc.IsActive());
    EXPECT_TRUE(v.TextoPanelErrores().startsWith("Error in wglCreateContext"))
        << v.TextoPanelErrores().toStdString();
    v.ShowErrors(TInformeLectura());
    EXPECT_TRUE(v.TextoPanelErrores().startsWith("ok\nError in wglCreateContext"));
}

TEST_F(EditorPantalla, FullScreenAndBackWithTheSameView) {
    TFormTestOpenGL& v = Abre();
    Escribe(QString::fromStdString(casa));
    v.vista.anguloY = 0.3;
    v.ToolButtonZoomDinsClick();
    const TVistaPrevia antes = v.vista;
    QTest::keyClick(&v, Qt::Key_F11);
    ASSERT_TRUE(v.ventanaCompleta.Abierta());
    EXPECT_FALSE(v.isVisible());
    EXPECT_TRUE(
        Espera([&] { return v.idc.Superficie() == v.ventanaCompleta.Superficie() && v.idc.IsActive(); }));
    QOpenGLWidget* completa = v.ventanaCompleta.Ventana();
    EXPECT_EQ(completa->windowTitle(), "Selvaron Full Screen 3D");
    EXPECT_TRUE(completa->isFullScreen());
    EXPECT_TRUE(Espera([&] { return completa->width() > 640; }));
    const QImage imagen = completa->grabFramebuffer();
    EXPECT_FALSE(EsAzul(ColorEn(imagen, imagen.width() / 2, imagen.height() / 2)));
    EXPECT_TRUE(EsAzul(ColorEn(imagen, 1, 1)));
    EXPECT_EQ(v.idc.rectangulo.derecha, completa->width());

    // Other keys do nothing; Escape returns to the editor with the same view.
    QTest::keyClick(completa, Qt::Key_A);
    EXPECT_TRUE(v.ventanaCompleta.Abierta());
    QTest::keyClick(completa, Qt::Key_Escape);
    EXPECT_FALSE(v.ventanaCompleta.Abierta());
    EXPECT_TRUE(v.isVisible());
    EXPECT_TRUE(v.PaintBox3D->Enlazado());
    EXPECT_EQ(v.vista.anguloY, antes.anguloY);
    EXPECT_EQ(v.vista.escala, antes.escala);
    EXPECT_EQ(v.idc.rectangulo.derecha, v.PaintBox3D->width());
    const QImage vuelta = Preview();
    EXPECT_FALSE(EsAzul(ColorEn(vuelta, vuelta.width() / 2, vuelta.height() / 2)));

    // The same window serves a second time, and F11 leaves as well.
    v.MenuFullScreenClick();
    EXPECT_TRUE(Espera([&] { return v.idc.Superficie() == v.ventanaCompleta.Superficie(); }));
    QTest::keyClick(completa, Qt::Key_F11);
    EXPECT_TRUE(v.PaintBox3D->Enlazado());
}

// The preview shows a texture from the first paint on and keeps it from one keystroke to
// the next (read and uploaded once); a script never saved takes it from the current
// folder; the full-screen window's context gets it anew.
TEST_F(EditorPantalla, TexturesInThePreviewAndInFullScreen) {
    TDibIG roja;
    roja.Crea(64, 64, 24, 0, nullptr, true);
    roja.Rellena(colorRojo);
    ASSERT_TRUE(roja.GrabaBMP(carpeta.filePath("red.bmp").toLocal8Bit().constData()));
    const auto rojoEnMedio = [](const QImage& imagen) {
        const uint32_t c = ColorEn(imagen, imagen.width() / 2, imagen.height() / 2);
        return RojoDe(c) > 200 && VerdeDe(c) < 40 && AzulDe(c) < 40;
    };
    TFormTestOpenGL& v = Abre();
    const QString script = QString("TEXTURET=red.bmp\n") + QString::fromStdString(casa);
    Escribe(script);
    EXPECT_TRUE(rojoEnMedio(Preview()));
    Escribe(script + "; typed\n");
    EXPECT_TRUE(rojoEnMedio(Preview()));
    EXPECT_EQ(v.objeto.texturas->cargas, 1);
    EXPECT_EQ(v.idc.almacenTexturas.Subidas(), 1);

    QTest::keyClick(&v, Qt::Key_F11);
    ASSERT_TRUE(v.ventanaCompleta.Abierta());
    ASSERT_TRUE(
        Espera([&] { return v.idc.Superficie() == v.ventanaCompleta.Superficie() && v.idc.IsActive(); }));
    EXPECT_TRUE(rojoEnMedio(v.ventanaCompleta.Ventana()->grabFramebuffer()));
    EXPECT_EQ(v.idc.almacenTexturas.Subidas(), 2);
    QTest::keyClick(v.ventanaCompleta.Ventana(), Qt::Key_Escape);
    EXPECT_TRUE(rojoEnMedio(Preview()));
}

// Mended: closing the full-screen window through the window manager ended the program.
TEST_F(EditorPantalla, ClosingTheFullScreenWindowReturnsToTheEditor) {
    TFormTestOpenGL& v = Abre();
    Escribe(QString::fromStdString(casa));
    v.MenuFullScreenClick();
    EXPECT_TRUE(Espera([&] { return v.idc.Superficie() == v.ventanaCompleta.Superficie(); }));
    // As in the program: closing the last visible window would end it.
    QApplication::setQuitOnLastWindowClosed(true);
    bool ultimaCerrada = false, salio = false;
    QObject contexto; // the connections end with the test
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &contexto, [&] { ultimaCerrada = true; });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &contexto, [&] { salio = true; });
    // What the window manager's close button sends.
    EXPECT_FALSE(v.ventanaCompleta.Ventana()->close());
    QTest::qWait(20);
    QApplication::setQuitOnLastWindowClosed(false);
    EXPECT_FALSE(ultimaCerrada);
    EXPECT_FALSE(salio);
    EXPECT_FALSE(v.ventanaCompleta.Abierta());
    EXPECT_TRUE(v.isVisible());
    EXPECT_TRUE(v.PaintBox3D->Enlazado());
    EXPECT_EQ(v.MemoPrograma->toPlainText().toStdString(), casa);
    EXPECT_TRUE(dialogos->preguntas.isEmpty());
}

TEST_F(EditorPantalla, TheIconIsWrittenBesideTheScript) {
    const QString nombre = Fichero("icon.3di", &casa);
    TFormTestOpenGL& v = Abre({nombre});
    v.MenuSavefor2DIconClick();
    const auto puntos = Esquinas(nombre + ".bmp");
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(EsAzul(puntos[i])) << std::hex << puntos[i];
    EXPECT_FALSE(EsAzul(puntos[4]));

    // A second export replaces the first; after "New" it goes beside NewIcon.3di.
    Escribe("");
    v.MenuSavefor2DIconClick();
    EXPECT_TRUE(EsAzul(Esquinas(nombre + ".bmp")[4]));
    dialogos->respuestas.push_back(TRespuesta::no);
    v.MenuNewClick();
    v.MenuSavefor2DIconClick();
    EXPECT_TRUE(QFileInfo::exists(carpeta.filePath("NewIcon.3di.bmp")));
    EXPECT_TRUE(dialogos->peticionesGrabar.isEmpty());
}

// Mended: with no file named yet the icon went to a hidden ".bmp" in the current folder.
TEST_F(EditorPantalla, AnIconWithoutAScriptNameAsksWhereToGo) {
    TFormTestOpenGL& v = Abre();
    Escribe(QString::fromStdString(casa));
    v.MenuSavefor2DIconClick(); // cancelled
    EXPECT_EQ(dialogos->peticionesGrabar, QStringList{"Bitmaps (*.bmp)"});
    EXPECT_FALSE(QFileInfo::exists(carpeta.filePath(".bmp")));
    const QString elegido = Fichero("chosen.bmp");
    dialogos->ficherosGrabar.push_back(elegido);
    v.MenuSavefor2DIconClick();
    const auto puntos = Esquinas(elegido);
    EXPECT_TRUE(EsAzul(puntos[0]) && EsAzul(puntos[1]) && EsAzul(puntos[2]) && EsAzul(puntos[3]));
    EXPECT_FALSE(QFileInfo::exists(carpeta.filePath(".bmp")));
}
