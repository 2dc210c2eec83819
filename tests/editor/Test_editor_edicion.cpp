// The edit loop of the real window: typing, the caret, picking, the TEXTURET double click.
#include "Ventana_prueba.h"

#include "Imagen_prueba.h"

#include "editor/Memo_script.h"
#include "editor/Resaltador_3di.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

namespace {

const char* const cuadrado = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]";

void PonCursor(QPlainTextEdit& memo, int linea, int columna) {
    QTextCursor cursor(memo.document()->findBlockByNumber(linea));
    cursor.setPosition(cursor.block().position() + columna);
    memo.setTextCursor(cursor);
}

} // namespace

class EditorEdicion : public VentanaPrueba {};

TEST_F(EditorEdicion, TypingUpdatesTheErrorPaneAndThePreview) {
    TFormTestOpenGL& v = Abre();
    EXPECT_FALSE(v.modificado);
    EXPECT_TRUE(EsAzul(EnMedio(Preview())));

    // Typed key by key, as a person would, faster than frames come: the first key is
    // read and drawn at once, the others are all handled before the script is read again,
    // once, for the latest text.
    v.MemoPrograma->setFocus();
    const long lecturas = v.lecturas;
    QTest::keyClicks(v.MemoPrograma, cuadrado);
    EXPECT_TRUE(v.modificado);
    EXPECT_TRUE(v.isWindowModified());
    EXPECT_TRUE(v.lecturaPendiente);
    EsperaCuadro();
    EXPECT_EQ(v.TextoPanelErrores(), "ok");
    EXPECT_EQ(v.vista.Escena().Count(), 1);
    EXPECT_EQ(v.lecturas, lecturas + 2); // the first key, then all the others
    const QImage llena = Preview();
    const uint32_t centro = EnMedio(llena);
    EXPECT_FALSE(EsAzul(centro));
    EXPECT_GT(centro & 0xFF, 0x80u) << std::hex << centro; // a white quad, lit
    EXPECT_TRUE(EsAzul(ColorEn(llena, 2, 2)));

    // An error names its (0-based) line, and that line gets the error background.
    Escribe(QString(cuadrado) + "\nFOO=1\n");
    EXPECT_TRUE(v.TextoPanelErrores().startsWith("1: Undefined command:FOO"))
        << v.TextoPanelErrores().toStdString();
    EXPECT_EQ(v.MemoPrograma->LineasError(), std::vector<int>{1});
    const auto selecciones = v.MemoPrograma->extraSelections();
    ASSERT_EQ(selecciones.size(), 2); // the caret's line, then the error
    EXPECT_EQ(selecciones[1].cursor.blockNumber(), 1);
    EXPECT_EQ(selecciones[1].format.background().color(), TMemoScript::ColorLineaError());
    EXPECT_FALSE(EsAzul(EnMedio(Preview()))); // the quad before the bad line is still drawn
}

// A key's frame is drawn ahead of the paint; a view changed before the paint is not
// shown stale.
TEST_F(EditorEdicion, AFrameDrawnAheadOfAChangedViewIsDrawnAgain) {
    TFormTestOpenGL& v = Abre();
    Escribe(QString(cuadrado) + "\n");
    const auto enMedio = [&] {
        const QImage& imagen = v.PaintBox3D->UltimoCuadro();
        return EnMedio(imagen);
    };
    EXPECT_FALSE(EsAzul(enMedio()));
    const long antes = v.PaintBox3D->Cuadros();
    QTextCursor cursor = v.MemoPrograma->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(";");                                  // a comment: the scene stays
    v.vista.camara.desplazamiento = vector3D(1.5, 1.5, 0.0); // the quad goes to a corner
    ASSERT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));
    EXPECT_TRUE(EsAzul(enMedio()));
}

// Keys typed in a line draw from a copy of the frame before, taken before that line:
// the picture is the whole frame's.
TEST_F(EditorEdicion, AKeysFrameFromTheFrameBeforeIsTheWholeFrame) {
    TFormTestOpenGL& v = Abre();
    // Enough to draw before the line typed in that a copy is worth its cost: triangles
    // that cover nothing.
    QString nada;
    for (int i = 0; i < 20000; ++i)
        nada += "TRIANGLE=[0,5,0]:[0,5,0]:[0,5,0]\n";
    Escribe("COLOR=(200,40,40)\nSPHERE=[-1,0,0]:1\nLINE=[-3,-3,0]:[3,3,0]\n" + nada +
            "SPHERE=[1,0,0]:1\nCOLOR=(40,200,40)\n" + QString(cuadrado) + "\n");
    PonCursor(*v.MemoPrograma, 20003, 16); // after the second sphere's radius
    const int64_t copias = v.idc.cuadroGuardado.Restauraciones();
    for (const char* tecla : {".", "5", "2"}) {
        const long antes = v.PaintBox3D->Cuadros();
        v.MemoPrograma->textCursor().insertText(tecla);
        ASSERT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes && !v.lecturaPendiente; }));
    }
    EXPECT_GT(v.idc.cuadroGuardado.Restauraciones(), copias)
        << v.PaintBox3D->width() << " x " << v.PaintBox3D->height();
    const QImage tecleado = v.PaintBox3D->UltimoCuadro().copy();
    v.vista.GuardaCuadros(false);
    EXPECT_EQ(Preview(), tecleado);
    v.vista.GuardaCuadros(true);
}

