#include "Paginas_man.h"

#include <cctype>
#include <sstream>

namespace {

std::vector<std::string> Lineas(const std::string& texto) {
    std::vector<std::string> lineas;
    std::stringstream flujo(texto);
    for (std::string l; std::getline(flujo, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lineas.push_back(l);
    }
    return lineas;
}

size_t Sangria(const std::string& linea) {
    const size_t i = linea.find_first_not_of(' ');
    return i == std::string::npos ? linea.size() : i;
}

std::string Recorta(const std::string& texto) {
    const size_t inicio = texto.find_first_not_of(" \t");
    if (inicio == std::string::npos) return "";
    return texto.substr(inicio, texto.find_last_not_of(" \t") + 1 - inicio);
}

std::string Mayusculas(std::string texto) {
    for (char& c : texto)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return texto;
}

bool EsTitulo(const std::string& linea) {
    if (linea.size() < 2 || linea.back() != ':' || !std::isupper(static_cast<unsigned char>(linea[0])))
        return false;
    for (size_t i = 0; i + 1 < linea.size(); ++i)
        if (!std::isalpha(static_cast<unsigned char>(linea[i])) && linea[i] != ' ') return false;
    return true;
}

// Text as roff reads it: backslashes and minus signs escaped; the option names in bold
// when asked.
std::string Escapa(const std::string& texto, bool opcionesEnNegrita = false) {
    std::string r;
    bool negrita = false;
    for (size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (opcionesEnNegrita && !negrita && EsInicioOpcion(texto, i)) {
            r += "\\fB";
            negrita = true;
        } else if (negrita && !std::isalnum(static_cast<unsigned char>(c)) && c != '-') {
            r += "\\fR";
            negrita = false;
        }
        if (c == '\\')
            r += "\\e";
        else if (c == '-')
            r += "\\-";
        else
            r += c;
    }
    if (negrita) r += "\\fR";
    return r;
}

// A line of text that roff takes for no request.
std::string Protege(std::string linea) {
    if (!linea.empty() && (linea[0] == '.' || linea[0] == '\'')) linea.insert(0, "\\&");
    return linea;
}

std::string Roff(const std::string& texto, bool opcionesEnNegrita = false) {
    return Protege(Escapa(texto, opcionesEnNegrita));
}

std::string Cabecera(const std::string& programa, const std::string& version, const std::string& resumen) {
    return ".TH " + Roff(Mayusculas(programa)) + " 1 \"\" \"Pictomolder " + version +
           "\" \"User Commands\"\n" +
           // Left-aligned, without hyphens: command words and names stay whole.
           ".nh\n.ad l\n.SH NAME\n" + Roff(programa) + " \\- " + Roff(resumen) + "\n";
}

void EscribeUso(std::string& pagina, const TAyudaCli& ayuda) {
    pagina += ".nf\n";
    for (const std::string& u : ayuda.uso) {
        const size_t espacio = u.find(' ');
        pagina += "\\fB" + Roff(u.substr(0, espacio)) + "\\fR";
        if (espacio != std::string::npos) pagina += Roff(u.substr(espacio));
        pagina += '\n';
    }
    pagina += ".fi\n";
}

void EscribeParrafos(std::string& pagina, const TAyudaCli& ayuda) {
    for (const TBloqueAyuda& b : ayuda.bloques)
        if (b.titulo.empty()) pagina += ".PP\n" + Roff(b.parrafo, true) + '\n';
}

void EscribeListas(std::string& pagina, const TAyudaCli& ayuda, const char* seccion) {
    for (const TBloqueAyuda& b : ayuda.bloques) {
        if (b.titulo.empty()) continue;
        pagina += std::string(seccion) + " \"" + Roff(Mayusculas(b.titulo)) + "\"\n";
        for (const TEntradaAyuda& e : b.entradas) {
            const std::string nombre = e.Nombre();
            pagina += ".TP\n\\fB" + Roff(nombre) + "\\fR" + Roff(e.sinopsis.substr(nombre.size()), true) +
                      '\n' + Roff(e.descripcion, true) + '\n';
        }
    }
}

// ---------------------------------------------------------------------------------------
// Markdown: headings, paragraphs, lists, tables and code blocks; `code` and **strong** in
// bold, links as their text, pictures left out.

std::string EnLinea(const std::string& texto) {
    std::string r;
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '`') {
            const size_t fin = texto.find('`', i + 1);
            if (fin != std::string::npos) {
                r += "\\fB" + Escapa(texto.substr(i + 1, fin - i - 1)) + "\\fR";
                i = fin;
                continue;
            }
        } else if (texto.compare(i, 2, "**") == 0) {
            const size_t fin = texto.find("**", i + 2);
            if (fin != std::string::npos) {
                r += "\\fB" + EnLinea(texto.substr(i + 2, fin - i - 2)) + "\\fR";
                i = fin + 1;
                continue;
            }
        } else if (texto[i] == '[') {
            const size_t cierre = texto.find("](", i);
            const size_t fin = cierre == std::string::npos ? cierre : texto.find(')', cierre);
            if (fin != std::string::npos) {
                r += EnLinea(texto.substr(i + 1, cierre - i - 1));
                i = fin;
                continue;
            }
        } else if (texto.compare(i, 2, "\\|") == 0) {
            ++i;
        }
        r += Escapa(std::string(1, texto[i]));
    }
    return Protege(r);
}

