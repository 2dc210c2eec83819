#include "editor/Full_screen_window.h"

#include "editor/Lienzo_gl.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

// The window itself: a top-level OpenGL widget without frame.
class TVentanaCompletaGL : public QOpenGLWidget {
public:
    explicit TVentanaCompletaGL(TFullScreenWindow& duena)
        : QOpenGLWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), duena(duena) {
        setWindowTitle(tituloPantallaCompleta);
        setObjectName("VentanaCompleta");
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void initializeGL() override {
        if (duena.alPrepararse) duena.alPrepararse();
    }
    void paintGL() override {
        if (duena.alPintar)
            duena.alPintar();
        else
            PintaFondoAzul();
    }
    void keyPressEvent(QKeyEvent* evento) override {
        if (duena.alPulsarTecla) duena.alPulsarTecla(evento->key());
        evento->accept();
    }
    void closeEvent(QCloseEvent* evento) override {
        // The window manager's close command: the owner goes back to its own window
        // (which hides this one) instead of the program ending.
        evento->ignore();
        if (duena.alCerrar) duena.alCerrar();
    }

private:
    TFullScreenWindow& duena;
};

TFullScreenWindow::TFullScreenWindow() = default;

TFullScreenWindow::~TFullScreenWindow() = default;

bool TFullScreenWindow::Create(int anchoPedido, int altoPedido, int bitsPedidos) {
    ancho = anchoPedido;
    alto = altoPedido;
    bits = bitsPedidos;
    if (!ventana) {
        ventana = std::make_unique<TVentanaCompletaGL>(*this);
        superficie = std::make_unique<TSuperficieQt>(ventana.get());
    }
    // The whole screen even where no window manager honours the full-screen state.
    if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        ventana->setGeometry(pantalla->geometry());
    ventana->showFullScreen();
    ventana->raise();
    ventana->activateWindow();
    ventana->setFocus();
    abierta = true;
    pantallaCompleta = ventana->isFullScreen();
    return true;
}

void TFullScreenWindow::Close() {
    if (!ventana || !abierta) return;
    // Hidden, not closed: closing the last visible window would end the program.
    ventana->hide();
    abierta = false;
    pantallaCompleta = false;
}

void TFullScreenWindow::Actualiza() {
    if (ventana && abierta) ventana->update();
}

TSuperficieQt* TFullScreenWindow::Superficie() {
    return superficie.get();
}

QOpenGLWidget* TFullScreenWindow::Ventana() const {
    return ventana.get();
}
