// Scope guards for OpenGL's matrix state, for the painters that put a transform of
// their own in front of what they draw.
#pragma once

#include <GL/gl.h>

// Saves one matrix stack's top and puts it back. A full stack cannot take a push, so the
// matrix is then kept here and reloaded: a painter nested deep in the scene's push
// elements must not leave the stack one matrix short.
class TGuardaMatriz {
public:
    explicit TGuardaMatriz(GLenum modo);
    ~TGuardaMatriz();
    TGuardaMatriz(const TGuardaMatriz&) = delete;
    TGuardaMatriz& operator=(const TGuardaMatriz&) = delete;

private:
    GLenum modo;
    bool empujada = false;
    GLdouble guardada[16] = {};
};

// Leaves the matrix mode as it was found.
class TGuardaModo {
public:
    TGuardaModo() { glGetIntegerv(GL_MATRIX_MODE, &modo); }
    ~TGuardaModo() { glMatrixMode(static_cast<GLenum>(modo)); }
    TGuardaModo(const TGuardaModo&) = delete;
    TGuardaModo& operator=(const TGuardaModo&) = delete;

private:
    GLint modo = GL_MODELVIEW;
};
