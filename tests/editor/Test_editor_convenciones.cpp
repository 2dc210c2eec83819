// What people expect of a desktop editor, in the real window: the line-number gutter
// and the error pane agree, a click on an error and Go to Line move the caret, find and
// replace, recent files and the window's size outlive a restart, the title, the View
// menu, and the manual behind Help > Index and F1.
#include "Ventana_prueba.h"

#include "editor/Ayuda_editor.h"
#include "editor/Buscar_reemplazar.h"
#include "editor/Ficheros_recientes.h"
#include "render/Vista_previa.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include <cmath>

class EditorConvenciones : public VentanaPrueba {};

TEST_F(EditorConvenciones, TheGutterNumbersLinesAsTheErrorPaneAndErrorsLeadToTheirLine) {
    // CR, LF and CR LF line ends, a comment and a blank line before the bad command.
    const std::string texto =
        "; icon\r\rQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\nFOO=1\r\nLINE=[0,0,0]:[1,1,1]\n";
    TFormTestOpenGL& v = Abre({Fichero("lineas.3di", &texto)});
    ASSERT_TRUE(v.TextoPanelErrores().startsWith("3: Undefined command:FOO"))
        << v.TextoPanelErrores().toStdString();
    EXPECT_EQ(v.MemoPrograma->document()->findBlockByNumber(3).text(), "FOO=1");
    EXPECT_EQ(v.MemoPrograma->LineasError(), std::vector<int>{3});
    EXPECT_EQ(TMemoScript::NumeroLinea(3), "3");
    // The gutter marks the row of line 3, and no other.
    QWidget* margen = v.MemoPrograma->findChild<QWidget*>("MargenLineas");
    ASSERT_NE(margen, nullptr);
    EXPECT_GE(margen->width(), v.MemoPrograma->AnchoMargen());
    const QImage franja = margen->grab().toImage();
    const auto fila = [&](int linea) {
        const QTextBlock b = v.MemoPrograma->document()->findBlockByNumber(linea);
        return static_cast<int>(v.MemoPrograma->cursorRect(QTextCursor(b)).center().y());
    };
    const QRgb marca = TMemoScript::ColorLineaError().darker(115).rgb();
    EXPECT_EQ(franja.pixel(1, fila(3)), marca);
    EXPECT_NE(franja.pixel(1, fila(2)), marca);

    // A click on the message puts the caret on its line, which is then highlighted.
    const QRect mensaje = v.MemoErrores->cursorRect(QTextCursor(v.MemoErrores->document()->firstBlock()));
    QTest::mouseClick(v.MemoErrores->viewport(), Qt::LeftButton, {}, mensaje.center());
    EXPECT_EQ(v.MemoPrograma->textCursor().blockNumber(), 3);
    EXPECT_EQ(v.MemoPrograma->extraSelections().front().cursor.blockNumber(), 3);
    EXPECT_EQ(v.objeto.lineaResaltada, 3);

    // Go to Line, counted from 0 as well.
    dialogos->enteros.push_back(0);
    QTest::keyClick(&v, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(dialogos->peticionesEntero, QStringList{"Go to Line|Line:|3|0|5"});
    EXPECT_EQ(v.MemoPrograma->textCursor().blockNumber(), 0);
    QTest::keyClick(&v, Qt::Key_G, Qt::ControlModifier); // cancelled: the caret stays
    EXPECT_EQ(v.MemoPrograma->textCursor().blockNumber(), 0);
}

TEST_F(EditorConvenciones, FindAndReplace) {
    TFormTestOpenGL& v = Abre();
    Escribe("#define quad=1\nQUAD=a\nquadx=Quad\n");
    TBarraBuscar& b = *v.BarraBuscar;
    v.MemoPrograma->moveCursor(QTextCursor::Start);
    QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(b.isVisible());
    EXPECT_FALSE(b.textoReemplazo->isVisible());
    b.textoBuscar->setText("quad");
    // F3 walks the matches and goes round the end; Shift+F3 walks back.
    const auto posiciones = [&](int veces, Qt::KeyboardModifiers teclas) {
        QList<int> p;
        for (int i = 0; i < veces; ++i) {
            QTest::keyClick(&v, Qt::Key_F3, teclas);
            p << v.MemoPrograma->textCursor().selectionStart();
        }
        return p;
    };
    EXPECT_EQ(posiciones(5, {}), (QList<int>{8, 15, 22, 28, 8}));
    EXPECT_EQ(posiciones(2, Qt::ShiftModifier), (QList<int>{28, 22}));
    b.mayusculas->setChecked(true);
    EXPECT_EQ(posiciones(3, {}), (QList<int>{8, 22, 8}));
    b.palabraEntera->setChecked(true);
    EXPECT_EQ(posiciones(2, {}), (QList<int>{8, 8}));
    b.textoBuscar->setText("nothing");
    EXPECT_FALSE(b.BuscaSiguiente());
    EXPECT_EQ(b.aviso->text(), "Not found");

    // Replace: the match under the caret, then all of them as one step of undo.
    QTest::keyClick(&v, Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(b.textoReemplazo->isVisible());
    b.mayusculas->setChecked(false);
    b.palabraEntera->setChecked(false);
    b.textoBuscar->setText("quad");
    b.textoReemplazo->setText("CONE");
    v.MemoPrograma->moveCursor(QTextCursor::Start);
    EXPECT_FALSE(b.Reemplaza()); // nothing selected yet: finds the first match
    EXPECT_TRUE(b.Reemplaza());
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "#define CONE=1\nQUAD=a\nquadx=Quad\n");
    EXPECT_EQ(b.ReemplazaTodo(), 3);
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "#define CONE=1\nCONE=a\nCONEx=CONE\n");
    v.MemoPrograma->undo();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "#define CONE=1\nQUAD=a\nquadx=Quad\n");
    EXPECT_TRUE(v.modificado);
    QTest::keyClick(b.textoBuscar, Qt::Key_Escape);
    EXPECT_FALSE(b.isVisible());
}

