// `pictomolder-cli export FILE -o OUT.ico|OUT.png|OUT.icns [options]`,
// `pictomolder-cli export FILE --icon-theme DIR --name NAME [options]` and
// `pictomolder-cli export FILE... --outdir DIR [--format ico|png|icns|theme]`: the icon
// of each script at the sizes a desktop asks for, transparent, antialiased and framed,
// all drawn in one process on one OpenGL context; optionally a Make dependency file,
// and with --watch drawn again whenever a script or a file it read changes.
#pragma once

// `argumentos` are those after the word "export". Returns the exit status, the worst of
// the scripts': 0 written, 1 written although the script has errors, 2 usage, drawing
// or file errors.
int OrdenExporta(int cuantos, char** argumentos);
