#include "editor/Unit_FormTestOpenGL.h"

#include "editor/Ajustes_editor.h"
#include "editor/Archivo_script.h"
#include "editor/Ayuda_editor.h"
#include "editor/Buscar_reemplazar.h"
#include "editor/Dialogo_exporta_icono.h"
#include "editor/Ficheros_recientes.h"
#include "editor/Lienzo_gl.h"
#include "editor/Memo_script.h"
#include "editor/Resaltador_3di.h"
#include "editor/Textura_escritorio.h"
#include "editor/Vigilante_fichero.h"
#include "geometry/Luz_normals.h"
#include "script/Campos_script.h"
#include "script/Lexico_3di.h"
#include "support/Guardado_seguro.h"
#include "support/Rutas.h"
#include "support/Throw_qor.h"
#include "support/Var_config.h"

#include <QAction>
#include <QByteArray>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxTexturaPreview = 512;
constexpr int intervaloAutoGuardado = 60000;
// How long a note stays in the status bar, ms.
constexpr int duracionAviso = 15000;

// The zoom buttons' images: a magnifier with a plus or a minus.
QIcon IconoLupa(bool acercar) {
    QPixmap imagen(20, 20);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QRectF(2, 2, 11, 11));
    p.drawLine(QPointF(12, 12), QPointF(18, 18));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(5, 7.5), QPointF(10, 7.5));
    if (acercar) p.drawLine(QPointF(7.5, 5), QPointF(7.5, 10));
    return QIcon(imagen);
}

// A menu command with its shortcut (an empty sequence for none).
template <class Receptor, class Funcion>
QAction* Orden(QMenu* menu, const char* texto, const QKeySequence& atajo, Receptor* receptor,
               Funcion funcion) {
    QAction* accion = menu->addAction(texto);
    accion->setShortcut(atajo);
    QObject::connect(accion, &QAction::triggered, receptor, funcion);
    return accion;
}

} // namespace

TFormTestOpenGL::TFormTestOpenGL(const QByteArrayList& argumentos, std::unique_ptr<TDialogosEditor> dialogos,
                                 QWidget* padre)
    : QMainWindow(padre), configFichero(true, "File", "Name", ficheroAjustes, ""), argumentos(argumentos),
      dialogos(std::move(dialogos)) {
    if (!this->dialogos) this->dialogos = std::make_unique<TDialogosQt>(this);
    idc.luz = luzEscena;
    // Typing redraws the preview from the line typed in on.
    vista.GuardaCuadros(true);
    CreaControles();
    CreaBarraHerramientas();
    CreaMenus();
    RestauraVentana(*this, *Splitter1, *Splitter2);
    AnotaDivisor();
    UpdateCaption();
}

TFormTestOpenGL::~TFormTestOpenGL() {
    // The device lets go of its surface while both windows still exist.
    idc.ReleaseWindow();
}

// ---------------------------------------------------------------------------------------
// Building the window