TEST_F(EditorConvenciones, RecentFilesAndTheWindowOutliveARestart) {
    const std::string quad = "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n";
    QStringList ficheros;
    for (int i = 0; i < 10; ++i)
        ficheros << Fichero(QString("f%1.3di").arg(i).toLocal8Bit().constData(), &quad);
    TFormTestOpenGL& v = Abre();
    // At least 1000 x 700 on this 1280 x 800 screen; the preview takes the larger share.
    EXPECT_GE(v.width(), 1000);
    EXPECT_GE(v.height(), 700);
    EXPECT_GT(v.PaintBox3D->width(), v.Splitter2->width());
    for (const QString& f : ficheros)
        AbreDesdeMenu(f);
    EXPECT_EQ(v.windowTitle(), "f9.3di[*] - Pictomolder");
    EXPECT_FALSE(v.isWindowModified());
    Escribe(QString::fromStdString(quad) + "LINE=[0,0,0]:[1,0,0]\n");
    EXPECT_TRUE(v.isWindowModified());
    v.modificado = false;
    const QStringList ultimos{ficheros[9], ficheros[8], ficheros[7], ficheros[6],
                              ficheros[5], ficheros[4], ficheros[3], ficheros[2]};
    EXPECT_EQ(v.recientes->Lista(), ultimos);
    v.resize(1050, 720);
    v.Splitter1->setSizes({500, 547});
    v.close();
    Cierra();

    TFormTestOpenGL& w = Abre();
    EXPECT_EQ(w.recientes->Lista(), ultimos);
    const QList<QAction*> acciones = w.recientes->menu->actions();
    ASSERT_GE(acciones.size(), 8);
    EXPECT_EQ(acciones[0]->text(), "&1 f9.3di");
    EXPECT_EQ(w.size(), QSize(1050, 720));
    EXPECT_EQ(w.PaintBox3D->width(), 500);
    // A recent file opens as Open... does, and comes to the top.
    acciones[3]->trigger();
    EXPECT_EQ(w.nombreFichero, DString(ficheros[6].toLocal8Bit().constData()));
    EXPECT_EQ(w.recientes->Lista().front(), ficheros[6]);
    // One that is gone is reported and taken off the list.
    QFile::remove(ficheros[5]);
    w.recientes->menu->actions()[4]->trigger();
    EXPECT_EQ(dialogos->mensajes.size(), 1);
    EXPECT_FALSE(w.recientes->Lista().contains(ficheros[5]));
}

