// TFormTestOpenGL: the editor's only window. The 3DI script sits in a text pane
// (`MemoPrograma`, with its line-number gutter) with the parse result below it
// (`MemoErrores`) and the live OpenGL preview (`PaintBox3D`) to the left. Every change
// of the script reads the whole text into a new scene (taking back what it can from the
// read before) and repaints the preview; the caret picks the highlighted element. The window holds the file
// commands (new, open, recent files, save, save as, autosave; Unit_FormTestOpenGL_ficheros.cpp), the icon
// export (Dialogo_exporta_icono.cpp), the clipboard, find and replace, go to line, help and about commands,
// the zoom buttons, and the View menu: reset, fit, named orientations, perspective and full screen.
#pragma once

#include "editor/Dialogos_editor.h"
#include "editor/Fuente_icono.h"
#include "editor/Full_screen_window.h"
#include "editor/Memo_script.h"
#include "editor/Menu_vista.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "script/Lectura_escena.h"
#include "support/Dstring.h"
#include "support/Var_config.h"

#include <QByteArrayList>
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTimer;
class QToolBar;
class TAyudaEditor;
class TBarraBuscar;
class TDialogoExportaIcono;
class TFicherosRecientes;
class TLienzoGL;
class TResaltador3Di;
class TVigilanteFichero;

class TFormTestOpenGL : public QMainWindow, public TFuenteIcono {
    Q_OBJECT
public:
    // `argumentos`: the command line without the program name, as the system's bytes (a
    // file name need not be UTF-8). `dialogos`: who answers the window's questions (the
    // real dialogs when null).
    explicit TFormTestOpenGL(const QByteArrayList& argumentos = {},
                             std::unique_ptr<TDialogosEditor> dialogos = nullptr, QWidget* padre = nullptr);
    ~TFormTestOpenGL() override;

    // --- the window's operations ---
    void StartClick();
    void ResetView() { vista.camara.ResetView(); }
    void Repaint();
    bool LoadFile();
    void ShowErrors(const TInformeLectura& informe);
    bool ConfirmDiscard();
    void UpdateCaption();
    // Whether the pane's text differs from the file's: the document's own state, so that
    // undoing back to the saved text clears the title's marker.
    void PonModificado(bool cambiado);
    void TrackCaret();
    // Reads the script pane when it changed since the last read (and shows the errors),
    // with a repaint when `repinta`.
    void AplicaCambiosPendientes(bool repinta = true);
    // A new read takes the place of the last: the preview shows its scene, the error pane
    // its report.
    void PonLectura(TLecturaEscena nueva);

    // --- handlers ---
    void MemoProgramaChange();
    void MemoProgramaDblClick();
    void MenuNewClick();
    void AbrirOtroClick();
    bool MenuSaveClick();
    bool MenuSaveAsClick();
    void MenuSavefor2DIconClick();
    // File > Export Icon...: the icon at every size (Dialogo_exporta_icono.h).
    void MenuExportIconClick();
    void ExitClick();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void MenuFullScreenClick();
    void MenuPerspectivaClick();
    void IndexClick();
    void LanguageReferenceClick();
    void AboutPictomolder1Click();
    void MenuGoToLineClick();
    void MenuFitToViewClick();
    // A file of the Recent Files menu: opened as "Open..." opens the chosen file, and
    // taken off the list when it cannot be read.
    void AbreReciente(const QByteArray& fichero);
    // The open file was changed on disk by another program: reloaded when the window
    // holds no changes of its own, else only if the user says so. Something that is no
    // regular file in its place is never read: the window says so and keeps its text.
    void FicheroCambiadoFuera();
    // A file that the scene read (a texture, a mesh) was changed on disk: the scene is
    // read again, the text as it is.
    void RecursoCambiadoFuera();
    // A click in the error pane at a position in its viewport: the caret goes to the
    // script line that the clicked message names.
    void MemoErroresClick(const QPoint& posicion);
    void TimerAutoSaveTimer();
    void ToolButtonZoomDinsClick();
    void ToolButtonZoomForaClick();
    // The window's wheel (a turn of `delta` at a position in the window's coordinates):
    // zooms while the pointer is over the preview; returns whether it was handled.
    bool FormMouseWheel(const QPoint& posicion, int delta);
    // A control point picked in the preview: the caret goes to the start of its field.
    void EligePunto(int linea, int indice);

    // The script pane's text as the bytes of the file it came from (in UTF-8 when
    // `comoUtf8`, whatever the file's encoding).
    std::string TextoScript(bool comoUtf8 = false) const;
    // Whether the file's encoding holds every character of the pane (Latin-1 holds no
    // euro sign, for one).
    bool TextoCabeEnCodificacion() const;
    // The text that the error pane shows.
    QString TextoPanelErrores() const;

    // --- what the Export Icon dialog takes ---
    std::shared_ptr<const TObjeto3D> EscenaIcono() override;
    TCamara CamaraIcono() const override { return vista.camara; }
    QString FicheroIcono() const override;
    void AvisaCambios(std::function<void()> aviso) override { avisoCambios = std::move(aviso); }

