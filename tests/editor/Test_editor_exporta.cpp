// File > Export Icon...: the dialog in the real window and the files it saves.
#include "Ventana_prueba.h"

#include "editor/Dialogo_exporta_icono.h"
#include "image/Lector_icns.h"
#include "image/Lector_ico.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

const QString esfera = "COLOR=(250,220,40)\nSPHERE=[0,0,0]:2\n";
const std::vector<int> elegidos = {16, 32, 48};

bool Elegido(int lado) {
    return std::find(elegidos.begin(), elegidos.end(), lado) != elegidos.end();
}

TDialogoExportaIcono& AbreDialogo(TFormTestOpenGL& v) {
    QTest::keyClick(&v, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(Espera([&] { return v.dialogoIcono && v.dialogoIcono->isVisible(); }));
    return *v.dialogoIcono;
}

QImage Vista(const TDialogoExportaIcono& d, size_t i) {
    return d.vistas[i]->pixmap().toImage();
}

} // namespace

class EditorExporta : public VentanaPrueba {};

TEST_F(EditorExporta, TheDialogShowsAndSavesTheChosenSizes) {
    TFormTestOpenGL& v = Abre();
    Escribe(esfera);
    TDialogoExportaIcono& d = AbreDialogo(v);
    for (size_t i = 0; i < ladosIcono.size(); ++i)
        d.casillas[i]->setChecked(Elegido(ladosIcono[i]));
    ASSERT_EQ(d.imagenes.size(), elegidos.size());
    // The chosen sizes side by side, opaque in the middle, the checkerboard at the corners.
    for (size_t i = 0; i < ladosIcono.size(); ++i) {
        const int lado = ladosIcono[i];
        const QImage imagen = Vista(d, i);
        ASSERT_EQ(!imagen.isNull(), Elegido(lado)) << lado;
        if (imagen.isNull()) continue;
        EXPECT_EQ(imagen.size(), QSize(lado, lado));
        EXPECT_EQ(imagen.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_GT(qRed(imagen.pixel(lado / 2, lado / 2)), 150);
        EXPECT_LT(qBlue(imagen.pixel(lado / 2, lado / 2)), 80);
    }

    // Saved as an icon file with exactly those sizes.
    const QString ico = Fichero("esfera.ico");
    dialogos->ficherosGrabar.push_back(ico);
    d.botonICO->click();
    std::vector<TImagenDirectorio> lista;
    ASSERT_TRUE(ListaICO(ico.toLocal8Bit().constData(), lista));
    ASSERT_EQ(lista.size(), elegidos.size());
    for (size_t i = 0; i < lista.size(); ++i)
        EXPECT_EQ(lista[i].ancho, elegidos[i]);
    // As a PNG file of the largest chosen size.
    const QString png = Fichero("esfera.png");
    dialogos->ficherosGrabar.push_back(png);
    d.botonPNG->click();
    EXPECT_EQ(QImage(png).size(), QSize(48, 48));
    // And as a theme folder, chosen from where a user's own icons go.
    QDir(carpeta.path()).mkpath("data/icons/hicolor");
    qputenv("XDG_DATA_HOME", QFile::encodeName(Fichero("data")));
    dialogos->carpetas.push_back(Fichero("tema"));
    d.nombreTema->setText("bola");
    d.botonTema->click();
    EXPECT_EQ(dialogos->peticionesCarpeta, QStringList{Fichero("data/icons/hicolor")});
    for (int lado : elegidos)
        EXPECT_TRUE(QFileInfo::exists(Fichero("tema") + QString("/%1x%1/apps/bola.png").arg(lado)));
    // A macOS icon file: every type whose picture has a chosen side (16 at twice the density is 32).
    const QString icns = Fichero("esfera.icns");
    dialogos->ficherosGrabar.push_back(icns);
    d.botonICNS->click();
    std::vector<TEntradaICNS> entradas;
    ASSERT_TRUE(ListaFicheroICNS(icns.toLocal8Bit().constData(), entradas));
    std::string tipos;
    for (const auto& e : entradas)
        tipos += e.tipo + " ";
    EXPECT_EQ(tipos, "icp4 icp5 ic11 ");
    // A preset stands for the chosen sizes: the hicolor theme's, with its @2 folders.
    d.preset->setCurrentText("Preset hicolor");
    EXPECT_FALSE(d.casillas[0]->isEnabled());
    dialogos->carpetas.push_back(Fichero("hicolor"));
    d.botonTema->click();
    for (int lado : {22, 512})
        EXPECT_EQ(QImage(Fichero("hicolor") + QString("/%1x%1@2/apps/bola.png").arg(lado)).width(), 2 * lado);
    d.preset->setCurrentIndex(0);
    EXPECT_TRUE(dialogos->mensajes.isEmpty()) << dialogos->mensajes.join("\n").toStdString();
    // The export's own context left the preview's working.
    EsperaCuadro();
    const QImage preview = Preview();
    EXPECT_GT(qRed(preview.pixel(preview.width() / 2, preview.height() / 2)), 150);

    // The pictures follow the script: now a blue sphere.
    Escribe("COLOR=(40,40,250)\nSPHERE=[0,0,0]:2\n");
    EXPECT_TRUE(Espera([&] { return qBlue(Vista(d, 2).pixel(16, 16)) > 150; }));

    // The chosen sizes are there again after a restart.
    Cierra();
    TFormTestOpenGL& w = Abre();
    TDialogoExportaIcono& e = AbreDialogo(w);
    for (size_t i = 0; i < ladosIcono.size(); ++i)
        EXPECT_EQ(e.casillas[i]->isChecked(), Elegido(ladosIcono[i])) << ladosIcono[i];
}
