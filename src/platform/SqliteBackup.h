#pragma once

#include "Error.h"

#include <QString>

// Copies a SQLite database file whole through SQLite's online backup, so that pages still in
// the source's write-ahead log are included and the copy is complete on its own (no -wal file
// beside it). The destination must not exist yet. Writers of the source are waited for.
bool sqliteCopyDatabase(const QString &sourcePath, const QString &destinationPath, Error &error);