void TFormTestOpenGL::CreaControles() {
    PaintBox3D = new TLienzoGL(idc, vista);
    MemoPrograma = new TMemoScript;
    MemoPrograma->setObjectName("MemoPrograma");
    QFont fuente("Courier New");
    fuente.setStyleHint(QFont::Monospace);
    fuente.setPixelSize(16);
    MemoPrograma->setFont(fuente);
    MemoPrograma->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoPrograma->viewport()->installEventFilter(this);
    PaintBox3D->installEventFilter(this);
    resaltador = new TResaltador3Di(MemoPrograma->document());

    MemoErrores = new QPlainTextEdit;
    MemoErrores->setObjectName("MemoErrores");
    MemoErrores->setReadOnly(true);
    MemoErrores->setPlainText("\n");
    MemoErrores->viewport()->installEventFilter(this);
    MemoErrores->viewport()->setCursor(Qt::PointingHandCursor);

    // The script with the find bar under it.
    PanelEdit = new QWidget;
    PanelEdit->setObjectName("PanelEdit");
    BarraBuscar = new TBarraBuscar(MemoPrograma);
    auto* columna = new QVBoxLayout(PanelEdit);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->setSpacing(0);
    columna->addWidget(MemoPrograma);
    columna->addWidget(BarraBuscar);

    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName("Splitter2");
    Splitter2->setHandleWidth(3);
    Splitter2->addWidget(PanelEdit);
    Splitter2->addWidget(MemoErrores);
    Splitter2->setStretchFactor(0, 1);

    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->addWidget(PaintBox3D);
    Splitter1->addWidget(Splitter2);
    // Painted after the script pane, which it waits for the driver's frame behind.
    PaintBox3D->raise();
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 1);
    // A new width is shared as the divider shares the old one; the user's drag sets it.
    Splitter1->installEventFilter(this);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { AnotaDivisor(); });
    setCentralWidget(Splitter1);

    StatusBarEdit = new QLabel;
    StatusBarEdit->setObjectName("StatusBarEdit");
    statusBar()->addWidget(StatusBarEdit, 1);

    TimerAutoSave = new QTimer(this);
    TimerAutoSave->setObjectName("TimerAutoSave");
    TimerAutoSave->setInterval(intervaloAutoGuardado);
    TimerAutoSave->start();
    TimerLectura = new QTimer(this);
    TimerLectura->setObjectName("TimerLectura");
    TimerLectura->setSingleShot(true);
    TimerLectura->setInterval(0);

    connect(MemoPrograma, &QPlainTextEdit::textChanged, this, &TFormTestOpenGL::MemoProgramaChange);
    connect(MemoPrograma, &QPlainTextEdit::cursorPositionChanged, this, &TFormTestOpenGL::TrackCaret);
    // The document knows whether its text is the saved one, undo and redo included.
    connect(MemoPrograma->document(), &QTextDocument::modificationChanged, this, [this](bool cambiado) {
        modificado = cambiado;
        setWindowModified(cambiado);
    });
    connect(TimerAutoSave, &QTimer::timeout, this, &TFormTestOpenGL::TimerAutoSaveTimer);
    connect(TimerLectura, &QTimer::timeout, this, [this] { AplicaCambiosPendientes(); });
    PaintBox3D->antesDeDibujar = [this] { AplicaCambiosPendientes(false); };
    PaintBox3D->alFallar = [this](const TFallo& fallo) { AvisaFalloPintura(fallo); };
    vigilante = new TVigilanteFichero(this);
    connect(vigilante, &TVigilanteFichero::cambiado, this, &TFormTestOpenGL::FicheroCambiadoFuera);
    vigilanteRecursos = new TVigilanteFichero(this);
    connect(vigilanteRecursos, &TVigilanteFichero::cambiado, this, &TFormTestOpenGL::RecursoCambiadoFuera);
    connect(PaintBox3D, &TLienzoGL::puntoElegido, this, &TFormTestOpenGL::EligePunto);
    // Every change of the script or of the camera ends in a frame of the preview.
    connect(PaintBox3D, &TLienzoGL::cuadroMostrado, this, [this] {
        if (avisoCambios) avisoCambios();
    });
    connect(PaintBox3D, &TLienzoGL::contextoListo, this, [this] {
        // A context that appears after the start-up (a late first paint) is bound then.
        if (!primeraActivacion && !idc.IsActive() && !ventanaCompleta.Abierta()) StartClick();
    });
}

void TFormTestOpenGL::CreaBarraHerramientas() {
    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolButtonZoomDins =
        ToolBar1->addAction(IconoLupa(true), "Zoom in", this, &TFormTestOpenGL::ToolButtonZoomDinsClick);
    ToolButtonZoomDins->setObjectName("ToolButtonZoomDins");
    ToolButtonZoomDins->setShortcut(QKeySequence::ZoomIn);
    ToolButtonZoomFora =
        ToolBar1->addAction(IconoLupa(false), "Zoom out", this, &TFormTestOpenGL::ToolButtonZoomForaClick);
    ToolButtonZoomFora->setObjectName("ToolButtonZoomFora");
    ToolButtonZoomFora->setShortcut(QKeySequence::ZoomOut);
}

