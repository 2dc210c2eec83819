// The system work behind a safe save of the file class: following links to the file a
// name stands for, creating a temporary file that nobody else can have planted, and
// keeping the old version as a backup without ever writing through a link. And the rule
// for the files the program writes on its own account (autosave copies, backups,
// settings): they never follow a link and never take the place of anything but a
// regular file of the user's.
#pragma once

#include "support/Resultado.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The file that a name finally stands for: symbolic links followed (a relative target
// read against the link's folder). The result need not exist. A failure (cause
// `entradaSalida`, the system's reason, errno set) on a loop of links or a failure to
// look at or read one.
TResultado<std::string> ResuelveEnlaces(const std::string& nombre);

// Creates a new file, exclusively and readable by its owner only, named `base`
// followed by a unique suffix; its descriptor, or -1 with errno set. An existing name,
// a planted link included, is never opened.
int CreaFicheroUnico(const std::string& base, std::string& nombre);

// Whether a file the program writes on its own account may take the name `nombre`:
// nothing has it, or a regular file of the user's does. Otherwise a failure (cause
// `ajeno`) whose message says what stands there ("is a symbolic link", "is not a regular
// file", "belongs to another user"), or why it cannot be looked at (`entradaSalida`).
TResultado<void> PuedeSustituir(const std::string& nombre);

// Writes `datos` as the whole content of `nombre`, a file of the program's own: into a
// new temporary file beside it (created exclusively, never through a link), synced and
// renamed over the name only when PuedeSustituir allows it, so a link or a special file
// planted there is never written through nor replaced. `permisos` are the new file's
// (by default those of the file it replaces, or the usual ones for a new file). A
// failure is PuedeSustituir's (`ajeno`: nothing was written), or the system's refusal
// (`entradaSalida`, its reason, errno set).
TResultado<void> GrabaFicheroPropio(const std::string& nombre, std::string_view datos,
                                    std::optional<mode_t> permisos);

// Makes `bak` hold what `real` holds now: a second link to the same file when
// `enlazar` (the caller then replaces `real` by a new file, never writes into it) and
// the file system allows it, else a copy written in full and synced. It is made under
// a new unique name and renamed over `bak` only when PuedeSustituir allows it: a link or
// anything else at `bak` is left alone (a failure of cause `ajeno`). A failure of cause
// `entradaSalida`, with errno set and `bak` as it was, when the system refuses.
TResultado<void> CopiaDeSeguridad(const std::string& real, const std::string& bak, bool enlazar);

// Syncs a folder, so that a file renamed in it stays renamed after a crash.
void SincronizaCarpeta(const std::string& fichero);

// The permissions of a newly created file: 0666 less the process's file-creation mask.
mode_t PermisosNuevos();
