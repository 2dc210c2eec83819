#include "editor/Dialogos_editor.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

namespace {

// Hide read-only, leave the current folder alone, resizable: Qt's dialogs already
// do the last two.
constexpr QFileDialog::Options opcionesDialogo = QFileDialog::Options();

} // namespace

QString TDialogosQt::PideFicheroAbrir(const QString& inicial, const QString& filtro) {
    return QFileDialog::getOpenFileName(ventana, QString(), inicial, filtro, nullptr, opcionesDialogo);
}

QString TDialogosQt::PideFicheroGrabar(const QString& inicial, const QString& filtro) {
    return QFileDialog::getSaveFileName(ventana, QString(), inicial, filtro, nullptr, opcionesDialogo);
}

QString TDialogosQt::PideCarpeta(const QString& inicial) {
    return QFileDialog::getExistingDirectory(ventana, QString(), inicial,
                                             opcionesDialogo | QFileDialog::ShowDirsOnly);
}

TRespuesta TDialogosQt::Pregunta(const QString& texto, const QString& titulo) {
    const auto boton = QMessageBox::question(
        ventana, titulo, texto, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (boton == QMessageBox::Yes) return TRespuesta::si;
    if (boton == QMessageBox::No) return TRespuesta::no;
    return TRespuesta::cancelar;
}

bool TDialogosQt::PideEntero(const QString& titulo, const QString& etiqueta, int valor, int minimo,
                             int maximo, int& elegido) {
    bool aceptado = false;
    const int numero = QInputDialog::getInt(ventana, titulo, etiqueta, valor, minimo, maximo, 1, &aceptado);
    if (aceptado) elegido = numero;
    return aceptado;
}

void TDialogosQt::Mensaje(const QString& texto, const QString& titulo, TIconoMensaje icono) {
    switch (icono) {
    case TIconoMensaje::error:
        QMessageBox::critical(ventana, titulo, texto);
        break;
    case TIconoMensaje::aviso:
        QMessageBox::warning(ventana, titulo, texto);
        break;
    case TIconoMensaje::informacion:
        QMessageBox::information(ventana, titulo, texto);
        break;
    }
}

bool TDialogosQt::AbreConEscritorio(const QString& fichero, const QString& /*verbo*/) {
    // The desktop has one default application per file type; "edit" and "open" both
    // go to it.
    if (!QFileInfo::exists(fichero)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fichero).absoluteFilePath()));
}

QString FiltroQt(const QString& filtroWindows) {
    const QStringList trozos = filtroWindows.split(u'|');
    QStringList filtros;
    for (qsizetype i = 0; i + 1 < trozos.size(); i += 2) {
        const QString& descripcion = trozos[i];
        // Windows parts the patterns of one filter with ";", Qt with spaces.
        const QString patron = QString(trozos[i + 1]).replace(u';', u' ');
        if (descripcion.contains(u'('))
            filtros << descripcion.left(descripcion.indexOf(u'(')).trimmed() + " (" + patron + ")";
        else
            filtros << descripcion + " (" + patron + ")";
    }
    return filtros.join(";;");
}
