// Colours of the script pane: command words, numbers, comments and #define lines, and
// a light red background on the lines that the error pane names.
#pragma once

#include <QList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextEdit>

#include <vector>

class QPlainTextEdit;

class TResaltador3Di : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit TResaltador3Di(QTextDocument* documento);

    // The formats, for the tests.
    QTextCharFormat formatoOrden;
    QTextCharFormat formatoNumero;
    QTextCharFormat formatoComentario;
    QTextCharFormat formatoDefine;

protected:
    void highlightBlock(const QString& texto) override;

private:
    void ResaltaNumeros(const QString& texto, qsizetype fin);
};

// Whether a word (any case) is a command of the script language, as the parser knows them.
bool EsOrden3Di(const QString& palabra);
// The background of the error lines (0-based line numbers; those past the end are left out).
QList<QTextEdit::ExtraSelection> SeleccionesError(QPlainTextEdit& memo, const std::vector<int>& lineas);
// Colour of that background.
QColor ColorLineaError();
