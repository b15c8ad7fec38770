// backup --to DIR / backup verify BUNDLE / restore BUNDLE: the same bundles as the window's
// backup and restore, for scripts and cron.
#include "CliCommand.h"

#include "app/ZTAppController.h"
#include "backup/ZTBackupBundle.h"
#include "backup/ZTBackupController.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

Error damaged(const QString &text, const QString &reason)
{
    Error e = Error::withLocalizedDescription(Error::applicationDomain(), 2, text);
    QVariantMap info = e.userInfo();
    info.insert(Error::kMessageKey, text);
    info.insert(QStringLiteral("reason"), reason);
    return Error(e.domain(), e.code(), info);
}

// Errors the controller would present in a window are kept for the command's answer; the
// first one is the cause.
void keepFirstError(ZTAppController &app, Error &firstError)
{
    app.setErrorPresenter([&firstError](const Error &e) {
        if (!firstError)
            firstError = e;
    });
}

CliResult backup(const QStringList &args)
{
    if (args.size() != 2 || args.first() != QStringLiteral("--to"))
        return CliResult::badUsage();
    const QString folder = QFileInfo(args.at(1)).absoluteFilePath();
    ZTAppController app;
    Error firstError;
    keepFirstError(app, firstError);
    ZTBackupController controller(app);
    QJsonArray bundles;
    for (const QString &nip : controller.companiesInOrder()) {
        QString path;
        if (controller.performBackupWithDestinationFolder(folder, nip, false, &path))
            bundles.append(path);
    }
    if (firstError)
        return CliResult::failed(firstError);
    return CliResult::ok(QJsonObject{{QStringLiteral("bundles"), bundles}});
}

CliResult verify(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    ZTAppController app;
    ZTBackupBundle bundle(app, args.first());
    QString reason;
    if (!bundle.bundleConsistent(&reason))
        return CliResult::failed(damaged(QStringLiteral("Kopia zapasowa wygląda na uszkodzoną: %1").arg(reason), reason));
    return CliResult::ok(QJsonObject{{QStringLiteral("bundle"), bundle.fullBundlePath()},
                                     {QStringLiteral("nip"), bundle.nip()},
                                     {QStringLiteral("consistent"), true}});
}

CliResult restore(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    ZTAppController app;
    Error firstError;
    keepFirstError(app, firstError);
    ZTBackupController controller(app);
    ZTBackupBundle bundle(app, path);
    QString reason;
    // Checked before anything is written, the safety backup included.
    if (!bundle.bundleConsistent(&reason))
        return CliResult::failed(damaged(
            QStringLiteral("Kopia zapasowa wygląda na uszkodzoną, dane nie zostaną odtworzone."), reason));
    const QStringList safety = controller.performPreRestoreBackup();
    if (firstError)
        return CliResult::failed(firstError);
    // The same path as a start after the window's restore: marker written, then consumed.
    if (!controller.createTemporaryFileForSource(path))
        return CliResult::failed(Error::withLocalizedDescription(
            Error::applicationDomain(), 1,
            QStringLiteral("Nie można rozpocząć odtwarzania danych - sprawdź czy masz wolne miejsce na dysku.")));
    controller.deployDataFromBackup();
    if (!controller.lastDeploySucceeded())
        return CliResult::failed(firstError ? firstError
                                            : Error::withLocalizedDescription(Error::applicationDomain(), 2,
                                                                              QStringLiteral("Odtwarzanie danych nie powiodło się.")));
    return CliResult::ok(QJsonObject{{QStringLiteral("restored"), bundle.nip()},
                                     {QStringLiteral("bundle"), path},
                                     {QStringLiteral("safetyBackups"), QJsonArray::fromStringList(safety)}});
}

const CliCommandRegistration registration{
    {{QStringLiteral("backup"), QStringLiteral("verify")}, QStringLiteral("BUNDLE"),
     QStringLiteral("checks a backup bundle's digests; fails with the reason when it is damaged"), verify},
    {{QStringLiteral("backup")}, QStringLiteral("--to DIR"),
     QStringLiteral("writes one backup bundle per company into DIR and prints their paths"), backup},
    {{QStringLiteral("restore")}, QStringLiteral("BUNDLE"),
     QStringLiteral("checks the bundle, backs up every company into Tolvana.old, then restores the bundle's company"), restore},
};

} // namespace
