// The window's file commands, with the dialogs answered by the test.
#include "Carpeta_prueba.h"
#include "Escritor_3ds.h"
#include "Ventana_prueba.h"

#include "editor/Ficheros_recientes.h"
#include "image/Tdibig.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const QString script = "; a square\nQUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";
// The text of a file already on disk, other than the script the tests type.
const std::string enDisco = "LINE=[0,0,0]:[1,0,0]\n";

void SoloLectura(const QString& nombre) {
    fs::permissions(nombre.toStdString(), fs::perms::owner_read);
}

} // namespace

class EditorFicheros : public VentanaPrueba {};

TEST_F(EditorFicheros, SaveAndOpenRoundTripAScript) {
    TFormTestOpenGL& v = Abre();
    Escribe(script);
    const QString nombre = Fichero("square.3di");
    dialogos->ficherosGrabar.push_back(nombre);
    // No name yet: "Save" asks for one.
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_EQ(dialogos->peticionesGrabar, QStringList{"3D Icons (*.3di)"});
    EXPECT_EQ(LeeFichero(nombre), script.toStdString() + " "); // one separator after the datum
    EXPECT_FALSE(v.modificado);
    EXPECT_EQ(v.windowTitle(), "square.3di[*] - Pictomolder");
    Cierra();

    // The next session opens it (the stored last file is offered to the dialog).
    TFormTestOpenGL& w = Abre();
    w.MenuNewClick();
    AbreDesdeMenu(nombre);
    EXPECT_EQ(dialogos->peticionesAbrir, QStringList{"NewIcon.3di"});
    // Mended: the separator came back as a trailing space, one more on every save.
    EXPECT_EQ(w.MemoPrograma->toPlainText(), script);
    EXPECT_EQ(w.vista.Escena().Count(), 1);
    EXPECT_FALSE(w.modificado);
    EXPECT_EQ(w.configFichero.Valor(), DString(nombre.toLocal8Bit().constData()));
    const std::string guardado = LeeFichero(nombre);
    EXPECT_TRUE(w.MenuSaveClick());
    w.LoadFile();
    EXPECT_TRUE(w.MenuSaveClick());
    EXPECT_EQ(LeeFichero(nombre), guardado);

    // Mended: the title's marker stayed after undoing back to the saved text.
    w.MemoPrograma->setFocus();
    QTest::keyClicks(w.MemoPrograma, "xy");
    EXPECT_TRUE(w.isWindowModified());
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.isWindowModified());
    EXPECT_FALSE(w.modificado);
    EXPECT_EQ(w.MemoPrograma->toPlainText(), script);
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(w.isWindowModified());
}

TEST_F(EditorFicheros, ScriptsKeepTheirLineEndsAndBytes) {
    const std::string windows = "; caf\xe9\r\nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\r\n";
    const QString nombre = Fichero("latin.3di", &windows);
    TFormTestOpenGL& v = Abre({nombre});
    EXPECT_EQ(v.MemoPrograma->document()->blockCount(), 3);
    EXPECT_EQ(v.TextoPanelErrores(), "ok");
    EXPECT_TRUE(v.codificacionLatin1);
    EXPECT_TRUE(v.finesCRLF);
    // Mended: a script named on the command line went through Save As on every save.
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_TRUE(dialogos->peticionesGrabar.isEmpty());
    EXPECT_EQ(LeeFichero(nombre), windows + " ");

    // Mended: a character that Latin-1 cannot hold was saved as "?" without a word.
    // Now the save asks; without a yes nothing is written, with it the file is UTF-8.
    Escribe(v.MemoPrograma->toPlainText() + "; 5 \u20ac\n");
    dialogos->respuestas.push_back(TRespuesta::no);
    EXPECT_FALSE(v.MenuSaveClick());
    ASSERT_EQ(dialogos->preguntas.size(), 1);
    EXPECT_TRUE(dialogos->preguntas[0].contains("Latin-1")) << dialogos->preguntas[0].toStdString();
    EXPECT_EQ(LeeFichero(nombre), windows + " ");
    EXPECT_TRUE(v.modificado);
    dialogos->respuestas.push_back(TRespuesta::si);
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_EQ(LeeFichero(nombre),
              "; caf\xc3\xa9\r\nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\r\n; 5 \xe2\x82\xac\r\n ");
    EXPECT_FALSE(v.codificacionLatin1);
}

