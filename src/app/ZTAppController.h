#pragma once

#include "model/ZTDocumentManager.h"
#include "model/ZTPartyManagers.h"
#include "model/ZTProductManager.h"
#include "ZTCoreDataBootstrapper.h"
#include "ZTStartupHooks.h"

#include "platform/Error.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <memory>

class ManagedObjectContext;
class SettingsStore;
class ZTDefaultsManager;

// Owner of everything that lives as long as the process, without the window: data folders, the
// active company, the store, the one-time data migrations, saving and the overdue count.
// Everything runs on the thread that owns the controller (the main thread).
class ZTAppController : public QObject
{
    Q_OBJECT

public:
    // The identifiers of this build, written at the end of every start.
    static const QString kBuildVersion;  // "e6ee338"
    static const QString kBuildRevcount; // "1292"
    // The NIP of the company that was active last; a shared setting, never per company.
    static const QString kActiveCompanyNipKey; // "ZTActiveCompanyNip"
    static const QString kCustomTemplatesFolderName; // "CustomTemplates"
    static const QString kOverdueCountChangedNotification; // "ZTOverdueDocumentCountChanged"
    static const QString kSaveQueueLabel;
    static const QString kRelaunchHelperName; // "tolvana-relaunch"
    static constexpr int kOverdueIntervalMs = 30000;

    // The standard settings store and the shared defaults manager.
    ZTAppController();
    ZTAppController(SettingsStore &settings, ZTDefaultsManager &defaults);
    ~ZTAppController() override;

    // Whoever creates the program's controller sets it here; the destructor clears it.
    static ZTAppController *instance();
    static void setInstance(ZTAppController *controller);

    // Later work plugs in here; the defaults do nothing.
    void setBackupController(std::unique_ptr<ZTBackupControlling> backup);
    void setNumberingStartup(std::unique_ptr<ZTNumberingStartup> numbering);
    // Shows an error to the user; the window replaces it. The default only logs.
    void setErrorPresenter(ZTCoreDataBootstrapper::ErrorPresenter presenter);
    void presentError(const Error &error) const;

    SettingsStore &settings() const { return m_settings; }
    ZTDefaultsManager &defaultsManager() const { return m_defaults; }

    // ---- start
    // The controller's start: restore, launch counter, pre-upgrade backup, the older NIP key, the
    // active company (requestedNip, else the last active one, else ZTSellerNip), then the main
    // window's steps.
    void start(const QString &requestedNip = {});
    // The main window's steps without the window itself.
    void startMainWindow();
    bool windowClosed() const { return m_windowClosed; }
    int startMonth() const { return m_startMonth; }

    // ---- folders
    static QString applicationSupportFolder();
    static QString applicationSupportFolderForNip(const QString &nip);
    QString applicationSupportFolderForCurrentNip() const;
    static QString customTemplatesFolder();
    // The user's template for a document kind, by the kind's short name.
    static QString customTemplatePathForDocumentKind(const QString &kindShortName);

    // ---- companies
    QString currentNip() const { return m_currentNip; }
    // Makes the company active: saves the leaving company's settings and loads the chosen one's
    // (a company seen for the first time inherits the current settings when none was active,
    // else starts from factory settings). An empty NIP selects no company.
    void establishActiveCompany(const QString &nip);
    // Every NIP with saved settings or a data folder holding a store, sorted.
    QStringList knownCompanyNips() const;
    bool isKnownCompany(const QString &nip) const;
    // Creates a company's settings, data folder and store. The first company takes over the
    // current settings and becomes active; a further one gets factory settings and the active
    // company stays. A NIP already present, or unusable as a folder name, is refused.
    bool addCompany(const QString &nip, Error &error);

    // ---- store
    // The model the store is opened with: the program's own unless one is set before the store
    // is bootstrapped.
    void setStoreModel(std::shared_ptr<const StoreModel> model) { m_storeModel = std::move(model); }
    void bootstrapCoreData();
    ZTCoreDataBootstrapper *coreData() const { return m_coreData.get(); }
    // Requires a bootstrapped store ("ASSERT [self.coreData != nil]"); null when the store
    // could not be opened.
    ManagedObjectContext *managedObjectContext();

