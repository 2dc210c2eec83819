// The device's bitmap text (display lists of the built-in font) and the projection of a
// point with its visibility against the depth buffer.
#include "render/Idc_opengl.h"

#include "render/Fuente_idc.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

namespace {
// One display list per byte value but the last.
constexpr int numeroListas = 255;
} // namespace

// ---------------------------------------------------------------------------------------
// Bitmap text

void IDCOpenGL::LiberaObjetosContexto() {
    almacenTexturas.Libera(*this);
    LiberaFuente();
}

void IDCOpenGL::LiberaFuente() {
    ReleaseTexture(texturaDispositivo);
    if (baseFuente >= 0) glDeleteLists(static_cast<GLuint>(baseFuente), numeroListas);
    baseFuente = -1;
}

// The scene's textures stay: the lists may be rebuilt in the middle of a paint (Text).
void IDCOpenGL::CreateFontLists() {
    LiberaFuente();
    const GLuint base = glGenLists(numeroListas);
    if (base == 0) return; // no lists: Text shows nothing
    baseFuente = static_cast<int32_t>(base);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (int c = 0; c < numeroListas; ++c) {
        // glBitmap takes the rows bottom first.
        const TGlifo& glifo = GlifoFuente(static_cast<unsigned char>(c));
        GLubyte filas[altoGlifo];
        for (int f = 0; f < altoGlifo; ++f)
            filas[f] = glifo[static_cast<size_t>(altoGlifo - 1 - f)];
        glNewList(base + static_cast<GLuint>(c), GL_COMPILE);
        glBitmap(anchoGlifo, altoGlifo, 0.0f, static_cast<float>(bajoLinea), static_cast<float>(avanceGlifo),
                 0.0f, filas);
        glEndList();
    }
    glPopClientAttrib();
}

void IDCOpenGL::Text(const vector3D& posicion, const char* texto) {
    if (!texto || !*texto) return;
    if (baseFuente < 0) CreateFontLists();
    if (baseFuente < 0) return;
    glRasterPos3d(posicion.x, posicion.y, posicion.z);
    glPushAttrib(GL_LIST_BIT);
    glListBase(static_cast<GLuint>(baseFuente));
    glCallLists(static_cast<GLsizei>(std::strlen(texto)), GL_UNSIGNED_BYTE, texto);
    glFlush();
    glPopAttrib();
}

// ---------------------------------------------------------------------------------------
// Projection of a point and its visibility against the depth buffer

void IDCOpenGL::ProjectPoint(const vector3D& punto, vector3D& ventana, bool& visible,
                             bool coordenadasVentana) {
    GLdouble modelo[16], proyeccion[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelo);
    glGetDoublev(GL_PROJECTION_MATRIX, proyeccion);
    GLint vista[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vista);
    const GLint normalizada[4] = {-1, -1, 2, 2};

    GLdouble wx = 0, wy = 0, wz = 0;
    const bool proyectado = gluProject(punto.x, punto.y, punto.z, modelo, proyeccion,
                                       coordenadasVentana ? vista : normalizada, &wx, &wy, &wz) == GL_TRUE;
    // The depth buffer is looked up at the point's window position whatever the
    // coordinates returned, and compared with its window depth.
    GLdouble vx = wx, vy = wy, vz = wz;
    if (!coordenadasVentana) gluProject(punto.x, punto.y, punto.z, modelo, proyeccion, vista, &vx, &vy, &vz);

    GLfloat profundidad = 33.0f; // a failed read counts as far away
    const double anchoMarco = superficie ? superficie->Ancho() : 0;
    const double altoMarco = superficie ? superficie->Alto() : 0;
    // Outside the frame a read returns undefined values: it is skipped.
    if (IsActive() && vx >= 0.0 && vy >= 0.0 && vx < anchoMarco && vy < altoMarco) {
        glReadBuffer(superficie->BufferLectura());
        glReadPixels(static_cast<GLint>(vx), static_cast<GLint>(vy), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                     &profundidad);
    }
    visible = proyectado && vz < profundidad;

    if (coordenadasVentana) {
        ventana = vector3D(wx, rectangulo.abajo - wy, wz);
        if (ventana.x < 0 || ventana.y < 0 || ventana.x > rectangulo.derecha || ventana.y > rectangulo.abajo)
            visible = false;
    } else {
        ventana = vector3D(wx, wy, perspectiva ? wz : wz - 0.5);
    }
    if (perspectiva && wz > 1.0) visible = false;
}