TEST_F(EditorFicheros, AutosaveWritesACopyAndKeepsTheModifiedState) {
    const QString nombre = Fichero("auto.3di", &enDisco);
    TFormTestOpenGL& v = Abre({nombre});
    EXPECT_TRUE(v.TimerAutoSave->isActive());
    Escribe(script);
    v.TimerAutoSaveTimer();
    EXPECT_EQ(LeeFichero(nombre + ".seg"), script.toStdString() + " ");
    EXPECT_EQ(LeeFichero(nombre), enDisco);
    EXPECT_TRUE(v.modificado);
    // Mended: the copy's backup took the name of the script's own (auto.3di.BAK).
    v.TimerAutoSaveTimer();
    EXPECT_FALSE(QFileInfo::exists(carpeta.filePath("auto.3di.BAK")));
    // Mended: the copy stayed for good. A save removes it, and so does a clean exit.
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_FALSE(QFileInfo::exists(nombre + ".seg"));
    Escribe(script + "; more\n");
    v.TimerAutoSaveTimer();
    ASSERT_TRUE(QFileInfo::exists(nombre + ".seg"));
    dialogos->respuestas.push_back(TRespuesta::no);
    EXPECT_TRUE(v.close());
    EXPECT_FALSE(QFileInfo::exists(nombre + ".seg"));

    // A script that was never named has no backup (no hidden ".seg" in the folder).
    Cierra();
    GuardaUltimoFichero("");
    TFormTestOpenGL& w = Abre();
    Escribe(script);
    w.TimerAutoSaveTimer();
    EXPECT_FALSE(QFileInfo::exists(carpeta.filePath(".seg")));
}

// Mended: a zero byte cut the saved script short; a save made a private script
// world-readable and replaced a link by a file; a FIFO blocked the window.
TEST_F(EditorFicheros, SavingKeepsEveryByteTheModeAndTheLink) {
    const std::string conCero("LINE=[0,0,0]:[1,0,0]\n\0; after the zero\n", 40);
    fs::create_directory(carpeta.filePath("real").toStdString());
    const QString real = Fichero("real/z.3di", &conCero);
    fs::permissions(real.toStdString(), fs::perms::owner_read | fs::perms::owner_write);
    const QString enlace = carpeta.filePath("link.3di");
    fs::create_symlink(real.toStdString(), enlace.toStdString());
    TFormTestOpenGL& v = Abre();
    AbreDesdeMenu(enlace);
    Escribe(v.MemoPrograma->toPlainText());
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_EQ(LeeFichero(real), conCero + " ");
    EXPECT_TRUE(QFileInfo(enlace).isSymLink());
    EXPECT_EQ(fs::status(real.toStdString()).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const QString fifo = carpeta.filePath("pipe.3di");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    AbreDesdeMenu(fifo);
    EXPECT_EQ(dialogos->mensajes,
              QStringList{"Pictomolder|Error Opening 3DI file " + fifo + ": Not a regular file"});
    // The pane does not hold the FIFO's text: Save asks for a name.
    dialogos->ficherosGrabar.push_back(fifo);
    EXPECT_FALSE(v.MenuSaveClick());
    EXPECT_EQ(dialogos->propuestasGrabar, QStringList{""});
    EXPECT_EQ(dialogos->mensajes.last(), "Pictomolder|Error Saving File " + fifo + ": Not a regular file");
    EXPECT_TRUE(fs::is_fifo(fifo.toStdString()));
}

// Mended: "Yes" used to count as saved even when the save failed or was cancelled, and
// a failed save's message named neither the file nor the reason.
TEST_F(EditorFicheros, YesDiscardsNothingUnlessTheSaveWorked) {
    TFormTestOpenGL& v = Abre();
    Escribe(script);
    // Yes, then the Save As dialog is cancelled: the window stays open.
    dialogos->respuestas.push_back(TRespuesta::si);
    EXPECT_FALSE(v.close());
    EXPECT_TRUE(v.isVisible());
    EXPECT_EQ(v.MemoPrograma->toPlainText(), script);

    // Yes, then the save fails: "New" keeps the script, modified.
    const QString nombre = Fichero("ro.3di", &enDisco);
    SoloLectura(nombre);
    dialogos->respuestas.push_back(TRespuesta::si);
    dialogos->ficherosGrabar.push_back(nombre);
    v.MenuNewClick();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), script);
    EXPECT_TRUE(v.modificado);
    EXPECT_EQ(dialogos->mensajes,
              QStringList{"Pictomolder|Error Saving File " + nombre + ": Permission denied"});
    EXPECT_EQ(v.nombreFichero, DString(nombre.toLocal8Bit().constData()));
    EXPECT_EQ(LeeFichero(nombre), enDisco);

    // Yes with a working save: saved, then the window may close.
    fs::permissions(nombre.toStdString(), fs::perms::owner_read | fs::perms::owner_write);
    dialogos->respuestas.push_back(TRespuesta::si);
    EXPECT_TRUE(v.close());
    EXPECT_EQ(LeeFichero(nombre), script.toStdString() + " ");
}

