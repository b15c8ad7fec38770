#include "ZTCompanyFolder.h"

#include "app/ZTAppController.h"

#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace ZTCompanyFolder {

QString currentPath()
{
    if (const ZTAppController *controller = ZTAppController::instance())
        return controller->applicationSupportFolderForCurrentNip();
    return ZTAppController::applicationSupportFolderForNip(
        SettingsStore::standard().stringValue(ZTAppController::kActiveCompanyNipKey));
}

QString pathInFolder(const QString &folder, const QString &storedPath)
{
    if (storedPath.isEmpty())
        return storedPath;
    return QDir(folder).filePath(QFileInfo(storedPath).fileName());
}

} // namespace ZTCompanyFolder
