#include "editor/Dialogo_exporta_icono.h"

#include "editor/Ajustes_editor.h"
#include "editor/Dialogos_editor.h"
#include "editor/Fuente_icono.h"
#include "image/Graba_icono.h"
#include "support/Var_config.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QOpenGLContext>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* seccionIcono = "Export Icon";
constexpr const char* tituloDialogo = "Export Icon";
constexpr const char* eligeUnLado = "Choose at least one size.";

// The pictures are drawn again this long after the last change, not at every keystroke.
constexpr int esperaRefresco = 150;
constexpr int ladoCuadro = 4; // the checkerboard's squares

// The picture over a checkerboard, where clear parts show as such.
QPixmap SobreTablero(const TDibIG& imagen) {
    const int ancho = imagen.Ancho(), alto = imagen.AltoAbsoluto();
    QImage icono(ancho, alto, QImage::Format_ARGB32);
    for (int y = 0; y < alto; ++y) {
        const int fila = imagen.Alto() < 0 ? y : alto - 1 - y;
        std::copy_n(imagen.Bits() + static_cast<size_t>(fila) * imagen.BytesFila(), 4 * ancho,
                    icono.scanLine(y));
    }
    QPixmap tablero(ancho, alto);
    QPainter p(&tablero);
    for (int y = 0; y < alto; y += ladoCuadro)
        for (int x = 0; x < ancho; x += ladoCuadro)
            p.fillRect(x, y, ladoCuadro, ladoCuadro,
                       (x / ladoCuadro + y / ladoCuadro) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
    p.drawImage(0, 0, icono);
    return tablero;
}

QString TextoColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}

} // namespace

TDialogoExportaIcono::TDialogoExportaIcono(TFuenteIcono& fuente, TDialogosEditor& dialogos, QWidget* padre)
    : QDialog(padre), fuente(fuente), dialogos(dialogos) {
    setWindowTitle(tituloDialogo);
    setObjectName("DialogoExportaIcono");
    auto* columna = new QVBoxLayout(this);

    // The pictures side by side, each above the check box of its size.
    auto* fila = new QHBoxLayout;
    for (size_t i = 0; i < ladosIcono.size(); ++i) {
        const int lado = ladosIcono[i];
        auto* celda = new QVBoxLayout;
        vistas[i] = new QLabel;
        vistas[i]->setFixedSize(lado, lado);
        vistas[i]->setAlignment(Qt::AlignCenter);
        casillas[i] = new QCheckBox(QString("%1 x %1").arg(lado));
        celda->addStretch();
        celda->addWidget(vistas[i], 0, Qt::AlignHCenter);
        celda->addWidget(casillas[i], 0, Qt::AlignHCenter);
        fila->addLayout(celda);
        connect(casillas[i], &QCheckBox::toggled, this, &TDialogoExportaIcono::CambiaEleccion);
    }
    columna->addLayout(fila);

    auto* fondo = new QHBoxLayout;
    transparente = new QRadioButton("Transparent background");
    conColor = new QRadioButton("Background colour:");
    botonColor = new QPushButton;
    fondo->addWidget(transparente);
    fondo->addWidget(conColor);
    fondo->addWidget(botonColor);
    fondo->addStretch();
    fondo->addWidget(new QLabel("Name in an icon theme:"));
    nombreTema = new QLineEdit;
    fondo->addWidget(nombreTema);
    columna->addLayout(fondo);
    auto* tamanos = new QHBoxLayout;
    tamanos->addWidget(new QLabel("Sizes:"));
    preset = new QComboBox;
    preset->addItem("The chosen sizes");
    for (const TPresetIcono& p : PresetsIcono())
        preset->addItem(QString("Preset %1").arg(p.nombre));
    tamanos->addWidget(preset);
    dobles = new QCheckBox("@2 folders in a theme (HiDPI)");
    tamanos->addWidget(dobles);
    tamanos->addStretch();
    columna->addLayout(tamanos);
    connect(preset, &QComboBox::currentIndexChanged, this, &TDialogoExportaIcono::CambiaEleccion);
    connect(dobles, &QCheckBox::toggled, this, &TDialogoExportaIcono::GuardaAjustes);
    connect(transparente, &QRadioButton::toggled, this, &TDialogoExportaIcono::CambiaEleccion);
    connect(botonColor, &QPushButton::clicked, this, &TDialogoExportaIcono::EligeColor);

    estado = new QLabel;
    columna->addWidget(estado);
    auto* botones = new QHBoxLayout;
    botonICO = new QPushButton("Save ICO...");
    botonPNG = new QPushButton("Save PNG...");
    botonICNS = new QPushButton("Save ICNS...");
    botonTema = new QPushButton("Save Icon Theme...");
    auto* cerrar = new QPushButton("Close");
    botones->addWidget(botonICO);
    botones->addWidget(botonPNG);
    botones->addWidget(botonICNS);
    botones->addWidget(botonTema);
    botones->addStretch();
    botones->addWidget(cerrar);
    columna->addLayout(botones);
    connect(botonICO, &QPushButton::clicked, this, &TDialogoExportaIcono::GuardaICO);
    connect(botonPNG, &QPushButton::clicked, this, &TDialogoExportaIcono::GuardaPNG);
    connect(botonICNS, &QPushButton::clicked, this, &TDialogoExportaIcono::GuardaICNS);
    connect(botonTema, &QPushButton::clicked, this, &TDialogoExportaIcono::GuardaTema);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::close);

    LeeAjustes();
    nombreTema->setText(NombreBase());
    temporizador = new QTimer(this);
    temporizador->setSingleShot(true);
    temporizador->setInterval(esperaRefresco);
    connect(temporizador, &QTimer::timeout, this, &TDialogoExportaIcono::Refresca);
    fuente.AvisaCambios([this] {
        if (isVisible()) temporizador->start();
    });
}

