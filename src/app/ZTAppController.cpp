#include "ZTAppController.h"

#include "numbering/ZTNumberingManager.h"

#include "ZTDefaultsManager.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

const QString ZTAppController::kBuildVersion = QStringLiteral("e6ee338");
const QString ZTAppController::kBuildRevcount = QStringLiteral("1292");
const QString ZTAppController::kActiveCompanyNipKey = QStringLiteral("ZTActiveCompanyNip");
const QString ZTAppController::kCustomTemplatesFolderName = QStringLiteral("CustomTemplates");
const QString ZTAppController::kOverdueCountChangedNotification = QStringLiteral("ZTOverdueDocumentCountChanged");
const QString ZTAppController::kSaveQueueLabel = QStringLiteral("pl.tolvana.Tolvana.CoreDataSaveQueue");
const QString ZTAppController::kRelaunchHelperName = QStringLiteral("tolvana-relaunch");

namespace {

ZTAppController *g_instance = nullptr;

const QString kLastRunningVersion = QStringLiteral("ZTLastRunningVersion");
const QString kLastRunningRevcount = QStringLiteral("ZTLastRunningRevcount");
const QString kRunNumber = QStringLiteral("ZTApplicationRunNumber");
const QString kInstallDate = QStringLiteral("ZTTolvana1_6InstallDate");
const QString kSellerNip = QStringLiteral("ZTSellerNip");
const QString kOlderSellerNip = QStringLiteral("ZTPrivateKeySellerNip");

QString describe(const QVariantMap &map)
{
    QStringList parts;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        parts.append(it.key() + QStringLiteral(" = ") + it.value().toString());
    return QStringLiteral("{") + parts.join(QStringLiteral("; ")) + QStringLiteral("}");
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

// Older builds wrote a number as the version; one kept as text of digits counts the same.
bool isNumericVersion(const QVariant &value)
{
    if (isNumber(value))
        return true;
    if (value.typeId() != QMetaType::QString)
        return false;
    bool ok = false;
    value.toString().trimmed().toDouble(&ok);
    return ok;
}

QVariant settingOrEmpty(const SettingsStore &settings, const QString &key)
{
    const QString text = settings.stringValue(key);
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace

ZTAppController::ZTAppController() : ZTAppController(SettingsStore::standard(), ZTDefaultsManager::sharedInstance())
{
}

ZTAppController::ZTAppController(SettingsStore &settings, ZTDefaultsManager &defaults)
    : m_settings(settings), m_defaults(defaults), m_backup(std::make_unique<ZTBackupControlling>()),
      m_numbering(std::make_unique<ZTNumberingManager>([this] { return managedObjectContext(); })),
      m_currentNip(settings.stringValue(kActiveCompanyNipKey))
{
    m_overdueTimer.setInterval(kOverdueIntervalMs);
    m_overdueTimer.setSingleShot(false);
    connect(&m_overdueTimer, &QTimer::timeout, this, [this] { ztRunGuarded([this] { updateOverdueDocumentCount(); }); });
    // Termination commits what is still unsaved.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &ZTAppController::saveBeforeQuit);
}

ZTAppController::~ZTAppController()
{
    if (g_instance == this)
        g_instance = nullptr;
}

ZTAppController *ZTAppController::instance()
{
    return g_instance;
}

void ZTAppController::setInstance(ZTAppController *controller)
{
    g_instance = controller;
}

void ZTAppController::setBackupController(std::unique_ptr<ZTBackupControlling> backup)
{
    m_backup = backup ? std::move(backup) : std::make_unique<ZTBackupControlling>();
}

void ZTAppController::setNumberingStartup(std::unique_ptr<ZTNumberingStartup> numbering)
{
    m_numbering = numbering ? std::move(numbering)
                            : std::make_unique<ZTNumberingManager>([this] { return managedObjectContext(); });
}

void ZTAppController::setErrorPresenter(ZTCoreDataBootstrapper::ErrorPresenter presenter)
{
    m_presenter = std::move(presenter);
    if (m_coreData)
        m_coreData->setErrorPresenter([this](const Error &e) { presentError(e); });
}

void ZTAppController::presentError(const Error &error) const
{
    if (m_presenter) {
        m_presenter(error);
        return;
    }
    // No window yet: the log is the only place the user's error can go.
    ZTLOG(QStringLiteral("error for the user: %1 (%2 %3)")
              .arg(error.localizedDescription(), error.domain())
              .arg(error.code()));
}

// ---------------------------------------------------------------- start

void ZTAppController::start(const QString &requestedNip)
{
    // The save queue is the event loop of this thread: nothing to create.
    m_windowClosed = true;

    if (m_backup->needsRestore())
        m_backup->deployDataFromBackup();

    updateLaunchCounter();

    // Decimal arithmetic already rounds every result to 4 places, half away from zero, and
    // treats overflow and division by zero as errors (Rounding::standard()); nothing to set.

    // The description value transformer belongs to the views; they register it themselves.

    if (m_backup->requiresBackup())
        m_backup->backupFormerVersionData();

    moveOlderSellerNip();

    QString nip = requestedNip;
    if (nip.isEmpty())
        nip = m_settings.stringValue(kActiveCompanyNipKey);
    if (nip.isEmpty())
        nip = m_settings.stringValue(kSellerNip); // a single-company install of an older version
    establishActiveCompany(nip);

    startMainWindow();
}

void ZTAppController::updateLaunchCounter()
{
    const QVariant value = m_settings.value(kRunNumber);
    const bool empty = !value.isValid() || value.toString().isEmpty();
    m_settings.setValue(kRunNumber, empty ? 1 : m_settings.integerValue(kRunNumber) + 1);
    m_settings.synchronize();
}

void ZTAppController::moveOlderSellerNip()
{
    const QVariant older = m_settings.value(kOlderSellerNip);
    if (!older.isValid())
        return;
    m_settings.setValue(kSellerNip, older);
    m_settings.removeValue(kOlderSellerNip);
    m_settings.synchronize();
}

void ZTAppController::startMainWindow()
{
    m_startMonth = Clock::now().toLocalTime().date().month();

    bootstrapCoreData();

    const QVariant version = m_settings.value(kLastRunningVersion);
    const QVariant revcount = m_settings.value(kLastRunningRevcount);
    if (shouldMigrateStoreDataFileLocation(version, revcount))
        migrateStoreDataFileLocation();

    // The first use of the context opens the store, after the files were moved.
    ManagedObjectContext *context = managedObjectContext();

    deleteStaleParties();
    setInstallDateIfMissing();

    updateOverdueDocumentCount();
    m_overdueTimer.start();

    m_numbering->fixThatVersionThatDidNotSaveLastDateIssued();

    if (shouldMigrateDueDatesAndSeller(version)) {
        migrateDueDates();
        migrateSellerDefaultsToSellerTemplate();
    }
    if (shouldMigrateCurrencies(version, revcount))
        migrateCurrenciesIntroduction();

    if (m_numbering->sequencersCount() > 0)
        m_numbering->cleanupSequencers();
    m_numbering->importFromOldSequencerSystem();
    m_numbering->createInitialSequencers();

    // The start's changes are committed before the version that marks the migrations done is
    // written, so a crash in between runs them again rather than losing them.
    if (context && context->hasChanges())
        saveCoreDataContext(false, false, true);

    m_settings.setValue(kLastRunningVersion, kBuildVersion);
    m_settings.setValue(kLastRunningRevcount, kBuildRevcount);
    m_settings.synchronize();
}

void ZTAppController::deleteStaleParties()
{
    ManagedObjectContext *context = managedObjectContext();
    if (!context)
        return;
    // A fetch of "Person" never returns customers, sellers or purchasers.
    for (ManagedObject *person : context->fetch(FetchRequest(QStringLiteral("Person"))))
        context->deleteObject(person);
}

void ZTAppController::setInstallDateIfMissing()
{
    if (m_settings.value(kInstallDate).isValid())
        return;
    m_settings.setValue(kInstallDate, Clock::now().toLocalTime().date().startOfDay());
    m_settings.synchronize();
}

// ---------------------------------------------------------------- folders

QString ZTAppController::applicationSupportFolder()
{
    return AppPaths::applicationFolder();
}

QString ZTAppController::applicationSupportFolderForNip(const QString &nip)
{
    return ZTCoreDataBootstrapper::companyFolderForNip(nip);
}

QString ZTAppController::applicationSupportFolderForCurrentNip() const
{
    return applicationSupportFolderForNip(m_currentNip);
}

QString ZTAppController::customTemplatesFolder()
{
    return QDir(applicationSupportFolder()).filePath(kCustomTemplatesFolderName);
}

QString ZTAppController::customTemplatePathForDocumentKind(const QString &kindShortName)
{
    return QDir(customTemplatesFolder()).filePath(kindShortName + QStringLiteral(".html"));
}

// ---------------------------------------------------------------- companies

void ZTAppController::establishActiveCompany(const QString &nip)
{
    if (nip.isEmpty()) {
        m_currentNip.clear();
        return;
    }
    const QString previous = m_settings.stringValue(kActiveCompanyNipKey);
    if (!previous.isEmpty())
        m_defaults.saveCurrentSettingsForNip(previous);
    // Asked after saving the leaving company: re-entering the same company is never "new".
    const bool seen = m_defaults.settingsForNip(nip).has_value();
    if (seen) {
        m_defaults.loadSettingsForNip(nip);
    } else if (previous.isEmpty()) {
        m_settings.setValue(kSellerNip, nip);
        m_settings.synchronize();
        m_defaults.saveCurrentSettingsForNip(nip);
    } else {
        m_defaults.saveSettings({{kSellerNip, nip}}, nip);
        m_defaults.loadFactorySettingsForNip(nip);
        m_defaults.loadSettingsForNip(nip);
    }
    m_settings.setValue(kActiveCompanyNipKey, nip);
    m_settings.synchronize();
    m_currentNip = nip;
}

QStringList ZTAppController::knownCompanyNips() const
{
    QStringList nips;
    const QVariant perNip = m_settings.value(ZTDefaultsManager::kSettingsPerNipKey);
    if (perNip.typeId() == QMetaType::QVariantMap)
        nips = perNip.toMap().keys();
    const QDir folder(applicationSupportFolder());
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name != ZTCoreDataBootstrapper::kNoNipFolderName &&
            QFileInfo::exists(ZTCoreDataBootstrapper::fullProductionStorePathForNip(name)) && !nips.contains(name))
            nips.append(name);
    }
    nips.sort();
    return nips;
}

bool ZTAppController::isKnownCompany(const QString &nip) const
{
    return !nip.isEmpty() && knownCompanyNips().contains(nip);
}

bool ZTAppController::isSafeFolderName(const QString &nip)
{
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\\\x00-\\x1f]"));
    return !nip.trimmed().isEmpty() && nip != QStringLiteral(".") && nip != QStringLiteral("..") &&
           !nip.startsWith(QLatin1Char('.')) && nip != ZTCoreDataBootstrapper::kNoNipFolderName &&
           nip != kCustomTemplatesFolderName && !unsafe.match(nip).hasMatch();
}

