#include "render/Cuadro_guardado.h"

#include "render/Idc_opengl.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

TEstadoCuadro LeeEstadoCuadro(const IDCOpenGL& dc, std::shared_ptr<const void> numeracion) {
    TEstadoCuadro e;
    e.numeracion = std::move(numeracion);
    glGetDoublev(GL_PROJECTION_MATRIX, e.proyeccion.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, e.modelo.data());
    glGetIntegerv(GL_VIEWPORT, e.viewport.data());
    glGetFloatv(GL_COLOR_CLEAR_VALUE, e.fondo.data());
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &e.profundidadFondo);
    e.escalaGrosor = dc.escalaGrosor;
    GLint marco = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &marco);
    e.marco = marco;
    return e;
}

namespace {

// The internal format of the depth buffer of the frame buffer bound for drawing; 0 when
// it has none that is a renderbuffer.
GLint FormatoProfundidad() {
    GLint tipo = 0, nombre = 0, anterior = 0, formato = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &tipo);
    if (tipo != GL_RENDERBUFFER) return 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &nombre);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &anterior);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(nombre));
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_INTERNAL_FORMAT, &formato);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(anterior));
    return formato;
}

// The frame buffer bindings and the state a blit obeys, put back when it goes.
class TEstadoCopia {
public:
    TEstadoCopia() {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &leido);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &dibujado);
        tijera = glIsEnabled(GL_SCISSOR_TEST);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &mascaraProfundidad);
        glGetBooleanv(GL_COLOR_WRITEMASK, mascaraColor);
        glDisable(GL_SCISSOR_TEST);
        glDepthMask(GL_TRUE);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    ~TEstadoCopia() {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(leido));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(dibujado));
        if (tijera) glEnable(GL_SCISSOR_TEST);
        glDepthMask(mascaraProfundidad);
        glColorMask(mascaraColor[0], mascaraColor[1], mascaraColor[2], mascaraColor[3]);
    }
    TEstadoCopia(const TEstadoCopia&) = delete;
    TEstadoCopia& operator=(const TEstadoCopia&) = delete;

private:
    GLint leido = 0, dibujado = 0;
    GLboolean tijera = GL_FALSE, mascaraProfundidad = GL_TRUE;
    GLboolean mascaraColor[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
};

} // namespace

int TCuadroGuardadoIG::Vale(const TEstadoCuadro& actual, std::span<const uint64_t> actuales) const {
    if (!valido || series.empty() || series.size() > actuales.size() || !(actual == estado)) return 0;
    if (!std::equal(series.begin(), series.end(), actuales.begin())) return 0;
    return static_cast<int>(series.size());
}

bool TCuadroGuardadoIG::Guarda(const TEstadoCuadro& actual, std::span<const uint64_t> hechas) {
    valido = false;
    const int w = actual.viewport[2], h = actual.viewport[3];
    // Only a frame buffer object of ours to copy from: a window's buffers have formats of
    // the window system's, which a copy need not match.
    if (actual.marco == 0 || w < 1 || h < 1) return false;
    const GLint formato = FormatoProfundidad();
    if (formato == 0) return false;
    if (!Reserva(w, h, formato)) return false;
    estado = actual;
    if (!Copia(static_cast<unsigned>(actual.marco), marco, true)) {
        Libera(true);
        return false;
    }
    series.assign(hechas.begin(), hechas.end());
    valido = true;
    return true;
}

bool TCuadroGuardadoIG::Restaura() {
    if (!valido) return false;
    if (!Copia(marco, static_cast<unsigned>(estado.marco), false)) {
        Libera(true);
        return false;
    }
    ++restauraciones;
    return true;
}

void TCuadroGuardadoIG::Libera(bool conContexto) {
    if (conContexto && marco) {
        glDeleteFramebuffers(1, &marco);
        const GLuint buffers[] = {color, profundidad};
        glDeleteRenderbuffers(2, buffers);
    }
    marco = color = profundidad = 0;
    ancho = alto = formatoProfundidad = 0;
    valido = false;
    series.clear();
    estado = TEstadoCuadro();
}

bool TCuadroGuardadoIG::Reserva(int w, int h, int formato) {
    if (marco && w == ancho && h == alto && formato == formatoProfundidad) return true;
    Libera(true);
    GLint anterior = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &anterior);
    glGenRenderbuffers(1, &color);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glGenRenderbuffers(1, &profundidad);
    glBindRenderbuffer(GL_RENDERBUFFER, profundidad);
    glRenderbufferStorage(GL_RENDERBUFFER, static_cast<GLenum>(formato), w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(anterior));
    glGenFramebuffers(1, &marco);
    GLenum completo = 0;
    {
        const TEstadoCopia estadoAnterior;
        glBindFramebuffer(GL_FRAMEBUFFER, marco);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, profundidad);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        completo = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    }
    ancho = w;
    alto = h;
    formatoProfundidad = formato;
    if (completo == GL_FRAMEBUFFER_COMPLETE) return true;
    Libera(true);
    return false;
}

// Colour and depth from one frame buffer to the other: the viewport's rectangle of the
// frame drawn into, to or from the whole of ours. False on an error of the driver.
bool TCuadroGuardadoIG::Copia(unsigned de, unsigned a, bool guardando) const {
    const auto& v = estado.viewport;
    const TEstadoCopia estadoAnterior;
    OlvidaErroresGL();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, de);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, a);
    if (guardando)
        glBlitFramebuffer(v[0], v[1], v[0] + v[2], v[1] + v[3], 0, 0, v[2], v[3],
                          GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    else
        glBlitFramebuffer(0, 0, v[2], v[3], v[0], v[1], v[0] + v[2], v[1] + v[3],
                          GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    return glGetError() == GL_NO_ERROR;
}
