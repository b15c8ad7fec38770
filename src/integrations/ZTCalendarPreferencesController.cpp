#include "ZTCalendarPreferencesController.h"

#include "ZTCalendarManager.h"

#include "model/ZTDocument.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "platform/SettingsStore.h"

const QString ZTCalendarPreferencesController::kFlagSign = QStringLiteral("⚑");
const QString ZTCalendarPreferencesController::kFallbackExampleID = QStringLiteral("DOK/03/2009");

ZTCalendarPreferencesController::ZTCalendarPreferencesController(ZTCalendarManager &manager, SettingsStore &settings,
                                                                 ContextProvider context, QObject *parent)
    : QObject(parent), m_manager(manager), m_settings(settings), m_context(std::move(context))
{
}

const QList<int> &ZTCalendarPreferencesController::documentKinds()
{
    static const QList<int> kinds{ZTDocument::kKindInvoice,         ZTDocument::kKindProForma,
                                  ZTDocument::kKindAdvanceInvoice,  ZTDocument::kKindMarginInvoice,
                                  ZTDocument::kKindSimplifiedInvoice, ZTDocument::kKindBill};
    return kinds;
}

QString ZTCalendarPreferencesController::placeholder(int kind) const
{
    const QString factory =
        m_settings.registeredDefaults().value(ZTCalendarManager::labelPrefixKeyForDocumentKind(kind)).toString();
    return factory.isEmpty() ? QStringLiteral("Termin płatności") : factory;
}

void ZTCalendarPreferencesController::awakeFromNib()
{
    m_manager.whenAccessGranted(this, [this] {
        loadCalendars();
        loadCheckboxStates();
        emit changed();
    });
    loadLabels();
    emit changed();
}

void ZTCalendarPreferencesController::loadCalendars()
{
    m_rows.clear();
    for (const CalendarInfo &calendar : m_manager.availableCalendars())
        m_rows.append({calendar, QStringLiteral("%1 %2").arg(kFlagSign, calendar.title), calendar.color});
}

void ZTCalendarPreferencesController::loadCheckboxStates()
{
    disableFields();
    m_checked.clear();
    m_selectedRows.clear();
    const QString chosen = m_settings.stringValue(ZTCalendarManager::kCalendarKey);
    if (!m_settings.contains(ZTCalendarManager::kCalendarKey))
        return;
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).calendar.identifier == chosen)
            m_selectedRows = {int(row)};
    }
    enableFields();
    for (int kind : documentKinds())
        m_checked.insert(kind, m_settings.boolValue(ZTCalendarManager::eventsSettingKeyForDocumentKind(kind)));
}

void ZTCalendarPreferencesController::loadLabels()
{
    for (int kind : documentKinds()) {
        const QString key = ZTCalendarManager::labelPrefixKeyForDocumentKind(kind);
        if (m_settings.contains(key)) {
            m_prefixTexts.insert(kind, m_settings.stringValue(key));
            updateLabel(kind, m_settings.stringValue(key));
        } else {
            m_prefixTexts.insert(kind, QString());
            updateLabel(kind, placeholder(kind));
        }
    }
}

void ZTCalendarPreferencesController::enableFields()
{
    m_fieldsEnabled = true;
}

void ZTCalendarPreferencesController::disableFields()
{
    m_fieldsEnabled = false;
}

void ZTCalendarPreferencesController::tableViewSelectionDidChange(const QList<int> &selectedRows)
{
    m_selectedRows = selectedRows;
    if (selectedRows.size() == 1 && selectedRows.first() >= 0 && selectedRows.first() < m_rows.size()) {
        store(ZTCalendarManager::kCalendarKey, m_rows.at(selectedRows.first()).calendar.identifier);
        enableFields();
    } else {
        store(ZTCalendarManager::kCalendarKey, QVariant());
        disableFields();
    }
    emit changed();
}

void ZTCalendarPreferencesController::controlTextDidChange(int kind, const QString &text)
{
    const QString key = ZTCalendarManager::labelPrefixKeyForDocumentKind(kind);
    if (key.isNull())
        return;
    // An emptied field falls back to what its placeholder shows.
    const QString prefix = text.isEmpty() ? placeholder(kind) : text;
    m_prefixTexts.insert(kind, text);
    updateLabel(kind, prefix);
    store(key, prefix);
    emit changed();
}

void ZTCalendarPreferencesController::toggleCheckbox(int kind, bool checked)
{
    const QString key = ZTCalendarManager::eventsSettingKeyForDocumentKind(kind);
    if (key.isNull())
        return;
    if (m_selectedRows.size() != 1)
        checked = false;
    m_checked.insert(kind, checked);
    store(key, checked);
    emit changed();
}

QString ZTCalendarPreferencesController::nextDocumentIDFor(int kind) const
{
    ManagedObjectContext *context = m_context ? m_context() : nullptr;
    if (!context)
        return kFallbackExampleID;
    const QList<ZTDocumentSmartSequencer *> sequencers = ZTDocumentSmartSequencer::findAllForDocumentKind(*context, kind);
    return sequencers.isEmpty() ? kFallbackExampleID : sequencers.first()->exampleNextID();
}

void ZTCalendarPreferencesController::updateVatInvoiceLabelWithString(const QString &prefix)
{
    updateLabel(ZTDocument::kKindInvoice, prefix);
}

void ZTCalendarPreferencesController::updateProformaLabelWithString(const QString &prefix)
{
    updateLabel(ZTDocument::kKindProForma, prefix);
}

void ZTCalendarPreferencesController::updateAdvanceInvoiceLabelWithString(const QString &prefix)
{
    updateLabel(ZTDocument::kKindAdvanceInvoice, prefix);
}

void ZTCalendarPreferencesController::updateMarginInvoiceLabelWithString(const QString &prefix)
{
    updateLabel(ZTDocument::kKindMarginInvoice, prefix);
}

void ZTCalendarPreferencesController::updateSimplifiedInvoiceLabelWithString(const QString &prefix)
{
    updateLabel(ZTDocument::kKindSimplifiedInvoice, prefix);
}

void ZTCalendarPreferencesController::updateBillLabelWithString(const QString &prefix)
{
    updateLabel(ZTDocument::kKindBill, prefix);
}

void ZTCalendarPreferencesController::updateLabel(int kind, const QString &prefix)
{
    m_labels.insert(kind, QStringLiteral("%1 %2").arg(prefix, nextDocumentIDFor(kind)));
}

void ZTCalendarPreferencesController::store(const QString &key, const QVariant &value)
{
    m_settings.setValue(key, value);
    m_settings.synchronize();
}
