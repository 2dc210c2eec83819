// TBarraBuscar: the find and replace bar under the script pane, as desktop editors
// have it: Ctrl+F opens it for finding, Ctrl+H with the replace row, F3 and Shift+F3
// find the next and the previous match (round the end of the text), Escape closes it.
// Matches may respect case and whole words.
#pragma once

#include <QTextDocument>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TBarraBuscar : public QWidget {
    Q_OBJECT
public:
    explicit TBarraBuscar(QPlainTextEdit* memo, QWidget* padre = nullptr);

    // Shows the bar (with the replace row or without), the text to find taken from the
    // selection when there is one, and puts the focus in it.
    void MuestraBuscar();
    void MuestraReemplazar();
    // Selects the next (or previous) match from the caret on; false when there is none.
    bool BuscaSiguiente(bool haciaAtras = false);
    // Replaces the selected match and finds the next one; false when nothing was replaced.
    bool Reemplaza();
    // Replaces every match, as one step of undo; returns how many.
    int ReemplazaTodo();
    void Cierra();

    QLineEdit* textoBuscar;
    QLineEdit* textoReemplazo;
    QCheckBox* mayusculas;
    QCheckBox* palabraEntera;
    QLabel* aviso;

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void Muestra(bool conReemplazo);
    QTextDocument::FindFlags Opciones() const;
    bool SeleccionCoincide() const;

    QPlainTextEdit* memo;
    QWidget* filaReemplazo;
};
