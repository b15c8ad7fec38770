#pragma once

#include <QString>

// The active company's data folder, which also keeps the company's pictures.
namespace ZTCompanyFolder {

// The folder of the application controller's current company; without a controller (tools,
// tests), the folder of the company named by ZTActiveCompanyNip in the settings.
QString currentPath();

// The folder joined with the last path component of a stored picture path, so that pictures
// survive a move of the data folder; an empty stored value stays as it is.
QString pathInFolder(const QString &folder, const QString &storedPath);

} // namespace ZTCompanyFolder