// Mended: started on a file that did not exist yet, Save As proposed the file of the
// last run, which a Return overwrote.
TEST_F(EditorFicheros, SaveAsProposesTheNameAskedForNeverAnotherFile) {
    GuardaUltimoFichero(Fichero("previous.3di", &enDisco));
    const QString nuevo = Fichero("new.3di");
    TFormTestOpenGL& v = Abre({nuevo});
    EXPECT_EQ(dialogos->mensajes,
              QStringList{"Pictomolder|Error Opening 3DI file " + nuevo + ": No such file or directory"});
    Escribe(script);
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogos->propuestasGrabar, QStringList{nuevo});
    EXPECT_EQ(LeeFichero(Fichero("previous.3di")), enDisco);

    // A new script whose default name another file has: nothing is proposed.
    Fichero("NewIcon.3di", &enDisco);
    dialogos->respuestas.push_back(TRespuesta::no);
    v.MenuNewClick();
    EXPECT_FALSE(v.MenuSaveAsClick());
    EXPECT_EQ(dialogos->propuestasGrabar.last(), "");
}

// Mended: the autosave copy was never offered back.
TEST_F(EditorFicheros, ANewerAutosaveCopyIsOfferedForRecovery) {
    const std::string copia = script.toStdString() + " ";
    const QString nombre = Fichero("crash.3di", &enDisco);
    const auto fecha = fs::last_write_time(nombre.toStdString());
    const auto copiaConFecha = [&](std::chrono::seconds diferencia) {
        Fichero("crash.3di.seg", &copia);
        fs::last_write_time((nombre + ".seg").toStdString(), fecha + diferencia);
    };
    copiaConFecha(std::chrono::seconds(5));
    // Declined: the file as it was saved.
    TFormTestOpenGL& v = Abre({nombre}, {TRespuesta::no});
    ASSERT_EQ(dialogos->preguntas.size(), 1);
    EXPECT_TRUE(dialogos->preguntas[0].contains(nombre + ".seg")) << dialogos->preguntas[0].toStdString();
    EXPECT_EQ(v.MemoPrograma->toPlainText().toStdString(), enDisco);
    EXPECT_FALSE(v.modificado);
    Cierra(); // as a crash would: the copy stays

    // Accepted: the copy's text, unsaved; the file changes only when it is saved.
    TFormTestOpenGL& w = Abre({nombre}, {TRespuesta::si});
    EXPECT_EQ(w.MemoPrograma->toPlainText(), script);
    EXPECT_TRUE(w.modificado);
    EXPECT_EQ(LeeFichero(nombre), enDisco);
    EXPECT_TRUE(w.MenuSaveClick());
    EXPECT_EQ(LeeFichero(nombre), copia);
    EXPECT_FALSE(QFileInfo::exists(nombre + ".seg"));
    Cierra();

    // A copy older than the file is not offered; one of a file never saved is.
    copiaConFecha(std::chrono::seconds(-5));
    Abre({nombre});
    EXPECT_TRUE(dialogos->preguntas.isEmpty());
    Cierra();
    fs::remove(nombre.toStdString());
    TFormTestOpenGL& x = Abre({nombre}, {TRespuesta::si});
    EXPECT_EQ(dialogos->mensajes.size(), 1); // the file itself cannot be opened
    EXPECT_EQ(x.MemoPrograma->toPlainText(), script);
    EXPECT_TRUE(x.modificado);
}