void TDialogoExportaIcono::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    Refresca();
}

TOpcionesIcono TDialogoExportaIcono::Opciones() const {
    TOpcionesIcono o;
    o.lados.clear();
    for (size_t i = 0; i < ladosIcono.size(); ++i)
        if (casillas[i]->isChecked()) o.lados.push_back(ladosIcono[i]);
    o.transparente = transparente->isChecked();
    o.fondo = ColorRGB(colorFondo.red(), colorFondo.green(), colorFondo.blue());
    o.camara = fuente.CamaraIcono();
    return o;
}

TDialogoExportaIcono::THuella TDialogoExportaIcono::Huella(const TObjeto3D& escena, TOpcionesIcono opciones) {
    if (opciones.encuadra) {
        opciones.camara.escala = 0.0;
        opciones.camara.desplazamiento = vector3D();
    }
    return {escena.serie, std::move(opciones)};
}

TResultado<TImagenesIcono> TDialogoExportaIcono::Dibuja(std::shared_ptr<const TObjeto3D> escena,
                                                        const TOpcionesIcono& opciones) const {
    if (opciones.lados.empty()) return TFallo{TCausa::uso, eligeUnLado};
    // The export draws on a headless context of its own; the preview's must let go of
    // the thread first.
    if (QOpenGLContext* actual = QOpenGLContext::currentContext()) actual->doneCurrent();
    return ExportaIcono(std::move(escena), opciones);
}

void TDialogoExportaIcono::Refresca() {
    if (!isVisible()) return;
    const std::shared_ptr<const TObjeto3D> escena = fuente.EscenaIcono();
    const TOpcionesIcono opciones = Opciones();
    THuella huella = Huella(*escena, opciones);
    if (huella == huellaMostrada) return;
    huellaMostrada = std::move(huella);
    auto dibujadas = Dibuja(escena, opciones);
    imagenes = dibujadas ? std::move(*dibujadas) : TImagenesIcono();
    estado->setText(QString::fromLocal8Bit(MensajeDe(dibujadas).c_str()));
    Muestra();
}

void TDialogoExportaIcono::Muestra() {
    size_t siguiente = 0;
    for (size_t i = 0; i < ladosIcono.size(); ++i) {
        const bool hay = casillas[i]->isChecked() && siguiente < imagenes.size();
        if (hay)
            vistas[i]->setPixmap(SobreTablero(*imagenes[siguiente++]));
        else
            vistas[i]->clear();
    }
}

