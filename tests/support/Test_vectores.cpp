#include "support/Dstring.h"
#include "support/Vectores_dg.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int Codigo(auto&& f) {
    try {
        f();
    } catch (const TXErrorVectoresDG& e) {
        return e.codigo;
    }
    return 0;
}

struct TContado {
    explicit TContado(int& v) : vivos(v) { ++vivos; }
    ~TContado() { --vivos; }
    int& vivos;
};

} // namespace

TEST(Vectores, InsertAtAnIndexLeavesEmptySlotsAndMisuseRaisesItsCode) {
    VectorP<int> v(0, 10, true);
    EXPECT_EQ(v.Insert(std::make_unique<int>(42), 5), 5);
    EXPECT_EQ(v.Count(), 6);
    EXPECT_FALSE(v.IsOccupied(4));
    EXPECT_EQ(Codigo([&] { v[0]; }), errVectorHueco);
    EXPECT_EQ(Codigo([&] { v[6]; }), errVectorFueraRango);
    // An empty slot inside the range is simply filled; an occupied one moves up.
    v.Insert(std::make_unique<int>(7), 2);
    EXPECT_EQ(v.Count(), 6);
    v.Insert(std::make_unique<int>(8), 2);
    EXPECT_EQ(v.Count(), 7);
    EXPECT_EQ(v[2] * 100 + v[3], 807);
    EXPECT_EQ(v[6], 42);
    EXPECT_EQ(Codigo([&] { v.Insert(static_cast<int*>(nullptr)); }), errVectorNulo);
    EXPECT_EQ(Codigo([&] { v.Insert(std::make_unique<int>(1), -5); }), errVectorInsNegativo);
    EXPECT_EQ(v.Count(), 7);

    VectorP<int> fijo(2, 0, true);
    fijo.Insert(std::make_unique<int>(1));
    fijo.Insert(std::make_unique<int>(2));
    EXPECT_EQ(Codigo([&] { fijo.Insert(std::make_unique<int>(3)); }), errVectorNoCrece);
    EXPECT_EQ(fijo.Count(), 2);
    // Room reserved at once keeps what is stored, and is all a vector without growth gets.
    fijo.Reserva(2);
    fijo.Insert(std::make_unique<int>(3));
    fijo.Insert(std::make_unique<int>(4));
    EXPECT_EQ(fijo[0] * 1000 + fijo[1] * 100 + fijo[2] * 10 + fijo[3], 1234);
    EXPECT_EQ(Codigo([&] { fijo.Insert(std::make_unique<int>(5)); }), errVectorNoCrece);

    Vector<double> d;
    d.Add(1.0);
    d.Add(3.0);
    d.Add(2.0, 1);
    EXPECT_EQ(d[0] * 100 + d[1] * 10 + d[2], 123);
    EXPECT_EQ(d.Add(9.0, -4), 3); // a negative index appends
}

TEST(Vectores, OwningVectorsDeleteTheirObjects) {
    int vivos = 0;
    {
        VectorP<TContado> v(1, 1, true);
        v.Insert(std::make_unique<TContado>(vivos));
        v.Insert(std::make_unique<TContado>(vivos));
        EXPECT_EQ(vivos, 2);
        v.Clear(v.Owns());
        EXPECT_EQ(vivos, 0);
        v.Insert(std::make_unique<TContado>(vivos));
    }
    EXPECT_EQ(vivos, 0);
    TContado fuera(vivos);
    {
        VectorP<TContado> prestado(1, 1, false);
        prestado.Insert(&fuera);
        EXPECT_THROW(prestado.Insert(std::make_unique<TContado>(vivos)), TXPictomolder);
    }
    EXPECT_EQ(vivos, 1); // the borrowed object outlives the vector
}
