#include "editor/Buscar_reemplazar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>

namespace {

constexpr int caracteresVisibles = 20;

QPushButton* Boton(const char* texto, QWidget* padre) {
    auto* boton = new QPushButton(texto, padre);
    boton->setAutoDefault(false);
    boton->setFocusPolicy(Qt::NoFocus);
    return boton;
}

} // namespace

TBarraBuscar::TBarraBuscar(QPlainTextEdit* memo, QWidget* padre) : QWidget(padre), memo(memo) {
    setObjectName("BarraBuscar");
    textoBuscar = new QLineEdit(this);
    textoBuscar->setPlaceholderText("Find");
    textoReemplazo = new QLineEdit(this);
    textoReemplazo->setPlaceholderText("Replace with");
    mayusculas = new QCheckBox("Match case", this);
    palabraEntera = new QCheckBox("Whole word", this);
    aviso = new QLabel(this);
    auto* siguiente = Boton("Next", this);
    auto* anterior = Boton("Previous", this);
    auto* reemplaza = Boton("Replace", this);
    auto* reemplazaTodo = Boton("Replace All", this);
    auto* cierra = new QToolButton(this);
    cierra->setText(QString::fromUtf8("\u2715"));
    cierra->setAutoRaise(true);
    cierra->setToolTip("Close (Escape)");

    // The text to find has a row of its own, the options under it: in a narrow pane it
    // keeps room for 20 characters and more, and it grows with the pane.
    textoBuscar->setMinimumWidth(textoBuscar->fontMetrics().averageCharWidth() * caracteresVisibles + 12);
    auto* rejilla = new QGridLayout(this);
    rejilla->setContentsMargins(4, 2, 4, 2);
    rejilla->addWidget(textoBuscar, 0, 0, 1, 3);
    rejilla->addWidget(anterior, 0, 3);
    rejilla->addWidget(siguiente, 0, 4);
    rejilla->addWidget(cierra, 0, 5);
    rejilla->addWidget(mayusculas, 1, 0);
    rejilla->addWidget(palabraEntera, 1, 1);
    rejilla->addWidget(aviso, 1, 2, 1, 4);
    filaReemplazo = new QWidget(this);
    auto* fila = new QHBoxLayout(filaReemplazo);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->addWidget(textoReemplazo, 1);
    fila->addWidget(reemplaza);
    fila->addWidget(reemplazaTodo);
    rejilla->addWidget(filaReemplazo, 2, 0, 1, 6);
    rejilla->setColumnStretch(2, 1);

    connect(textoBuscar, &QLineEdit::returnPressed, this, [this] { BuscaSiguiente(); });
    connect(textoReemplazo, &QLineEdit::returnPressed, this, [this] { Reemplaza(); });
    connect(textoBuscar, &QLineEdit::textChanged, aviso, &QLabel::clear);
    connect(siguiente, &QPushButton::clicked, this, [this] { BuscaSiguiente(); });
    connect(anterior, &QPushButton::clicked, this, [this] { BuscaSiguiente(true); });
    connect(reemplaza, &QPushButton::clicked, this, [this] { Reemplaza(); });
    connect(reemplazaTodo, &QPushButton::clicked, this, [this] { ReemplazaTodo(); });
    connect(cierra, &QToolButton::clicked, this, &TBarraBuscar::Cierra);
    hide();
}

void TBarraBuscar::MuestraBuscar() {
    Muestra(false);
}

void TBarraBuscar::MuestraReemplazar() {
    Muestra(true);
}

void TBarraBuscar::Muestra(bool conReemplazo) {
    const QString seleccion = memo->textCursor().selectedText();
    // A selection within one line is what one wants to find; a longer one is not.
    if (!seleccion.isEmpty() && !seleccion.contains(QChar::ParagraphSeparator))
        textoBuscar->setText(seleccion);
    filaReemplazo->setVisible(conReemplazo);
    aviso->clear();
    show();
    textoBuscar->setFocus();
    textoBuscar->selectAll();
}

void TBarraBuscar::Cierra() {
    hide();
    memo->setFocus();
}

QTextDocument::FindFlags TBarraBuscar::Opciones() const {
    QTextDocument::FindFlags opciones;
    if (mayusculas->isChecked()) opciones |= QTextDocument::FindCaseSensitively;
    if (palabraEntera->isChecked()) opciones |= QTextDocument::FindWholeWords;
    return opciones;
}

bool TBarraBuscar::BuscaSiguiente(bool haciaAtras) {
    const QString texto = textoBuscar->text();
    if (texto.isEmpty()) return false;
    QTextDocument::FindFlags opciones = Opciones();
    if (haciaAtras) opciones |= QTextDocument::FindBackward;
    QTextDocument* documento = memo->document();
    QTextCursor encontrado = documento->find(texto, memo->textCursor(), opciones);
    if (encontrado.isNull()) {
        // Round the end (or the start) of the text, as editors do.
        QTextCursor desde(documento);
        if (haciaAtras) desde.movePosition(QTextCursor::End);
        encontrado = documento->find(texto, desde, opciones);
    }
    if (encontrado.isNull()) {
        aviso->setText("Not found");
        return false;
    }
    aviso->clear();
    memo->setTextCursor(encontrado);
    memo->ensureCursorVisible();
    return true;
}

bool TBarraBuscar::SeleccionCoincide() const {
    const QTextCursor cursor = memo->textCursor();
    if (!cursor.hasSelection()) return false;
    // The selection is a match when finding from its start lands exactly on it.
    QTextCursor inicio(memo->document());
    inicio.setPosition(cursor.selectionStart());
    const QTextCursor encontrado = memo->document()->find(textoBuscar->text(), inicio, Opciones());
    return !encontrado.isNull() && encontrado.selectionStart() == cursor.selectionStart() &&
           encontrado.selectionEnd() == cursor.selectionEnd();
}

bool TBarraBuscar::Reemplaza() {
    if (memo->isReadOnly() || textoBuscar->text().isEmpty()) return false;
    const bool reemplazado = SeleccionCoincide();
    if (reemplazado) memo->textCursor().insertText(textoReemplazo->text());
    BuscaSiguiente();
    return reemplazado;
}

int TBarraBuscar::ReemplazaTodo() {
    const QString texto = textoBuscar->text();
    if (memo->isReadOnly() || texto.isEmpty()) return 0;
    QTextDocument* documento = memo->document();
    QTextCursor edicion(documento);
    edicion.beginEditBlock(); // one undo step, and one re-parse when it ends
    int cuenta = 0;
    QTextCursor encontrado = documento->find(texto, 0, Opciones());
    while (!encontrado.isNull()) {
        encontrado.insertText(textoReemplazo->text());
        ++cuenta;
        encontrado = documento->find(texto, encontrado, Opciones());
    }
    edicion.endEditBlock();
    aviso->setText(QString("%1 replaced").arg(cuenta));
    return cuenta;
}

void TBarraBuscar::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape) {
        Cierra();
        return;
    }
    QWidget::keyPressEvent(evento);
}
