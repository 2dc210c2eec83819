#include "editor/Ayuda_editor.h"

#include "editor/Resaltador_3di.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

namespace {

bool EsPalabra(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'#';
}

// A word that has an entry of its own: a command, "#define" or VOID.
QString Entrada(const QString& palabra) {
    if (palabra == QLatin1String("#define")) return palabra;
    const QString mayusculas = palabra.toUpper();
    if (mayusculas == QLatin1String("VOID") || EsOrden3Di(palabra)) return mayusculas;
    return QString();
}

} // namespace

TAyudaEditor::TAyudaEditor(QObject* padre)
    : QObject(padre), carpetaPrograma(QCoreApplication::applicationDirPath()) {}

TAyudaEditor::~TAyudaEditor() {
    delete ventana;
}

QString TAyudaEditor::RutaManualPdf() const {
    const QString alLado = QDir(carpetaPrograma).filePath(ficheroAyuda);
    if (QFileInfo::exists(alLado)) return alLado;
    return QDir::current().filePath(ficheroAyuda);
}

bool TAyudaEditor::CargaManual() {
    if (!ventana) {
        ventana = new QWidget(nullptr, Qt::Window);
        ventana->setObjectName("VentanaReferencia");
        ventana->setWindowTitle(tituloReferencia);
        // Left open, it does not keep the program running once the main window closes.
        ventana->setAttribute(Qt::WA_QuitOnClose, false);
        ventana->resize(760, 820);
        texto = new QTextBrowser(ventana);
        texto->setOpenExternalLinks(true);
        auto* disposicion = new QVBoxLayout(ventana);
        disposicion->setContentsMargins(0, 0, 0, 0);
        disposicion->addWidget(texto);
    }
    if (cargado) return true;
    const QString manual = QDir(carpetaPrograma).filePath(ficheroManual);
    if (!QFileInfo::exists(manual)) {
        texto->setPlainText("The manual was not found: " + QDir::toNativeSeparators(manual));
        return false;
    }
    // The pictures are named relative to the manual's folder.
    texto->setSearchPaths({QFileInfo(manual).absolutePath()});
    texto->setSource(QUrl::fromLocalFile(manual), QTextDocument::MarkdownResource);
    cargado = true;
    return true;
}

bool TAyudaEditor::MuestraReferencia(const QString& orden) {
    const bool hay = CargaManual();
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    if (!hay) return false;
    // The entries are the headings that name a command and nothing else.
    QTextCursor destino(texto->document());
    for (QTextBlock b = texto->document()->begin(); b.isValid() && !orden.isEmpty(); b = b.next()) {
        if (b.blockFormat().headingLevel() > 0 &&
            b.text().trimmed().compare(orden, Qt::CaseInsensitive) == 0) {
            destino = QTextCursor(b);
            break;
        }
    }
    // Scrolled from the end, the entry comes to the top of the window.
    texto->moveCursor(QTextCursor::End);
    texto->setTextCursor(destino);
    texto->ensureCursorVisible();
    return true;
}

QString OrdenEnCursor(const QTextCursor& cursor) {
    const QString linea = cursor.block().text();
    qsizetype inicio = cursor.positionInBlock(), fin = inicio;
    while (inicio > 0 && EsPalabra(linea[inicio - 1]))
        --inicio;
    while (fin < linea.size() && EsPalabra(linea[fin]))
        ++fin;
    const QString bajoCursor = Entrada(linea.mid(inicio, fin - inicio));
    if (!bajoCursor.isEmpty()) return bajoCursor;
    // The line's own command: the text before "=" (comments left out).
    const QString codigo = linea.left(linea.indexOf(u';') < 0 ? linea.size() : linea.indexOf(u';')).trimmed();
    if (codigo.startsWith(QLatin1String("#define "))) return QStringLiteral("#define");
    return Entrada(codigo.left(codigo.indexOf(u'=') < 0 ? codigo.size() : codigo.indexOf(u'=')).trimmed());
}
