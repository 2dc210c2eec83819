// The window's file commands: loading, new, open, recent files, save, save as,
// autosave and its recovery, reloading a file changed on disk, the question before
// discarding changes, and "Save for 2D Icon".
#include "editor/Ajustes_editor.h"
#include "editor/Archivo_script.h"
#include "editor/Ficheros_recientes.h"
#include "editor/Lienzo_gl.h"
#include "editor/Unit_FormTestOpenGL.h"
#include "editor/Vigilante_fichero.h"
#include "render/Icono_2d.h"
#include "script/Ficheros_leidos.h"
#include "support/Reloj_tierra.h"
#include "support/Rutas.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <algorithm>

namespace {

QString Texto(const DString& d) {
    return QString::fromLocal8Bit(d.c_str());
}

QString Texto(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

DString Nombre(const QString& q) {
    return DString(QFile::encodeName(q).constData());
}

// A file name as the system's bytes.
QByteArray Bytes(const DString& d) {
    return QByteArray(d.c_str());
}

// The last file as the settings keep it: any name comes back exactly.
std::string Guardado(const DString& nombre) {
    return EscapaNombre(nombre.c_str());
}

} // namespace

void TFormTestOpenGL::UpdateCaption() {
    // The desktop's custom: the file's name, the modified marker ("[*]", where Qt shows
    // it), then the program: "house.3di* - Pictomolder".
    const QString nombre = QFileInfo(Texto(nombreFichero)).fileName();
    setWindowTitle(nombre.isEmpty() ? "Pictomolder[*]" : nombre + "[*] - Pictomolder");
    setWindowModified(modificado);
}

void TFormTestOpenGL::PonModificado(bool cambiado) {
    MemoPrograma->document()->setModified(cambiado);
    // Told by the document only when its state changes.
    modificado = cambiado;
    setWindowModified(cambiado);
}

bool TFormTestOpenGL::LoadFile() {
    TRelojTierra reloj;
    // Whatever the pane held is replaced by the file.
    lecturaPendiente = false;
    PonLectura(LeeEscena(TFuenteEscena::Fichero(nombreFichero), &lectura));
    std::string motivo;
    const auto falla = [&] {
        vigilante->Deja();
        Avisa(Texto(TextoFallo("Error Opening 3DI file", nombreFichero.c_str(), motivo)), tituloPrograma,
              TIconoMensaje::error);
        // A script that was never saved may still have its autosave copy.
        OfreceRecuperacion();
        return false;
    };
    if (EsModelo3DS(nombreFichero.c_str())) {
        // A mesh is binary: the pane gets a note instead of its bytes, and it stays read
        // only so that nothing can be saved over the mesh.
        if (const auto legible = SePuedeLeer(nombreFichero.c_str()); !legible) {
            motivo = legible.Mensaje().c_str();
            return falla();
        }
        notaModelo = true;
        codificacionLatin1 = false;
        finesCRLF = false;
        PonTextoPanel(QString(notaModelo3DS) + Texto(nombreFichero) + "\n", true);
    } else {
        const auto contenido = LeeTextoScript(nombreFichero.c_str());
        if (!contenido) {
            motivo = contenido.Mensaje().c_str();
            return falla();
        }
        notaModelo = false;
        PonTextoPanel(TextoDesdeBytes(*contenido), false);
    }
    StartClick();
    PonModificado(false);
    recientes->Anade(Bytes(nombreFichero));
    vigilante->Vigila(Bytes(nombreFichero));
    OfreceRecuperacion();
    return true;
}

void TFormTestOpenGL::OfreceRecuperacion() {
    if (notaModelo || !AutoguardadoPendiente(nombreFichero.c_str())) return;
    const std::string copia = NombreAutoguardado(nombreFichero.c_str());
    const QString pregunta = QString("The autosaved copy of %1 holds changes that were not saved (%2). "
                                     "Recover them?")
                                 .arg(Texto(nombreFichero), Texto(copia));
    if (dialogos->Pregunta(pregunta, tituloPrograma) != TRespuesta::si) return;
    const auto leidos = LeeTextoScript(copia.c_str());
    if (!leidos) return;
    const std::string& bytes = *leidos;
    // The script stays in its file's encoding and line ends (a copy that had to be
    // written in UTF-8 brings the same question on saving as the edits did).
    const bool latin1 = codificacionLatin1;
    const bool crlf = finesCRLF;
    const QString texto = TextoDesdeBytes(bytes);
    codificacionLatin1 = latin1;
    finesCRLF = crlf;
    // Re-parsed and marked modified: the file still holds the older text.
    MemoPrograma->setPlainText(texto);
    PonModificado(true);
}

void TFormTestOpenGL::FicheroCambiadoFuera() {
    if (vigilante->NoRegular()) {
        // Nothing of it is read (a FIFO would keep the window waiting); the text in the
        // pane is on disk no more, so it counts as unsaved.
        PonModificado(true);
        Avisa(QString("%1 has been replaced by something that is not a regular file (a FIFO, a device or a "
                      "folder). It was not read; the text here is kept.")
                  .arg(Texto(nombreFichero)),
              tituloPrograma, TIconoMensaje::aviso);
        return;
    }
    if (modificado) {
        const QString pregunta =
            QString("%1 has been changed by another program. Reload it and lose the changes made here?")
                .arg(Texto(nombreFichero));
        if (dialogos->Pregunta(pregunta, tituloPrograma) != TRespuesta::si) return;
    }
    // Only the text is new: the camera (but for the new scene's settings) and the caret
    // stay where they were.
    const TCamara camaraAntes = vista.camara;
    const int posicion = MemoPrograma->textCursor().position();
    if (!LoadFile()) return;
    vista.camara = camaraAntes;
    vista.camara.TomaCabecera(vista.Escena());
    QTextCursor cursor = MemoPrograma->textCursor();
    cursor.setPosition(std::min(posicion, MemoPrograma->document()->characterCount() - 1));
    MemoPrograma->setTextCursor(cursor);
    UpdateCaption();
    Repaint();
}

void TFormTestOpenGL::VigilaRecursos() {
    // The window's own file has its own watch, which reloads the text.
    const std::string propio = nombreFichero.IsEmpty() ? std::string() : RutaAbsoluta(nombreFichero.c_str());
    QByteArrayList ficheros;
    for (const auto& fichero : FicherosLeidos(lectura.Escena())) {
        const std::string absoluto = RutaAbsoluta(fichero.string());
        if (absoluto != propio) ficheros << QByteArray::fromStdString(absoluto);
    }
    if (ficheros != vigilanteRecursos->Ficheros()) vigilanteRecursos->CambiaLista(ficheros);
}

void TFormTestOpenGL::RecursoCambiadoFuera() {
    // The text is as it was: the scene is read again for what its files give now.
    if (notaModelo) {
        PonLectura(LeeEscena(TFuenteEscena::Fichero(nombreFichero), &lectura));
    } else {
        lecturaPendiente = true;
        AplicaCambiosPendientes(false);
    }
    Repaint();
}

bool TFormTestOpenGL::AbreFichero(const QByteArray& fichero) {
    SueltaFichero();
    nombreFichero = fichero.constData();
    const bool cargado = LoadFile();
    // Save writes into the file without a question only when the pane holds its text.
    sinNombre = !cargado;
    if (cargado) configFichero.Asigna(Guardado(nombreFichero).c_str());
    UpdateCaption();
    return cargado;
}

void TFormTestOpenGL::SueltaFichero() {
    BorraAutoguardado(nombreFichero.c_str());
    vigilante->Deja();
}

bool TFormTestOpenGL::ConfirmDiscard() {
    if (!modificado) return true;
    DString pregunta;
    pregunta.Format(" %s modified. Save?", nombreFichero.c_str());
    switch (dialogos->Pregunta(Texto(pregunta), tituloPrograma)) {
    case TRespuesta::cancelar:
        return false;
    case TRespuesta::si:
        // Only a script that is really on disk may be discarded: a failed save or a
        // cancelled name keeps the window and the edits.
        return MenuSaveClick();
    case TRespuesta::no:
        return true;
    }
    return false;
}

void TFormTestOpenGL::MenuNewClick() {
    if (!ConfirmDiscard()) return;
    SueltaFichero();
    nombreFichero = ficheroNuevo;
    configFichero.Asigna(Guardado(nombreFichero).c_str());
    PonLectura(LeeEscena(TFuenteEscena::Texto("", nombreFichero), &lectura));
    notaModelo = false;
    codificacionLatin1 = false;
    finesCRLF = false;
    MemoPrograma->setReadOnly(false);
    MemoPrograma->setPlainText(QString()); // re-parses the empty script
    PonModificado(false);
    sinNombre = true;
    UpdateCaption();
}

void TFormTestOpenGL::AbrirOtroClick() {
    if (!ConfirmDiscard()) return;
    const QString elegido = dialogos->PideFicheroAbrir(Texto(RecuperaNombre(configFichero.Valor().c_str())),
                                                       FiltroQt(filtroAbrir));
    if (elegido.isEmpty()) return;
    AbreFichero(QFile::encodeName(elegido));
}

void TFormTestOpenGL::AbreReciente(const QByteArray& fichero) {
    if (!ConfirmDiscard()) return;
    if (!AbreFichero(fichero)) recientes->Quita(fichero);
}

bool TFormTestOpenGL::MenuSaveClick() {
    if (notaModelo) return AvisaMallaSoloLectura();
    if (sinNombre || EsModelo3DS(nombreFichero.c_str())) return MenuSaveAsClick();
    if (!TextoCabeEnCodificacion()) {
        // Latin-1 would write "?" for them: the text is saved as UTF-8 or not at all.
        DString pregunta;
        pregunta.Format("%s is a Latin-1 file, which cannot hold some characters of the script. "
                        "Save it as UTF-8?",
                        nombreFichero.c_str());
        if (dialogos->Pregunta(Texto(pregunta), tituloPrograma) != TRespuesta::si) return false;
        codificacionLatin1 = false;
    }
    TRelojTierra reloj;
    std::string aviso;
    if (const auto grabado = GrabaTextoScript(nombreFichero.c_str(), TextoScript(), &aviso); !grabado) {
        Avisa(Texto(TextoFallo("Error Saving File", nombreFichero.c_str(), grabado.Mensaje().c_str())),
              tituloPrograma, TIconoMensaje::error);
        return false;
    }
    AvisaUnaVez(Texto(aviso));
    PonModificado(false);
    BorraAutoguardado(nombreFichero.c_str());
    vigilante->Vigila(Bytes(nombreFichero));
    recientes->Anade(Bytes(nombreFichero));
    UpdateCaption();
    return true;
}

bool TFormTestOpenGL::AvisaMallaSoloLectura() {
    // The pane holds a note, not the mesh: a script saved from it would hold that note
    // alone, and the language has no command that brings a mesh into a script.
    Avisa(QString("%1 is a 3D Studio mesh, shown read only: there is no script to save.")
              .arg(QFileInfo(Texto(nombreFichero)).fileName()),
          tituloPrograma, TIconoMensaje::informacion);
    return false;
}

bool TFormTestOpenGL::MenuSaveAsClick() {
    if (notaModelo) return AvisaMallaSoloLectura();
    // The script's own name, or a free one: never another file that a Return would
    // overwrite.
    const QString propuesto = Texto(NombrePropuesto(nombreFichero.c_str(), !sinNombre));
    const QString elegido = dialogos->PideFicheroGrabar(propuesto, FiltroQt(filtroGrabar));
    if (elegido.isEmpty()) return false;
    const DString nombre = Nombre(elegido);
    if (EsModelo3DS(nombre.c_str())) {
        Avisa("A script cannot be saved over a 3D Studio file: " + elegido, tituloPrograma,
              TIconoMensaje::error);
        return false;
    }
    const DString anterior = nombreFichero;
    nombreFichero = nombre;
    configFichero.Asigna(Guardado(nombreFichero).c_str());
    sinNombre = false;
    const bool grabado = MenuSaveClick();
    // The edits that the old name's autosave copy kept are in the new file now; after a
    // failure the old file is not the window's any more.
    if (grabado)
        BorraAutoguardado(anterior.c_str());
    else if (!(anterior == nombreFichero))
        vigilante->Deja();
    UpdateCaption();
    return grabado;
}

void TFormTestOpenGL::TimerAutoSaveTimer() {
    // Nothing to back up for a file that has no name yet (it would become a hidden
    // ".seg" file in whatever folder is current). The modified state stays: only a
    // real save clears it.
    if (!modificado || nombreFichero.IsEmpty() || notaModelo) return;
    // A copy of the program's own: never through a link nor over anything but the user's
    // own copy, with no ".BAK", written in UTF-8 when the script's encoding cannot hold
    // its text. A failure is silent; what stands in its way is said once.
    const auto grabada = GrabaAutoguardado(nombreFichero.c_str(), TextoScript(!TextoCabeEnCodificacion()));
    if (!grabada && grabada.Causa() == TCausa::ajeno)
        AvisaUnaVez(QString("Autosave skipped: %1 %2, left alone")
                        .arg(Texto(NombreAutoguardado(nombreFichero.c_str())),
                             QString::fromUtf8(grabada.Mensaje().c_str())));
}

void TFormTestOpenGL::MenuSavefor2DIconClick() {
    DString nombre;
    if (nombreFichero.IsEmpty()) {
        // No script name to put the icon beside: ask where it goes.
        const QString elegido = dialogos->PideFicheroGrabar(QString(), FiltroQt(filtroIcono));
        if (elegido.isEmpty()) return;
        nombre = Nombre(elegido);
    } else {
        nombre = nombreFichero;
        nombre += ".bmp";
    }
    // The frame is drawn again first: after Qt has shown a frame, its buffer need not
    // hold it any more.
    if (!PaintBox3D->DibujaAhora()) {
        AvisaEstado("2D icon not saved: the preview cannot be drawn");
        return;
    }
    if (const auto grabado = GrabaIcono2D(idc, nombre.c_str()); !grabado) {
        AvisaEstado(Texto(TextoFallo("2D icon not saved:", nombre.c_str(), grabado.Mensaje().c_str())));
        return;
    }
    AvisaEstado("2D icon saved as " + Texto(nombre));
}
