// `pictomolder-cli export FILE -o OUT.ico|OUT.png [options]` and
// `pictomolder-cli export FILE --icon-theme DIR --name NAME [options]`: the icon of a
// script at the sizes a desktop asks for, transparent, antialiased and framed, as an
// icon file, a PNG file or an icon-theme folder.
#pragma once

// `argumentos` are those after the word "export". Returns the exit status: 0 written,
// 1 written although the script has errors, 2 usage, drawing or file errors.
int OrdenExporta(int cuantos, char** argumentos);
