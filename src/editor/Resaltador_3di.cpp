#include "editor/Resaltador_3di.h"

#include "script/Objetos_3d.h"

#include <QRegularExpression>

namespace {

// A number that is not part of a word (names such as R2 or UP3 keep their digits).
const QRegularExpression& ExpresionNumero() {
    static const QRegularExpression expresion(R"((?<![A-Za-z_0-9.])(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)");
    return expresion;
}

} // namespace

bool EsOrden3Di(const QString& palabra) {
    return EsComando3Di(palabra.toLatin1().constData());
}

TResaltador3Di::TResaltador3Di(QTextDocument* documento) : QSyntaxHighlighter(documento) {
    formatoOrden.setForeground(QColor(0, 0, 160));
    formatoOrden.setFontWeight(QFont::Bold);
    formatoNumero.setForeground(QColor(160, 80, 0));
    formatoComentario.setForeground(QColor(0, 128, 0));
    formatoComentario.setFontItalic(true);
    formatoDefine.setForeground(QColor(128, 0, 128));
}

void TResaltador3Di::highlightBlock(const QString& texto) {
    // A ";" starts a comment up to the end of the line, whatever comes before it.
    qsizetype fin = texto.indexOf(u';');
    if (fin < 0) fin = texto.size();
    if (fin < texto.size())
        setFormat(static_cast<int>(fin), static_cast<int>(texto.size() - fin), formatoComentario);

    qsizetype inicio = 0;
    while (inicio < fin && (texto[inicio] == u' ' || texto[inicio] == u'\t'))
        ++inicio;
    const QString codigo = texto.mid(inicio, fin - inicio);
    if (codigo.startsWith(QLatin1String("#define "))) {
        setFormat(static_cast<int>(inicio), static_cast<int>(fin - inicio), formatoDefine);
        return;
    }
    const qsizetype igual = codigo.indexOf(u'=');
    const QString orden = (igual < 0 ? codigo : codigo.left(igual)).trimmed();
    // As the reader takes them: a command with its "=", or standing alone the word POP, or
    // VOID, which ends the script (both exactly so written).
    const bool esOrden =
        igual >= 0 ? EsOrden3Di(orden) : orden == QLatin1String("POP") || orden == QLatin1String("VOID");
    if (esOrden) setFormat(static_cast<int>(inicio), static_cast<int>(orden.size()), formatoOrden);
    ResaltaNumeros(texto, fin);
}

void TResaltador3Di::ResaltaNumeros(const QString& texto, qsizetype fin) {
    auto coincidencias = ExpresionNumero().globalMatch(texto.left(fin));
    while (coincidencias.hasNext()) {
        const auto c = coincidencias.next();
        setFormat(static_cast<int>(c.capturedStart()), static_cast<int>(c.capturedLength()), formatoNumero);
    }
}
