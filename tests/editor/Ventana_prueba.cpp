#include "Ventana_prueba.h"

#include "Carpeta_prueba.h"

#include "editor/Aplicacion_editor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <dlfcn.h>
#include <link.h>

#include <fstream>

namespace {

// The next queued answer, or `vacia` when the test queued none.
template <class T> T Saca(std::deque<T>& cola, T vacia) {
    if (cola.empty()) return vacia;
    T r = cola.front();
    cola.pop_front();
    return r;
}

} // namespace

QString TDialogosPrueba::PideFicheroAbrir(const QString& inicial, const QString& filtro) {
    peticionesAbrir << inicial;
    filtrosAbrir << filtro;
    return Saca(ficherosAbrir, QString());
}

QString TDialogosPrueba::PideFicheroGrabar(const QString& inicial, const QString& filtro) {
    peticionesGrabar << filtro;
    propuestasGrabar << inicial;
    return Saca(ficherosGrabar, QString());
}

QString TDialogosPrueba::PideCarpeta(const QString& inicial) {
    peticionesCarpeta << inicial;
    return Saca(carpetas, QString());
}

TRespuesta TDialogosPrueba::Pregunta(const QString& texto, const QString&) {
    preguntas << texto;
    return Saca(respuestas, TRespuesta::cancelar);
}

bool TDialogosPrueba::PideEntero(const QString& titulo, const QString& etiqueta, int valor, int minimo,
                                 int maximo, int& elegido) {
    peticionesEntero << QString("%1|%2|%3|%4|%5").arg(titulo, etiqueta).arg(valor).arg(minimo).arg(maximo);
    if (enteros.empty()) return false;
    elegido = Saca(enteros, 0);
    return true;
}

bool Espera(const std::function<bool()>& condicion, int ms) {
    QElapsedTimer reloj;
    reloj.start();
    while (!condicion()) {
        if (reloj.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

uint32_t ColorEn(const QImage& imagen, int x, int y) {
    const QRgb c = imagen.pixel(x, y);
    return static_cast<uint32_t>(qRed(c)) | static_cast<uint32_t>(qGreen(c)) << 8 |
           static_cast<uint32_t>(qBlue(c)) << 16;
}

void VentanaPrueba::SetUp() {
    ASSERT_TRUE(carpeta.isValid());
    // The settings of every test start empty, and relative names land in its folder.
    qputenv("XDG_CONFIG_HOME", carpeta.filePath("config").toLocal8Bit());
    carpetaAnterior = QDir::currentPath();
    QDir::setCurrent(carpeta.path());
}

void VentanaPrueba::TearDown() {
    Cierra();
    QDir::setCurrent(carpetaAnterior);
}

TFormTestOpenGL& VentanaPrueba::Abre(const QStringList& argumentos, std::deque<TRespuesta> respuestas) {
    QByteArrayList bytes;
    for (const QString& a : argumentos)
        bytes << QFile::encodeName(a);
    return AbreConBytes(bytes, std::move(respuestas));
}

TFormTestOpenGL& VentanaPrueba::AbreConBytes(const QByteArrayList& argumentos,
                                             std::deque<TRespuesta> respuestas) {
    auto d = std::make_unique<TDialogosPrueba>();
    d->respuestas = std::move(respuestas);
    dialogos = d.get();
    ventana = std::make_unique<TFormTestOpenGL>(argumentos, std::move(d));
    ventana->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(ventana.get()));
    // Shortcuts answer in the active window only.
    ventana->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get()));
    EXPECT_TRUE(Espera([&] { return ventana->PaintBox3D->Enlazado(); }));
    // The start-up (loading the argument or the last file) has run when the caption is set.
    QTest::qWait(1);
    QCoreApplication::processEvents();
    return *ventana;
}

void VentanaPrueba::Cierra() {
    if (!ventana) return;
    ventana->modificado = false;
    ventana.reset();
    dialogos = nullptr;
}

QString VentanaPrueba::Fichero(const char* nombre, const std::string* contenido) const {
    const QString ruta = carpeta.filePath(nombre);
    if (contenido) std::ofstream(ruta.toStdString(), std::ios::binary) << *contenido;
    return ruta;
}

std::string VentanaPrueba::LeeFichero(const QString& nombre) const {
    return prueba::LeeFichero(nombre.toStdString());
}

void VentanaPrueba::GuardaUltimoFichero(const QString& nombre) const {
    TstringConfig config(true, "File", "Name", "3d_edit.ini", "");
    config.Asigna(nombre.toLocal8Bit().constData());
}

void VentanaPrueba::AbreDesdeMenu(const QString& nombre) {
    dialogos->ficherosAbrir.push_back(nombre);
    ventana->AbrirOtroClick();
}

void VentanaPrueba::Escribe(const QString& texto) {
    // An edit, as a paste over the whole text is (setPlainText would start a new document).
    QTextCursor cursor(ventana->MemoPrograma->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(texto);
    EsperaCuadro();
}

void VentanaPrueba::EsperaCuadro() {
    const long antes = ventana->PaintBox3D->Cuadros();
    ventana->PaintBox3D->update();
    EXPECT_TRUE(Espera([&] { return ventana->PaintBox3D->Cuadros() > antes; }));
}

QImage VentanaPrueba::Preview() {
    return ventana->PaintBox3D->CapturaCuadro();
}

namespace {

// The OpenGL driver and the Qt plugins are loaded at run time and unloaded when the
// application ends, before the leak check runs; what they keep until the end would
// then be reported without the name of its library, and no suppression could tell it
// from ours. Keeping every loaded library loaded to the end keeps the names.
int FijaBiblioteca(dl_phdr_info* info, size_t, void*) {
    const std::string nombre = info->dlpi_name ? info->dlpi_name : "";
    for (const char* cargadaEnMarcha : {"/dri/", "/plugins/", "libGLX_mesa", "libgallium"})
        if (nombre.find(cargadaEnMarcha) != std::string::npos)
            dlopen(nombre.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    PreparaFormatoGL();
    QApplication aplicacion(argc, argv);
    // Windows come and go in every test; none of them ends the application.
    QApplication::setQuitOnLastWindowClosed(false);
    InstalaGanchosQt();
    const int resultado = RUN_ALL_TESTS();
    dl_iterate_phdr(FijaBiblioteca, nullptr);
    return resultado;
}
