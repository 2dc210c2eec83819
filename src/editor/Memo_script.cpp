#include "editor/Memo_script.h"

#include <QPainter>
#include <QTextBlock>

#include <algorithm>

// The gutter itself: a strip that the memo paints.
class TMargenLineas : public QWidget {
public:
    explicit TMargenLineas(TMemoScript* memo) : QWidget(memo), memo(memo) { setObjectName("MargenLineas"); }
    QSize sizeHint() const override { return QSize(memo->AnchoMargen(), 0); }

protected:
    void paintEvent(QPaintEvent* evento) override { memo->PintaMargen(evento); }

private:
    TMemoScript* memo;
};

namespace {

constexpr int holgura = 6; // pixels left and right of the numbers

} // namespace

TMemoScript::TMemoScript(QWidget* padre) : QPlainTextEdit(padre), margen(new TMargenLineas(this)) {
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(AnchoMargen(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& zona, int dy) {
        if (dy)
            margen->scroll(0, dy);
        else
            margen->update(0, zona.y(), margen->width(), zona.height());
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TMemoScript::ActualizaSelecciones);
    setViewportMargins(AnchoMargen(), 0, 0, 0);
    ActualizaSelecciones();
}

int TMemoScript::AnchoMargen() const {
    // Room for the largest number (0-based, so blockCount - 1), at least two digits.
    const int digitos = std::max(2, static_cast<int>(NumeroLinea(std::max(blockCount() - 1, 0)).size()));
    return 2 * holgura + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digitos;
}

void TMemoScript::FijaLineasError(const std::vector<int>& lineas) {
    if (lineas == lineasError) return;
    lineasError = lineas;
    ActualizaSelecciones();
}

void TMemoScript::IrALinea(int linea) {
    const int ultima = std::max(blockCount() - 1, 0);
    const QTextBlock bloque = document()->findBlockByNumber(std::clamp(linea, 0, ultima));
    setTextCursor(QTextCursor(bloque));
    centerCursor();
    setFocus();
}

void TMemoScript::resizeEvent(QResizeEvent* evento) {
    QPlainTextEdit::resizeEvent(evento);
    const QRect r = contentsRect();
    margen->setGeometry(QRect(r.left(), r.top(), AnchoMargen(), r.height()));
}

void TMemoScript::changeEvent(QEvent* evento) {
    QPlainTextEdit::changeEvent(evento);
    // The gutter's width follows the font of the digits.
    if (evento->type() == QEvent::FontChange) setViewportMargins(AnchoMargen(), 0, 0, 0);
}

void TMemoScript::ActualizaSelecciones() {
    QList<QTextEdit::ExtraSelection> selecciones;
    QTextEdit::ExtraSelection actual;
    actual.format.setBackground(ColorLineaActual());
    actual.format.setProperty(QTextFormat::FullWidthSelection, true);
    actual.cursor = textCursor();
    actual.cursor.clearSelection();
    selecciones << actual;
    for (int linea : lineasError) {
        const QTextBlock bloque = document()->findBlockByNumber(linea);
        if (!bloque.isValid()) continue;
        QTextEdit::ExtraSelection error;
        error.format.setBackground(ColorLineaError());
        error.format.setProperty(QTextFormat::FullWidthSelection, true);
        error.cursor = QTextCursor(bloque);
        selecciones << error;
    }
    setExtraSelections(selecciones);
    margen->update(); // the caret's number is drawn bold
}

void TMemoScript::PintaMargen(QPaintEvent* evento) {
    QPainter p(margen);
    p.fillRect(evento->rect(), palette().color(QPalette::Window));
    const int lineaActual = textCursor().blockNumber();
    QTextBlock bloque = firstVisibleBlock();
    int arriba = qRound(blockBoundingGeometry(bloque).translated(contentOffset()).top());
    const int alto = fontMetrics().height();
    while (bloque.isValid() && arriba <= evento->rect().bottom()) {
        const int abajo = arriba + qRound(blockBoundingRect(bloque).height());
        if (bloque.isVisible() && abajo >= evento->rect().top()) {
            const int numero = bloque.blockNumber();
            const QRect fila(0, arriba, margen->width(), alto);
            const bool conError =
                std::find(lineasError.begin(), lineasError.end(), numero) != lineasError.end();
            if (conError) p.fillRect(fila, ColorLineaError().darker(115));
            QFont fuente = font();
            fuente.setBold(numero == lineaActual);
            p.setFont(fuente);
            p.setPen(conError                ? QColor(170, 0, 0)
                     : numero == lineaActual ? palette().color(QPalette::Text)
                                             : palette().color(QPalette::PlaceholderText));
            p.drawText(fila.adjusted(0, 0, -holgura, 0), Qt::AlignRight | Qt::AlignVCenter,
                       NumeroLinea(numero));
        }
        bloque = bloque.next();
        arriba = abajo;
    }
}