void TFormTestOpenGL::CreaMenus() {
    QMenu* fichero = menuBar()->addMenu("&File");
    Orden(fichero, "&New", QKeySequence::New, this, &TFormTestOpenGL::MenuNewClick);
    Orden(fichero, "&Open...", QKeySequence::Open, this, &TFormTestOpenGL::AbrirOtroClick);
    recientes = new TFicherosRecientes(fichero->addMenu("Recent &Files"), this);
    connect(recientes, &TFicherosRecientes::elegido, this, &TFormTestOpenGL::AbreReciente);
    Orden(fichero, "&Save", QKeySequence::Save, this, [this] { MenuSaveClick(); });
    Orden(fichero, "Save &As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
          [this] { MenuSaveAsClick(); });
    fichero->addSeparator();
    Orden(fichero, "Save for &2D Icon", QKeySequence(), this, &TFormTestOpenGL::MenuSavefor2DIconClick);
    Orden(fichero, "&Export Icon...", QKeySequence(Qt::CTRL | Qt::Key_E), this,
          &TFormTestOpenGL::MenuExportIconClick);
    fichero->addSeparator();
    Orden(fichero, "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q), this, &TFormTestOpenGL::ExitClick);

    QMenu* edicion = menuBar()->addMenu("&Edit");
    Orden(edicion, "&Undo", QKeySequence::Undo, MemoPrograma, &QPlainTextEdit::undo);
    Orden(edicion, "&Redo", QKeySequence::Redo, MemoPrograma, &QPlainTextEdit::redo);
    edicion->addSeparator();
    Orden(edicion, "Cu&t", QKeySequence::Cut, this, &TFormTestOpenGL::Cut1Click);
    Orden(edicion, "&Copy", QKeySequence::Copy, this, &TFormTestOpenGL::Copy1Click);
    Orden(edicion, "&Paste", QKeySequence::Paste, this, &TFormTestOpenGL::Paste1Click);
    edicion->addSeparator();
    Orden(edicion, "&Find...", QKeySequence(Qt::CTRL | Qt::Key_F), BarraBuscar, &TBarraBuscar::MuestraBuscar);
    Orden(edicion, "R&eplace...", QKeySequence(Qt::CTRL | Qt::Key_H), BarraBuscar,
          &TBarraBuscar::MuestraReemplazar);
    Orden(edicion, "Find &Next", QKeySequence(Qt::Key_F3), BarraBuscar,
          [this] { BarraBuscar->BuscaSiguiente(); });
    Orden(edicion, "Find Pre&vious", QKeySequence(Qt::SHIFT | Qt::Key_F3), BarraBuscar,
          [this] { BarraBuscar->BuscaSiguiente(true); });
    edicion->addSeparator();
    Orden(edicion, "&Go to Line...", QKeySequence(Qt::CTRL | Qt::Key_G), this,
          &TFormTestOpenGL::MenuGoToLineClick);

    MenuStart = menuBar()->addAction("Start", this, &TFormTestOpenGL::StartClick);
    MenuStart->setVisible(false);

    MenuView = menuBar()->addMenu("&View");
    menuVista = CreaMenuVista(
        MenuView, vista.camara, [this] { Repaint(); }, [this] { MenuFitToViewClick(); });
    MenuPerspectiva = Orden(MenuView, "&Perspective", QKeySequence(Qt::Key_F5), this,
                            &TFormTestOpenGL::MenuPerspectivaClick);
    MenuPerspectiva->setCheckable(true);
    MenuFullScreen = Orden(MenuView, "F&ull Screen", QKeySequence(Qt::Key_F11), this,
                           &TFormTestOpenGL::MenuFullScreenClick);

    QMenu* menuAyuda = menuBar()->addMenu("&Help");
    Orden(menuAyuda, "&Index", QKeySequence(), this, &TFormTestOpenGL::IndexClick);
    Orden(menuAyuda, "&Language Reference", QKeySequence::HelpContents, this,
          &TFormTestOpenGL::LanguageReferenceClick);
    menuAyuda->addSeparator();
    Orden(menuAyuda, "&About Pictomolder", QKeySequence(), this, &TFormTestOpenGL::AboutPictomolder1Click);
    ayuda = new TAyudaEditor(this);
}

// ---------------------------------------------------------------------------------------
// Start-up and the device

void TFormTestOpenGL::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    if (!primeraActivacion) return;
    primeraActivacion = false;
    // After the show has finished, when the preview's context exists.
    QTimer::singleShot(0, this, &TFormTestOpenGL::Arranca);
}

