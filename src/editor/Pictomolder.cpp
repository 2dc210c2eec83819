// pictomolder: the 3D icon editor.
//   pictomolder [FILE]
#include "editor/Aplicacion_editor.h"
#include "editor/Unit_FormTestOpenGL.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

int main(int argc, char* argv[]) {
    PreparaFormatoGL();
    QApplication aplicacion(argc, argv);
    InstalaGanchosQt();
    // The desktop entry and the icon that an installation puts in the icon theme.
    QGuiApplication::setDesktopFileName("pictomolder");
    QApplication::setWindowIcon(QIcon::fromTheme("pictomolder"));
    // QApplication has taken its own options out of argv.
    QStringList argumentos;
    for (int i = 1; i < argc; ++i)
        argumentos << QString::fromLocal8Bit(argv[i]);
    TFormTestOpenGL ventana(argumentos);
    ventana.show();
    return aplicacion.exec();
}
