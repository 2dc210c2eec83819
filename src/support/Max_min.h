// Minimum and maximum of two values; on a tie either argument is returned (they are equal).
#pragma once

#include <cstdint>

inline int32_t Minimo(int32_t a, int32_t b) {
    return a < b ? a : b;
}
inline double Minimo(double a, double b) {
    return a < b ? a : b;
}
inline int32_t Maximo(int32_t a, int32_t b) {
    return b < a ? a : b;
}
inline double Maximo(double a, double b) {
    return b < a ? a : b;
}