void TFormTestOpenGL::Arranca() {
    StartClick();
    // Settings that cannot be written are left alone; the window works on without them.
    const std::string ajustes = RutaPerfil(ficheroAjustes).string();
    if (const auto sustituible = PuedeSustituir(ajustes); !sustituible)
        AvisaUnaVez(QString("Settings are not saved: %1 %2, left alone")
                        .arg(QFile::decodeName(QByteArray::fromStdString(ajustes)),
                             QString::fromUtf8(sustituible.Mensaje().c_str())));
    // File names stay the system's bytes from the command line and the settings to the
    // file itself: text cannot hold every name.
    if (!argumentos.isEmpty()) {
        const QByteArray& argumento = argumentos.front();
        if (!argumento.isEmpty() && !EsOpcionLineaOrdenes(argumento.constData()))
            AbreFichero(QByteArray::fromStdString(RutaAbsoluta(argumento.toStdString())));
    }
    if (nombreFichero.IsEmpty() && !configFichero.Valor().IsEmpty())
        AbreFichero(QByteArray::fromStdString(RecuperaNombre(configFichero.Valor().c_str())));
    UpdateCaption();
}

TResultado<void> TFormTestOpenGL::EnlazaPreview() {
    int bits = 0;
    return idc.SetWindow(&PaintBox3D->Superficie(), bits, colorAzul, PaintBox3D->Rectangulo(),
                         maxTexturaPreview);
}

void TFormTestOpenGL::StartClick() {
    textoError = "";
    try {
        if (!idc.IsActive()) {
            if (const auto enlazado = EnlazaPreview(); !enlazado) {
                // Without OpenGL the preview stays blue; the error pane says why.
                textoError = enlazado.Mensaje();
                MuestraPanelErrores();
            }
        }
    } catch (const TXTextoQOR& e) {
        textoError = e.what();
        MuestraPanelErrores();
        Avisa(QString::fromUtf8(e.what()), "OpenGL Error:", TIconoMensaje::error);
        return;
    } catch (...) {
        Avisa("Undefined critical in TForm_Visor_3D::Inicia_3D", "TestOpenGL", TIconoMensaje::informacion);
        return;
    }
    ResetView();
    Repaint();
}

void TFormTestOpenGL::Repaint() {
    if (ventanaCompleta.Abierta())
        ventanaCompleta.Actualiza();
    else
        PaintBox3D->update();
}

// ---------------------------------------------------------------------------------------
// The script pane

void TFormTestOpenGL::ShowErrors(const TInformeLectura& informe) {
    informeMostrado = informe;
    MuestraPanelErrores();
}

void TFormTestOpenGL::MuestraPanelErrores() {
    QString texto = informeMostrado ? QString::fromLocal8Bit(informeMostrado->Texto().c_str()) : QString();
    if (!textoError.IsEmpty() && !idc.IsActive()) {
        if (!texto.isEmpty()) texto += "\n";
        texto += QString::fromLocal8Bit(textoError.c_str());
    }
    // Every keystroke comes here with a new parse, mostly with the same result: the pane
    // keeps its scroll position (and skips a layout) unless the text really changes.
    if (MemoErrores->toPlainText() != texto) MemoErrores->setPlainText(texto);
    MarcaLineasError();
}

