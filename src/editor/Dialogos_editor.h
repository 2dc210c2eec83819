// What the main window asks of the user and of the desktop: file names, Yes/No/Cancel
// answers, message boxes and opening a file in another program. The window talks to
// this interface only, so the tests answer instead of a person and no modal dialog
// ever blocks them.
#pragma once

#include <QString>

class QWidget;

enum class TRespuesta { si, no, cancelar };
enum class TIconoMensaje { error, informacion, aviso };

class TDialogosEditor {
public:
    virtual ~TDialogosEditor() = default;
    // A file to open or to save under; an empty text when the user cancels. `filtro`
    // is in Qt's form ("Name (*.ext);;Other (*.x)").
    virtual QString PideFicheroAbrir(const QString& inicial, const QString& filtro) = 0;
    virtual QString PideFicheroGrabar(const QString& inicial, const QString& filtro) = 0;
    // A folder to write into; an empty text when the user cancels.
    virtual QString PideCarpeta(const QString& inicial) = 0;
    // Yes, No or Cancel.
    virtual TRespuesta Pregunta(const QString& texto, const QString& titulo) = 0;
    // A whole number from `minimo` to `maximo`, offered first as `valor`; false when the
    // user cancels.
    virtual bool PideEntero(const QString& titulo, const QString& etiqueta, int valor, int minimo, int maximo,
                            int& elegido) = 0;
    virtual void Mensaje(const QString& texto, const QString& titulo, TIconoMensaje icono) = 0;
    // Hands a file to the desktop ("open" to view it, "edit" to edit it); false on failure.
    virtual bool AbreConEscritorio(const QString& fichero, const QString& verbo) = 0;
};

// The real dialogs: QFileDialog, QMessageBox and QDesktopServices.
class TDialogosQt : public TDialogosEditor {
public:
    explicit TDialogosQt(QWidget* ventana) : ventana(ventana) {}
    QString PideFicheroAbrir(const QString& inicial, const QString& filtro) override;
    QString PideFicheroGrabar(const QString& inicial, const QString& filtro) override;
    QString PideCarpeta(const QString& inicial) override;
    TRespuesta Pregunta(const QString& texto, const QString& titulo) override;
    bool PideEntero(const QString& titulo, const QString& etiqueta, int valor, int minimo, int maximo,
                    int& elegido) override;
    void Mensaje(const QString& texto, const QString& titulo, TIconoMensaje icono) override;
    bool AbreConEscritorio(const QString& fichero, const QString& verbo) override;

private:
    QWidget* ventana;
};

// "Description|*.a;*.c|Other|*.b" (the pairs of a Windows filter) in Qt's form,
// "Description (*.a *.c);;Other (*.b)". Qt takes the patterns from the brackets, so a
// description that shows a pattern of its own in brackets ("Iconos 3D (*.3DI)") gets
// the real one in their place.
QString FiltroQt(const QString& filtroWindows);
