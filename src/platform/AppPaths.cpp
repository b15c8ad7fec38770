#include "AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString applicationIdentifier()
{
    return QStringLiteral(TOLVANA_APP_IDENTIFIER);
}

QString applicationFolder()
{
    const QString redirected = qEnvironmentVariable("TOLVANA_DATA_DIR");
    if (!redirected.isEmpty())
        return QDir::cleanPath(QDir(redirected).absolutePath());
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("Tolvana"));
}

QString configFolder()
{
    const QString redirected = qEnvironmentVariable("TOLVANA_CONFIG_DIR");
    if (!redirected.isEmpty())
        return QDir::cleanPath(QDir(redirected).absolutePath());
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QDir::tempPath() : base;
}

QString temporaryFolder()
{
    return QDir::tempPath();
}

} // namespace AppPaths