TEST_F(EditorEdicion, TheCaretPicksTheHighlightedElementAndField) {
    TFormTestOpenGL& v = Abre();
    Escribe("; two elements\nLINE=[0,0,0]:[1,1,0]\n" + QString(cuadrado) + "\n");

    // (How a click brings the caret and the status along is the picking test's.)
    const long antes = v.PaintBox3D->Cuadros();
    PonCursor(*v.MemoPrograma, 2, 24); // after "QUAD=[-2,-2,0]:[2,-2,0]:"
    EXPECT_EQ(v.vista.seleccion.puntoResaltado, 2);
    EXPECT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));
    // The highlighted quad is drawn differently from the quad under a caret elsewhere.
    const QImage resaltado = Preview();
    PonCursor(*v.MemoPrograma, 0, 0);
    EXPECT_NE(Preview(), resaltado);

    // Before the "=" there is no field: -1, no marker.
    PonCursor(*v.MemoPrograma, 1, 3);
    EXPECT_EQ(v.StatusBarEdit->text(), "1: 3: -1");
    EXPECT_EQ(v.vista.seleccion.lineaResaltada, 1);
    EXPECT_EQ(v.vista.seleccion.puntoResaltado, -1);
}

TEST_F(EditorEdicion, AClickOnAControlPointMovesTheCaretToItsField) {
    TFormTestOpenGL& v = Abre();
    // The second point of the line lies at the origin, drawn at the preview's centre;
    // the first one 2 units (40 pixels) to the right.
    Escribe("; a line\nLINE=[2,0,0]:[0,0,0]\n");
    const QPoint centro(v.PaintBox3D->width() / 2, v.PaintBox3D->height() / 2);
    QTest::mouseClick(v.PaintBox3D, Qt::LeftButton, Qt::NoModifier, centro);
    EXPECT_EQ(v.MemoPrograma->textCursor().blockNumber(), 1);
    EXPECT_EQ(v.MemoPrograma->textCursor().positionInBlock(), 13); // after "LINE=[2,0,0]:"
    EXPECT_EQ(v.StatusBarEdit->text(), "1: 13: 1");
    EXPECT_EQ(v.vista.seleccion.lineaResaltada, 1);
    EXPECT_EQ(v.vista.seleccion.puntoResaltado, 1);

    QTest::mouseClick(v.PaintBox3D, Qt::LeftButton, Qt::NoModifier, centro + QPoint(40, 0));
    EXPECT_EQ(v.StatusBarEdit->text(), "1: 5: 0");

    // A click away from every point leaves the caret where it is.
    QTest::mouseClick(v.PaintBox3D, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(v.StatusBarEdit->text(), "1: 5: 0");
    // A press and a release elsewhere is a drag, not a pick.
    QTest::mousePress(v.PaintBox3D, Qt::LeftButton, Qt::NoModifier, centro + QPoint(0, 30));
    QTest::mouseRelease(v.PaintBox3D, Qt::LeftButton, Qt::NoModifier, centro);
    EXPECT_EQ(v.StatusBarEdit->text(), "1: 5: 0");
}

// Mended: the double click handed any file to the desktop, which may run it (a
// ".desktop" file is a program). Only an image the textures take goes now, one the
// loader refuses for its size included; anything else is named in the status bar. The
// desktop's own opener is called, with a stand-in for it first on PATH.
TEST_F(EditorEdicion, ADoubleClickOnATextureLineOpensTheImageAndNothingElse) {
    const QString abiertos = carpeta.filePath("opened.txt");
    QDir(carpeta.path()).mkdir("bin");
    const std::string abridor = "#!/bin/sh\necho \"$1\" >>'" + abiertos.toStdString() + "'\n";
    const QString xdgOpen = Fichero("bin/xdg-open", &abridor);
    QFile::setPermissions(xdgOpen, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(carpeta.filePath("bin")) + ":" + path);
    TImagen(32, 32, 24).GrabaBMP(Fichero("wood.bmp").toLocal8Bit().constData());
    TImagen(40, 40, 24).GrabaBMP(Fichero("big.bmp").toLocal8Bit().constData());
    const std::string entrada = "[Desktop Entry]\nType=Application\nExec=touch pwned\n";
    Fichero("evil.desktop", &entrada);
    Fichero("fake.png", &entrada);

    const std::string script = "; textured\nTEXTURET = \"wood.bmp\" \nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n";
    TFormTestOpenGL& v = Abre({Fichero("tex.3di", &script)});
    dialogos->escritorioReal = true;
    ASSERT_EQ(v.MemoPrograma->document()->blockCount(), 4);
    QTextCursor cursor(v.MemoPrograma->document()->findBlockByNumber(1));
    cursor.setPosition(cursor.position() + 3);
    const QPoint sobreLinea = v.MemoPrograma->cursorRect(cursor).center();
    const auto dobleClic = [&](const QString& linea) {
        if (!linea.isEmpty()) Escribe("; textured\n" + linea + "\n");
        v.statusBar()->clearMessage();
        QTest::mouseDClick(v.MemoPrograma->viewport(), Qt::LeftButton, Qt::NoModifier, sobreLinea);
        return v.statusBar()->currentMessage();
    };
    const auto texturet = [](const char* nombre) { return QString("TEXTURET=\"%1\"").arg(nombre); };
    dobleClic("");
    EXPECT_EQ(v.vista.seleccion.lineaResaltada, 1);
    // The command keeps its trailing blank ("TEXTURET ") and so is not TEXTURET: nothing.
    EXPECT_TRUE(dialogos->abiertos.isEmpty());

    EXPECT_EQ(dobleClic(texturet("evil.desktop")),
              "Not opened: " + carpeta.filePath("evil.desktop") + " is not an image file the textures take");
    EXPECT_EQ(dobleClic(texturet("fake.png")),
              "Not opened: " + carpeta.filePath("fake.png") + " does not begin as a PNG file does");
    EXPECT_TRUE(dialogos->abiertos.isEmpty());
    EXPECT_EQ(dobleClic(texturet("wood.bmp")), "");
    EXPECT_EQ(dobleClic(texturet("big.bmp")), "");
    // Mended: the name is the one the reader takes, in any case, after blanks and without
    // the alpha option and the comment that follow it ("big.bmp,1 ; blended" named no file).
    EXPECT_EQ(dobleClic("  texturet=big.bmp,1 ; blended"), "");
    // Each opener runs detached, so their lines may land in any order.
    const auto lineasOrdenadas = [](const QString& texto) {
        QStringList lineas = texto.split('\n', Qt::SkipEmptyParts);
        lineas.sort();
        return lineas;
    };
    const QString madera = QUrl::fromLocalFile(carpeta.filePath("wood.bmp")).toEncoded();
    const QString grande = QUrl::fromLocalFile(carpeta.filePath("big.bmp")).toEncoded();
    const QStringList esperados = lineasOrdenadas(madera + "\n" + grande + "\n" + grande + "\n");
    EXPECT_TRUE(Espera([&] {
        return lineasOrdenadas(QString::fromStdString(LeeFichero(abiertos))) == esperados;
    })) << LeeFichero(abiertos);
    qputenv("PATH", path);
}

TEST_F(EditorEdicion, TheScriptPaneIsColoured) {
    TFormTestOpenGL& v = Abre();
    Escribe("#define R=0.4\nquad=[0,0,0]:[R,0,0]:[R,R,0]:[0,1.5e2,0] ; corner\nPOP\nUNKNOWN=3\n");
    auto formatoEn = [&](int linea, int columna) {
        const QTextBlock bloque = v.MemoPrograma->document()->findBlockByNumber(linea);
        for (const auto& f : bloque.layout()->formats())
            if (columna >= f.start && columna < f.start + f.length) return f.format;
        return QTextCharFormat();
    };
    const TResaltador3Di& r = *v.resaltador;
    EXPECT_EQ(formatoEn(0, 3).foreground(), r.formatoDefine.foreground());
    EXPECT_EQ(formatoEn(1, 1).foreground(), r.formatoOrden.foreground());
    EXPECT_EQ(formatoEn(1, 6).foreground(), r.formatoNumero.foreground());
    EXPECT_EQ(formatoEn(1, 14).foreground(), QTextCharFormat().foreground()); // the macro R
    EXPECT_EQ(formatoEn(1, 33).foreground(), r.formatoNumero.foreground());   // 1.5e2
    EXPECT_EQ(formatoEn(1, 43).foreground(), r.formatoComentario.foreground());
    EXPECT_NE(formatoEn(3, 1).foreground(), r.formatoOrden.foreground());
    EXPECT_TRUE(EsOrden3Di("revolution"));
    EXPECT_FALSE(EsOrden3Di("QUADS"));
}
