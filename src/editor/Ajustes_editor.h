// What the editor keeps between runs, all in its settings file: the last file (the
// window's `configFichero`), the recent files, and the window's place, size and
// splitter positions.
#pragma once

#include <QByteArrayList>

#include <string>
#include <string_view>

class QMainWindow;
class QSplitter;

inline constexpr const char* ficheroAjustes = "3d_edit.ini";

// A file name as the settings file keeps it: the name's bytes, but for those outside
// UTF-8 text, control characters and "%", which are written "%XX" (hexadecimal), so that
// any name comes back exactly, whatever its encoding, and the file stays text.
std::string EscapaNombre(std::string_view nombre);
// The name back from its stored form; a "%" without two hexadecimal digits stays as it is.
std::string RecuperaNombre(std::string_view guardado);

// The recent files, newest first, as the system's bytes (section "Recent Files", keys
// File1, File2..., each name stored by EscapaNombre).
QByteArrayList LeeRecientes(int maximo);
void GuardaRecientes(const QByteArrayList& ficheros, int maximo);

// The window's geometry and the splitters' positions (section "Window"). A window
// without stored ones opens at about two thirds of the screen, at least 1000 x 700
// where the screen has the room, centred, the preview taking the larger share.
void RestauraVentana(QMainWindow& ventana, QSplitter& preview, QSplitter& script);
void GuardaVentana(const QMainWindow& ventana, const QSplitter& preview, const QSplitter& script);
