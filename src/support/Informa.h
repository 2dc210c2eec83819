// Messages that the core shows to the user (a message box in the editor, standard
// error in the command-line tool) go through one process-wide reporter hook.
#pragma once

// Shows `texto` under the caption `titulo`.
using InformadorQOR = void (*)(const char* texto, const char* titulo);

// Installs the reporter (nullptr restores the default, which writes to standard error);
// returns the previous one.
InformadorQOR InstalaInformador(InformadorQOR informador);
void Informa(const char* texto, const char* titulo);
