#include "ZTDefaultsManager.h"

#include "ZTFactoryDefaults.h"
#include "platform/SettingsStore.h"

const QString ZTDefaultsManager::kSettingsPerNipKey = QStringLiteral("ZTSettingsPerNip");

ZTDefaultsManager::ZTDefaultsManager(SettingsStore &store, const QString &factoryDefaultsPath)
    : m_store(store), m_factoryDefaultsPath(factoryDefaultsPath)
{
}

ZTDefaultsManager &ZTDefaultsManager::sharedInstance()
{
    static ZTDefaultsManager manager(SettingsStore::standard(), factoryDefaultsPath());
    return manager;
}

QStringList ZTDefaultsManager::keysPerNipWithoutFactoryValues()
{
    static const QStringList keys = {
        QStringLiteral("ZTPrivateKeySellerName"),
        QStringLiteral("ZTPrivateKeySellerAddress"),
        QStringLiteral("ZTPrivateKeySellerNip"),
        QStringLiteral("ZTSellerNip"),
        QStringLiteral("ZTPrivateKeySellerContactData"),
        QStringLiteral("ZTPrivateKeySellerBankName"),
        QStringLiteral("ZTPrivateKeySellerBankAccountNumber"),
        QStringLiteral("ZTSellerLogoImagePath"),
        QStringLiteral("ZTSellerLogoImageEnabled"),
        QStringLiteral("ZTSellerFacsimileImagePath"),
        QStringLiteral("ZTSellerFacsimileImageEnabled"),
        QStringLiteral("ZTPrintPurchaserContactData"),
        QStringLiteral("ZTDueDateIntervalName"),
        QStringLiteral("ZTDueDateIntervalDays"),
        QStringLiteral("ZTDueDateAsContracted"),
        QStringLiteral("ZTMonthsSortAscending"),
        QStringLiteral("ZTDocumentListScopeBarSortKey"),
        QStringLiteral("ZTDocumentListScopeBarSortAscendingKey"),
        QStringLiteral("ZTCustomerListScopeBarSortKey"),
        QStringLiteral("ZTCustomerListScopeBarSortAscendingKey"),
        QStringLiteral("ZTProductListScopeBarSortKey"),
        QStringLiteral("ZTProductListScopeBarSortAscendingKey"),
        QStringLiteral("ZTFolderSidebarView"),
        QStringLiteral("ZTFolderSidebarViewSelection"),
        QStringLiteral("ZTLastPDFExportDirectory"),
        QStringLiteral("ZTDontShowDuplicateDocumentIDWarningSheet"),
        QStringLiteral("ZTMarginInvoiceLastProcedure"),
        QStringLiteral("ZTShortSellDate"),
        QStringLiteral("ZTPaymentZeroValueWhenAlreadyPaid"),
        QStringLiteral("ZTFinalInvoiceDueDateFromLastAdvance"),
        QStringLiteral("ZTAdvanceDownpayment"),
        QStringLiteral("ZTCalendarEventsForRegularVatDocuments"),
        QStringLiteral("ZTCalendarEventsForProformaDocuments"),
        QStringLiteral("ZTCalendarEventsForAdvanceDocuments"),
        QStringLiteral("ZTCalendarEventsForBills"),
        QStringLiteral("ZTCalendarEventsForMarginDocuments"),
        QStringLiteral("ZTCalendarEventsForSimplifiedDocuments"),
        QStringLiteral("ZTCalendarStoreTitle"),
        QStringLiteral("ZTShowOriginalAndCopyOnPrints"),
    };
    return keys;
}

QStringList ZTDefaultsManager::keysPerNipWithFactoryValues()
{
    // Read once per run: a factory file changed while running is not seen. A failed read
    // throws before anything is cached, so the next call tries again.
    if (!m_keysWithFactoryValues)
        m_keysWithFactoryValues = readFactoryDefaults(m_factoryDefaultsPath).keys();
    return *m_keysWithFactoryValues;
}

QStringList ZTDefaultsManager::keysPerNip()
{
    if (!m_keysPerNip) {
        QStringList keys = keysPerNipWithFactoryValues();
        for (const QString &key : keysPerNipWithoutFactoryValues())
            if (!keys.contains(key))
                keys.append(key);
        m_keysPerNipSet = QSet<QString>(keys.cbegin(), keys.cend());
        m_keysPerNip = keys;
    }
    return *m_keysPerNip;
}

