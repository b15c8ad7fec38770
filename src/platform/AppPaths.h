#pragma once

#include <QString>

// Where the program keeps its files. Every path can be redirected for tests and power users:
// TOLVANA_DATA_DIR names the application folder itself, TOLVANA_CONFIG_DIR the folder of the
// settings file. A test never touches the real home folder.
namespace AppPaths {

QString applicationIdentifier();     // "pl.tolvana.Tolvana"
QString applicationFolder();         // $XDG_DATA_HOME/Tolvana unless redirected
QString configFolder();              // $XDG_CONFIG_HOME unless redirected
QString temporaryFolder();           // QDir::tempPath()

} // namespace AppPaths
