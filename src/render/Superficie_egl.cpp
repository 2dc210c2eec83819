#include "render/Superficie_egl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace {

// The process's connection to Mesa's surfaceless display, opened on first use and kept
// until the process ends. EGL has one display per platform: terminating it would
// invalidate the contexts of every other live surface, and unload the driver only for
// the next surface to load it again.
EGLDisplay PantallaSinSuperficie() {
    static const EGLDisplay pantalla = [] {
        auto obtenPantalla =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!obtenPantalla) return EGL_NO_DISPLAY;
        EGLDisplay d = obtenPantalla(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d == EGL_NO_DISPLAY) return EGL_NO_DISPLAY;
        EGLint mayor = 0, menor = 0;
        if (!eglInitialize(d, &mayor, &menor)) return EGL_NO_DISPLAY;
        return d;
    }();
    return pantalla;
}

// Renderbuffers cannot be empty or larger than the driver allows.
int LimitaLado(int lado) {
    GLint maximo = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maximo);
    if (maximo < 1) maximo = 4096;
    return std::clamp(lado, 1, static_cast<int>(maximo));
}

} // namespace

TSuperficieEGL::TSuperficieEGL(int ancho, int alto, int bitsColor)
    : ancho(std::max(ancho, 0)), alto(std::max(alto, 0)), bitsColor(bitsColor) {}

TSuperficieEGL::~TSuperficieEGL() {
    LiberaContexto();
}

bool TSuperficieEGL::AbreDispositivo() {
    pantalla = PantallaSinSuperficie();
    return pantalla != EGL_NO_DISPLAY;
}

int TSuperficieEGL::EligeFormato(int /*bitsColor*/, int /*bitsProfundidad*/) {
    // The colour and depth buffers are the frame buffer object's, so the config only has
    // to offer desktop OpenGL. Mesa's surfaceless display lists its configs only for
    // pbuffer or unspecified surface types, hence the explicit surface type.
    if (pantalla == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API)) return 0;
    for (EGLint tipoSuperficie : {EGLint{0}, EGLint{EGL_PBUFFER_BIT}}) {
        const EGLint atributos[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_ALPHA_SIZE, 8,
                                    EGL_SURFACE_TYPE,    tipoSuperficie, EGL_NONE};
        EGLConfig elegida = nullptr;
        EGLint cuantas = 0;
        if (eglChooseConfig(pantalla, atributos, &elegida, 1, &cuantas) && cuantas > 0) {
            configuracion = elegida;
            return 1;
        }
    }
    return 0;
}

bool TSuperficieEGL::FijaFormato(int formato, uint32_t& codigoError) {
    codigoError = 0;
    formatoFijado = formato > 0 && configuracion != nullptr;
    if (!formatoFijado) codigoError = EGL_BAD_CONFIG;
    return formatoFijado;
}

bool TSuperficieEGL::CreaContexto(uint32_t& codigoError) {
    codigoError = 0;
    LiberaContexto();
    if (pantalla == EGL_NO_DISPLAY || !formatoFijado) {
        codigoError = EGL_BAD_CONFIG;
        return false;
    }
    eglBindAPI(EGL_OPENGL_API);
    const EGLint atributos[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                EGL_NONE};
    EGLContext nuevo = eglCreateContext(pantalla, configuracion, EGL_NO_CONTEXT, atributos);
    if (nuevo == EGL_NO_CONTEXT) {
        codigoError = static_cast<uint32_t>(eglGetError());
        return false;
    }
    contexto = nuevo;
    if (!eglMakeCurrent(pantalla, EGL_NO_SURFACE, EGL_NO_SURFACE, contexto)) {
        codigoError = static_cast<uint32_t>(eglGetError());
        LiberaContexto();
        return false;
    }
    if (!CreaMarco(codigoError)) {
        LiberaContexto();
        return false;
    }
    return true;
}

bool TSuperficieEGL::CreaMarco(uint32_t& codigoError) {
    glGenFramebuffers(1, &marco);
    glBindFramebuffer(GL_FRAMEBUFFER, marco);
    glGenRenderbuffers(1, &bufferColor);
    glGenRenderbuffers(1, &bufferProfundidad);
    ReservaBuffers();
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, bufferColor);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, bufferProfundidad);
    const GLenum estado = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (estado != GL_FRAMEBUFFER_COMPLETE) {
        codigoError = estado;
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    return true;
}

void TSuperficieEGL::ReservaBuffers() {
    const int w = LimitaLado(ancho), h = LimitaLado(alto);
    glBindRenderbuffer(GL_RENDERBUFFER, bufferColor);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, bufferProfundidad);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

void TSuperficieEGL::LiberaContexto() {
    if (!contexto) return;
    EGLDisplay d = pantalla;
    // Another surface's context that was current stays current afterwards.
    EGLContext anterior = eglGetCurrentContext();
    // The frame buffer lives in the context: delete it while the context is current.
    if (eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, contexto)) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (marco) glDeleteFramebuffers(1, &marco);
        const GLuint buffers[] = {bufferColor, bufferProfundidad};
        glDeleteRenderbuffers(2, buffers);
    }
    eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(d, contexto);
    if (anterior != EGL_NO_CONTEXT && anterior != contexto)
        eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, anterior);
    contexto = nullptr;
    marco = bufferColor = bufferProfundidad = 0;
}

bool TSuperficieEGL::HazActual() {
    if (!contexto) return false;
    if (eglGetCurrentContext() != contexto &&
        !eglMakeCurrent(pantalla, EGL_NO_SURFACE, EGL_NO_SURFACE, contexto))
        return false;
    glBindFramebuffer(GL_FRAMEBUFFER, marco);
    return true;
}

void TSuperficieEGL::Presenta() {
    if (contexto) glFinish();
}

void TSuperficieEGL::CambiaTamano(int nuevoAncho, int nuevoAlto) {
    nuevoAncho = std::max(nuevoAncho, 0);
    nuevoAlto = std::max(nuevoAlto, 0);
    if (nuevoAncho == ancho && nuevoAlto == alto) return;
    ancho = nuevoAncho;
    alto = nuevoAlto;
    if (HazActual()) ReservaBuffers();
}

uint32_t TSuperficieEGL::BufferLectura() const {
    return GL_COLOR_ATTACHMENT0;
}