bool ZTDefaultsManager::isKeyPerNip(const QString &key)
{
    keysPerNip();
    return m_keysPerNipSet.contains(key);
}

std::optional<QVariantMap> ZTDefaultsManager::perNipStore() const
{
    const QVariant stored = m_store.value(kSettingsPerNipKey);
    if (!stored.isValid())
        return QVariantMap();
    if (stored.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return stored.toMap();
}

void ZTDefaultsManager::writePerNipStore(const QVariantMap &perNip)
{
    m_store.setValue(kSettingsPerNipKey, perNip);
    m_store.synchronize();
}

std::optional<QVariantMap> ZTDefaultsManager::settingsForNip(const QString &nip) const
{
    const QVariant stored = m_store.value(kSettingsPerNipKey);
    if (stored.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap perNip = stored.toMap();
    const auto entry = perNip.constFind(nip);
    if (entry == perNip.cend() || entry->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return entry->toMap();
}

std::optional<QVariantMap> ZTDefaultsManager::createSettingsForNip(const QString &nip)
{
    std::optional<QVariantMap> perNip = perNipStore();
    if (!perNip)
        return std::nullopt;
    const QVariantMap settings;
    perNip->insert(nip, settings);
    writePerNipStore(*perNip);
    return settings;
}

void ZTDefaultsManager::saveSettings(const QVariantMap &settings, const QString &nip)
{
    std::optional<QVariantMap> perNip = perNipStore();
    if (!perNip)
        return;
    perNip->insert(nip, settings);
    writePerNipStore(*perNip);
}

void ZTDefaultsManager::saveCurrentSettingsForNip(const QString &nip)
{
    std::optional<QVariantMap> settings = settingsForNip(nip);
    if (!settings)
        settings = createSettingsForNip(nip);
    if (!settings)
        return; // ZTSettingsPerNip is not a dictionary: nothing can be saved

    for (const QString &key : keysPerNip()) {
        const QVariant current = m_store.value(key);
        if (current.isValid())
            settings->insert(key, current);
    }
    saveSettings(*settings, nip);
}

void ZTDefaultsManager::loadSettingsForNip(const QString &nip)
{
    const std::optional<QVariantMap> settings = settingsForNip(nip);
    if (!settings)
        return;
    for (const QString &key : keysPerNip()) {
        const auto saved = settings->constFind(key);
        if (saved != settings->cend())
            m_store.setValue(key, *saved);
        else
            m_store.removeValue(key);
    }
    m_store.synchronize();
}

void ZTDefaultsManager::loadFactorySettingsForNip(const QString &nip)
{
    QVariantMap settings = settingsForNip(nip).value_or(QVariantMap());
    const QVariantMap factory = readFactoryDefaults(m_factoryDefaultsPath);
    for (auto it = factory.cbegin(); it != factory.cend(); ++it)
        settings.insert(it.key(), it.value());
    saveSettings(settings, nip);
}

QVariantMap ZTDefaultsManager::sharedSettings()
{
    QVariantMap shared;
    const QVariantMap persistent = m_store.persistentDictionary();
    for (auto it = persistent.cbegin(); it != persistent.cend(); ++it)
        if (it.key() != kSettingsPerNipKey && !isKeyPerNip(it.key()))
            shared.insert(it.key(), it.value());
    return shared;
}

void ZTDefaultsManager::addPerNipSettingsFromSettings(const QVariantMap &settings, const QString &nipOrEmpty)
{
    QVariantMap perNipPart;
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        if (isKeyPerNip(it.key()))
            perNipPart.insert(it.key(), it.value());

    if (!nipOrEmpty.isEmpty()) {
        saveSettings(perNipPart, nipOrEmpty);
    } else {
        for (auto it = perNipPart.cbegin(); it != perNipPart.cend(); ++it)
            m_store.setValue(it.key(), it.value());
    }
    m_store.synchronize();
}

void ZTDefaultsManager::replaceSharedSettingsWithSettings(const QVariantMap &settings)
{
    // Pending writes are flushed before the in-memory state is dropped, so that discarding it
    // cannot lose a change the user made; then the store is read afresh from its file.
    m_store.synchronize();
    m_store.reload();
    // Per-company keys are left out; so is the companies' own store, which is no shared
    // setting either and must not be replaced wholesale by a restored dictionary.
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        if (it.key() != kSettingsPerNipKey && !isKeyPerNip(it.key()))
            m_store.setValue(it.key(), it.value());
    m_store.synchronize();
}
