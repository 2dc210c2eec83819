// The fields of a script line as the editor meets them: the text after the "=" is cut
// into fields by ':' and '|', and a field's index is the control point (or the part of
// an extrusion) that the element of the line shows marked while the caret is in it.
#pragma once

#include <string_view>

// The index of the field that the caret is in, given the text of its line before the
// caret: the number of ':' and '|' in that text, or -1 while it holds no "=" (the caret
// is still on the command word).
int CampoEnCursor(std::string_view antesDelCursor);

// Where field `campo` of a line begins: just after the "=" for field 0, just after
// the campo-th ':' or '|' that follows it for the others (the last field's start when
// the line has fewer fields); 0 when the line has no "=".
int ColumnaDeCampo(std::string_view linea, int campo);