TEST_F(EditorConvenciones, TheViewMenuSetsTheViewFields) {
    TFormTestOpenGL& v = Abre();
    Escribe("CUBE=[30,0,10]:0.5:0\n");
    EXPECT_TRUE(v.MenuView->menuAction()->isVisible());
    ASSERT_EQ(v.menuVista.orientaciones.size(), orientacionesVista.size());
    for (size_t i = 0; i < orientacionesVista.size(); ++i) {
        v.vista.escala = 7.0;
        QTest::keyClick(&v, static_cast<Qt::Key>(Qt::Key_1 + i), Qt::ControlModifier);
        EXPECT_EQ(v.menuVista.orientaciones[i]->text(), orientacionesVista[i].titulo);
        EXPECT_EQ(v.vista.anguloX, orientacionesVista[i].anguloX) << i;
        EXPECT_EQ(v.vista.anguloY, orientacionesVista[i].anguloY) << i;
        EXPECT_EQ(v.vista.escala, 7.0); // the zoom stays
    }
    // Fit to View brings the small cube, far off the middle, to the middle.
    EXPECT_TRUE(EsAzul(ColorEn(Preview(), v.PaintBox3D->width() / 2, v.PaintBox3D->height() / 2)));
    QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EsperaCuadro();
    const QImage encuadrada = Preview();
    EXPECT_FALSE(EsAzul(ColorEn(encuadrada, encuadrada.width() / 2, encuadrada.height() / 2)));
    EXPECT_GT(v.vista.escala, 100.0);
    // Reset View: every field as the window started.
    v.vista.distancia = 3.0;
    QTest::keyClick(&v, Qt::Key_0, Qt::ControlModifier);
    EXPECT_NEAR(v.vista.anguloX, -std::acos(-1.0) / 4, 1e-12);
    EXPECT_EQ(v.vista.escala, 20.0);
    EXPECT_EQ(v.vista.desplazamiento.x, 0.0);
    EXPECT_EQ(v.vista.distancia, 10.0);
}

TEST_F(EditorConvenciones, TheManualIsFoundBesideTheProgramAndF1OpensTheEntry) {
    TFormTestOpenGL& v = Abre();
    v.ayuda->carpetaPrograma = PM_PROGRAM_DIR;
    const QString pdf = QString(PM_PROGRAM_DIR) + "/" + ficheroAyuda;
    ASSERT_TRUE(QFileInfo::exists(pdf));
    dialogos->escritorioResponde = true;
    v.IndexClick();
    EXPECT_EQ(dialogos->abiertos, QStringList{"open|" + pdf});
    EXPECT_TRUE(dialogos->mensajes.isEmpty());

    // F1 on a command word opens its entry; on a line's fields, the line's command.
    Escribe("COLOR=(1,2,3)\nCONE=[0,0,0]:[0,0,1]:1:0\n; nothing\n");
    const auto entrada = [&](int linea, int columna) {
        QTextCursor c(v.MemoPrograma->document()->findBlockByNumber(linea));
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, columna);
        v.MemoPrograma->setTextCursor(c);
        QTest::keyClick(&v, Qt::Key_F1);
        return v.ayuda->texto->textCursor().block().text();
    };
    EXPECT_EQ(entrada(1, 2), "CONE");
    ASSERT_NE(v.ayuda->ventana, nullptr);
    EXPECT_TRUE(v.ayuda->ventana->isVisible());
    EXPECT_EQ(entrada(0, 10), "COLOR");
    EXPECT_EQ(entrada(2, 3), "Pictomolder manual"); // no command: the top

    // Without the manual the window says where it looked.
    TAyudaEditor sinManual;
    sinManual.carpetaPrograma = carpeta.path();
    EXPECT_FALSE(sinManual.MuestraReferencia("CONE"));
    EXPECT_TRUE(sinManual.texto->toPlainText().startsWith("The manual was not found"));
}