std::vector<std::string> Celdas(const std::string& fila) {
    std::vector<std::string> celdas;
    std::string celda;
    for (size_t i = 1; i < fila.size(); ++i) {
        if (fila[i] == '|' && fila[i - 1] != '\\') {
            celdas.push_back(Recorta(celda));
            celda.clear();
        } else {
            celda += fila[i];
        }
    }
    return celdas;
}

// A table's rows as tagged paragraphs: the first cell the tag, the second the text, and
// any further cell on a line of its own after its column's heading.
void EscribeTabla(std::string& pagina, const std::vector<std::string>& filas) {
    const std::vector<std::string> cabecera = Celdas(filas[0]);
    for (size_t f = 2; f < filas.size(); ++f) {
        const std::vector<std::string> celdas = Celdas(filas[f]);
        if (celdas.empty()) continue;
        pagina += ".TP\n" + EnLinea(celdas[0]) + '\n';
        for (size_t c = 1; c < celdas.size(); ++c) {
            if (c >= 2) pagina += ".br\n" + (c < cabecera.size() ? EnLinea(cabecera[c]) + ": " : "");
            pagina += EnLinea(celdas[c]) + '\n';
        }
    }
}

bool EsElementoLista(const std::string& recortada, std::string& marca, std::string& resto) {
    if (recortada.rfind("- ", 0) == 0 || recortada.rfind("* ", 0) == 0) {
        marca = "\\(bu";
        resto = recortada.substr(2);
        return true;
    }
    const size_t punto = recortada.find(". ");
    if (punto != std::string::npos && punto > 0 && recortada.find_first_not_of("0123456789") == punto) {
        marca = recortada.substr(0, punto + 1);
        resto = recortada.substr(punto + 2);
        return true;
    }
    return false;
}

// Whether a line ends the paragraph or list item before it.
bool EmpiezaBloque(const std::string& recortada) {
    std::string marca, resto;
    return recortada.empty() || recortada[0] == '#' || recortada[0] == '|' ||
           recortada.rfind("```", 0) == 0 || recortada.rfind("![", 0) == 0 ||
           EsElementoLista(recortada, marca, resto);
}

