// Process-wide preparation of the editor, shared by the program and its tests.
#pragma once

// Before the QApplication exists: every OpenGL widget gets a desktop OpenGL
// compatibility-profile context with a 24-bit depth buffer (the painters use
// immediate mode and display lists), and all of them share their objects, so the
// device's font lists and the scene's textures stay valid when the device moves
// between the preview and the full-screen window.
void PreparaFormatoGL();
// After the QApplication exists: numbers are read and written with "." whatever the
// user's locale, the core's message boxes become QMessageBoxes and its wait cursor
// the application's override cursor.
void InstalaGanchosQt();