void TFormTestOpenGL::MarcaLineasError() {
    MemoPrograma->FijaLineasError(notaModelo || !informeMostrado ? std::vector<int>()
                                                                 : informeMostrado->LineasConError());
}

void TFormTestOpenGL::MemoErroresClick(const QPoint& posicion) {
    // The pane holds the errors' texts one after another: the clicked row belongs to the
    // error whose rows it falls in.
    const int fila = MemoErrores->cursorForPosition(posicion).blockNumber();
    if (!informeMostrado) return;
    int primera = 0;
    for (const TErrorLectura& e : informeMostrado->errores) {
        const DString texto = TInformeLectura::TextoDe(e);
        const int saltos = SaltosDeLinea(texto.c_str());
        const bool terminada = saltos > 0 && (texto.CharAt(texto.Length() - 1) == '\n' ||
                                              texto.CharAt(texto.Length() - 1) == '\r');
        const int ultima = primera + saltos - (terminada ? 1 : 0);
        if (fila >= primera && fila <= ultima) {
            if (e.linea >= 0) MemoPrograma->IrALinea(e.linea);
            return;
        }
        primera += saltos;
    }
}

void TFormTestOpenGL::MenuGoToLineClick() {
    // Lines are counted from 0, as the gutter and the error pane count them.
    int linea = MemoPrograma->textCursor().blockNumber();
    if (dialogos->PideEntero("Go to Line", "Line:", linea, 0, MemoPrograma->blockCount() - 1, linea))
        MemoPrograma->IrALinea(linea);
}

QString TFormTestOpenGL::TextoPanelErrores() const {
    return MemoErrores->toPlainText();
}

