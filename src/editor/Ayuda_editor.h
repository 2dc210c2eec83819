// The editor's help: the PDF manual that Help > Index hands to the desktop, and the same
// manual shown in the program (Help > Language Reference), where F1 on a command of the
// script opens that command's entry. Both are built beside the program: the PDF as
// "HELP Pictomolder 1.pdf", the Markdown text with its pictures in "manual/".
#pragma once

#include <QObject>
#include <QString>

class QTextBrowser;
class QTextCursor;
class QWidget;

inline constexpr const char* ficheroAyuda = "HELP Pictomolder 1.pdf";
inline constexpr const char* ficheroManual = "manual/manual.md";
inline constexpr const char* tituloReferencia = "Pictomolder Language Reference";

class TAyudaEditor : public QObject {
    Q_OBJECT
public:
    explicit TAyudaEditor(QObject* padre = nullptr);
    ~TAyudaEditor() override;

    // The PDF beside the program, else where the program once looked for it: in the
    // current folder.
    QString RutaManualPdf() const;
    // Shows the manual in its own window, at the entry of `orden` (at the top for an
    // empty or unknown word); false when the manual is missing (the window says so).
    bool MuestraReferencia(const QString& orden);

    // The program's folder (the tests point it at the one the manual was built into).
    QString carpetaPrograma;
    // The window, once shown, and the text it shows.
    QWidget* ventana = nullptr;
    QTextBrowser* texto = nullptr;

private:
    bool CargaManual();
    bool cargado = false;
};

// The command that F1 asks about at the caret: the word under it when that is a command
// of the language (or "#define", or VOID), else the command of the caret's line, else "".
QString OrdenEnCursor(const QTextCursor& cursor);
