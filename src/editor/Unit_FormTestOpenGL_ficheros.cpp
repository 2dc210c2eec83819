// The window's file commands: loading, new, open, save, save as, autosave, the
// question before discarding changes, and "Save for 2D Icon".
#include "editor/Archivo_script.h"
#include "editor/Ficheros_recientes.h"
#include "editor/Lienzo_gl.h"
#include "editor/Unit_FormTestOpenGL.h"
#include "render/Icono_2d.h"
#include "support/Reloj_tierra.h"
#include "support/Rutas.h"

#include <QFileInfo>
#include <QPlainTextEdit>

namespace {

QString Texto(const DString& d) {
    return QString::fromLocal8Bit(d.c_str());
}

DString Nombre(const QString& q) {
    return DString(q.toLocal8Bit().constData());
}

} // namespace

void TFormTestOpenGL::UpdateCaption() {
    // The desktop's custom: the file's name, the modified marker ("[*]", where Qt shows
    // it), then the program: "house.3di* - Pictomolder".
    const QString nombre = QFileInfo(Texto(nombreFichero)).fileName();
    setWindowTitle(nombre.isEmpty() ? "Pictomolder[*]" : nombre + "[*] - Pictomolder");
    setWindowModified(modificado);
}

bool TFormTestOpenGL::LoadFile() {
    TRelojTierra reloj;
    DString error;
    const bool cargado = objeto.Carga(nombreFichero.c_str(), error);
    ShowErrors(cargado, error);
    if (EsModelo3DS(nombreFichero.c_str())) {
        // A mesh is binary: the pane gets a note instead of its bytes, and it stays read
        // only so that nothing can be saved over the mesh.
        if (!ExisteFichero(nombreFichero.c_str())) {
            Avisa("Error Opening 3DI file", tituloPrograma, TIconoMensaje::error);
            return false;
        }
        notaModelo = true;
        codificacionLatin1 = false;
        finesCRLF = false;
        PonTextoPanel(QString(notaModelo3DS) + Texto(nombreFichero) + "\n", true);
    } else {
        std::string contenido;
        if (!LeeTextoScript(nombreFichero.c_str(), contenido)) {
            Avisa("Error Opening 3DI file", tituloPrograma, TIconoMensaje::error);
            return false;
        }
        notaModelo = false;
        PonTextoPanel(TextoDesdeBytes(contenido), false);
    }
    StartClick();
    modificado = false;
    setWindowModified(false);
    recientes->Anade(Texto(nombreFichero));
    return true;
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
    nombreFichero = ficheroNuevo;
    configFichero.Asigna(nombreFichero.c_str());
    objeto.Clear(objeto.Owns());
    notaModelo = false;
    codificacionLatin1 = false;
    finesCRLF = false;
    MemoPrograma->setReadOnly(false);
    MemoPrograma->setPlainText(QString()); // re-parses the empty script
    modificado = false;
    sinNombre = true;
    UpdateCaption();
}

void TFormTestOpenGL::AbrirOtroClick() {
    if (!ConfirmDiscard()) return;
    const QString elegido = dialogos->PideFicheroAbrir(Texto(configFichero.Valor()), FiltroQt(filtroAbrir));
    if (elegido.isEmpty()) return;
    nombreFichero = Nombre(elegido);
    configFichero.Asigna(nombreFichero.c_str());
    sinNombre = false;
    LoadFile();
    UpdateCaption();
}

bool TFormTestOpenGL::MenuSaveClick() {
    // A mesh is never written over: its script needs a name of its own.
    if (sinNombre || notaModelo || EsModelo3DS(nombreFichero.c_str())) return MenuSaveAsClick();
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
    if (!GrabaTextoScript(nombreFichero.c_str(), TextoScript())) {
        Avisa("Error Saving File", tituloPrograma, TIconoMensaje::error);
        return false;
    }
    modificado = false;
    recientes->Anade(Texto(nombreFichero));
    UpdateCaption();
    return true;
}

bool TFormTestOpenGL::MenuSaveAsClick() {
    const QString elegido = dialogos->PideFicheroGrabar(Texto(configFichero.Valor()), FiltroQt(filtroGrabar));
    if (elegido.isEmpty()) return false;
    const DString nombre = Nombre(elegido);
    if (EsModelo3DS(nombre.c_str())) {
        Avisa("A script cannot be saved over a 3D Studio file: " + elegido, tituloPrograma,
              TIconoMensaje::error);
        return false;
    }
    nombreFichero = nombre;
    configFichero.Asigna(nombreFichero.c_str());
    sinNombre = false;
    if (notaModelo) {
        // The note becomes the start of a new script (it is a comment line).
        notaModelo = false;
        MemoPrograma->setReadOnly(false);
    }
    const bool grabado = MenuSaveClick();
    UpdateCaption();
    return grabado;
}

void TFormTestOpenGL::TimerAutoSaveTimer() {
    // Nothing to back up for a file that has no name yet (it would become a hidden
    // ".seg" file in whatever folder is current). The modified state stays: only a
    // real save clears it.
    if (!modificado || nombreFichero.IsEmpty() || notaModelo) return;
    DString copia(nombreFichero);
    copia += ".seg";
    // A copy: it keeps no ".BAK" (that name belongs to the script's own backup), and it
    // is written in UTF-8 when the script's encoding cannot hold its text.
    GrabaTextoScript(copia.c_str(), TextoScript(!TextoCabeEnCodificacion()), false);
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
    if (!PaintBox3D->DibujaAhora()) return;
    GrabaIcono2D(idc, nombre.c_str());
}
