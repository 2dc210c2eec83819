// The editor's test bench: the real window on a private X server, its dialogs answered
// by the test, and a settings folder of its own for every test.
#pragma once

#include "editor/Dialogos_editor.h"
#include "editor/Lienzo_gl.h"
#include "editor/Unit_FormTestOpenGL.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Answers in the order the test queued them; a question with no queued answer is
// answered "Cancel", a file request with no queued name is cancelled.
struct TDialogosPrueba : TDialogosEditor {
    QString PideFicheroAbrir(const QString& inicial, const QString& filtro) override;
    QString PideFicheroGrabar(const QString& inicial, const QString& filtro) override;
    QString PideCarpeta(const QString& inicial) override;
    TRespuesta Pregunta(const QString& texto, const QString& titulo) override;
    bool PideEntero(const QString& titulo, const QString& etiqueta, int valor, int minimo, int maximo,
                    int& elegido) override;
    void Mensaje(const QString& texto, const QString& titulo, TIconoMensaje) override {
        mensajes << titulo + "|" + texto;
    }
    bool AbreConEscritorio(const QString& fichero, const QString& verbo) override {
        abiertos << verbo + "|" + fichero;
        // The desktop's own opener, for the tests that put a stand-in first on PATH.
        if (escritorioReal) return TDialogosQt(nullptr).AbreConEscritorio(fichero, verbo);
        return escritorioResponde;
    }

    std::deque<QString> ficherosAbrir, ficherosGrabar, carpetas;
    std::deque<TRespuesta> respuestas;
    std::deque<int> enteros;
    bool escritorioResponde = false;
    bool escritorioReal = false;

    // What the window asked and showed.
    QStringList peticionesAbrir;   // the initial names handed to the open dialog
    QStringList filtrosAbrir;      // and its filters
    QStringList peticionesCarpeta; // the folders the folder requests started in
    QStringList peticionesGrabar;  // the filters of the save requests
    QStringList propuestasGrabar;  // the names they proposed
    QStringList preguntas;         // the question texts
    QStringList peticionesEntero;  // "title|label|value|min|max"
    QStringList mensajes;          // "caption|text"
    QStringList abiertos;          // "verb|file"
};

class VentanaPrueba : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the window, bound to OpenGL; `respuestas` answer the start-up's questions.
    TFormTestOpenGL& Abre(const QStringList& argumentos = {}, std::deque<TRespuesta> respuestas = {});
    // The same with the command line as bytes, as the system gives it.
    TFormTestOpenGL& AbreConBytes(const QByteArrayList& argumentos, std::deque<TRespuesta> respuestas = {});
    void Cierra(); // without questions
    // A file in the test's folder (with `contenido` written when given).
    QString Fichero(const char* nombre, const std::string* contenido = nullptr) const;
    std::string LeeFichero(const QString& nombre) const;
    // The stored last file, as an earlier session would have left it.
    void GuardaUltimoFichero(const QString& nombre) const;
    void AbreDesdeMenu(const QString& nombre); // File > Open..., answered `nombre`
    // Replaces the script text as typing would (one change) and waits for the repaint.
    void Escribe(const QString& texto);
    // Lets the event loop run until the window has painted a frame after this call.
    void EsperaCuadro();
    QImage Preview();

    std::unique_ptr<TFormTestOpenGL> ventana;
    TDialogosPrueba* dialogos = nullptr;
    QTemporaryDir carpeta;
    QString carpetaAnterior;
};

// Failed checks print the texts, not their characters' bytes.
inline void PrintTo(const QString& texto, std::ostream* salida) {
    *salida << '"' << texto.toStdString() << '"';
}

// Runs the event loop until `condicion` holds (true) or `ms` milliseconds pass (false).
bool Espera(const std::function<bool()>& condicion, int ms = 5000);
// Pixel of the preview's picture, as packed 0xBBGGRR.
uint32_t ColorEn(const QImage& imagen, int x, int y);
inline uint32_t EnMedio(const QImage& imagen) {
    return ColorEn(imagen, imagen.width() / 2, imagen.height() / 2);
}
// The preview's background: blue at full strength (OpenGL's 255/256 gives 254), no red, no green.
inline bool EsAzul(uint32_t c) {
    return (c & 0xFFFF) == 0 && (c >> 16) >= 254;
}
