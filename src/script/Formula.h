// Formula evaluator of the 3DI script: vector expressions such as
// [2*cos(0.5),2*sin(0.5),3+4*2] or [1,2,3]+[4,5,6]-[1,1,1].
//
// It works by textual rewriting: each step computes one operation, writes the result
// back with "%f" (or "[%f,%f,%f]" for a vector) in place of the operation, and goes on
// until a single literal is left. Every intermediate value is therefore rounded to six
// decimals, which is part of the language: [1/3*3,0,0] reads as x = 0.999999.
// Nothing here reports an error; unreadable text reads as 0 or as the origin.
#pragma once

#include "geometry/Matrix3.h"
#include "support/Dstring.h"

// Evaluates a vector expression. `out` receives the three components when the reduced
// text is a valid vector literal and is left untouched otherwise (callers set it to the
// origin first). Always returns true: an unreadable vector is not an error.
bool ReadVector(const DString& texto, vector3D& out);

// Evaluates a scalar formula: + - * / with parentheses, cos and sin (radians).
double EvaluateFormula(const DString& texto);

// Reads "[x,y,z]", each field a scalar formula. False (and `out` untouched) when the
// text is not of that form.
bool ParseVectorLiteral(const DString& texto, vector3D& out);
