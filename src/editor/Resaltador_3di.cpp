#include "editor/Resaltador_3di.h"

#include "script/Lexico_3di.h"
#include "script/Objetos_3d.h"

#include <QRegularExpression>

#include <string>
#include <string_view>

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
    // The line as the reader takes it apart. In Latin-1 every character is one byte, so
    // the tokenizer's positions are the text's (a character beyond it is none of the
    // script's signs).
    const QByteArray bytes = texto.toLatin1();
    const std::string_view linea(bytes.constData(), static_cast<size_t>(bytes.size()));
    const TLineaCodigo codigo = CodigoDeLinea(linea);
    const auto fin = static_cast<qsizetype>(codigo.comentario == std::string_view::npos ? linea.size()
                                                                                        : codigo.comentario);
    if (fin < texto.size())
        setFormat(static_cast<int>(fin), static_cast<int>(texto.size() - fin), formatoComentario);
    const std::string_view instruccion = codigo.Codigo(linea);
    std::string_view nombre, valor;
    if (LeeDefinicion(instruccion, nombre, valor)) {
        setFormat(static_cast<int>(codigo.inicio), static_cast<int>(instruccion.size()), formatoDefine);
        return;
    }
    // A command word with its "=", the word POP alone, or VOID, which ends the script.
    const TOrdenLinea orden = OrdenDeLinea(instruccion);
    const bool esOrden =
        codigo.finScript ||
        (orden.conIgual ? EsComando3Di(std::string(orden.comando).c_str()) : orden.EsPopSinParametro());
    if (esOrden)
        setFormat(static_cast<int>(codigo.inicio), static_cast<int>(orden.comando.size()), formatoOrden);
    ResaltaNumeros(texto, fin);
}

void TResaltador3Di::ResaltaNumeros(const QString& texto, qsizetype fin) {
    auto coincidencias = ExpresionNumero().globalMatch(texto.left(fin));
    while (coincidencias.hasNext()) {
        const auto c = coincidencias.next();
        setFormat(static_cast<int>(c.capturedStart()), static_cast<int>(c.capturedLength()), formatoNumero);
    }
}
