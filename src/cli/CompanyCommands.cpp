// company list / add NIP / use NIP: the companies whose data lives in the application folder,
// one data folder (and store) per NIP.
#include "CliCommand.h"

#include "app/ZTAppController.h"
#include "app/ZTCoreDataBootstrapper.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonObject describeCompany(const QString &folderName, const QString &activeNip)
{
    const bool noNip = folderName == ZTCoreDataBootstrapper::kNoNipFolderName;
    const QString nip = noNip ? QString() : folderName;
    return {{QStringLiteral("nip"), noNip ? QJsonValue() : QJsonValue(nip)},
            {QStringLiteral("folder"), ZTAppController::applicationSupportFolderForNip(nip)},
            {QStringLiteral("storePath"), ZTCoreDataBootstrapper::fullProductionStorePathForNip(nip)},
            {QStringLiteral("active"), !noNip && nip == activeNip}};
}

QString activeNip()
{
    return SettingsStore::standard().stringValue(ZTAppController::kActiveCompanyNipKey);
}

CliResult list(const QStringList &args)
{
    if (!args.isEmpty())
        return CliResult::badUsage();
    const QString active = activeNip();
    QJsonArray companies;
    const QDir folder(ZTAppController::applicationSupportFolder());
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        // The folder of a program that knew no NIP is listed too, with a null NIP.
        const QString nip = name == ZTCoreDataBootstrapper::kNoNipFolderName ? QString() : name;
        if (QFileInfo::exists(ZTCoreDataBootstrapper::fullProductionStorePathForNip(nip)))
            companies.append(describeCompany(name, active));
    }
    return CliResult::ok(companies);
}

CliResult add(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    ZTAppController controller;
    Error error;
    if (!controller.addCompany(args.first(), error))
        return CliResult::failed(error);
    return CliResult::ok(describeCompany(args.first(), activeNip()));
}

CliResult use(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    const QString &nip = args.first();
    ZTAppController controller;
    if (!controller.isKnownCompany(nip)) {
        return CliResult::failed(Error::withMessage(
            Error::applicationDomain(), 13,
            QStringLiteral("Nie ma firmy o numerze NIP %1. Dodaj ją poleceniem „company add”.").arg(nip)));
    }
    controller.establishActiveCompany(nip);
    return CliResult::ok(describeCompany(nip, activeNip()));
}

const CliCommandRegistration registration{
    {{QStringLiteral("company"), QStringLiteral("list")}, QString(),
     QStringLiteral("lists the companies whose data folder holds a store"), list},
    {{QStringLiteral("company"), QStringLiteral("add")}, QStringLiteral("NIP"),
     QStringLiteral("creates a company: its settings, data folder and store"), add},
    {{QStringLiteral("company"), QStringLiteral("use")}, QStringLiteral("NIP"),
     QStringLiteral("makes the company active: saves the current company's settings, loads its own"), use},
};

} // namespace
