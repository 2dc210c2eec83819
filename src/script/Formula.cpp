#include "script/Formula.h"

#include "support/Vectores_dg.h"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

// Each step computes one operation and writes its result back in place of it, as text.
// Done literally (search from the start, splice, search again) that costs the length
// of the text for every operation: a long formula took seconds. Here every step is
// carried out by a rewriting cursor (TReescritura): the text before the cursor is built
// up, the text after it waits in reverse order, and a result is put back in front of
// the cursor, so that each step costs its operands and its result only. The cursor
// goes back no further than to where the step began, which is exact: the text before
// that is unchanged, so it holds no occurrence that the search from the start would
// find first (each pass below says why).

namespace {

// Characters that may form an operand: digits and the decimal point. A '-' joins them
// only as a sign, where the operand rules allow it; an exponent ("1e-3") joins a run
// that ends in a digit.
bool EsCifra(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

bool EsDigito(char c) {
    return c >= '0' && c <= '9';
}

bool EsExponente(char c) {
    return c == 'e' || c == 'E';
}

class TReescritura {
public:
    explicit TReescritura(std::string_view texto) : pendiente(texto.rbegin(), texto.rend()) {}

    bool Queda() const { return !pendiente.empty(); }
    // The k-th byte ahead of the cursor; '\0' beyond the end.
    char Siguiente(size_t k = 0) const {
        return k < pendiente.size() ? pendiente[pendiente.size() - 1 - k] : '\0';
    }
    char Toma() {
        const char c = pendiente.back();
        pendiente.pop_back();
        return c;
    }
    void Avanza() { hecho.push_back(Toma()); }
    // Puts text back in front of the cursor.
    void Devuelve(std::string_view texto) { pendiente.append(texto.rbegin(), texto.rend()); }
    // Puts a number back in front of the cursor, written as formulas write results.
    void Devuelve(double valor) { Devuelve(std::string_view(FormateaReal(valor).c_str())); }
    // Moves the cursor back by up to n bytes.
    void Retrocede(size_t n) {
        for (; n > 0 && !hecho.empty(); --n) {
            pendiente.push_back(hecho.back());
            hecho.pop_back();
        }
    }
    std::string Resultado() {
        hecho.append(pendiente.rbegin(), pendiente.rend());
        return std::move(hecho);
    }

    std::string hecho;

private:
    std::string pendiente;
};

std::string Formatea(double v) {
    return FormateaReal(v).c_str();
}

// Standard decimal reading of the operand alone.
double Valor(const char* operando) {
    return *operando == '\0' ? 0.0 : ConvierteReal(operando);
}

double Valor(const std::string& operando) {
    return Valor(operando.c_str());
}

// The operand ahead of the cursor, taken off the text: one optional '-', then digits
// and '.' with an optional exponent; a single other character when the first one is
// not a number character; nothing at the end of the text.
std::string TomaOperandoDerecho(TReescritura& r) {
    std::string o;
    if (!r.Queda()) return o;
    if (!EsCifra(r.Siguiente()) && r.Siguiente() != '-') {
        o += r.Toma();
        return o;
    }
    if (r.Siguiente() == '-') o += r.Toma();
    const size_t mantisa = o.size();
    while (r.Queda() && EsCifra(r.Siguiente()))
        o += r.Toma();
    if (o.size() > mantisa && EsExponente(r.Siguiente())) {
        const size_t signo = (r.Siguiente(1) == '-' || r.Siguiente(1) == '+') ? 1 : 0;
        if (EsDigito(r.Siguiente(1 + signo))) {
            for (size_t k = 0; k < 1 + signo; ++k)
                o += r.Toma();
            while (r.Queda() && EsDigito(r.Siguiente()))
                o += r.Toma();
        }
    }
    return o;
}

// Start of the operand that ends the built text: the run of digits and '.', with the
// mantissa in front of it when the run is the digits of an exponent ("2.5e-3"), and
// with the '-' in front when that '-' opens the text or follows a character that is not
// part of a number (so 2+-3 reads -3, while in 6-4 the '-' is an operator).
size_t InicioOperandoIzquierdo(const std::string& h) {
    size_t k = h.size();
    bool soloDigitos = true;
    while (k > 0 && EsCifra(h[k - 1]))
        soloDigitos = EsDigito(h[--k]) && soloDigitos;
    if (k < h.size() && soloDigitos) {
        size_t e = k;
        if (e > 0 && (h[e - 1] == '-' || h[e - 1] == '+')) --e;
        if (e > 1 && EsExponente(h[e - 1]) && EsCifra(h[e - 2])) {
            k = e - 1;
            while (k > 0 && EsCifra(h[k - 1]))
                --k;
        }
    }
    if (k > 0 && h[k - 1] == '-' && (k == 1 || !EsCifra(h[k - 2]))) --k;
    return k;
}

// Whether the `op` ahead of the cursor is an operator. In the '-' pass a '-' is a sign
// at the start of the text, and also between a character that cannot belong to a
// number (a letter, a bracket...) and a digit: x-5. There the operator reading would
// compute 0 - 5 and write "-5.000000" back in the same place, behind the same
// character, and find the same operator again without end. A '+' or '-' between the
// 'e' of a number and a digit is the sign of its exponent.
bool EsOperador(const TReescritura& r, char op) {
    const std::string& h = r.hecho;
    const char despues = r.Siguiente(1);
    if (op == '-') {
        if (h.empty()) return false;
        if (!EsCifra(h.back()) && h.back() != '-' && EsCifra(despues)) return false;
    }
    if (op == '+' && h.size() >= 2 && EsExponente(h.back()) && EsCifra(h[h.size() - 2]) && EsDigito(despues))
        return false;
    return true;
}

double Opera(char op, double a, double b) {
    switch (op) {
    case '/':
        // A zero divisor yields 0: a finite number that reads back as written, where
        // the quotient would be an infinity or a NaN that spreads into the geometry.
        return b == 0.0 ? 0.0 : a / b;
    case '*':
        return a * b;
    case '+':
        return a + b;
    default:
        return a - b;
    }
}

// One operator pass: computes the first occurrence until none is left. The result is
// read again from one byte before it: only that byte's neighbour has changed, so it
// may have become an operator ("1e+5.5*-2" gives "1e+-11.000000", where the '+' is no
// longer an exponent sign); every earlier byte keeps its neighbours.
// Ends because each round consumes the operator byte, and the number written back
// holds no operator except a leading sign, which the sign rules skip when it is finite
// (an infinite or NaN result, "-inf", costs one extra round that turns its '-' and next
// letter into 0).
void ResuelveOperador(std::string& texto, char op) {
    TReescritura r(texto);
    while (r.Queda()) {
        if (r.Siguiente() != op || !EsOperador(r, op)) {
            r.Avanza();
            continue;
        }
        const size_t desde = InicioOperandoIzquierdo(r.hecho);
        const double izquierdo = Valor(r.hecho.c_str() + desde); // the operand ends the text
        r.hecho.resize(desde);
        r.Toma();
        const double derecho = Valor(TomaOperandoDerecho(r));
        r.Devuelve(Opera(op, izquierdo, derecho));
        r.Retrocede(1);
    }
    texto = r.Resultado();
}

// Parentheses, innermost group first: the last '(' and the first ')' after it, again
// and again. Those are the pairs that a stack matches from left to right, so each group
// is evaluated when its ')' is reached, from the text built since its '('. The literal
// rule stops at a '(' that has no ')' after it and leaves it, and every group before it,
// in the text (the operators then take it as an operand that reads 0): so only the
// groups after the last unmatched '(' are evaluated. Without one, every group is, and a
// ')' with no '(' before it is dropped, so that the rest still evaluates: "2)*3" reads
// as 2*3.
double EvaluaSinParentesis(std::string texto);

void ResuelveParentesis(std::string& texto) {
    size_t desde = 0;
    std::vector<size_t> abiertos;
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '(')
            abiertos.push_back(i);
        else if (texto[i] == ')' && !abiertos.empty())
            abiertos.pop_back();
    }
    const bool sinCerrar = !abiertos.empty();
    if (sinCerrar) desde = abiertos.back() + 1;
    abiertos.clear();
    std::string r = texto.substr(0, desde);
    for (size_t i = desde; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == ')') {
            if (abiertos.empty()) continue; // only without an unmatched '(' (see above)
            const size_t abre = abiertos.back();
            abiertos.pop_back();
            const double v = EvaluaSinParentesis(r.substr(abre + 1));
            r.resize(abre);
            r += Formatea(v);
            continue;
        }
        if (c == '(') abiertos.push_back(r.size());
        r += c;
    }
    texto = std::move(r);
}

