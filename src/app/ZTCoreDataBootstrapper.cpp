#include "ZTCoreDataBootstrapper.h"

#include "ZTAppController.h"
#include "model/ZTStoreModel.h"
#include "platform/AppPaths.h"
#include "platform/ManagedObjectContext.h"
#include "platform/SqliteStore.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString ZTCoreDataBootstrapper::kProductionStoreName = QStringLiteral("Tolvana");
const QString ZTCoreDataBootstrapper::kStoreExtension = QStringLiteral(".store");
const QString ZTCoreDataBootstrapper::kNoNipFolderName = QStringLiteral("_bez_NIP");

namespace {

constexpr int kFileErrorCode = 13;

QString describe(const QVariantMap &map)
{
    QStringList parts;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        parts.append(it.key() + QStringLiteral(" = ") + it.value().toString());
    return QStringLiteral("{") + parts.join(QStringLiteral("; ")) + QStringLiteral("}");
}

QString describe(const Error &error)
{
    if (error.isNull())
        return QStringLiteral("(null)");
    return QStringLiteral("Error Domain=%1 Code=%2 \"%3\"")
        .arg(error.domain())
        .arg(error.code())
        .arg(error.localizedDescription());
}

// Copies a file or a whole folder; the destination must not exist yet.
bool copyItem(const QString &from, const QString &to)
{
    const QFileInfo info(from);
    if (!info.isDir() || info.isSymLink())
        return QFile::copy(from, to);
    if (QFileInfo::exists(to) || !QDir().mkdir(to))
        return false;
    const QDir dir(from);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        if (!copyItem(dir.filePath(name), QDir(to).filePath(name)))
            return false;
    }
    return true;
}

bool removeItem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

} // namespace

ZTCoreDataBootstrapper::ZTCoreDataBootstrapper(QString storeName, QString companyFolder,
                                               std::shared_ptr<const StoreModel> model)
    : m_storeName(std::move(storeName)), m_companyFolder(std::move(companyFolder)),
      m_model(model ? std::move(model) : ztStoreModel())
{
}

ZTCoreDataBootstrapper::~ZTCoreDataBootstrapper() = default;

QString ZTCoreDataBootstrapper::companyFolderForNip(const QString &nip)
{
    return QDir(AppPaths::applicationFolder()).filePath(nip.isEmpty() ? kNoNipFolderName : nip);
}

ManagedObjectContext *ZTCoreDataBootstrapper::managedObjectContext()
{
    if (m_openAttempted)
        return m_context.get();
    if (m_storeName.isEmpty())
        ztConsistencyFailure("PRECONDITION", "storeName != nil", __FILE__, static_cast<const char *>(__func__),
                             __LINE__);
    m_openAttempted = true;

    if (!QDir().mkpath(m_companyFolder)) {
        const Error built = Error::withLocalizedDescription(
            Error::applicationDomain(), kFileErrorCode, QStringLiteral("Nie można utworzyć katalogu dla danych."));
        presentError(built, Error(Error::posixDomain(), 0, {{QStringLiteral("path"), m_companyFolder}}),
                     m_presenter);
        // The open below is still attempted; it reports its own error.
    }

    StoreOpenOptions options;
    options.migrateAutomatically = true;
    options.inferMappingAutomatically = true;
    Error error;
    m_context = ManagedObjectContext::open(fullStorePath(), m_model, options, error);
    if (!m_context) {
        m_openError = error;
        ZTLOG(QStringLiteral("Migration error = %1, userinfo == %2").arg(describe(error), describe(error.userInfo())));
        if (m_presenter)
            m_presenter(error);
    }
    return m_context.get();
}

QString ZTCoreDataBootstrapper::fullStorePath() const
{
    return fullStorePathForApplicationSupportFolderWithPath(m_companyFolder);
}

QString ZTCoreDataBootstrapper::fullStorePathForNip(const QString &nip) const
{
    return fullStorePathForApplicationSupportFolderWithPath(companyFolderForNip(nip));
}

QString ZTCoreDataBootstrapper::fullStorePathForApplicationSupportFolderWithPath(const QString &folder) const
{
    return QDir(folder).filePath(m_storeName + kStoreExtension);
}

QString ZTCoreDataBootstrapper::fullStorePathWithName(const QString &name)
{
    ZTAppController *controller = ZTAppController::instance();
    ZT_ASSERT(controller != nullptr);
    return QDir(controller->applicationSupportFolderForCurrentNip()).filePath(name + kStoreExtension);
}

QString ZTCoreDataBootstrapper::fullProductionStorePath()
{
    return fullStorePathWithName(kProductionStoreName);
}

QString ZTCoreDataBootstrapper::fullProductionStorePathForNip(const QString &nip)
{
    return QDir(companyFolderForNip(nip)).filePath(kProductionStoreName + kStoreExtension);
}

int ZTCoreDataBootstrapper::storeCurrentModelVersion() const
{
    Error error;
    const std::optional<int> version = SqliteStore::readStoreModelVersion(fullStorePath(), error);
    if (!version)
        ZTLOG(QStringLiteral("store metadata unreadable: %1").arg(describe(error)));
    ZT_ASSERT_TEXT(version.has_value(), "nil != storeMetadata");
    return *version;
}

bool ZTCoreDataBootstrapper::moveStoreFilesFromFolderWithPath(const QString &sourceFolder, const QString &nip)
{
    return moveFilesFromFolderWithPath(sourceFolder, nip, true);
}

bool ZTCoreDataBootstrapper::moveFilesFromFolderWithPath(const QString &sourceFolder, const QString &nip, bool copy)
{
    const QString destination = companyFolderForNip(nip);
    if (!QDir().mkpath(destination)) {
        const Error built = Error::withLocalizedDescription(
            Error::applicationDomain(), kFileErrorCode,
            QStringLiteral("Nie można utworzyć katalogu dla danych firmy. Katalog: %1").arg(destination));
        presentError(built, Error(Error::posixDomain(), 0, {{QStringLiteral("path"), destination}}), m_presenter);
        return false;
    }

    bool allMoved = true;
    const QDir source(sourceFolder);
    const QStringList entries =
        source.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : entries) {
        const QString from = source.filePath(name);
        // The destination lives inside the source folder: never move it into itself.
        if (from.contains(destination))
            continue;
        const QString to = QDir(destination).filePath(name);
        // Copy first and remove the source only after a whole copy, so a failure loses nothing.
        bool ok = copy ? copyItem(from, to) : QFile::rename(from, to);
        if (ok && copy)
            ok = removeItem(from);
        if (!ok) {
            allMoved = false;
            const QString text = QStringLiteral("Nie można przenieść pliku z danymi do nowej lokalizacji.") +
                                 QString(53, QLatin1Char(' ')) + QStringLiteral("Obecna lokalizacja: %1") +
                                 QString(54, QLatin1Char(' ')) + QStringLiteral("Docelowa lokalizacja: %2 ");
            const Error built = Error::withLocalizedDescription(Error::applicationDomain(), kFileErrorCode,
                                                                text.arg(from, to));
            presentError(built, Error(Error::posixDomain(), 0, {{QStringLiteral("path"), from}}), m_presenter);
        }
    }
    return allMoved;
}

void ZTCoreDataBootstrapper::presentError(const Error &built, const Error &original, const ErrorPresenter &presenter)
{
    ZTLOG(QStringLiteral("original error == %1").arg(describe(original)));
    ZTLOG(QStringLiteral("presented error == %1").arg(describe(built)));
    if (presenter)
        presenter(built);
}
