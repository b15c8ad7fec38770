#pragma once

#include "platform/CalendarStore.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class ManagedObjectContext;
class SettingsStore;
class ZTCalendarManager;

// The calendar pane of the preferences, without its widgets: the calendar table, one checkbox,
// one prefix field and one example label per kind of document that gets events. The view binds
// its widgets to this state and calls the operations; `changed` tells it to redraw.
//
// Kinds are named by their document kind codes, in the pane's order: invoice (1), pro forma (2),
// advance invoice (32), margin invoice (64), simplified invoice (128), bill (16).
class ZTCalendarPreferencesController : public QObject
{
    Q_OBJECT

public:
    static const QString kFlagSign;             // "⚑", drawn in the calendar's colour
    static const QString kFallbackExampleID;    // "DOK/03/2009"
    using ContextProvider = std::function<ManagedObjectContext *()>;

    struct CalendarRow
    {
        CalendarInfo calendar;
        QString text;      // "⚑ <title>"
        QString flagColor; // the calendar's colour
    };

    ZTCalendarPreferencesController(ZTCalendarManager &manager, SettingsStore &settings, ContextProvider context,
                                    QObject *parent = nullptr);

    static const QList<int> &documentKinds();

    // ---- state shown by the view
    const QList<CalendarRow> &calendarRows() const { return m_rows; }
    QList<int> selectedRows() const { return m_selectedRows; }
    bool fieldsEnabled() const { return m_fieldsEnabled; } // the checkboxes and prefix fields
    bool isCheckboxChecked(int kind) const { return m_checked.value(kind); }
    QString prefixText(int kind) const { return m_prefixTexts.value(kind); }
    // The prefix field's placeholder: the kind's factory prefix.
    QString placeholder(int kind) const;
    QString exampleLabel(int kind) const { return m_labels.value(kind); }

    // ---- operations
    // Asks for access; when granted (on this object's thread) the calendars and checkboxes are
    // loaded. The prefixes are shown at once.
    void awakeFromNib();
    void loadCalendars();
    void loadCheckboxStates();
    void loadLabels();
    void enableFields();
    void disableFields();
    // Exactly one selected calendar becomes the chosen one; any other selection chooses none.
    void tableViewSelectionDidChange(const QList<int> &selectedRows);
    // The text typed into a kind's prefix field.
    void controlTextDidChange(int kind, const QString &text);
    // Ticking is refused unless exactly one calendar is selected; the state is stored.
    void toggleCheckbox(int kind, bool checked);
    // The next number of the kind's first numbering scheme.
    QString nextDocumentIDFor(int kind) const;

    void updateVatInvoiceLabelWithString(const QString &prefix);
    void updateProformaLabelWithString(const QString &prefix);
    void updateAdvanceInvoiceLabelWithString(const QString &prefix);
    void updateMarginInvoiceLabelWithString(const QString &prefix);
    void updateSimplifiedInvoiceLabelWithString(const QString &prefix);
    void updateBillLabelWithString(const QString &prefix);
    // The example of a kind: "<prefix> <next number>".
    void updateLabel(int kind, const QString &prefix);

signals:
    void changed();

private:
    void store(const QString &key, const QVariant &value);

    ZTCalendarManager &m_manager;
    SettingsStore &m_settings;
    ContextProvider m_context;
    QList<CalendarRow> m_rows;
    QList<int> m_selectedRows;
    bool m_fieldsEnabled = false;
    QHash<int, bool> m_checked;
    QHash<int, QString> m_prefixTexts;
    QHash<int, QString> m_labels;
};