// Every "cos" before any "sin", each applied to the operand that follows its name, in
// text order. A result may complete a name with the two bytes before it ("si" and
// "nan" make "sin"), so the search goes on two bytes before it; no result holds a "c",
// an "o" or an "s", so no new "cos" ever appears.
// Ends because each round consumes one name and writes back a number without letters,
// except when the argument is infinite (a run of 309 or more digits): then the "nan"
// written back may complete one new "sin" with the letters before it, but the round
// has consumed those hundreds of digits, which nothing writes back.
void ResuelveFuncion(std::string& texto, const char* nombre, double (*funcion)(double)) {
    TReescritura r(texto);
    while (r.Queda()) {
        if (r.Siguiente() != nombre[0] || r.Siguiente(1) != nombre[1] || r.Siguiente(2) != nombre[2]) {
            r.Avanza();
            continue;
        }
        for (int k = 0; k < 3; ++k)
            r.Toma();
        r.Devuelve(funcion(Valor(TomaOperandoDerecho(r))));
        r.Retrocede(2);
    }
    texto = r.Resultado();
}

double Coseno(double x) {
    return std::cos(x);
}

double Seno(double x) {
    return std::sin(x);
}

double EvaluaSinParentesis(std::string texto) {
    ResuelveFuncion(texto, "cos", Coseno);
    ResuelveFuncion(texto, "sin", Seno);
    for (const char op : {'/', '*', '+', '-'})
        ResuelveOperador(texto, op);
    return ConvierteReal(texto.c_str());
}

