// `pictomolder-cli image FILE [-o OUT.bmp]`: loads an image file as a texture is loaded
// and describes it in one line of JSON, optionally writing it back as BMP.
#pragma once

// `argumentos` are those after the word "image". Returns the exit status: 0 loaded,
// 1 the loader refused the file (its message on standard output), 2 usage errors.
int OrdenImagen(int cuantos, char** argumentos);