    // Commits the context. Asynchronous saves run on this thread one at a time, in the order
    // requested, after the current event. verbose presents a failure, rollback then discards
    // every unsaved change; without it the changes stay for a later save.
    void saveCoreDataContext(bool verbose, bool rollback, bool synchronous = false);
    void saveBeforeQuit();

    // ---- overdue documents
    // Counts issued documents due before today and posts kOverdueCountChangedNotification
    // (object: the count) when the count differs from the one last posted.
    void updateOverdueDocumentCount();
    qsizetype overdueDocumentCount() const { return m_overdueCount; }
    bool overdueTimerActive() const { return m_overdueTimer.isActive(); }

    // ---- restart
    // Copies the helper into the temporary folder, starts it detached to wait for this process
    // and start the program again, and quits the event loop. False when the helper could not
    // be started (nothing quits then).
    bool relaunch();

    // ---- one-time migrations, decided by the last run's version V and revcount R
    static bool shouldMigrateStoreDataFileLocation(const QVariant &version, const QVariant &revcount);
    static bool shouldMigrateDueDatesAndSeller(const QVariant &version);
    static bool shouldMigrateCurrencies(const QVariant &version, const QVariant &revcount);
    // The leading integer of a text (0 without leading digits), or a number's integer part.
    static qlonglong leadingInteger(const QVariant &value);

    void migrateStoreDataFileLocation();
    void migrateDueDates();
    void migrateSellerDefaultsToSellerTemplate();
    void migrateCurrenciesIntroduction();

    // ---- entity managers: each made on first use and kept; they ask for the context anew on
    // every query, so they never hold results. Require an open store.
    ZTDocumentManager &documentManager();
    ZTCustomerManager &customerManager();
    ZTPurchaserManager &purchaserManager();
    ZTProductManager &productManager();
    ZTSellerTemplateManager &sellerTemplateManager();

    // ---- links into the program ("faktura://" links)
    // Shows a linked document: the window sets a handler that opens itself when closed, then
    // selects and previews the document, or only opens when no document has the number (null).
    // Until the window exists the handler is whoever followed the link (the CLI).
    using PreviewHandler = std::function<void(const QString &documentID, ZTDocument *document)>;
    void setPreviewHandler(PreviewHandler handler) { m_previewHandler = std::move(handler); }
    // Looks the document up by its number (none without an open store) and hands it to the
    // preview handler.
    void launchPreviewWithDocumentID(const QString &documentID);

private:
    ZTEntityManager::ContextProvider contextProvider();

    void updateLaunchCounter();
    void moveOlderSellerNip();
    void deleteStaleParties();
    void setInstallDateIfMissing();
    void runSaveTask(bool verbose, bool rollback);
    static bool isSafeFolderName(const QString &nip);

    SettingsStore &m_settings;
    ZTDefaultsManager &m_defaults;
    std::unique_ptr<ZTBackupControlling> m_backup;
    std::unique_ptr<ZTNumberingStartup> m_numbering;
    ZTCoreDataBootstrapper::ErrorPresenter m_presenter;
    std::shared_ptr<const StoreModel> m_storeModel;
    std::unique_ptr<ZTCoreDataBootstrapper> m_coreData;
    QString m_currentNip;
    bool m_windowClosed = true;
    int m_startMonth = 0;
    qsizetype m_overdueCount = 0;
    bool m_overdueCountPosted = false;
    QTimer m_overdueTimer;
    std::unique_ptr<ZTDocumentManager> m_documentManager;
    std::unique_ptr<ZTCustomerManager> m_customerManager;
    std::unique_ptr<ZTPurchaserManager> m_purchaserManager;
    std::unique_ptr<ZTProductManager> m_productManager;
    std::unique_ptr<ZTSellerTemplateManager> m_sellerTemplateManager;
    PreviewHandler m_previewHandler;
};
