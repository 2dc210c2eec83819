#include "script/Formula.h"

#include "support/Vectores_dg.h"

#include <cmath>

// Every rewriting loop below ends on any text; the comment of each loop says why. The
// text is always read through its pointer and length (never past the NUL), and every
// splice is made between positions that the scan has just found inside the text.

namespace {

// Characters that may form an operand: digits and the decimal point. A '-' joins them
// only as a sign, where the operand rules allow it.
bool EsCifra(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// Replaces the bytes desde..hasta-1 of the text by `nuevo`.
void Sustituye(DString& texto, int desde, int hasta, const DString& nuevo) {
    DString resultado(texto.c_str(), desde);
    resultado += nuevo;
    resultado += texto.c_str() + hasta;
    texto = std::move(resultado);
}

// Standard decimal reading of the bytes desde..hasta-1 alone, so that an operand is not
// read on into the text that follows it.
double Valor(const char* s, int desde, int hasta) {
    return hasta > desde ? ConvierteReal(DString(s + desde, hasta - desde).c_str()) : 0.0;
}

// End of the operand that starts at `i`: one optional '-' and then digits and '.'; a
// single other character when the first one is not a number character; nothing at the
// end of the text.
int FinOperandoDerecho(const char* s, int largo, int i) {
    if (i >= largo) return largo;
    if (!EsCifra(s[i]) && s[i] != '-') return i + 1;
    if (s[i] == '-') ++i;
    while (i < largo && EsCifra(s[i]))
        ++i;
    return i;
}

// Start of the operand that ends just before the operator at `p`: the run of digits and
// '.', with the '-' in front of it when that '-' opens the text or follows a character
// that is not part of a number (so 2+-3 reads -3, while in 6-4 the '-' is an operator).
int InicioOperandoIzquierdo(const char* s, int p) {
    int k = p;
    while (k > 0 && EsCifra(s[k - 1]))
        --k;
    if (k > 0 && s[k - 1] == '-' && (k == 1 || !EsCifra(s[k - 2]))) --k;
    return k;
}

// In the '-' pass a '-' is a sign, not an operator, at the start of the text, and also
// when it stands between a character that cannot belong to a number (a letter, a
// bracket...) and a digit: 1e-5, x-5. There the operator reading would compute 0 - 5 and
// write "-5.000000" back in the same place, behind the same character, and find the
// same operator again without end; taken as a sign the number simply stays as written.
bool EsSigno(const char* s, int largo, int i) {
    if (i == 0) return true;
    const char antes = s[i - 1];
    return !EsCifra(antes) && antes != '-' && i + 1 < largo && EsCifra(s[i + 1]);
}

int BuscaOperador(const char* s, int largo, char op) {
    for (int i = 0; i < largo; ++i)
        if (s[i] == op && !(op == '-' && EsSigno(s, largo, i))) return i;
    return -1;
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

// One operator pass: computes the first occurrence until none is left.
// Ends because: with '/', '*' and '+' each round removes one operator byte and writes
// back a number, which never holds one. With '-' nothing to the left of the number
// written back is an operator any more (its left neighbour cannot be a '-' operator,
// which would have been found first), and the number itself holds at most its sign,
// which the sign rule skips when it is finite; so the next operator lies in the
// untouched rest of the text, which gets shorter each round. An infinite or NaN result
// ("-inf", "-nan") costs one extra round that turns its '-' and next letter into 0.
void ResuelveOperador(DString& texto, char op) {
    for (;;) {
        const char* s = texto.c_str();
        const int largo = texto.Length();
        const int p = BuscaOperador(s, largo, op);
        if (p < 0) return;
        const int desde = InicioOperandoIzquierdo(s, p);
        const int hasta = FinOperandoDerecho(s, largo, p + 1);
        const double r = Opera(op, Valor(s, desde, p), Valor(s, p + 1, hasta));
        Sustituye(texto, desde, hasta, FormateaReal(r));
    }
}

// Innermost group first: the last '(' and the first ')' after it. The inside holds no
// parenthesis, so the recursion is one level deep; each round removes one '('.
// A ')' with no '(' anywhere in the text is unmatched and is dropped, so that the rest
// still evaluates: "2)*3" reads as 2*3. An unmatched '(' stops the step and stays in the
// text (the operators then take it as an operand that reads 0).
void ResuelveParentesis(DString& texto) {
    for (;;) {
        const int abre = texto.FindLast('(');
        if (abre < 0) {
            texto.RemoveChar(')');
            return;
        }
        const int cierra = texto.Find(')', abre + 1);
        if (cierra < 0) return;
        const double v = EvaluateFormula(texto.Mid(abre + 1, cierra - abre - 1));
        Sustituye(texto, abre, cierra + 1, FormateaReal(v));
    }
}

// Every "cos" before any "sin", each applied to the operand that follows its name.
// Ends because each round consumes one name and writes back a number without letters,
// except when the argument is infinite (a run of 309 or more digits): then the "nan"
// written back may complete one new "sin" with the letters before it, but the round
// has consumed those hundreds of digits, which nothing writes back.
void ResuelveFunciones(DString& texto) {
    for (;;) {
        int pos = texto.FindText("cos");
        const bool coseno = pos >= 0;
        if (!coseno) pos = texto.FindText("sin");
        if (pos < 0) return;
        const char* s = texto.c_str();
        const int fin = FinOperandoDerecho(s, texto.Length(), pos + 3);
        const double argumento = Valor(s, pos + 3, fin);
        Sustituye(texto, pos, fin, FormateaReal(coseno ? std::cos(argumento) : std::sin(argumento)));
    }
}

DString FormateaVector(const vector3D& v) {
    DString r("[");
    r += FormateaReal(v.x);
    r += ',';
    r += FormateaReal(v.y);
    r += ',';
    r += FormateaReal(v.z);
    r += ']';
    return r;
}

// First `op` outside brackets; one flag, no nesting: '[' sets it, ']' clears it.
int BuscaOperadorVectorial(const char* s, int largo, char op) {
    bool dentro = false;
    for (int i = 0; i < largo; ++i) {
        if (s[i] == '[')
            dentro = true;
        else if (s[i] == ']')
            dentro = false;
        else if (s[i] == op && !dentro)
            return i;
    }
    return -1;
}

// One vector operator pass. The left operand runs back to the nearest '[' (or the start
// of the text), the right one up to and including the next ']' (or the end of the
// text); an operand that is not a literal counts as the origin.
// Ends because the bracketed result hides everything it holds from the search, and the
// flag after it is clear as it was after the right operand, so the operators found
// outside brackets are those of the rest of the text: one fewer each round.
void ResuelveOperadorVectorial(DString& texto, char op) {
    for (;;) {
        const char* s = texto.c_str();
        const int largo = texto.Length();
        const int p = BuscaOperadorVectorial(s, largo, op);
        if (p < 0) return;
        int desde = p - 1;
        while (desde > 0 && s[desde] != '[')
            --desde;
        if (desde < 0) desde = 0;
        const int cierre = texto.Find(']', p + 1);
        const int hasta = cierre < 0 ? largo : cierre + 1;
        vector3D a;
        vector3D b;
        ParseVectorLiteral(DString(s + desde, p - desde), a);
        ParseVectorLiteral(DString(s + p + 1, hasta - p - 1), b);
        Sustituye(texto, desde, hasta, FormateaVector(op == '+' ? a + b : a - b));
    }
}

} // namespace

bool ReadVector(const DString& texto, vector3D& out) {
    DString t(texto);
    t.RemoveChars(" \t");
    ResuelveOperadorVectorial(t, '+');
    ResuelveOperadorVectorial(t, '-');
    ParseVectorLiteral(t, out);
    return true;
}

double EvaluateFormula(const DString& texto) {
    DString t(texto);
    t.RemoveChars(" \t");
    ResuelveParentesis(t);
    ResuelveFunciones(t);
    for (const char op : {'/', '*', '+', '-'})
        ResuelveOperador(t, op);
    return ConvierteReal(t.c_str());
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
