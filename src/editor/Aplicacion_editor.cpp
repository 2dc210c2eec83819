#include "editor/Aplicacion_editor.h"

#include "support/Reloj_tierra.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QSurfaceFormat>

#include <clocale>

namespace {

// The guard asks for the wait cursor and later hands back what it was given; the
// override cursors of Qt form a stack, so "back" is one restore.
CursorQOR PonCursor(CursorQOR cursor) {
    if (cursor == cursorEspera) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        return cursorNormal;
    }
    QGuiApplication::restoreOverrideCursor();
    return cursorEspera;
}

} // namespace

void PreparaFormatoGL() {
    QSurfaceFormat formato;
    formato.setRenderableType(QSurfaceFormat::OpenGL);
    formato.setProfile(QSurfaceFormat::CompatibilityProfile);
    formato.setDepthBufferSize(24);
    formato.setRedBufferSize(8);
    formato.setGreenBufferSize(8);
    formato.setBlueBufferSize(8);
    QSurfaceFormat::setDefaultFormat(formato);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void InstalaGanchosQt() {
    std::setlocale(LC_NUMERIC, "C");
    InstalaCursorQOR(PonCursor);
}