std::string TFormTestOpenGL::TextoScript(bool comoUtf8) const {
    QString texto = MemoPrograma->toPlainText();
    if (finesCRLF) texto.replace(u'\n', QLatin1String("\r\n"));
    const QByteArray bytes = codificacionLatin1 && !comoUtf8 ? texto.toLatin1() : texto.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool TFormTestOpenGL::TextoCabeEnCodificacion() const {
    if (!codificacionLatin1) return true;
    const QString texto = MemoPrograma->toPlainText();
    return std::all_of(texto.begin(), texto.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QString TFormTestOpenGL::TextoDesdeBytes(const std::string& bytes) {
    const QByteArray datos(bytes.data(), static_cast<qsizetype>(bytes.size()));
    finesCRLF = datos.contains("\r\n");
    // Scripts are single-byte text; a file that is valid UTF-8 is shown as such.
    QString texto = QString::fromUtf8(datos);
    codificacionLatin1 = texto.toUtf8() != datos;
    if (codificacionLatin1) texto = QString::fromLatin1(datos);
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(u'\r', u'\n');
    return texto;
}

void TFormTestOpenGL::PonTextoPanel(const QString& texto, bool soloLectura) {
    const bool antes = cargando;
    cargando = true;
    MemoPrograma->setReadOnly(soloLectura);
    MemoPrograma->setPlainText(texto);
    cargando = antes;
    MarcaLineasError();
}

// Keys may come faster than frames: the script is read when the keys typed so far have
// been handled, or before the next frame if that comes first, so that it is read once
// for the latest text and the preview never falls behind the typing.
void TFormTestOpenGL::MemoProgramaChange() {
    if (cargando) return;
    lecturaPendiente = true;
    TimerLectura->start();
    // The first key since the last frame is read and drawn at once, so that the driver
    // draws while the window paints the text; keys that follow before the paint are
    // read with it.
    if (ventanaCompleta.Abierta())
        Repaint();
    else
        PaintBox3D->Adelanta();
}

void TFormTestOpenGL::AplicaCambiosPendientes(bool repinta) {
    if (!lecturaPendiente) return;
    lecturaPendiente = false;
    TimerLectura->stop();
    const std::string texto = TextoScript();
    PonLectura(LeeEscena(TFuenteEscena::Texto(texto, nombreFichero), &lectura));
    if (repinta) Repaint();
}

void TFormTestOpenGL::PonLectura(TLecturaEscena nueva) {
    lectura = std::move(nueva);
    ++lecturas;
    vista.Muestra(lectura.escena);
    ShowErrors(lectura.informe);
    VigilaRecursos();
}

std::shared_ptr<const TObjeto3D> TFormTestOpenGL::EscenaIcono() {
    AplicaCambiosPendientes(false);
    return vista.EscenaCompartida();
}

QString TFormTestOpenGL::FicheroIcono() const {
    return QString::fromLocal8Bit(nombreFichero.c_str());
}

void TFormTestOpenGL::TrackCaret() {
    const QTextCursor cursor = MemoPrograma->textCursor();
    const int linea = cursor.blockNumber();
    const int columna = cursor.positionInBlock();
    const QByteArray cortado = cursor.block().text().left(columna).toUtf8();
    const int cuenta =
        CampoEnCursor(std::string_view(cortado.constData(), static_cast<size_t>(cortado.size())));
    StatusBarEdit->setText(QString("%1: %2: %3").arg(linea).arg(columna).arg(cuenta));
    const TSeleccion seleccion{linea, cuenta};
    if (seleccion == vista.seleccion) return;
    vista.seleccion = seleccion;
    Repaint();
}

void TFormTestOpenGL::EligePunto(int linea, int indice) {
    const QTextBlock bloque = MemoPrograma->document()->findBlockByNumber(linea);
    if (!bloque.isValid()) return;
    // Where the caret gives that field's index back.
    const QByteArray texto = bloque.text().toUtf8();
    const int inicio =
        ColumnaDeCampo(std::string_view(texto.constData(), static_cast<size_t>(texto.size())), indice);
    const auto columna = QString::fromUtf8(texto.left(inicio)).size();
    QTextCursor cursor(bloque);
    cursor.setPosition(bloque.position() + static_cast<int>(columna));
    MemoPrograma->setTextCursor(cursor);
    MemoPrograma->ensureCursorVisible();
    MemoPrograma->setFocus();
}

DString TFormTestOpenGL::LineaDelMemo(int linea) const {
    const QTextBlock bloque = MemoPrograma->document()->findBlockByNumber(linea);
    if (!bloque.isValid()) return DString();
    const QByteArray bytes = codificacionLatin1 ? bloque.text().toLatin1() : bloque.text().toUtf8();
    return DString(bytes.constData());
}

void TFormTestOpenGL::MemoProgramaDblClick() {
    if (vista.seleccion.lineaResaltada < 0) return;
    const DString linea = LineaDelMemo(vista.seleccion.lineaResaltada);
    DString textura;
    if (!TexturaDeLinea(linea.c_str(), textura)) return;
    const DString ruta = ResuelveRuta(textura.c_str(), nombreFichero.c_str());
    if (const auto abrible = TexturaParaEscritorio(ruta.c_str()); !abrible) {
        AvisaEstado("Not opened: " + QString::fromLocal8Bit(abrible.Mensaje().c_str()));
        return;
    }
    dialogos->AbreConEscritorio(QString::fromLocal8Bit(ruta.c_str()), "edit");
}

bool TFormTestOpenGL::eventFilter(QObject* objetoFiltrado, QEvent* evento) {
    if (objetoFiltrado == MemoPrograma->viewport() && evento->type() == QEvent::MouseButtonDblClick) {
        // The caret is on the clicked line before the shortcut looks at it (the memo then
        // selects the word as usual).
        const QPoint posicion = static_cast<QMouseEvent*>(evento)->position().toPoint();
        MemoPrograma->setTextCursor(MemoPrograma->cursorForPosition(posicion));
        MemoProgramaDblClick();
    }
    if (objetoFiltrado == Splitter1 && evento->type() == QEvent::Resize) RepartePorDivisor();
    if (objetoFiltrado == MemoErrores->viewport() && evento->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton)
        MemoErroresClick(static_cast<QMouseEvent*>(evento)->position().toPoint());
    if (objetoFiltrado == PaintBox3D && evento->type() == QEvent::Wheel) {
        // The wheel over the preview is the window's, in the window's coordinates.
        auto* rueda = static_cast<QWheelEvent*>(evento);
        const QPoint posicion = PaintBox3D->mapTo(this, rueda->position().toPoint());
        rueda->setAccepted(FormMouseWheel(posicion, rueda->angleDelta().y()));
        return rueda->isAccepted();
    }
    return QMainWindow::eventFilter(objetoFiltrado, evento);
}

// ---------------------------------------------------------------------------------------
// View

void TFormTestOpenGL::AnotaDivisor() {
    const QList<int> anchos = Splitter1->sizes();
    const int total = anchos.value(0) + anchos.value(1);
    if (total > 0) partePreview = static_cast<double>(anchos.value(0)) / total;
}

void TFormTestOpenGL::RepartePorDivisor() {
    // Seen before the splitter lays itself out anew: it then finds the sizes fitting.
    const int total = Splitter1->width() - Splitter1->handleWidth();
    if (total <= 0) return;
    const int preview = static_cast<int>(std::lround(total * partePreview));
    Splitter1->setSizes({preview, total - preview});
}

bool TFormTestOpenGL::FormMouseWheel(const QPoint& posicion, int delta) {
    // Right of the preview the pointer is over the script side: not ours.
    if (posicion.x() > PaintBox3D->width()) return false;
    vista.camara.Rueda(delta);
    Repaint();
    return true;
}

void TFormTestOpenGL::wheelEvent(QWheelEvent* evento) {
    evento->setAccepted(FormMouseWheel(evento->position().toPoint(), evento->angleDelta().y()));
}

void TFormTestOpenGL::ToolButtonZoomDinsClick() {
    vista.camara.AcercaZoom();
    Repaint();
}

void TFormTestOpenGL::ToolButtonZoomForaClick() {
    vista.camara.AlejaZoom();
    Repaint();
}

void TFormTestOpenGL::MenuFitToViewClick() {
    PaintBox3D->Encuadra();
}

void TFormTestOpenGL::MenuPerspectivaClick() {
    vista.camara.perspectiva = !vista.camara.perspectiva;
    MenuPerspectiva->setChecked(vista.camara.perspectiva);
    Repaint();
}

void TFormTestOpenGL::MenuFullScreenClick() {
    if (ventanaCompleta.Abierta()) {
        SalPantallaCompleta();
        return;
    }
    hide();
    ventanaCompleta.alPulsarTecla = [this](int tecla) {
        if (tecla == Qt::Key_Escape || tecla == Qt::Key_F11) SalPantallaCompleta();
    };
    ventanaCompleta.alPintar = [this] { PintaPantallaCompleta(); };
    ventanaCompleta.alCerrar = [this] { SalPantallaCompleta(); };
    ventanaCompleta.alPrepararse = [this] { EnlazaPantallaCompleta(); };
    ventanaCompleta.Create(640, 480, 16);
    // A window shown before has its context already; a new one binds in alPrepararse.
    if (ventanaCompleta.Ventana()->context()) EnlazaPantallaCompleta();
}

void TFormTestOpenGL::EnlazaPantallaCompleta() {
    TSuperficieQt* superficie = ventanaCompleta.Superficie();
    if (!ventanaCompleta.Abierta() || !superficie || (idc.Superficie() == superficie && idc.IsActive()))
        return;
    SueltaRecursosDispositivo(idc);
    TRectanguloGL rectangulo;
    rectangulo.derecha = superficie->Ancho();
    rectangulo.abajo = superficie->Alto();
    TResultado<void> enlazado;
    try {
        enlazado = idc.SetWindow(superficie, ventanaCompleta.bits, colorAzul, rectangulo, maxTexturaPreview);
    } catch (const TXTextoQOR& e) {
        enlazado = e.Fallo();
    }
    if (!enlazado) {
        textoError = enlazado.Mensaje();
        SalPantallaCompleta();
        return;
    }
    Repaint();
}

void TFormTestOpenGL::PintaPantallaCompleta() {
    AplicaCambiosPendientes(false);
    TSuperficieQt* superficie = ventanaCompleta.Superficie();
    if (!superficie || idc.Superficie() != superficie || !idc.IsActive()) {
        PintaFondoAzul();
        return;
    }
    if (idc.rectangulo.derecha != superficie->Ancho() || idc.rectangulo.abajo != superficie->Alto())
        idc.Resize(superficie->Ancho(), superficie->Alto());
    if (const auto pintado = PintaEscenaSegura(idc, vista); !pintado) AvisaFalloPintura(pintado.Fallo());
}

void TFormTestOpenGL::AvisaFalloPintura(const TFallo& fallo) {
    Avisa(QString::fromUtf8(fallo.mensaje.c_str()), tituloErrorPintura, TIconoMensaje::aviso);
}

void TFormTestOpenGL::SalPantallaCompleta() {
    if (!ventanaCompleta.Abierta()) return;
    if (idc.IsActive()) SueltaRecursosDispositivo(idc);
    TResultado<void> enlazado;
    try {
        enlazado = EnlazaPreview();
    } catch (const TXTextoQOR& e) {
        enlazado = e.Fallo();
    }
    if (!enlazado && textoError.IsEmpty()) textoError = enlazado.Mensaje();
    show();
    ventanaCompleta.Close();
    raise();
    activateWindow();
    MuestraPanelErrores();
    Repaint();
}

// The window's File > Export Icon... command: the dialog, made once and shown again.
void TFormTestOpenGL::MenuExportIconClick() {
    if (!dialogoIcono) dialogoIcono = new TDialogoExportaIcono(*this, *dialogos, this);
    dialogoIcono->show();
    dialogoIcono->raise();
    dialogoIcono->activateWindow();
}

// ---------------------------------------------------------------------------------------
// Clipboard, help, closing

void TFormTestOpenGL::Cut1Click() {
    MemoPrograma->cut();
}

void TFormTestOpenGL::Copy1Click() {
    MemoPrograma->copy();
}

void TFormTestOpenGL::Paste1Click() {
    MemoPrograma->paste();
}

void TFormTestOpenGL::IndexClick() {
    const QString pdf = ayuda->RutaManualPdf();
    if (!QFileInfo::exists(pdf)) {
        Avisa(ficheroAyuda, "File not found", TIconoMensaje::error);
        return;
    }
    if (dialogos->AbreConEscritorio(pdf, "open")) return;
    // A desktop with no PDF viewer still has the manual: the same text, shown here.
    Avisa(QString("No program to show ") + ficheroAyuda, tituloPrograma, TIconoMensaje::informacion);
    ayuda->MuestraReferencia(QString());
}

void TFormTestOpenGL::LanguageReferenceClick() {
    ayuda->MuestraReferencia(OrdenEnCursor(MemoPrograma->textCursor()));
}

void TFormTestOpenGL::AboutPictomolder1Click() {
    Avisa(textoAcercaDe, tituloPrograma, TIconoMensaje::informacion);
}

void TFormTestOpenGL::ExitClick() {
    close();
}

void TFormTestOpenGL::closeEvent(QCloseEvent* evento) {
    if (!ConfirmDiscard()) {
        evento->ignore();
        return;
    }
    GuardaVentana(*this, *Splitter1, *Splitter2);
    SueltaFichero();
    evento->accept();
}

void TFormTestOpenGL::AvisaUnaVez(const QString& texto) {
    if (texto.isEmpty() || avisados.contains(texto)) return;
    avisados << texto;
    AvisaEstado(texto);
}

void TFormTestOpenGL::AvisaEstado(const QString& texto) {
    statusBar()->showMessage(texto, duracionAviso);
}

void TFormTestOpenGL::Avisa(const QString& texto, const QString& titulo, TIconoMensaje icono) {
    dialogos->Mensaje(texto, titulo, icono);
}
