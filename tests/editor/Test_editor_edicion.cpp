// The edit loop of the real window: typing re-parses into the error pane and the
// preview, the caret picks the highlighted element, a click on a control point brings
// the caret to its field, and a double click on a TEXTURET line opens the texture.
#include "Ventana_prueba.h"

#include "editor/Memo_script.h"
#include "editor/Resaltador_3di.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QTextBlock>

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
    const QImage vacia = Preview();
    EXPECT_TRUE(EsAzul(ColorEn(vacia, vacia.width() / 2, vacia.height() / 2)));

    // Typed key by key, as a person would, faster than frames come: the first key is
    // read and drawn at once, the others are all handled before the script is read again,
    // once, for the latest text.
    v.MemoPrograma->setFocus();
    const uint64_t revision = v.objeto.Revision();
    QTest::keyClicks(v.MemoPrograma, cuadrado);
    EXPECT_TRUE(v.modificado);
    EXPECT_TRUE(v.isWindowModified());
    EXPECT_TRUE(v.lecturaPendiente);
    EsperaCuadro();
    EXPECT_EQ(v.TextoPanelErrores(), "ok");
    EXPECT_EQ(v.objeto.Count(), 1);
    EXPECT_EQ(v.objeto.Revision(), revision + 1);
    const QImage llena = Preview();
    const uint32_t centro = ColorEn(llena, llena.width() / 2, llena.height() / 2);
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
    // The quad before the bad line is still drawn.
    const QImage conError = Preview();
    EXPECT_FALSE(EsAzul(ColorEn(conError, conError.width() / 2, conError.height() / 2)));

    Escribe("PUSHTRANS=[0,0,1]\n" + QString(cuadrado) + "\n");
    EXPECT_EQ(v.TextoPanelErrores(), "POPs needed!");
    EXPECT_TRUE(v.MemoPrograma->LineasError().empty());

    Escribe("");
    EXPECT_EQ(v.TextoPanelErrores(), "ok");
    const QImage otraVez = Preview();
    EXPECT_TRUE(EsAzul(ColorEn(otraVez, otraVez.width() / 2, otraVez.height() / 2)));
}

// A key's frame is drawn ahead of the paint; a view changed before the paint is not
// shown stale.
TEST_F(EditorEdicion, AFrameDrawnAheadOfAChangedViewIsDrawnAgain) {
    TFormTestOpenGL& v = Abre();
    Escribe(QString(cuadrado) + "\n");
    const auto enMedio = [&] {
        const QImage& imagen = v.PaintBox3D->UltimoCuadro();
        return ColorEn(imagen, imagen.width() / 2, imagen.height() / 2);
    };
    EXPECT_FALSE(EsAzul(enMedio()));
    const long antes = v.PaintBox3D->Cuadros();
    QTextCursor cursor = v.MemoPrograma->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(";"); // a comment: the scene stays
    v.vista.desplazamiento = vector3D(1.5, 1.5, 0.0); // the quad goes to a corner
    ASSERT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));
    EXPECT_TRUE(EsAzul(enMedio()));
}