void EscribeMarkdown(std::string& pagina, const std::vector<std::string>& lineas) {
    for (size_t i = 0; i < lineas.size();) {
        const std::string recortada = Recorta(lineas[i]);
        std::string marca, resto;
        if (recortada.empty() || recortada.rfind("![", 0) == 0) {
            ++i;
        } else if (recortada.rfind("```", 0) == 0) {
            pagina += ".PP\n.RS 4\n.nf\n";
            for (++i; i < lineas.size() && Recorta(lineas[i]).rfind("```", 0) != 0; ++i)
                pagina += Roff(lineas[i]) + '\n';
            pagina += ".fi\n.RE\n";
            ++i;
        } else if (recortada[0] == '#') {
            const size_t nivel = recortada.find_first_not_of('#');
            const std::string titulo = Recorta(recortada.substr(nivel));
            pagina += nivel == 1 ? ".SH \"" + EnLinea(Mayusculas(titulo)) + "\"\n"
                                 : ".SS \"" + EnLinea(titulo) + "\"\n";
            ++i;
        } else if (recortada[0] == '|') {
            std::vector<std::string> filas;
            for (; i < lineas.size() && Recorta(lineas[i]).rfind('|', 0) == 0; ++i)
                filas.push_back(Recorta(lineas[i]));
            if (filas.size() > 2) EscribeTabla(pagina, filas);
        } else if (EsElementoLista(recortada, marca, resto)) {
            // The item goes on in the indented lines under it.
            for (++i; i < lineas.size() && Sangria(lineas[i]) > 0 && !EmpiezaBloque(Recorta(lineas[i])); ++i)
                Junta(resto, Recorta(lineas[i]));
            pagina += ".IP " + marca + " 4\n" + EnLinea(resto) + '\n';
        } else {
            std::string parrafo = recortada;
            for (++i; i < lineas.size() && !EmpiezaBloque(Recorta(lineas[i])); ++i)
                Junta(parrafo, Recorta(lineas[i]));
            pagina += ".PP\n" + EnLinea(parrafo) + '\n';
        }
    }
}

} // namespace

bool EsInicioOpcion(const std::string& texto, size_t i) {
    return texto[i] == '-' && i + 1 < texto.size() &&
           (i == 0 || std::string(" [|(").find(texto[i - 1]) != std::string::npos) &&
           (std::isalpha(static_cast<unsigned char>(texto[i + 1])) || texto[i + 1] == '-');
}

void Junta(std::string& texto, const std::string& mas, const char* separador) {
    if (mas.empty()) return;
    if (!texto.empty()) texto += separador;
    texto += mas;
}

std::string TEntradaAyuda::Nombre() const {
    return sinopsis.substr(0, sinopsis.find(' '));
}

TAyudaCli TAyudaCli::Lee(const std::string& texto) {
    TAyudaCli ayuda;
    bool enUso = false;
    bool parrafoAbierto = false;
    size_t sangriaEntradas = 0;
    for (const std::string& linea : Lineas(texto)) {
        const std::string recortada = Recorta(linea);
        const size_t sangria = Sangria(linea);
        if (linea.rfind("Usage: ", 0) == 0 || (enUso && sangria > 0 && !recortada.empty())) {
            ayuda.uso.push_back(Recorta(linea.substr(linea.rfind("Usage: ", 0) == 0 ? 7 : 0)));
            enUso = true;
            continue;
        }
        enUso = false;
        if (recortada.empty()) {
            parrafoAbierto = false;
        } else if (sangria == 0 && EsTitulo(linea)) {
            ayuda.bloques.push_back({linea.substr(0, linea.size() - 1), "", {}});
            parrafoAbierto = false;
        } else if (sangria > 0 && !ayuda.bloques.empty() && !ayuda.bloques.back().titulo.empty() &&
                   !parrafoAbierto) {
            auto& entradas = ayuda.bloques.back().entradas;
            if (entradas.empty() || sangria <= sangriaEntradas) {
                sangriaEntradas = sangria;
                const size_t hueco = recortada.find("  ");
                entradas.push_back({recortada.substr(0, hueco),
                                    hueco == std::string::npos ? "" : Recorta(recortada.substr(hueco))});
            } else if (entradas.back().descripcion.empty() &&
                       !std::islower(static_cast<unsigned char>(recortada[0]))) {
                Junta(entradas.back().sinopsis, recortada);
            } else {
                Junta(entradas.back().descripcion, recortada);
            }
        } else {
            if (!parrafoAbierto) ayuda.bloques.push_back({});
            Junta(ayuda.bloques.back().parrafo, recortada);
            // Help texts put their short paragraphs on lines of their own, one after another.
            parrafoAbierto = recortada.back() != '.';
        }
    }
    return ayuda;
}

