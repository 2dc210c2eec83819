// Test helper: records the names (and a few values) of the fields an element describes.
#pragma once

#include "script/Objetos_3d.h"

#include <map>
#include <set>
#include <string>

struct TCamposAnotados : TVisitanteCampos {
    std::set<std::string> nombres;
    std::map<std::string, const TElementoObj3D*> objetos;

    void Campo(const char* n, double) override { nombres.insert(n); }
    void Campo(const char* n, int) override { nombres.insert(n); }
    void Campo(const char* n, bool) override { nombres.insert(n); }
    void Campo(const char* n, const vector3D&) override { nombres.insert(n); }
    void Campo(const char* n, std::span<const double>) override { nombres.insert(n); }
    void Campo(const char* n, std::span<const vector3D>) override { nombres.insert(n); }
    void Campo(const char* n, std::span<const vector2D>) override { nombres.insert(n); }
    void Campo(const char* n, std::span<const std::array<int32_t, 4>>) override { nombres.insert(n); }
    void Objeto(const char* n, const TElementoObj3D& e) override {
        nombres.insert(n);
        objetos[n] = &e;
    }
    bool Tiene(const char* n) const { return nombres.count(n) > 0; }
};

inline TCamposAnotados CamposDe(const TElementoObj3D& e) {
    TCamposAnotados c;
    e.Describe(c);
    return c;
}