bool ZTAppController::addCompany(const QString &nip, Error &error)
{
    if (!isSafeFolderName(nip)) {
        error = Error::withMessage(Error::applicationDomain(), 13,
                                   QStringLiteral("Numer NIP „%1” nie może być nazwą katalogu danych firmy.").arg(nip));
        return false;
    }
    if (isKnownCompany(nip)) {
        error = Error::withMessage(Error::applicationDomain(), 13,
                                   QStringLiteral("Firma o numerze NIP %1 już istnieje.").arg(nip));
        return false;
    }
    if (m_settings.stringValue(kActiveCompanyNipKey).isEmpty()) {
        establishActiveCompany(nip);
    } else {
        m_defaults.saveSettings({{kSellerNip, nip}}, nip);
        m_defaults.loadFactorySettingsForNip(nip);
    }
    ZTCoreDataBootstrapper store(ZTCoreDataBootstrapper::kProductionStoreName, applicationSupportFolderForNip(nip));
    if (!store.managedObjectContext()) {
        error = store.openError();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- store

void ZTAppController::bootstrapCoreData()
{
    if (m_coreData)
        return;
    m_coreData = std::make_unique<ZTCoreDataBootstrapper>(ZTCoreDataBootstrapper::kProductionStoreName,
                                                          applicationSupportFolderForCurrentNip(), m_storeModel);
    m_coreData->setErrorPresenter([this](const Error &e) { presentError(e); });
}

ManagedObjectContext *ZTAppController::managedObjectContext()
{
    ZT_ASSERT_TEXT(m_coreData != nullptr, "self.coreData != nil");
    return m_coreData->managedObjectContext();
}

void ZTAppController::saveCoreDataContext(bool verbose, bool rollback, bool synchronous)
{
    if (synchronous) {
        runSaveTask(verbose, rollback);
        return;
    }
    // Queued calls to one thread are delivered in the order they were posted, after the event
    // in hand: the serial queue of saves.
    QMetaObject::invokeMethod(
        this, [this, verbose, rollback] { ztRunGuarded([&] { runSaveTask(verbose, rollback); }); },
        Qt::QueuedConnection);
}

void ZTAppController::runSaveTask(bool verbose, bool rollback)
{
    ManagedObjectContext *context = managedObjectContext();
    if (!context) {
        ZTLOG(QStringLiteral("save skipped: the store is not open"));
        return;
    }
    Error error;
    if (context->save(error))
        return;
    if (error.hasUserInfo()) {
        ZTLOG(QStringLiteral("save failed. verbosity: %1 rollback: %2 - error description: %3 userInfo: %4")
                  .arg(int(verbose))
                  .arg(int(rollback))
                  .arg(error.localizedDescription(), describe(error.userInfo())));
    } else {
        ZTLOG(QStringLiteral("save failed. verbosity: %1 rollback: %2").arg(int(verbose)).arg(int(rollback)));
    }
    if (verbose)
        presentError(error);
    if (rollback)
        context->rollback();
}

void ZTAppController::saveBeforeQuit()
{
    if (!m_coreData)
        return;
    ztRunGuarded([this] { saveCoreDataContext(true, false, true); });
}

// ---------------------------------------------------------------- overdue documents

void ZTAppController::updateOverdueDocumentCount()
{
    ManagedObjectContext *context = m_coreData ? m_coreData->managedObjectContext() : nullptr;
    if (!context)
        return;
    const qsizetype count = documentManager().overdueDocumentCount();
    if (m_overdueCountPosted && count == m_overdueCount)
        return;
    m_overdueCount = count;
    m_overdueCountPosted = true;
    NotificationCenter::defaultCenter().post(kOverdueCountChangedNotification, QVariant::fromValue(qlonglong(count)),
                                             {}, this);
}

// ---------------------------------------------------------------- restart

bool ZTAppController::relaunch()
{
    const QString helper = QDir(QCoreApplication::applicationDirPath()).filePath(kRelaunchHelperName);
    // The helper runs from the temporary folder, so nothing it needs lies in the data a restore
    // replaces or in a program folder being updated.
    const QString copy = QDir(AppPaths::temporaryFolder()).filePath(kRelaunchHelperName);
    QFile::remove(copy);
    if (!QFile::copy(helper, copy)) {
        ZTLOG(QStringLiteral("relaunch: cannot copy %1 to %2").arg(helper, copy));
        return false;
    }
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    const QStringList arguments = QStringList{QString::number(QCoreApplication::applicationPid()),
                                              QCoreApplication::applicationFilePath()} +
                                  QCoreApplication::arguments().mid(1);
    if (!QProcess::startDetached(copy, arguments)) {
        ZTLOG(QStringLiteral("relaunch: cannot start %1").arg(copy));
        return false;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    return true;
}

// ---------------------------------------------------------------- one-time migrations

qlonglong ZTAppController::leadingInteger(const QVariant &value)
{
    if (isNumber(value))
        return value.toLongLong();
    static const QRegularExpression digits(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = digits.match(value.toString());
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

bool ZTAppController::shouldMigrateStoreDataFileLocation(const QVariant &version, const QVariant &revcount)
{
    return version.isValid() && (isNumericVersion(version) || leadingInteger(revcount) <= 650);
}

bool ZTAppController::shouldMigrateDueDatesAndSeller(const QVariant &version)
{
    const qlonglong v = leadingInteger(version);
    return !version.isValid() || (v > 0 && v <= 1078);
}

bool ZTAppController::shouldMigrateCurrencies(const QVariant &version, const QVariant &revcount)
{
    return version.isValid() && (isNumericVersion(version) || leadingInteger(revcount) <= 255);
}

void ZTAppController::migrateStoreDataFileLocation()
{
    ZT_ASSERT_TEXT(m_coreData != nullptr, "self.coreData != nil");
    m_coreData->moveStoreFilesFromFolderWithPath(applicationSupportFolder(), m_currentNip);
    if (!m_currentNip.isEmpty())
        m_defaults.saveCurrentSettingsForNip(m_currentNip);
}

void ZTAppController::migrateDueDates()
{
    const QString key = QStringLiteral("ZTDueDateIntervalValue");
    const QVariant value = m_settings.value(key);
    // Older versions kept the interval's name here; a number is already the new form.
    if (value.typeId() != QMetaType::QString)
        return;
    for (const QVariant &entry : m_settings.arrayValue(QStringLiteral("ZTDueDatePredefinedValues"))) {
        const QVariantMap map = entry.toMap();
        if (map.value(QStringLiteral("ZTDueDateIntervalName")).toString() == value.toString()) {
            m_settings.setValue(key, map.value(QStringLiteral("ZTDueDateIntervalDays")));
            m_settings.synchronize();
            break;
        }
    }
}

void ZTAppController::migrateSellerDefaultsToSellerTemplate()
{
    ManagedObjectContext *context = managedObjectContext();
    if (!context || context->count(FetchRequest(QStringLiteral("SellerTemplate"))) != 0)
        return;
    ManagedObject *seller = context->insertNewObject(QStringLiteral("SellerTemplate"));
    const std::pair<const char *, const char *> fields[] = {
        {"name", "ZTPrivateKeySellerName"},
        {"address", "ZTPrivateKeySellerAddress"},
        {"nip", "ZTSellerNip"},
        {"contactData", "ZTPrivateKeySellerContactData"},
        {"bankName", "ZTPrivateKeySellerBankName"},
        {"bankAccountNumber", "ZTPrivateKeySellerBankAccountNumber"},
        {"signature", "ZTPrivateKeySellerSignature"},
        {"issuesIn", "ZTDocumentIssuedIn"},
    };
    for (const auto &[attribute, key] : fields)
        seller->setValue(QString::fromLatin1(attribute), settingOrEmpty(m_settings, QString::fromLatin1(key)));
    seller->setValue(QStringLiteral("order"), 0);
}

void ZTAppController::migrateCurrenciesIntroduction()
{
    ManagedObjectContext *context = managedObjectContext();
    if (!context)
        return;
    const QString pln = QStringLiteral("PLN");
    const QString currency = QStringLiteral("currency");
    for (ManagedObject *document :
         context->fetch(FetchRequest(QStringLiteral("Document"), Predicate::equal(currency, QVariant()))))
        document->setValue(currency, pln);

    const auto missingOrZero = [](const QString &key) {
        return Predicate::equal(key, QVariant()) || Predicate::equal(key, 0);
    };
    const QString product = QStringLiteral("Product");
    const QString currency1 = QStringLiteral("currency1");
    for (const auto &[target, source] : {std::pair{QStringLiteral("netPrice1"), QStringLiteral("netPrice")},
                                         std::pair{QStringLiteral("grossPrice1"), QStringLiteral("grossPrice")}}) {
        for (ManagedObject *p : context->fetch(FetchRequest(product, missingOrZero(target)))) {
            p->setValue(target, p->value(source));
            p->setValue(currency1, pln);
        }
    }
}

// ---------------------------------------------------------------- entity managers

ZTEntityManager::ContextProvider ZTAppController::contextProvider()
{
    return [this]() -> ManagedObjectContext * { return m_coreData ? m_coreData->managedObjectContext() : nullptr; };
}

ZTDocumentManager &ZTAppController::documentManager()
{
    if (!m_documentManager)
        m_documentManager = std::make_unique<ZTDocumentManager>(contextProvider());
    return *m_documentManager;
}

ZTCustomerManager &ZTAppController::customerManager()
{
    if (!m_customerManager)
        m_customerManager = std::make_unique<ZTCustomerManager>(contextProvider());
    return *m_customerManager;
}

ZTPurchaserManager &ZTAppController::purchaserManager()
{
    if (!m_purchaserManager)
        m_purchaserManager = std::make_unique<ZTPurchaserManager>(contextProvider());
    return *m_purchaserManager;
}

ZTProductManager &ZTAppController::productManager()
{
    if (!m_productManager)
        m_productManager = std::make_unique<ZTProductManager>(contextProvider());
    return *m_productManager;
}

ZTSellerTemplateManager &ZTAppController::sellerTemplateManager()
{
    if (!m_sellerTemplateManager)
        m_sellerTemplateManager = std::make_unique<ZTSellerTemplateManager>(contextProvider());
    return *m_sellerTemplateManager;
}

void ZTAppController::launchPreviewWithDocumentID(const QString &documentID)
{
    ZTDocument *document = m_coreData && managedObjectContext() ? documentManager().documentWithDocumentID(documentID)
                                                                : nullptr;
    if (m_previewHandler)
        m_previewHandler(documentID, document);
    else
        ZTLOG(QStringLiteral("no window to preview document %1").arg(documentID));
}