TEST_F(EditorFicheros, AFileChangedOnDiskIsReloadedOrAskedAbout) {
    const std::string segundo = script.toStdString();
    const QString nombre = Fichero("watched.3di", &enDisco);
    TFormTestOpenGL& v = Abre({nombre});
    const auto texto = [&] { return v.MemoPrograma->toPlainText().toStdString(); };
    // No changes in the window: the new text comes in, the view stays.
    v.vista.camara.anguloY = 1.0;
    Fichero("watched.3di", &segundo);
    EXPECT_TRUE(Espera([&] { return texto() == segundo; }));
    EXPECT_FALSE(v.modificado);
    EXPECT_EQ(v.vista.camara.anguloY, 1.0);
    // Replaced by a rename, as many programs save: still watched.
    fs::rename(Fichero("other.tmp", &enDisco).toStdString(), nombre.toStdString());
    EXPECT_TRUE(Espera([&] { return texto() == enDisco; }));
    // The window's own save is nobody else's change: nothing is asked nor reloaded (a
    // reload would take the undo history).
    QTest::keyClicks(v.MemoPrograma, "; typed");
    EXPECT_TRUE(v.MenuSaveClick());
    QTest::qWait(300);
    EXPECT_TRUE(dialogos->preguntas.isEmpty());
    EXPECT_TRUE(v.MemoPrograma->document()->isUndoAvailable());

    // With changes in the window: asked first; No keeps them, Yes reloads.
    Escribe(script + "; mine\n");
    dialogos->respuestas.push_back(TRespuesta::no);
    Fichero("watched.3di", &enDisco);
    ASSERT_TRUE(Espera([&] { return dialogos->preguntas.size() == 1; }));
    EXPECT_TRUE(dialogos->preguntas[0].contains("changed by another program"))
        << dialogos->preguntas[0].toStdString();
    EXPECT_EQ(v.MemoPrograma->toPlainText(), script + "; mine\n");
    dialogos->respuestas.push_back(TRespuesta::si);
    Fichero("watched.3di", &segundo);
    EXPECT_TRUE(Espera([&] { return texto() == segundo; }));
    EXPECT_FALSE(v.modificado);
    EXPECT_EQ(dialogos->preguntas.size(), 2);
}

