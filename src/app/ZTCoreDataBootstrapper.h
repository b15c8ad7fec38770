#pragma once

#include "platform/Error.h"
#include "platform/StoreModel.h"

#include <QString>

#include <functional>
#include <memory>

class ManagedObjectContext;

// The one store of the active company: names it, and opens it on the first request for the
// context. Opening never retries: when the store cannot be opened the failure is logged and
// presented once, and the program goes on without a usable store (context() stays null).
class ZTCoreDataBootstrapper
{
public:
    static const QString kProductionStoreName; // "Tolvana"
    static const QString kStoreExtension;      // ".store"

    // Shows an error to the user; the window replaces the default, which only logs.
    using ErrorPresenter = std::function<void(const Error &)>;

    // companyFolder: the active company's data folder, where the store file lives.
    ZTCoreDataBootstrapper(QString storeName, QString companyFolder,
                           std::shared_ptr<const StoreModel> model = nullptr);
    ~ZTCoreDataBootstrapper();
    ZTCoreDataBootstrapper(const ZTCoreDataBootstrapper &) = delete;
    ZTCoreDataBootstrapper &operator=(const ZTCoreDataBootstrapper &) = delete;

    void setErrorPresenter(ErrorPresenter presenter) { m_presenter = std::move(presenter); }

    QString storeName() const { return m_storeName; }
    QString companyFolder() const { return m_companyFolder; }
    std::shared_ptr<const StoreModel> managedObjectModel() const { return m_model; }

    // Opens the store on first use. Null when it could not be opened; openError() says why.
    ManagedObjectContext *managedObjectContext();
    bool openAttempted() const { return m_openAttempted; }
    Error openError() const { return m_openError; }

    // The store file of the active company.
    QString fullStorePath() const;
    QString fullStorePathForNip(const QString &nip) const;
    QString fullStorePathForApplicationSupportFolderWithPath(const QString &folder) const;

    // Paths inside the active company's folder of the application controller.
    static QString fullStorePathWithName(const QString &name);
    static QString fullProductionStorePath();
    static QString fullProductionStorePathForNip(const QString &nip);

    // The model version recorded in the active company's store file. A file without readable
    // metadata is the consistency failure "ASSERT [nil != storeMetadata]".
    int storeCurrentModelVersion() const;

    // Moves every entry of the folder into the company's data folder, except entries whose path
    // contains that folder's path. Failures are presented (code 13) and the move goes on with
    // the next entry; false when the folder could not be made or any entry failed.
    bool moveStoreFilesFromFolderWithPath(const QString &sourceFolder, const QString &nip);

    // The data folder of a company: the NIP as given, inside the application folder; a program
    // that knows no NIP yet keeps its data in kNoNipFolderName.
    static const QString kNoNipFolderName; // "_bez_NIP"
    static QString companyFolderForNip(const QString &nip);

    // Logs both errors, then hands the built one to the presenter.
    static void presentError(const Error &built, const Error &original, const ErrorPresenter &presenter);

private:
    bool moveFilesFromFolderWithPath(const QString &sourceFolder, const QString &nip, bool copy);

    QString m_storeName;
    QString m_companyFolder;
    std::shared_ptr<const StoreModel> m_model;
    ErrorPresenter m_presenter;
    std::unique_ptr<ManagedObjectContext> m_context;
    bool m_openAttempted = false;
    Error m_openError;
};
