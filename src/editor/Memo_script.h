// TMemoScript: the script pane (`MemoPrograma`). A plain text editor with a gutter of
// line numbers on its left, counted from 0 as the language and the error pane count
// them, the caret's line highlighted, and the lines that the error pane names marked
// both in the gutter and by a light red background.
#pragma once

#include <QColor>
#include <QPlainTextEdit>

#include <vector>

class TMemoScript : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMemoScript(QWidget* padre = nullptr);

    // The lines with errors (0-based; those past the end are left out).
    void FijaLineasError(const std::vector<int>& lineas);
    const std::vector<int>& LineasError() const { return lineasError; }
    // Puts the caret at the start of a line (clamped to the text) and shows it.
    void IrALinea(int linea);

    // The gutter: its width, and the number shown beside a line (the tests read both).
    int AnchoMargen() const;
    static QString NumeroLinea(int bloque) { return QString::number(bloque); }

    static QColor ColorLineaError() { return QColor(255, 210, 210); }
    static QColor ColorLineaActual() { return QColor(235, 242, 255); }

protected:
    void resizeEvent(QResizeEvent* evento) override;
    void changeEvent(QEvent* evento) override;

private:
    friend class TMargenLineas;
    void PintaMargen(QPaintEvent* evento);
    void ActualizaSelecciones();

    QWidget* margen;
    std::vector<int> lineasError;
};