void TDialogoExportaIcono::CambiaEleccion() {
    botonColor->setEnabled(!transparente->isChecked());
    for (QCheckBox* casilla : casillas)
        casilla->setEnabled(!PresetElegido());
    GuardaAjustes();
    Refresca();
}

void TDialogoExportaIcono::EligeColor() {
    const QColor elegido = QColorDialog::getColor(colorFondo, this, "Background colour");
    if (!elegido.isValid()) return;
    colorFondo = elegido;
    botonColor->setText(TextoColor(colorFondo));
    conColor->setChecked(true);
    CambiaEleccion();
}

const TPresetIcono* TDialogoExportaIcono::PresetElegido() const {
    const int elegido = preset->currentIndex();
    return elegido >= 1 ? &PresetsIcono()[static_cast<size_t>(elegido - 1)] : nullptr;
}

std::vector<int> TDialogoExportaIcono::LadosGuardados() const {
    const TPresetIcono* p = PresetElegido();
    return p ? p->lados : Opciones().lados;
}

TResultado<void> TDialogoExportaIcono::Guarda(TDestinoIcono destino, const std::vector<int>& lados) {
    const TPresetIcono* p = PresetElegido();
    const bool conDobles = destino.tema && (dobles->isChecked() || (p && p->dobles));
    if (lados.empty()) return TFallo{TCausa::uso, eligeUnLado};
    if (const auto fijados = FijaLados(destino, lados, conDobles); !fijados)
        return FalloNombrando(TCausa::uso, "The icon cannot be saved: ", fijados.Mensaje().c_str(), ".");
    // The export draws on a headless context of its own; the preview's must let go of
    // the thread first.
    if (QOpenGLContext* actual = QOpenGLContext::currentContext()) actual->doneCurrent();
    TExportadorIcono exportador;
    return GrabaDestino(exportador, fuente.EscenaIcono(), Opciones(), destino);
}

bool TDialogoExportaIcono::Avisa(const TResultado<void>& guardado) const {
    if (!guardado)
        dialogos.Mensaje(QString::fromLocal8Bit(guardado.Mensaje().c_str()), tituloDialogo,
                         TIconoMensaje::error);
    return guardado.Correcto();
}

bool TDialogoExportaIcono::GuardaFichero(TFormatoIcono formato, const std::vector<int>& lados) {
    struct TTipo {
        const char* extension;
        const char* filtro;
    };
    const TTipo tipo = formato == TFormatoIcono::ico   ? TTipo{".ico", "Icons|*.ico"}
                       : formato == TFormatoIcono::png ? TTipo{".png", "PNG images|*.png"}
                                                       : TTipo{".icns", "macOS icons|*.icns"};
    const QString fichero = dialogos.PideFicheroGrabar(
        QDir(Carpeta()).filePath(NombreBase() + tipo.extension), FiltroQt(tipo.filtro));
    if (fichero.isEmpty()) return false;
    TDestinoIcono destino;
    destino.formato = formato;
    destino.ruta = fichero.toLocal8Bit().toStdString();
    if (!Avisa(Guarda(destino, lados))) return false;
    RecuerdaCarpeta(fichero);
    estado->setText("Saved " + fichero);
    return true;
}

bool TDialogoExportaIcono::GuardaICO() {
    return GuardaFichero(TFormatoIcono::ico, LadosGuardados());
}

bool TDialogoExportaIcono::GuardaPNG() {
    std::vector<int> lados = LadosGuardados();
    if (!lados.empty()) lados = {*std::max_element(lados.begin(), lados.end())};
    return GuardaFichero(TFormatoIcono::png, lados);
}

bool TDialogoExportaIcono::GuardaICNS() {
    // The sizes the file has types for.
    std::vector<int> lados;
    const std::vector<int> posibles = LadosICNS();
    for (const int lado : LadosGuardados())
        if (std::find(posibles.begin(), posibles.end(), lado) != posibles.end()) lados.push_back(lado);
    return GuardaFichero(TFormatoIcono::icns, lados);
}

