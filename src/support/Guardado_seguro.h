// The system work behind a safe save of the file class: following links to the file a
// name stands for, creating a temporary file that nobody else can have planted, and
// keeping the old version as a backup without ever writing through a link.
#pragma once

#include <string>
#include <sys/types.h>

// The file that a name finally stands for: symbolic links followed (a relative target
// read against the link's folder). The result need not exist. False, with errno set,
// on a loop of links or a failure to read one.
bool ResuelveEnlaces(const std::string& nombre, std::string& real);

// Creates a new file, exclusively and readable by its owner only, named `base`
// followed by a unique suffix; its descriptor, or -1 with errno set. An existing name,
// a planted link included, is never opened.
int CreaFicheroUnico(const std::string& base, std::string& nombre);

// Makes `bak` hold what `real` holds now: a second link to the same file when
// `enlazar` (the caller then replaces `real` by a new file, never writes into it) and
// the file system allows it, else a copy written in full and synced. It is made under
// a new unique name and renamed over `bak`, which is replaced, never followed, when it
// is a link. False, with errno set and `bak` as it was, when it fails.
bool CopiaDeSeguridad(const std::string& real, const std::string& bak, bool enlazar);

// Syncs a folder, so that a file renamed in it stays renamed after a crash.
void SincronizaCarpeta(const std::string& fichero);

// The permissions of a newly created file: 0666 less the process's file-creation mask.
mode_t PermisosNuevos();
