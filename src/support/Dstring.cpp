#include "support/Dstring.h"

#include "support/Vectores_dg.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <strings.h>

namespace {

// A set of bytes looked up in one step (the splitters test every byte of a line).
class TConjunto {
public:
    explicit TConjunto(const char* bytes) {
        for (const char* p = bytes; p && *p; ++p)
            miembro[static_cast<unsigned char>(*p)] = true;
    }
    bool Tiene(char c) const { return miembro[static_cast<unsigned char>(c)]; }

private:
    std::array<bool, 256> miembro{};
};

} // namespace

DString::DString(const char* texto) {
    if (texto) Asigna(texto, static_cast<int>(std::strlen(texto)));
}

DString::DString(const char* texto, int n) {
    if (texto && n > 0) Asigna(texto, static_cast<int>(strnlen(texto, static_cast<size_t>(n))));
}

DString::DString(const DString& otro) {
    if (!otro.IsEmpty()) Asigna(otro.c_str(), otro.Length());
}

DString::DString(DString&& otro) noexcept
    : datos(std::move(otro.datos)), capacidad(otro.capacidad), largo(otro.largo) {
    otro.capacidad = 0;
    otro.largo = 0;
}

DString& DString::operator=(DString&& otro) noexcept {
    if (this != &otro) {
        datos = std::move(otro.datos);
        capacidad = otro.capacidad;
        largo = otro.largo;
        otro.capacidad = 0;
        otro.largo = 0;
    }
    return *this;
}

DString& DString::operator=(const char* texto) {
    Asigna(texto, texto ? static_cast<int>(std::strlen(texto)) : 0);
    return *this;
}

DString& DString::operator=(const DString& otro) {
    if (this != &otro) Asigna(otro.c_str(), otro.Length());
    return *this;
}

DString& DString::operator+=(const char* texto) {
    if (texto) Anade(texto, static_cast<int>(std::strlen(texto)));
    return *this;
}

DString& DString::operator+=(const DString& otro) {
    Anade(otro.c_str(), otro.Length());
    return *this;
}

DString& DString::operator+=(char c) {
    const char t[2] = {c, '\0'};
    Anade(t, c ? 1 : 0);
    return *this;
}

DString& DString::operator+=(int n) {
    char t[16];
    std::snprintf(t, sizeof t, "%d", n);
    return *this += t;
}

DString& DString::operator+=(long n) {
    char t[24];
    std::snprintf(t, sizeof t, "%ld", n);
    return *this += t;
}

int DString::Length() const {
    if (!datos) return 0;
    if (largo < 0) largo = static_cast<int>(std::strlen(datos.get()));
    return largo;
}

void DString::Reserve(int n) {
    if (n < 0) return;
    if (!datos) {
        capacidad = n + 13;
        datos = std::make_unique<char[]>(static_cast<size_t>(capacidad)); // zero-filled: holds ""
        return;
    }
    if (capacidad >= n + 2) return;
    const int nueva = static_cast<int>((n + 2) * 1.3 + 11.0);
    auto bloque = std::make_unique<char[]>(static_cast<size_t>(nueva));
    std::memcpy(bloque.get(), datos.get(), static_cast<size_t>(capacidad));
    datos = std::move(bloque);
    capacidad = nueva;
}

void DString::Asigna(const char* texto, int n) {
    if (n <= 0 || !texto) {
        if (datos) datos[0] = '\0';
        largo = 0;
        return;
    }
    if (datos && texto >= datos.get() && texto < datos.get() + capacidad) {
        const std::string copia(texto, static_cast<size_t>(n)); // the source lies in our own block
        Asigna(copia.c_str(), n);
        return;
    }
    Reserve(n);
    std::memcpy(datos.get(), texto, static_cast<size_t>(n));
    datos[n] = '\0';
    largo = n;
}

void DString::Anade(const char* texto, int n) {
    if (n <= 0) return;
    if (datos && texto >= datos.get() && texto < datos.get() + capacidad) {
        const std::string copia(texto, static_cast<size_t>(n));
        Anade(copia.c_str(), n);
        return;
    }
    const int antes = Length();
    Reserve(antes + n);
    std::memcpy(datos.get() + antes, texto, static_cast<size_t>(n));
    datos[antes + n] = '\0';
    largo = antes + n;
}

int DString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int r = FormatV(fmt, args);
    va_end(args);
    return r;
}