std::string FormateaVector(const vector3D& v) {
    // Appended piece by piece: GCC 12 takes `"[" + std::string` at -O3 for an
    // overlapping copy (-Wrestrict) and stops a build with warnings as errors.
    std::string texto(1, '[');
    texto.append(Formatea(v.x)).append(1, ',').append(Formatea(v.y)).append(1, ',').append(Formatea(v.z));
    return texto.append(1, ']');
}

// One vector operator pass: the first `op` outside brackets, again and again. "Outside"
// is one flag, no nesting: a '[' sets it, a ']' clears it, so it is what the last
// bracket of the built text says. The left operand runs back to the nearest '[' (or the
// start of the text), the right one up to and including the next ']' (or the end of
// the text); an operand that is not a literal counts as the origin. The result is read
// again from where the left operand began: the text before it is unchanged.
// Ends because the bracketed result hides everything it holds from the search, and the
// flag after it is clear as it was after the right operand, so the operators found
// outside brackets are those of the rest of the text: one fewer each round.
void ResuelveOperadorVectorial(std::string& texto, char op) {
    TReescritura r(texto);
    std::vector<size_t> corchetes; // positions of '[' and ']' in the built text
    std::vector<size_t> aperturas; // positions of '['
    const auto recorta = [&](size_t largo) {
        r.hecho.resize(largo);
        while (!corchetes.empty() && corchetes.back() >= largo)
            corchetes.pop_back();
        while (!aperturas.empty() && aperturas.back() >= largo)
            aperturas.pop_back();
    };
    while (r.Queda()) {
        const char c = r.Siguiente();
        const bool dentro = !corchetes.empty() && r.hecho[corchetes.back()] == '[';
        if (c != op || dentro) {
            if (c == '[' || c == ']') corchetes.push_back(r.hecho.size());
            if (c == '[') aperturas.push_back(r.hecho.size());
            r.Avanza();
            continue;
        }
        const size_t desde = aperturas.empty() ? 0 : aperturas.back();
        vector3D a;
        vector3D b;
        ParseVectorLiteral(DString(r.hecho.c_str() + desde, static_cast<int>(r.hecho.size() - desde)), a);
        recorta(desde);
        r.Toma();
        std::string derecho;
        while (r.Queda() && (derecho.empty() || derecho.back() != ']'))
            derecho += r.Toma();
        ParseVectorLiteral(DString(derecho.c_str(), static_cast<int>(derecho.size())), b);
        r.Devuelve(FormateaVector(op == '+' ? a + b : a - b));
    }
    texto = r.Resultado();
}

std::string SinBlancos(const DString& texto) {
    std::string t;
    t.reserve(static_cast<size_t>(texto.Length()));
    for (const char* p = texto.c_str(); *p; ++p)
        if (*p != ' ' && *p != '\t') t += *p;
    return t;
}

} // namespace

bool ReadVector(const DString& texto, vector3D& out) {
    std::string t = SinBlancos(texto);
    ResuelveOperadorVectorial(t, '+');
    ResuelveOperadorVectorial(t, '-');
    ParseVectorLiteral(DString(t.c_str(), static_cast<int>(t.size())), out);
    return true;
}

double EvaluateFormula(const DString& texto) {
    std::string t = SinBlancos(texto);
    ResuelveParentesis(t);
    return EvaluaSinParentesis(std::move(t));
}

bool ParseVectorLiteral(const DString& texto, vector3D& out) {
    const char* s = texto.c_str();
    const int largo = texto.Length();
    if (largo < 3 || s[0] != '[' || s[largo - 1] != ']') return false;
    const int cierre = texto.Find(']', 1);
    // More than three fields leave the rest, commas included, in the third one.
    Vector<DString> campos;
    DString(s + 1, cierre - 1).Split(",", campos, 3, true);
    if (campos.Count() != 3) return false;
    const int b = campos.Base();
    out.x = EvaluateFormula(campos[b]);
    out.y = EvaluateFormula(campos[b + 1]);
    out.z = EvaluateFormula(campos[b + 2]);
    return true;
}
