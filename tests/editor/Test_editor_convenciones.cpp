// Desktop-editor conventions in the real window: gutter, find, recent files, views, manual.
#include "Ventana_prueba.h"

#include "editor/Ayuda_editor.h"
#include "editor/Buscar_reemplazar.h"
#include "editor/Ficheros_recientes.h"
#include "render/Camara.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

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
    // The gutter marks the row of line 3, and no other.
    QWidget* margen = v.MemoPrograma->findChild<QWidget*>("MargenLineas");
    ASSERT_NE(margen, nullptr);
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
    EXPECT_EQ(v.vista.seleccion.lineaResaltada, 3);

    // Go to Line, counted from 0 as well.
    dialogos->enteros.push_back(0);
    QTest::keyClick(&v, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(dialogos->peticionesEntero, QStringList{"Go to Line|Line:|3|0|5"});
    EXPECT_EQ(v.MemoPrograma->textCursor().blockNumber(), 0);
}

TEST_F(EditorConvenciones, FindAndReplace) {
    TFormTestOpenGL& v = Abre();
    Escribe("#define quad=1\nQUAD=a\nquadx=Quad\n");
    TBarraBuscar& b = *v.BarraBuscar;
    v.MemoPrograma->moveCursor(QTextCursor::Start);
    QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
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
    EXPECT_EQ(b.ReemplazaTodo(), 3);
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "#define CONE=1\nCONE=a\nCONEx=CONE\n");
    v.MemoPrograma->undo();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "#define CONE=1\nQUAD=a\nquadx=Quad\n");
}

TEST_F(EditorConvenciones, RecentFilesAndTheWindowOutliveARestart) {
    const std::string quad = "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n";
    QStringList ficheros;
    for (int i = 0; i < 10; ++i)
        ficheros << Fichero(QString("f%1.3di").arg(i).toLocal8Bit().constData(), &quad);
    TFormTestOpenGL& v = Abre();
    EXPECT_GT(v.PaintBox3D->width(), v.Splitter2->width()); // the preview takes the larger share
    for (const QString& f : ficheros)
        AbreDesdeMenu(f);
    QByteArrayList ultimos;
    for (auto f = ficheros.rbegin(); f != ficheros.rbegin() + 8; ++f)
        ultimos << QFile::encodeName(*f);
    EXPECT_EQ(v.recientes->Lista(), ultimos);
    v.resize(1050, 720);
    v.Splitter1->setSizes({500, 547});
    v.close();
    Cierra();

    TFormTestOpenGL& w = Abre();
    EXPECT_EQ(w.recientes->Lista(), ultimos);
    const QList<QAction*> acciones = w.recientes->menu->actions();
    EXPECT_EQ(acciones.value(0)->text(), "&1 f9.3di");
    EXPECT_EQ(w.size(), QSize(1050, 720));
    EXPECT_EQ(w.PaintBox3D->width(), 500);
    // A recent file opens as Open... does, and comes to the top.
    acciones[3]->trigger();
    EXPECT_EQ(w.nombreFichero, DString(ficheros[6].toLocal8Bit().constData()));
    EXPECT_EQ(w.recientes->Lista().front(), QFile::encodeName(ficheros[6]));
    // One that is gone is reported and taken off the list.
    QFile::remove(ficheros[5]);
    w.recientes->menu->actions()[4]->trigger();
    EXPECT_EQ(dialogos->mensajes.size(), 1);
    EXPECT_FALSE(w.recientes->Lista().contains(QFile::encodeName(ficheros[5])));
}