int DString::FormatV(const char* fmt, va_list args) {
    va_list copia;
    va_copy(copia, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copia);
    va_end(copia);
    if (n < 0) return n;
    // Formatted into a buffer of its own, so an argument may be this very string.
    std::string buffer(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
    Asigna(buffer.c_str(), n);
    return n;
}

char& DString::At(int i) {
    Reserve(i + 2);
    largo = -1; // the caller may write any byte there
    return datos[i];
}

char DString::CharAt(int i) const {
    return (i >= 0 && i < Length()) ? datos[i] : '\0';
}

void DString::Truncate(int n) {
    if (n >= 0 && n < Length()) {
        datos[n] = '\0';
        largo = n;
    }
}

DString DString::Mid(int from, int n) const {
    const int total = Length();
    if (from < 0) from = 0;
    if (from >= total) return DString();
    if (n < 0 || from + n > total) n = total - from;
    return DString(c_str() + from, n);
}

int DString::Compare(const char* texto) const {
    return std::strcmp(c_str(), texto ? texto : "");
}

int DString::CompareN(const char* texto, int n) const {
    if (IsEmpty()) return texto ? 1 : 0;
    return std::strncmp(c_str(), texto ? texto : "", static_cast<size_t>(n < 0 ? 0 : n));
}

int DString::CompareNoCase(const char* texto) const {
    return strcasecmp(c_str(), texto ? texto : "");
}

void DString::ToUpper() {
    for (char* p = Bloque(); p && *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
}

int DString::Find(char c, int from) const {
    const int total = Length();
    for (int i = from < 0 ? 0 : from; i < total; ++i)
        if (datos[i] == c) return i;
    return -1;
}

int DString::FindText(const char* texto) const {
    if (!texto) return -1;
    const char* p = std::strstr(c_str(), texto);
    return p ? static_cast<int>(p - c_str()) : -1;
}

int DString::FindLast(char c) const {
    const char* p = std::strrchr(c_str(), c);
    return p ? static_cast<int>(p - c_str()) : -1;
}

int DString::FindWord(const char* texto, int from, bool wholeWord, bool ignoreCase) const {
    if (!texto || !*texto) return -1;
    const int total = Length();
    const int n = static_cast<int>(std::strlen(texto));
    if (from < 0) from = 0;
    if (from > total) return -1;
    const char* s = c_str();
    const auto palabraEntera = [&](int i) {
        return !wholeWord ||
               !((i > 0 && EsCaracterIdentificador(s[i - 1])) || EsCaracterIdentificador(s[i + n]));
    };
    if (!ignoreCase) {
        for (const char* p = std::strstr(s + from, texto); p; p = std::strstr(p + 1, texto))
            if (palabraEntera(static_cast<int>(p - s))) return static_cast<int>(p - s);
        return -1;
    }
    for (int i = from; i <= total - n; ++i) {
        if (strncasecmp(s + i, texto, static_cast<size_t>(n)) == 0 && palabraEntera(i)) return i;
    }
    return -1;
}

namespace {

bool SoloIdentificador(const char* texto, int n) {
    for (int i = 0; i < n; ++i)
        if (!EsCaracterIdentificador(texto[i])) return false;
    return true;
}

// Whole-word replacement in one pass over `s`, into `r`; returns the count. A word of
// identifier bytes only can match nothing but a whole run of them, so the runs are
// compared with it; any other word is looked for with strstr. The byte before a match
// is that of the text being built (an inserted replacement ends just before it), the
// byte after it that of the original text (nothing has changed there yet).
int ReemplazaPalabrasEnteras(const char* s, int total, const char* texto, int n, const char* reemplazo,
                             std::string& r) {
    int cuenta = 0;
    int copiado = 0;
    const auto reemplaza = [&](int pos) {
        r.append(s + copiado, static_cast<size_t>(pos - copiado));
        r += reemplazo;
        copiado = pos + n;
        ++cuenta;
    };
    if (SoloIdentificador(texto, n)) {
        ParaCadaPalabra(s, total, [&](int i, int largo) {
            if (largo == n && std::memcmp(s + i, texto, static_cast<size_t>(n)) == 0) reemplaza(i);
            return true;
        });
    } else {
        for (const char* p = std::strstr(s, texto); p; p = std::strstr(p + 1, texto)) {
            const int pos = static_cast<int>(p - s);
            if (pos < copiado) continue; // overlaps the text just replaced
            const char antes = pos > copiado ? s[pos - 1] : r.empty() ? '\0' : r.back();
            if (EsCaracterIdentificador(antes) || EsCaracterIdentificador(s[pos + n])) continue;
            reemplaza(pos);
        }
    }
    r.append(s + copiado, static_cast<size_t>(total - copiado));
    return cuenta;
}

} // namespace

int DString::ReplaceWord(const char* texto, const char* reemplazo, bool wholeWord) {
    if (!texto || !*texto) return 0;
    if (!reemplazo) reemplazo = "";
    const int n = static_cast<int>(std::strlen(texto));
    if (wholeWord) {
        std::string r;
        const int cuenta = ReemplazaPalabrasEnteras(c_str(), Length(), texto, n, reemplazo, r);
        if (cuenta > 0) Asigna(r.c_str(), static_cast<int>(r.size()));
        return cuenta;
    }
    const int m = static_cast<int>(std::strlen(reemplazo));
    // The search restarts at 0 after each replacement, so the replacement text is
    // searched again. When it holds the word itself that would never end: the search
    // then goes on after the inserted text instead. The limit on the count guards the
    // same way against replacements that build new occurrences with their neighbours.
    const bool reentra = std::strstr(reemplazo, texto) != nullptr;
    const int limite = Length() + 1;
    int cuenta = 0;
    int pos = FindWord(texto, 0, false, false);
    while (pos >= 0) {
        const DString cola(c_str() + pos + n);
        Truncate(pos);
        *this += reemplazo;
        *this += cola;
        ++cuenta;
        const bool sigue = reentra || cuenta > limite;
        pos = FindWord(texto, sigue ? pos + m : 0, false, false);
    }
    return cuenta;
}

int DString::ReplaceChar(char a, char b) {
    int cuenta = 0;
    for (char* p = Bloque(); p && *p; ++p)
        if (*p == a) {
            *p = b;
            ++cuenta;
        }
    if (b == '\0' && cuenta > 0) largo = -1;
    return cuenta;
}

void DString::RemoveChar(char c) {
    const char conjunto[2] = {c, '\0'};
    RemoveChars(conjunto);
}

void DString::RemoveChars(const char* conjunto) {
    char* p = Bloque();
    if (!p || !conjunto) return;
    const TConjunto quita(conjunto);
    char* q = p;
    for (; *p; ++p)
        if (!quita.Tiene(*p)) *q++ = *p;
    *q = '\0';
    largo = static_cast<int>(q - Bloque());
}

void DString::Trim() {
    if (IsEmpty()) return;
    int fin = Length();
    while (fin > 0 && datos[fin - 1] == ' ')
        --fin;
    int inicio = 0;
    while (inicio < fin && datos[inicio] == ' ')
        ++inicio;
    std::memmove(datos.get(), datos.get() + inicio, static_cast<size_t>(fin - inicio));
    datos[fin - inicio] = '\0';
    largo = fin - inicio;
}

bool DString::Unquote() {
    Trim();
    const int n = Length();
    if (n == 0 || datos[n - 1] != '"') return false;
    datos[n - 1] = '\0';
    largo = n - 1;
    if (datos[0] != '"') return false;
    std::memmove(datos.get(), datos.get() + 1, static_cast<size_t>(n - 1));
    largo = n - 2;
    return true;
}

bool DString::Unparen() {
    const int ultimo = FindLast(')');
    if (IsEmpty() || ultimo <= 0) return false;
    datos[ultimo] = '\0';
    largo = ultimo;
    if (datos[0] != '(') return false;
    std::memmove(datos.get(), datos.get() + 1, static_cast<size_t>(ultimo));
    largo = ultimo - 1;
    return true;
}

bool DString::FindParens(int& abre, int& cierra) const {
    abre = FindLast('(');
    cierra = Find(')', abre + 1);
    return cierra >= 0;
}

int DString::FirstOfSet(const char* conjunto) const {
    const TConjunto enConjunto(conjunto);
    const int total = Length();
    bool dentro = false;
    for (int i = 0; i < total; ++i) {
        const char c = datos[i];
        if (c == '"') {
            dentro = !dentro;
            continue;
        }
        if (dentro || !enConjunto.Tiene(c)) continue;
        int j = i;
        while (j < total && enConjunto.Tiene(datos[j]))
            ++j;
        return j < total ? j : -1;
    }
    return -1;
}

int DString::Split(const char* separadores, Vector<DString>& out, int maxPieces, bool keepEmpty) const {
    out.Clear(out.Owns());
    const TConjunto esSeparador(separadores);
    const int total = Length();
    const char* s = c_str();
    int inicio = 0;
    for (int i = 0; i < total; ++i) {
        if (!esSeparador.Tiene(s[i])) continue;
        if (i == 0 && !keepEmpty) continue;
        if (maxPieces >= 0 && out.Count() >= maxPieces) continue;
        if (i > inicio || keepEmpty) out.Add(DString(s + inicio, i - inicio));
        inicio = i + 1;
    }
    if (maxPieces < 0 || out.Count() < maxPieces) {
        if (inicio < total) out.Add(DString(s + inicio));
    } else if (out.Count() > 0 && inicio < total) {
        out[out.Fin() - 1] += s + inicio - 1; // the remainder, with the separator that ended the last piece
    }
    return out.Count();
}

double DString::ToDouble(bool decimalComma) const {
    if (IsEmpty()) return 0.0;
    if (decimalComma && Find(',') >= 0) {
        DString copia(*this);
        copia.ReplaceChar(',', '.');
        return ConvierteReal(copia.c_str());
    }
    return ConvierteReal(c_str());
}

double ConvierteReal(const char* texto) {
    if (!texto) return 0.0;
    static const locale_t localeC = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(texto, nullptr, localeC);
}

long ConvierteEntero(const char* texto) {
    return texto ? std::strtol(texto, nullptr, 10) : 0;
}

DString FormateaReal(double valor) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer - 1, valor, std::chars_format::fixed, 6);
    *r.ptr = '\0';
    return DString(buffer);
}