// A 3D Studio mesh is shown in the preview. Mended: it used to land in the pane as
// text, and "Save" wrote that text over the mesh.
TEST_F(EditorFicheros, AMeshIsShownButNeverAsTextNorOverwritten) {
    using namespace prueba3ds;
    const std::string malla =
        prueba3ds::Fichero(Material("Red", 255, 0, 0) +
                           Objeto("Square", Vertices({{-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0}}) +
                                                Caras({{0, 1, 2}, {0, 2, 3}}, GrupoMaterial("Red", {0, 1}))));
    const QString nombre = Fichero("model.3DS", &malla);
    TFormTestOpenGL& v = Abre();
    AbreDesdeMenu(nombre);
    EXPECT_EQ(v.TextoPanelErrores(), "ok");
    EXPECT_EQ(v.vista.Escena().Count(), 2);
    const uint32_t centro = EnMedio(Preview());
    EXPECT_TRUE(RojoDe(centro) > 100 && VerdeDe(centro) < 40 && AzulDe(centro) < 40) << std::hex << centro;
    EXPECT_EQ(v.MemoPrograma->toPlainText(), notaModelo3DS + nombre + "\n");
    EXPECT_TRUE(v.MemoPrograma->isReadOnly());

    // Mended: Save proposed a script, wrote the note alone into it and took its name, and
    // the mesh was gone at the next key. Save and Save As write nothing and say why.
    const QString titulo = v.windowTitle();
    dialogos->ficherosGrabar.push_back(Fichero("model.3di"));
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(v.MenuSaveAsClick());
    EXPECT_TRUE(dialogos->peticionesGrabar.isEmpty());
    EXPECT_EQ(dialogos->mensajes,
              QStringList(2, "Pictomolder|model.3DS is a 3D Studio mesh, shown read only: there is no "
                             "script to save."));
    EXPECT_FALSE(QFileInfo::exists(Fichero("model.3di")));
    EXPECT_EQ(LeeFichero(nombre), malla);
    EXPECT_EQ(v.windowTitle(), titulo);
    QTest::keyClicks(v.MemoPrograma, "x");
    EXPECT_TRUE(v.MemoPrograma->isReadOnly());
    EXPECT_EQ(v.vista.Escena().Count(), 2);
    v.TimerAutoSaveTimer();
    EXPECT_FALSE(QFileInfo::exists(nombre + ".seg"));

    // A broken mesh: the error pane says why, and nothing is shown.
    const std::string cortada = malla.substr(0, malla.size() - 1);
    const QString rota = Fichero("broken.3ds", &cortada);
    dialogos->respuestas.push_back(TRespuesta::no);
    AbreDesdeMenu(rota);
    EXPECT_EQ(v.TextoPanelErrores(),
              "Error reading the 3DS file " + rota + ": the file ends inside a face material group");
    EXPECT_EQ(v.vista.Escena().Count(), 0);
}

