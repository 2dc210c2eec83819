// DString: the growable, NUL-terminated byte string of the program, with the text
// operations that the script reader needs. An empty string may hold no block at
// all; every read operation treats that exactly like a block holding "".
#pragma once

#include <cstdarg>
#include <memory>

template <class T> class Vector;

class DString {
public:
    DString() = default;
    DString(const char* texto);
    DString(const char* texto, int n); // the first n bytes of texto (fewer if it ends first)
    DString(const DString& otro);
    DString(DString&& otro) noexcept;
    ~DString() = default;

    DString& operator=(const char* texto);
    DString& operator=(const DString& otro);
    DString& operator=(DString&& otro) noexcept;

    DString& operator+=(const char* texto);
    DString& operator+=(const DString& otro);
    DString& operator+=(char c);
    DString& operator+=(int n);
    DString& operator+=(long n);

    // Never null: an empty string yields "".
    const char* c_str() const { return datos ? datos.get() : ""; }
    // Kept with the text, so that appending to a long text (an error text that
    // collects a message per line) costs the appended bytes only.
    int Length() const;
    bool IsEmpty() const { return !datos || datos[0] == '\0'; }
    int Capacity() const { return capacidad; }

    // Makes room for n characters (plus the NUL); blocks grow by about 30 % and never shrink.
    void Reserve(int n);
    // printf-style formatting replacing the content; returns the printf result.
    int Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    int FormatV(const char* fmt, va_list args);

    char& At(int i);
    char CharAt(int i) const;
    // Keeps the first n bytes (nothing happens when the text is shorter).
    void Truncate(int n);
    // Bytes from..from+n-1 as a new string (clipped to the text).
    DString Mid(int from, int n = -1) const;

    int Compare(const char* texto) const;
    int Compare(const DString& otro) const { return Compare(otro.c_str()); }
    int CompareN(const char* texto, int n) const;
    int CompareNoCase(const char* texto) const;
    bool operator==(const char* texto) const { return Compare(texto) == 0; }
    bool operator==(const DString& otro) const { return Compare(otro.c_str()) == 0; }

    void ToUpper();
    int Find(char c, int from = 0) const;
    int FindText(const char* texto) const;
    int FindLast(char c) const;
    int FindWord(const char* texto, int from, bool wholeWord, bool ignoreCase) const;
    // Replaces every occurrence, returns the count. With `wholeWord` one pass from left
    // to right that goes on after each inserted text (so a replacement that holds the word
    // never loops, and the cost stays linear). Without it the search starts again at the
    // beginning after each replacement, so that replaced text is searched again.
    int ReplaceWord(const char* texto, const char* reemplazo, bool wholeWord);
    int ReplaceChar(char a, char b);
    void RemoveChar(char c);
    void RemoveChars(const char* conjunto);
    void Trim();
    bool Unquote();
    bool Unparen();
    bool FindParens(int& abre, int& cierra) const;
    int FirstOfSet(const char* conjunto) const;
    // Cuts the text at the separator bytes into `out`; returns the number of pieces.
    int Split(const char* separadores, Vector<DString>& out, int maxPieces = -1,
              bool keepEmpty = false) const;
    double ToDouble(bool decimalComma = false) const;

private:
    char* Bloque() { return datos.get(); }
    void Asigna(const char* texto, int n);
    void Anade(const char* texto, int n);

    std::unique_ptr<char[]> datos;
    int capacidad = 0;
    // The length of the text; -1 after At() handed out a writable byte, until Length()
    // measures it again.
    mutable int largo = 0;
};

// The C library's atof / atol, always with "." as the decimal point whatever the
// process locale (the GUI library sets the user's locale at start-up).
double ConvierteReal(const char* texto);
long ConvierteEntero(const char* texto);
// printf's "%f" of a double, locale-independent.
DString FormateaReal(double valor);

// True for the bytes that may form an identifier: a-z, A-Z, 0-9 and "_".
inline bool EsCaracterIdentificador(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Calls f(start, length) for each run of identifier bytes of the `largo` bytes at `s`,
// in order, while f returns true.
template <class F> void ParaCadaPalabra(const char* s, int largo, F&& f) {
    for (int i = 0; i < largo;) {
        if (!EsCaracterIdentificador(s[i])) {
            ++i;
            continue;
        }
        int fin = i;
        while (fin < largo && EsCaracterIdentificador(s[fin]))
            ++fin;
        if (!f(i, fin - i)) return;
        i = fin;
    }
}