bool TDialogoExportaIcono::GuardaTema() {
    const QString carpetaTema = dialogos.PideCarpeta(CarpetaTemaUsuario());
    if (carpetaTema.isEmpty()) return false;
    TDestinoIcono destino;
    destino.tema = true;
    destino.ruta = carpetaTema.toLocal8Bit().toStdString();
    destino.nombre = nombreTema->text().toLocal8Bit().toStdString();
    if (!Avisa(Guarda(destino, LadosGuardados()))) return false;
    carpeta = carpetaTema;
    GuardaAjustes();
    estado->setText("Saved into the icon theme " + carpetaTema);
    return true;
}

QString TDialogoExportaIcono::NombreBase() const {
    const QString base = QFileInfo(fuente.FicheroIcono()).completeBaseName();
    return base.isEmpty() ? QString("icon") : base;
}

QString CarpetaTemaUsuario() {
    // Where the desktop looks for a user's own icons ($XDG_DATA_HOME, else
    // ~/.local/share); while it is not made yet, the nearest folder on its way.
    QString ruta = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/icons/hicolor";
    while (!QFileInfo(ruta).isDir() && QFileInfo(ruta).absolutePath() != ruta)
        ruta = QFileInfo(ruta).absolutePath();
    return ruta;
}

QString TDialogoExportaIcono::Carpeta() const {
    if (!carpeta.isEmpty()) return carpeta;
    const QString script = fuente.FicheroIcono();
    return script.isEmpty() ? QDir::currentPath() : QFileInfo(script).absolutePath();
}

void TDialogoExportaIcono::RecuerdaCarpeta(const QString& fichero) {
    carpeta = QFileInfo(fichero).absolutePath();
    GuardaAjustes();
}

void TDialogoExportaIcono::GuardaAjustes() const {
    QStringList lados;
    for (size_t i = 0; i < ladosIcono.size(); ++i)
        if (casillas[i]->isChecked()) lados << QString::number(ladosIcono[i]);
    EscribePerfil(seccionIcono, "Sizes", lados.join(',').toLocal8Bit().constData(), ficheroAjustes);
    const QString fondo = transparente->isChecked() ? QString("none") : TextoColor(colorFondo);
    EscribePerfil(seccionIcono, "Background", fondo.toLocal8Bit().constData(), ficheroAjustes);
    EscribePerfil(seccionIcono, "Folder", carpeta.toLocal8Bit().constData(), ficheroAjustes);
    const TPresetIcono* p = PresetElegido();
    EscribePerfil(seccionIcono, "Preset", p ? p->nombre : "", ficheroAjustes);
    EscribePerfil(seccionIcono, "HiDPI", dobles->isChecked() ? "1" : "0", ficheroAjustes);
}

void TDialogoExportaIcono::LeeAjustes() {
    // Every size the first time.
    const QStringList lados =
        QString::fromLocal8Bit(LeePerfil(seccionIcono, "Sizes", "16,24,32,48,64,128,256", ficheroAjustes))
            .split(',');
    for (size_t i = 0; i < ladosIcono.size(); ++i) {
        const QSignalBlocker bloqueo(casillas[i]);
        casillas[i]->setChecked(lados.contains(QString::number(ladosIcono[i])));
    }
    const QString fondo =
        QString::fromLocal8Bit(LeePerfil(seccionIcono, "Background", "none", ficheroAjustes));
    const QColor color(fondo);
    if (color.isValid()) colorFondo = color;
    const QSignalBlocker bloqueo(transparente);
    transparente->setChecked(!color.isValid());
    conColor->setChecked(color.isValid());
    botonColor->setText(TextoColor(colorFondo));
    botonColor->setEnabled(color.isValid());
    carpeta = QString::fromLocal8Bit(LeePerfil(seccionIcono, "Folder", "", ficheroAjustes));
    const TPresetIcono* p = PresetPorNombre(LeePerfil(seccionIcono, "Preset", "", ficheroAjustes).c_str());
    const QSignalBlocker bloqueoPreset(preset);
    preset->setCurrentIndex(p ? static_cast<int>(p - PresetsIcono().data()) + 1 : 0);
    for (QCheckBox* casilla : casillas)
        casilla->setEnabled(!p);
    dobles->setChecked(LeePerfil(seccionIcono, "HiDPI", "0", ficheroAjustes) == "1");
}