std::string TAyudaCli::Programa() const {
    return uso.empty() ? "" : uso[0].substr(0, uso[0].find(' '));
}

std::vector<TEntradaAyuda> TAyudaCli::Ordenes() const {
    for (const TBloqueAyuda& b : bloques)
        if (b.titulo == "Commands") return b.entradas;
    return {};
}

std::string TAyudaCli::TextoEntero() const {
    std::string texto;
    for (const std::string& u : uso)
        Junta(texto, u);
    for (const TBloqueAyuda& b : bloques) {
        Junta(texto, b.parrafo);
        for (const TEntradaAyuda& e : b.entradas) {
            Junta(texto, e.sinopsis);
            Junta(texto, e.descripcion);
        }
    }
    return texto;
}

std::string PaginaManCli(const TAyudaCli& ayuda,
                         const std::vector<std::pair<std::string, TAyudaCli>>& propias,
                         const std::string& version, const std::string& resumen) {
    const std::string programa = ayuda.Programa();
    std::string pagina = Cabecera(programa, version, resumen) + ".SH SYNOPSIS\n";
    EscribeUso(pagina, ayuda);
    pagina += ".SH DESCRIPTION\n";
    EscribeParrafos(pagina, ayuda);
    EscribeListas(pagina, ayuda, ".SH");
    for (const auto& [orden, propia] : propias) {
        pagina += ".SH \"" + Roff(Mayusculas(programa + " " + orden)) + "\"\n";
        EscribeUso(pagina, propia);
        EscribeParrafos(pagina, propia);
        EscribeListas(pagina, propia, ".SS");
    }
    return pagina + ".SH \"SEE ALSO\"\n\\fBpictomolder\\fR(1)\n";
}

std::string PaginaManEditor(const std::string& markdown, const std::string& version,
                            const std::string& resumen) {
    std::vector<std::string> lineas = Lineas(markdown);
    // The title, then the introduction: its first paragraph describes the program.
    size_t i = 0;
    while (i < lineas.size() && Recorta(lineas[i]).rfind("# ", 0) != 0)
        ++i;
    size_t capitulos = i + 1;
    while (capitulos < lineas.size() && Recorta(lineas[capitulos]).rfind("# ", 0) != 0)
        ++capitulos;
    size_t finIntroduccion = i + 1;
    while (finIntroduccion < capitulos && Recorta(lineas[finIntroduccion]).empty())
        ++finIntroduccion;
    while (finIntroduccion < capitulos && !Recorta(lineas[finIntroduccion]).empty())
        ++finIntroduccion;

    std::string pagina = Cabecera("pictomolder", version, resumen) +
                         ".SH SYNOPSIS\n\\fBpictomolder\\fR [\\fIFILE\\fR]\n.SH DESCRIPTION\n";
    EscribeMarkdown(pagina, {lineas.begin() + static_cast<long>(std::min(i + 1, lineas.size())),
                             lineas.begin() + static_cast<long>(finIntroduccion)});
    EscribeMarkdown(pagina, {lineas.begin() + static_cast<long>(capitulos), lineas.end()});
    return pagina + ".SH \"SEE ALSO\"\n\\fBpictomolder\\-cli\\fR(1)\n";
}