TEST_F(EditorEdicion, TheCaretPicksTheHighlightedElementAndField) {
    TFormTestOpenGL& v = Abre();
    Escribe("; two elements\nLINE=[0,0,0]:[1,1,0]\n" + QString(cuadrado) + "\n");

    long antes = v.PaintBox3D->Cuadros();
    PonCursor(*v.MemoPrograma, 2, 24); // after "QUAD=[-2,-2,0]:[2,-2,0]:"
    EXPECT_EQ(v.StatusBarEdit->text(), "2: 24: 2");
    EXPECT_EQ(v.objeto.lineaResaltada, 2);
    EXPECT_EQ(v.objeto.puntoResaltado, 2);
    EXPECT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));

    // Same line, other field: repainted too.
    antes = v.PaintBox3D->Cuadros();
    PonCursor(*v.MemoPrograma, 2, 5);
    EXPECT_EQ(v.StatusBarEdit->text(), "2: 5: 0");
    EXPECT_EQ(v.objeto.puntoResaltado, 0);
    EXPECT_TRUE(Espera([&] { return v.PaintBox3D->Cuadros() > antes; }));

    // The highlighted quad is drawn differently from the quad under a caret elsewhere.
    const QImage resaltado = Preview();
    PonCursor(*v.MemoPrograma, 0, 0);
    EXPECT_NE(Preview(), resaltado);

    // Before the "=" there is no field: -1, no marker.
    PonCursor(*v.MemoPrograma, 1, 3);
    EXPECT_EQ(v.StatusBarEdit->text(), "1: 3: -1");
    EXPECT_EQ(v.objeto.lineaResaltada, 1);
    EXPECT_EQ(v.objeto.puntoResaltado, -1);

    // The arrow keys move the caret and the status follows at once.
    v.MemoPrograma->setFocus();
    QTest::keyClick(v.MemoPrograma, Qt::Key_Down);
    EXPECT_EQ(v.StatusBarEdit->text(), "2: 3: -1");
    QTest::keyClick(v.MemoPrograma, Qt::Key_End);
    EXPECT_EQ(v.objeto.lineaResaltada, 2);
    EXPECT_EQ(v.objeto.puntoResaltado, 3);
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
    EXPECT_EQ(v.objeto.lineaResaltada, 1);
    EXPECT_EQ(v.objeto.puntoResaltado, 1);

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

TEST_F(EditorEdicion, ADoubleClickOnATextureLineOpensTheImage) {
    const std::string script = "; textured\nTEXTURET = \"wood.bmp\" \nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n";
    const QString nombre = Fichero("tex.3di", &script);
    TFormTestOpenGL& v = Abre({nombre});
    ASSERT_EQ(v.MemoPrograma->document()->blockCount(), 4);
    QTextCursor cursor(v.MemoPrograma->document()->findBlockByNumber(1));
    cursor.setPosition(cursor.position() + 3);
    const QPoint sobreLinea = v.MemoPrograma->cursorRect(cursor).center();
    QTest::mouseDClick(v.MemoPrograma->viewport(), Qt::LeftButton, Qt::NoModifier, sobreLinea);
    EXPECT_EQ(v.objeto.lineaResaltada, 1);
    // The command keeps its trailing blank ("TEXTURET ") and so is not TEXTURET: nothing.
    EXPECT_TRUE(dialogos->abiertos.isEmpty());

    Escribe("; textured\nTEXTURET=\"wood.bmp\"\n");
    QTest::mouseDClick(v.MemoPrograma->viewport(), Qt::LeftButton, Qt::NoModifier, sobreLinea);
    ASSERT_EQ(dialogos->abiertos.size(), 1);
    EXPECT_EQ(dialogos->abiertos[0], "edit|" + carpeta.filePath("wood.bmp"));

    // A double click on another line opens nothing.
    cursor = QTextCursor(v.MemoPrograma->document()->findBlockByNumber(0));
    QTest::mouseDClick(v.MemoPrograma->viewport(), Qt::LeftButton, Qt::NoModifier,
                       v.MemoPrograma->cursorRect(cursor).center());
    EXPECT_EQ(dialogos->abiertos.size(), 1);
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
    EXPECT_EQ(formatoEn(2, 1).foreground(), r.formatoOrden.foreground());
    EXPECT_NE(formatoEn(3, 1).foreground(), r.formatoOrden.foreground());
    EXPECT_TRUE(EsOrden3Di("revolution"));
    EXPECT_FALSE(EsOrden3Di("QUADS"));
}

TEST_F(EditorEdicion, ClipboardAndUndo) {
    TFormTestOpenGL& v = Abre();
    Escribe(cuadrado);
    v.MemoPrograma->selectAll();
    v.Cut1Click();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "");
    EsperaCuadro();
    EXPECT_EQ(v.objeto.Count(), 0);
    v.Paste1Click();
    v.Paste1Click();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), QString(cuadrado) + cuadrado);
    v.MemoPrograma->setFocus();
    QTest::keySequence(v.MemoPrograma, QKeySequence::Undo);
    EXPECT_EQ(v.MemoPrograma->toPlainText(), QString(cuadrado));
    EsperaCuadro();
    EXPECT_EQ(v.objeto.Count(), 1);
    v.MemoPrograma->selectAll();
    v.Copy1Click();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), QString(cuadrado));
}
