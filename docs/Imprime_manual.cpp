// imprime-manual: builds the manual beside the editor at build time.
//   imprime-manual MANUAL.md PICTOMOLDER-CLI FOLDER
// Every example of the manual (a ```3di block followed by its picture line,
// ![...](imagenes/NAME.bmp) or ![...](imagenes/NAME.bmp "more render options")) is
// drawn by the command-line tool into FOLDER/manual/imagenes; the text goes to
// FOLDER/manual/manual.md for the editor's Language Reference; and the whole is printed
// (Qt reads the Markdown, QPdfWriter prints it) into FOLDER/"HELP Pictomolder 1.pdf"
// for Help > Index. An example that cannot be drawn fails the build.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* ficheroPdf = "HELP Pictomolder 1.pdf";
constexpr const char* carpetaImagenes = "imagenes";

[[noreturn]] void Falla(const QString& texto) {
    std::fprintf(stderr, "imprime-manual: %s\n", texto.toLocal8Bit().constData());
    std::exit(1);
}

QByteArray Lee(const QString& nombre) {
    QFile f(nombre);
    if (!f.open(QIODevice::ReadOnly)) Falla("cannot read " + nombre + ": " + f.errorString());
    return f.readAll();
}

void Escribe(const QString& nombre, const QByteArray& datos) {
    QFile f(nombre);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(datos) != datos.size())
        Falla("cannot write " + nombre + ": " + f.errorString());
}

// The texture that the TEXTURET example names: a 64 x 64 checkerboard.
void EscribeTablero(const QString& nombre) {
    QImage tablero(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            tablero.setPixelColor(x, y, ((x / 16 + y / 16) % 2) ? QColor(40, 40, 40) : QColor(235, 200, 60));
    if (!tablero.save(nombre, "BMP")) Falla("cannot write " + nombre);
}

struct TEjemplo {
    QString script;
    QString imagen;   // as the manual names it: imagenes/NAME.bmp
    QString opciones; // further render options
    int linea = 0;
};

QList<TEjemplo> BuscaEjemplos(const QString& manual) {
    static const QRegularExpression lineaImagen(
        R"re(^!\[[^\]]*\]\((imagenes/[\w.-]+\.bmp)(?:\s+"([^"]*)")?\)\s*$)re");
    const QStringList lineas = manual.split(u'\n');
    QList<TEjemplo> ejemplos;
    for (qsizetype i = 0; i < lineas.size(); ++i) {
        if (lineas[i].trimmed() != QLatin1String("```3di")) continue;
        TEjemplo e;
        e.linea = static_cast<int>(i + 1);
        for (++i; i < lineas.size() && lineas[i].trimmed() != QLatin1String("```"); ++i)
            e.script += lineas[i] + u'\n';
        qsizetype j = i + 1;
        while (j < lineas.size() && lineas[j].trimmed().isEmpty())
            ++j;
        const auto m = j < lineas.size() ? lineaImagen.match(lineas[j].trimmed()) : QRegularExpressionMatch();
        if (!m.hasMatch()) Falla(QString("manual line %1: an example without its picture line").arg(e.linea));
        e.imagen = m.captured(1);
        e.opciones = m.captured(2);
        ejemplos << e;
    }
    return ejemplos;
}

void Dibuja(const TEjemplo& e, const QString& cli, const QDir& carpeta) {
    const QString base = QFileInfo(e.imagen).completeBaseName();
    const QString script = carpeta.filePath(carpetaImagenes + QString("/") + base + ".3di");
    const QString imagen = carpeta.filePath(e.imagen);
    Escribe(script, e.script.toUtf8());
    QStringList argumentos{"render", script, "-o", imagen, "--size", "240x180", "--view", "iso", "--fit"};
    argumentos << e.opciones.split(u' ', Qt::SkipEmptyParts);
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::ForwardedChannels);
    proceso.start(cli, argumentos);
    // Status 1 is a script error: the picture is drawn all the same, and the tests of the
    // manual name the example. Anything else leaves no picture.
    if (!proceso.waitForFinished(120000) || proceso.exitStatus() != QProcess::NormalExit ||
        proceso.exitCode() > 1)
        Falla(QString("manual line %1: the example was not drawn (%2)").arg(e.linea).arg(proceso.exitCode()));
    if (proceso.exitCode() == 1)
        std::fprintf(stderr, "imprime-manual: manual line %d: the example has errors\n", e.linea);
}

void Imprime(const QString& manual, const QList<TEjemplo>& ejemplos, const QDir& carpeta,
             const QString& pdf) {
    QTextDocument documento;
    QFont fuente("DejaVu Sans");
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(10);
    documento.setDefaultFont(fuente);
    documento.setMarkdown(manual, QTextDocument::MarkdownDialectGitHub);
    // After the text: setting the text drops the resources.
    for (const TEjemplo& e : ejemplos) {
        QImage imagen(carpeta.filePath(e.imagen));
        if (imagen.isNull()) Falla("cannot read the picture " + carpeta.filePath(e.imagen));
        documento.addResource(QTextDocument::ImageResource, QUrl(e.imagen), imagen);
    }

    QPdfWriter escritor(pdf);
    escritor.setTitle("Pictomolder manual");
    escritor.setCreator("Pictomolder");
    escritor.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(18, 15, 18, 15), QPageLayout::Millimeter));
    documento.print(&escritor);
}

} // namespace

int main(int argc, char* argv[]) {
    // Built where there may be no display: Qt draws off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() != 4) Falla("usage: imprime-manual MANUAL.md PICTOMOLDER-CLI FOLDER");
    const QString manual = QString::fromUtf8(Lee(argumentos[1]));
    const QDir carpeta(QDir(argumentos[3]).filePath("manual"));
    if (!carpeta.mkpath(carpetaImagenes)) Falla("cannot make " + carpeta.filePath(carpetaImagenes));

    EscribeTablero(carpeta.filePath(carpetaImagenes + QString("/checker.bmp")));
    const QList<TEjemplo> ejemplos = BuscaEjemplos(manual);
    for (const TEjemplo& e : ejemplos)
        Dibuja(e, argumentos[2], carpeta);
    Escribe(carpeta.filePath("manual.md"), manual.toUtf8());

    const QString pdf = QDir(argumentos[3]).filePath(ficheroPdf);
    Imprime(manual, ejemplos, carpeta, pdf);
    if (QFileInfo(pdf).size() <= 0) Falla("cannot write " + pdf);
    return 0;
}
