// Colours of the script pane: command words, numbers, comments and #define lines, found
// by the script's own tokenizer (Lexico_3di.h) as the reader finds them.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

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