TEST_F(EditorConvenciones, TheViewMenuSetsTheViewFields) {
    TFormTestOpenGL& v = Abre();
    const TCamara inicial = v.vista.camara;
    Escribe("CUBE=[30,0,10]:0.5:0\n");
    for (size_t i = 0; i < orientacionesVista.size(); ++i) {
        QTest::keyClick(&v, static_cast<Qt::Key>(Qt::Key_1 + i), Qt::ControlModifier);
        EXPECT_EQ(v.vista.camara.anguloX, orientacionesVista[i].anguloX) << i;
        EXPECT_EQ(v.vista.camara.anguloY, orientacionesVista[i].anguloY) << i;
    }
    // Fit to View brings the small cube, far off the middle, to the middle.
    EXPECT_TRUE(EsAzul(ColorEn(Preview(), v.PaintBox3D->width() / 2, v.PaintBox3D->height() / 2)));
    QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EsperaCuadro();
    EXPECT_FALSE(EsAzul(EnMedio(Preview())));
    EXPECT_GT(v.vista.camara.escala, 100.0);
    // Reset View: every field as the window started.
    v.vista.camara.distancia = 3.0;
    QTest::keyClick(&v, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(v.vista.camara.anguloX, inicial.anguloX);
    EXPECT_EQ(v.vista.camara.escala, inicial.escala);
    EXPECT_EQ(v.vista.camara.desplazamiento.x, 0.0);
    EXPECT_EQ(v.vista.camara.distancia, inicial.distancia);
}

TEST_F(EditorConvenciones, TheManualIsFoundBesideTheProgramAndF1OpensTheEntry) {
    TFormTestOpenGL& v = Abre();
    // Without the PDF the window says which file it wanted.
    v.ayuda->carpetaPrograma = carpeta.path();
    v.AboutPictomolder1Click();
    v.IndexClick();
    EXPECT_EQ(dialogos->mensajes, (QStringList{"Pictomolder|Selvaron Pictomolder\r\n\r\nversion 1.05",
                                               "File not found|HELP Pictomolder 1.pdf"}));
    dialogos->mensajes.clear();
    dialogos->abiertos.clear();
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
    EXPECT_EQ(entrada(0, 10), "COLOR");
    EXPECT_EQ(entrada(2, 3), "Pictomolder manual"); // no command: the top

    // Mended: with the PDF there but no program on PATH to show it, the window said it
    // was not found. It says what is missing and shows the manual itself.
    dialogos->mensajes.clear();
    dialogos->escritorioReal = true;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(carpeta.path()));
    v.ayuda->ventana->hide();
    v.IndexClick();
    qputenv("PATH", path);
    EXPECT_EQ(dialogos->mensajes, QStringList{"Pictomolder|No program to show HELP Pictomolder 1.pdf"});
    EXPECT_TRUE(v.ayuda->ventana->isVisible());

    // Without the manual the window says where it looked.
    TAyudaEditor sinManual;
    sinManual.carpetaPrograma = carpeta.path();
    EXPECT_FALSE(sinManual.MuestraReferencia("CONE"));
    EXPECT_TRUE(sinManual.texto->toPlainText().startsWith("The manual was not found"));
}

// The habits of desktop programs: access keys, a find field with room, a divider that
// shares the width as the user set it, both file kinds in the first filter of Open.
TEST_F(EditorConvenciones, AccessKeysFindFieldDividerAndOpenFilter) {
    TFormTestOpenGL& v = Abre();
    v.MemoPrograma->setFocus();
    QTest::keyClick(v.MemoPrograma, Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr); // not an "f" in the script
    EXPECT_EQ(menu->title(), "&File");
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "");
    QTest::keyClick(menu, Qt::Key_Escape);
    QTest::keyClick(v.menuBar(), Qt::Key_Escape);
    for (QAction* a : v.menuBar()->actions()) {
        if (a->isVisible()) {
            EXPECT_TRUE(a->text().contains('&')) << a->text().toStdString();
        }
    }

    // The find field has room for 20 characters and more in the narrow pane, and grows.
    QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
    QLineEdit* campo = v.BarraBuscar->textoBuscar;
    EXPECT_GE(campo->width(), campo->fontMetrics().horizontalAdvance(QString(20, 'M')) * 3 / 4);
    const int antes = campo->width();

    // A wider window widens the script as well as the preview, in the same shares.
    const auto parte = [&] {
        return double(v.PaintBox3D->width()) / (v.PaintBox3D->width() + v.Splitter2->width());
    };
    const int anchoScript = v.Splitter2->width();
    const double inicial = parte();
    v.resize(v.width() + 240, v.height());
    EXPECT_TRUE(Espera([&] { return v.Splitter2->width() > anchoScript + 60; }));
    EXPECT_NEAR(parte(), inicial, 0.01);
    EXPECT_GT(campo->width(), antes);
    // The divider moved by hand keeps its share when the window changes.
    QWidget* asa = v.Splitter1->handle(1);
    const QPoint centro = asa->rect().center();
    QTest::mousePress(asa, Qt::LeftButton, {}, centro);
    QTest::mouseMove(asa, centro - QPoint(150, 0));
    QTest::mouseRelease(asa, Qt::LeftButton, {}, centro - QPoint(150, 0));
    const double elegida = parte();
    EXPECT_LT(elegida, inicial - 0.05);
    v.resize(v.width() - 300, v.height());
    EXPECT_TRUE(Espera([&] { return std::abs(parte() - elegida) < 0.01; })) << parte() << " " << elegida;

    v.AbrirOtroClick();
    EXPECT_EQ(dialogos->filtrosAbrir,
              QStringList{"3D Icons and 3DS Files (*.3di *.3ds);;Iconos 3D (*.3di);;3DS Files (*.3DS)"});
}