TEST_F(EditorFicheros, ShortcutsReachTheFileCommandsWhichAskBeforeDiscardingChanges) {
    const QString otro = Fichero("other.3di", &enDisco);
    TFormTestOpenGL& v = Abre();
    Escribe(script);
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier); // no name yet: asks for one
    EXPECT_EQ(dialogos->peticionesGrabar.size(), 1);
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogos->peticionesGrabar.size(), 2);
    // Mended: "Open..." used to discard unsaved changes without asking.
    dialogos->ficherosAbrir.push_back(otro);
    QTest::keyClick(&v, Qt::Key_O, Qt::ControlModifier); // cancelled
    EXPECT_EQ(dialogos->preguntas, QStringList{"  modified. Save?"});
    EXPECT_TRUE(dialogos->peticionesAbrir.isEmpty()); // the dialog never opened
    QTest::keyClick(&v, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogos->preguntas.size(), 2);
    EXPECT_EQ(v.MemoPrograma->toPlainText(), script);
    EXPECT_TRUE(v.modificado);
    // "No" lets the changes go: Open opens, then New starts an empty script without a name.
    dialogos->respuestas.push_back(TRespuesta::no);
    QTest::keyClick(&v, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(v.MemoPrograma->toPlainText().toStdString(), enDisco);
    EXPECT_FALSE(v.modificado);
    QTest::keyClick(&v, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(v.MemoPrograma->toPlainText(), "");
    EXPECT_EQ(v.vista.Escena().Count(), 0);
    EXPECT_TRUE(v.sinNombre);
    EXPECT_EQ(v.windowTitle(), "NewIcon.3di[*] - Pictomolder");
    Escribe(script);
    dialogos->respuestas.push_back(TRespuesta::no);
    QTest::keyClick(&v, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(v.isVisible());
    Cierra();

    // The next start tries the stored "NewIcon.3di", which does not exist.
    Abre();
    EXPECT_EQ(dialogos->mensajes,
              QStringList{"Pictomolder|Error Opening 3DI file NewIcon.3di: No such file or directory"});
}

// Mended: the autosave went through a link planted at its name and replaced the file it
// pointed to, and the backup replaced a link at its name. What the editor writes on its
// own account never follows a link nor takes a link's place: it is skipped, said once in
// the status bar, and the link is neither offered for recovery nor removed.
TEST_F(EditorFicheros, TheAutosaveAndTheBackupLeavePlantedLinksAlone) {
    const std::string precioso = "precious\n";
    const QString victima = Fichero("victim.txt", &precioso);
    const QString nombre = Fichero("s.3di", &enDisco);
    TFormTestOpenGL& v = Abre({nombre});
    Escribe(script);
    fs::create_symlink(victima.toStdString(), (nombre + ".seg").toStdString());
    v.TimerAutoSaveTimer();
    EXPECT_EQ(LeeFichero(victima), precioso);
    EXPECT_EQ(v.statusBar()->currentMessage(),
              "Autosave skipped: " + nombre + ".seg is a symbolic link, left alone");
    v.statusBar()->clearMessage();
    v.TimerAutoSaveTimer();
    EXPECT_EQ(v.statusBar()->currentMessage(), "");

    fs::create_symlink(victima.toStdString(), carpeta.filePath("s.BAK").toStdString());
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_EQ(LeeFichero(nombre), script.toStdString() + " ");
    EXPECT_EQ(LeeFichero(victima), precioso);
    EXPECT_EQ(v.statusBar()->currentMessage(),
              "No backup was kept: " + carpeta.filePath("s.BAK") + " is a symbolic link, left alone");
    EXPECT_TRUE(QFileInfo(nombre + ".seg").isSymLink());
    EXPECT_TRUE(QFileInfo(carpeta.filePath("s.BAK")).isSymLink());
    Cierra();

    fs::last_write_time(victima.toStdString(), fs::file_time_type::clock::now() + std::chrono::hours(1));
    Abre({nombre});
    EXPECT_TRUE(dialogos->preguntas.isEmpty());
}

// Mended: with the open script replaced by a FIFO, the watcher opened it on the window's
// thread and the window hung until someone wrote to the FIFO. Now the window says so,
// reads nothing and keeps its text, which counts as unsaved.
TEST_F(EditorFicheros, AFifoInPlaceOfTheScriptIsReportedNotWaitedOn) {
    const QString nombre = Fichero("s.3di", &enDisco);
    TFormTestOpenGL& v = Abre({nombre});
    // Were the window to wait on the FIFO, this opens its other end after a while, so
    // that the test fails instead of hanging.
    std::atomic<bool> terminado = false, rescatado = false;
    std::thread rescate([&] {
        for (int i = 0; i < 200 && !terminado; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (terminado) return;
        rescatado = true;
        const int fd = ::open(nombre.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    });
    fs::remove(nombre.toStdString());
    ASSERT_EQ(::mkfifo(nombre.toLocal8Bit().constData(), 0600), 0);
    const bool avisado = Espera([&] { return !dialogos->mensajes.isEmpty(); }, 8000);
    EsperaCuadro(); // the window still answers
    terminado = true;
    rescate.join();
    EXPECT_TRUE(avisado);
    EXPECT_FALSE(rescatado);
    EXPECT_EQ(dialogos->mensajes,
              QStringList{"Pictomolder|" + nombre +
                          " has been replaced by something that is not a regular file (a FIFO, a device or a "
                          "folder). It was not read; the text here is kept."});
    EXPECT_EQ(v.MemoPrograma->toPlainText().toStdString(), enDisco);
    EXPECT_TRUE(v.modificado);
    EXPECT_TRUE(fs::is_fifo(nombre.toStdString()));
}

// Mended: the settings were written through the fixed temporary name "3d_edit.ini.tmp",
// so a link planted there made every start truncate the file it pointed to, and two
// editors raced on that name. A link in place of the settings themselves is read, never
// written through nor replaced, and the start says so once.
TEST_F(EditorFicheros, LinksAmongTheSettingsAreLeftAlone) {
    const std::string precioso = "precious\n";
    const QString victima = Fichero("victim.txt", &precioso);
    const fs::path ajustes = carpeta.filePath("config/pictomolder").toStdString();
    fs::create_directories(ajustes);
    fs::create_symlink(victima.toStdString(), ajustes / "3d_edit.ini.tmp");
    const QString nombre = Fichero("s.3di", &enDisco);
    Abre({nombre}).close(); // writes the last file, the recent files and the window's place
    Cierra();
    EXPECT_EQ(LeeFichero(victima), precioso);
    EXPECT_TRUE(fs::is_symlink(ajustes / "3d_edit.ini.tmp"));
    EXPECT_NE(prueba::LeeFichero(ajustes / "3d_edit.ini").find("[Recent Files]"), std::string::npos);

    const fs::path ini = ajustes / "3d_edit.ini";
    fs::remove(ini);
    fs::create_symlink(victima.toStdString(), ini);
    TFormTestOpenGL& v = Abre({nombre});
    EXPECT_EQ(v.statusBar()->currentMessage(),
              "Settings are not saved: " + QString::fromStdString(ini.string()) +
                  " is a symbolic link, left alone");
    v.close();
    EXPECT_EQ(LeeFichero(victima), precioso);
    EXPECT_TRUE(fs::is_symlink(ini));
}

// Mended: a script whose name is not UTF-8 could not be opened from the command line
// nor from Recent Files ("No such file or directory": the byte had become U+FFFD), and
// saving the list rewrote such names. Names stay the system's bytes to the file itself;
// the settings keep them escaped.
TEST_F(EditorFicheros, ANameThatIsNotUtf8OpensFromTheCommandLineAndRecentFiles) {
    const std::string raro = carpeta.path().toStdString() + "/na\xffme.3di";
    std::ofstream(raro, std::ios::binary) << enDisco;
    TFormTestOpenGL& v = AbreConBytes({QByteArray::fromStdString(raro)});
    EXPECT_TRUE(dialogos->mensajes.isEmpty()) << dialogos->mensajes.join('\n').toStdString();
    EXPECT_EQ(v.MemoPrograma->toPlainText().toStdString(), enDisco);
    Escribe(script);
    EXPECT_TRUE(v.MenuSaveClick());
    EXPECT_EQ(prueba::LeeFichero(raro), script.toStdString() + " ");
    Cierra();
    EXPECT_NE(LeeFichero(carpeta.filePath("config/pictomolder/3d_edit.ini")).find("/na%FFme.3di"),
              std::string::npos);

    // The next start opens the last file again.
    TFormTestOpenGL& w = Abre();
    EXPECT_STREQ(w.nombreFichero.c_str(), raro.c_str());
    EXPECT_EQ(w.MemoPrograma->toPlainText(), script);
    Cierra();

    TFormTestOpenGL& x = Abre({Fichero("other.3di", &enDisco)});
    ASSERT_EQ(x.recientes->Lista().value(1), QByteArray::fromStdString(raro));
    x.recientes->menu->actions()[1]->trigger();
    EXPECT_TRUE(dialogos->mensajes.isEmpty()) << dialogos->mensajes.join('\n').toStdString();
    EXPECT_STREQ(x.nombreFichero.c_str(), raro.c_str());
    EXPECT_EQ(x.MemoPrograma->toPlainText(), script);
}
