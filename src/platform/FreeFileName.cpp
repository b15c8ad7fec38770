#include "FreeFileName.h"

#include <QDir>
#include <QFileInfo>

QString FreeFileName::candidate(const QString &path, int n)
{
    if (n <= 0)
        return path;
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    const QString extension = info.suffix();
    QString name = base + QLatin1Char('-') + QString::number(n);
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension;
    return info.dir().filePath(name);
}

QString FreeFileName::freePath(const QString &path)
{
    // A broken symbolic link is taken as existing too: writing there would follow it.
    const auto taken = [](const QString &candidatePath) {
        const QFileInfo info(candidatePath);
        return info.exists() || info.isSymLink();
    };
    int n = 0;
    QString candidatePath = path;
    while (taken(candidatePath))
        candidatePath = candidate(path, ++n);
    return candidatePath;
}
