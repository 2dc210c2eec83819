// pictomolder: the 3D icon editor.
//   pictomolder [FILE]
#include "editor/Aplicacion_editor.h"
#include "editor/Unit_FormTestOpenGL.h"

#include <QApplication>
#include <QByteArrayList>
#include <QIcon>

int main(int argc, char* argv[]) {
    PreparaFormatoGL();
    QApplication aplicacion(argc, argv);
    InstalaGanchosQt();
    // The desktop entry and the icon that an installation puts in the icon theme.
    QGuiApplication::setDesktopFileName("pictomolder");
    QApplication::setWindowIcon(QIcon::fromTheme("pictomolder"));
    // QApplication has taken its own options out of argv. The names stay bytes: text
    // cannot hold every file name.
    QByteArrayList argumentos;
    for (int i = 1; i < argc; ++i)
        argumentos << QByteArray(argv[i]);
    TFormTestOpenGL ventana(argumentos);
    ventana.show();
    return aplicacion.exec();
}
