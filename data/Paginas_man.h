// Manual pages written from the texts the programs already have: the command-line tool's
// help, and the manual in Markdown.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Appends a text after a separator (none before the first).
void Junta(std::string& texto, const std::string& mas, const char* separador = " ");

// Whether an option's name starts at a character: a "-" at the start of a word, followed
// by a letter or a second "-".
bool EsInicioOpcion(const std::string& texto, size_t i);

// One item of a list in a help text: "  render FILE -o OUT.bmp   draw the scene ...".
struct TEntradaAyuda {
    std::string sinopsis;
    std::string descripcion;

    // The first word of the synopsis: a command's or an option's name.
    std::string Nombre() const;
};

// A paragraph (no title), or a titled list such as "Commands:" or "Options:".
struct TBloqueAyuda {
    std::string titulo;
    std::string parrafo;
    std::vector<TEntradaAyuda> entradas;
};

// A help text as `--help` prints it: usage lines, then paragraphs and titled lists whose
// items are indented, each a synopsis and, two blanks after it or on the following
// lines, a description; a long synopsis goes on in lines that do not start with a
// lower-case word.
struct TAyudaCli {
    std::vector<std::string> uso; // without "Usage: "
    std::vector<TBloqueAyuda> bloques;

    static TAyudaCli Lee(const std::string& texto);
    // The program's name, the first word of the usage.
    std::string Programa() const;
    // The items of the "Commands" list.
    std::vector<TEntradaAyuda> Ordenes() const;
    // Everything it says, on one line.
    std::string TextoEntero() const;
};

// pictomolder-cli(1): the main help, then a section for each command with a help of its own.
std::string PaginaManCli(const TAyudaCli& ayuda,
                         const std::vector<std::pair<std::string, TAyudaCli>>& propias,
                         const std::string& version, const std::string& resumen);

// pictomolder(1): the manual's first paragraph as the description, then its chapters.
std::string PaginaManEditor(const std::string& markdown, const std::string& version,
                            const std::string& resumen);
