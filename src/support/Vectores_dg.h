// Growable arrays of pointers: VectorI (the base), Vector (stores heap copies of
// values) and VectorP (stores pointers handed over by the caller). Misuse throws
// TXErrorVectoresDG with a numeric code; nothing is caught inside the vectors.
#pragma once

#include "support/Resultado.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

// Codes carried by TXErrorVectoresDG.
enum CodigoErrorVector : int {
    errVectorNoCrece = 6,      // the vector must grow but its delta is 0
    errVectorFueraRango = 7,   // index outside the used range
    errVectorHueco = 8,        // the slot at the index is empty
    errVectorAddNegativo = 12, // Add at a negative slot position
    errVectorNewNegativo = 13, // AddNew at a negative slot position
    errVectorInsNegativo = 14, // Insert at a negative slot position
    errVectorMemoria = 15,     // a slot array or element could not be allocated
    errVectorNulo = 16,        // a null pointer passed to Add or Insert
};

class TXErrorVectoresDG : public TXPictomolder {
public:
    explicit TXErrorVectoresDG(int c)
        : TXPictomolder(c == errVectorMemoria ? TCausa::limite : TCausa::interna), codigo(c) {}
    const char* what() const noexcept override { return "TXErrorVectoresDG"; }
    int codigo;
};

template <class T> class VectorI {
public:
    VectorI(int capacidadInicial, int incremento, bool propietario)
        : owns(propietario), capacity(std::max(capacidadInicial, 0)), delta(incremento) {
        if (capacity > 0) items = NuevasCasillas(capacity);
    }
    VectorI(const VectorI&) = delete;
    VectorI& operator=(const VectorI&) = delete;
    virtual ~VectorI() { Clear(owns); }

    T& operator[](int i) const {
        const int j = i - base;
        if (j < 0 || j >= count) throw TXErrorVectoresDG(errVectorFueraRango);
        if (!items[j]) throw TXErrorVectoresDG(errVectorHueco);
        return *items[j];
    }
    bool IsOccupied(int i) const {
        const int j = i - base;
        return j >= 0 && j < count && items[j] != nullptr;
    }

    // count += k, enlarging the slot array to count + delta + 2 when needed.
    void Grow(int k) {
        const int anterior = count;
        count += k;
        if (count <= capacity) return;
        if (delta == 0) {
            count = anterior;
            throw TXErrorVectoresDG(errVectorNoCrece);
        }
        const int nueva = count + delta + 2;
        auto casillas = NuevasCasillas(nueva);
        std::copy_n(items.get(), anterior, casillas.get());
        items = std::move(casillas);
        capacity = nueva;
    }

    // Room for `k` more slots in one allocation, for a caller that is about to append
    // many (growing by `delta` would copy the slots again and again). `count` stays.
    void Reserva(int k) {
        if (k <= 0 || count + k <= capacity) return;
        const int nueva = count + k;
        auto casillas = NuevasCasillas(nueva);
        std::copy_n(items.get(), count, casillas.get());
        items = std::move(casillas);
        capacity = nueva;
    }

    void Clear(bool deleteObjects) {
        for (int j = 0; j < count; ++j) {
            if (deleteObjects) delete items[j];
            items[j] = nullptr;
        }
        count = 0;
    }

    int Count() const { return count; }
    int Base() const { return base; }
    int Capacity() const { return capacity; }
    bool Owns() const { return owns; }
    // Public index one past the last slot in use.
    int Fin() const { return base + count; }

    // Calls f(T&) for every occupied slot in index order.
    template <class F> void ParaCada(F&& f) const {
        for (int j = 0; j < count; ++j)
            if (items[j]) f(*items[j]);
    }

protected:
    static std::unique_ptr<T* []> NuevasCasillas(int n) {
        try {
            return std::make_unique<T*[]>(n); // value-initialised: every slot empty
        } catch (const std::bad_alloc&) {
            throw TXErrorVectoresDG(errVectorMemoria);
        }
    }
    // Moves slots j .. count-2 up by one (the vector has already grown by one).
    void AbreHueco(int j) {
        for (int m = count - 1; m > j; --m)
            items[m] = items[m - 1];
        items[j] = nullptr;
    }

    bool owns;
    int count = 0;
    int capacity;
    int delta;
    int base = 0;
    std::unique_ptr<T*[]> items;
};

template <class T> class Vector : public VectorI<T> {
public:
    explicit Vector(int capacidadInicial = 2, int incremento = 1, bool propietario = true)
        : VectorI<T>(capacidadInicial, incremento, propietario) {}

    // Stores a heap copy of *value at index (appends when index < 0); returns the slot.
    virtual int Add(const T* value, int index = -1) { return Coloca(value, index, errVectorAddNegativo); }
    int Add(const T& value, int index = -1) { return Add(&value, index); }
    // Stores a new default value at index (appends when index < 0) and returns it.
    T& AddNew(int index = -1) {
        const T nuevo{};
        return *this->items[Coloca(&nuevo, index, errVectorNewNegativo)];
    }

protected:
    int Coloca(const T* value, int index, int codigoNegativo) {
        if (!value) throw TXErrorVectoresDG(errVectorNulo);
        const int n = this->count;
        int j = n;
        if (index >= 0) {
            j = index - this->base;
            if (j < 0) throw TXErrorVectoresDG(codigoNegativo);
        }
        T* copia = nullptr;
        try {
            copia = new T(*value); // owned by the slot from here on
        } catch (const std::bad_alloc&) {
            throw TXErrorVectoresDG(errVectorMemoria);
        }
        try {
            this->Grow(1);
        } catch (...) {
            delete copia;
            throw;
        }
        if (j > n) j = n;
        this->AbreHueco(j);
        this->items[j] = copia;
        return j;
    }
};

template <class T> class VectorP : public VectorI<T> {
public:
    VectorP(int capacidadInicial, int incremento, bool propietario)
        : VectorI<T>(capacidadInicial, incremento, propietario) {}

    // Stores the pointer itself at index, or appends it when index is -1. The vector
    // owns it from now on when `owns` is set.
    int Insert(T* pointer, int index = -1) {
        if (!pointer) throw TXErrorVectoresDG(errVectorNulo);
        const int n = this->count;
        if (index == -1) {
            this->Grow(1);
            this->items[n] = pointer;
            return n;
        }
        const int j = index - this->base;
        if (j < 0) throw TXErrorVectoresDG(errVectorInsNegativo);
        if (j < n) {
            if (this->items[j]) {
                this->Grow(1);
                this->AbreHueco(j);
            }
        } else {
            this->Grow(j - n + 1);
        }
        this->items[j] = pointer;
        return j;
    }
    // Hands an object to an owning vector; a vector that does not own its objects
    // would leave the pointer dangling, so it refuses.
    int Insert(std::unique_ptr<T> pointer, int index = -1) {
        if (!this->owns)
            throw TXPictomolder(TCausa::interna, "VectorP::Insert: the vector does not own its objects");
        const int j = Insert(pointer.get(), index);
        pointer.release();
        return j;
    }
};