    // --- controls ---
    QToolBar* ToolBar1 = nullptr;
    QAction* ToolButtonZoomDins = nullptr;
    QAction* ToolButtonZoomFora = nullptr;
    TLienzoGL* PaintBox3D = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QWidget* PanelEdit = nullptr;
    TMemoScript* MemoPrograma = nullptr;
    TBarraBuscar* BarraBuscar = nullptr;
    QPlainTextEdit* MemoErrores = nullptr;
    QLabel* StatusBarEdit = nullptr;
    QTimer* TimerAutoSave = nullptr;
    // Fires once the keys typed so far are handled: the script is read then.
    QTimer* TimerLectura = nullptr;
    TResaltador3Di* resaltador = nullptr;
    QMenu* MenuView = nullptr;
    TMenuVista menuVista;
    QAction* MenuFullScreen = nullptr;
    QAction* MenuPerspectiva = nullptr;
    QAction* MenuStart = nullptr;
    TFicherosRecientes* recientes = nullptr;
    TAyudaEditor* ayuda = nullptr;
    TVigilanteFichero* vigilante = nullptr;
    TVigilanteFichero* vigilanteRecursos = nullptr; // the other files the scene read
    TDialogoExportaIcono* dialogoIcono = nullptr;   // made on first use

    // --- state ---
    IDCOpenGL idc;
    // The last read of the script, and what the preview shows: its scene, the camera and
    // the caret's selection.
    TLecturaEscena lectura;
    TVistaEscena vista;
    // Reads of the script so far.
    long lecturas = 0;
    DString textoError; // the last OpenGL start-up failure
    DString nombreFichero;
    bool cargando = false;
    // The script pane changed since the scene was read from it.
    bool lecturaPendiente = false;
    TstringConfig configFichero;
    bool modificado = false;
    bool sinNombre = true;
    TFullScreenWindow ventanaCompleta;
    // The pane shows the read-only note of a 3D Studio mesh instead of a script.
    bool notaModelo = false;
    // How the script file was written, so that a save writes it back the same way.
    bool codificacionLatin1 = false;
    bool finesCRLF = false;

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void wheelEvent(QWheelEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void CreaControles();
    void CreaMenus();
    void CreaBarraHerramientas();
    void Arranca();
    TResultado<void> EnlazaPreview();
    // A frame the painters failed to draw, told as the core's messages are.
    void AvisaFalloPintura(const TFallo& fallo);
    void EnlazaPantallaCompleta();
    void SalPantallaCompleta();
    void PintaPantallaCompleta();
    void MuestraPanelErrores();
    void MarcaLineasError();
    void PonTextoPanel(const QString& texto, bool soloLectura);
    QString TextoDesdeBytes(const std::string& bytes);
    DString LineaDelMemo(int linea) const;
    void Avisa(const QString& texto, const QString& titulo, TIconoMensaje icono);
    // Save and Save As with a mesh shown: nothing is written, the user is told why (false).
    bool AvisaMallaSoloLectura();
    // Names the window's script `fichero` (the system's bytes) and loads it (the tail of
    // every way of opening a file); false when it could not be read.
    bool AbreFichero(const QByteArray& fichero);
    // A note in the status bar about something left undone, shown once per run however
    // often it happens (an autosave skipped every minute).
    void AvisaUnaVez(const QString& texto);
    // A note in the status bar, for a while.
    void AvisaEstado(const QString& texto);
    // The autosave copy of the file just loaded, offered when it holds newer text.
    void OfreceRecuperacion();
    // The window lets go of its file: the autosave copy of what was discarded goes.
    void SueltaFichero();
    // The share of the preview in the width beside the script: noted from the divider
    // where the user puts it, and kept when the window's width changes.
    void AnotaDivisor();
    void RepartePorDivisor();
    // Watches the files that the last read used, but for the window's own.
    void VigilaRecursos();

    QByteArrayList argumentos;
    std::unique_ptr<TDialogosEditor> dialogos;
    QStringList avisados; // what AvisaUnaVez has shown
    bool primeraActivacion = true;
    double partePreview = 0.6;
    // What ShowErrors last showed (nothing before the first read): the parse result,
    // apart from `textoError` (the device).
    std::optional<TInformeLectura> informeMostrado;
    std::function<void()> avisoCambios;
};

// Texts of the window that the tests compare.
inline constexpr const char* tituloPrograma = "Pictomolder";
// Both kinds first, then each kind alone.
inline constexpr const char* filtroAbrir =
    "3D Icons and 3DS Files|*.3di;*.3ds|Iconos 3D (*.3DI)|*.3di|3DS Files|*.3DS";
inline constexpr const char* filtroGrabar = "3D Icons|*.3di";
inline constexpr const char* filtroIcono = "Bitmaps|*.bmp";
inline constexpr const char* textoAcercaDe = "Selvaron Pictomolder\r\n\r\nversion 1.05";
inline constexpr const char* ficheroNuevo = "NewIcon.3di";
// The note that stands in the pane for a 3D Studio mesh (its name follows).
inline constexpr const char* notaModelo3DS = "; 3D Studio mesh (read only, not a script): ";
