// What the editor keeps between runs, all in its settings file: the last file (the
// window's `configFichero`), the recent files, and the window's place, size and
// splitter positions.
#pragma once

#include <QStringList>

class QMainWindow;
class QSplitter;

inline constexpr const char* ficheroAjustes = "3d_edit.ini";

// The recent files, newest first (section "Recent Files", keys File1, File2...).
QStringList LeeRecientes(int maximo);
void GuardaRecientes(const QStringList& ficheros, int maximo);

// The window's geometry and the splitters' positions (section "Window"). A window
// without stored ones opens at about two thirds of the screen, at least 1000 x 700
// where the screen has the room, centred, the preview taking the larger share.
void RestauraVentana(QMainWindow& ventana, QSplitter& preview, QSplitter& script);
void GuardaVentana(const QMainWindow& ventana, const QSplitter& preview, const QSplitter& script);
