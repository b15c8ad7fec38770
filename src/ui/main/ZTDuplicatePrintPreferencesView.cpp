#include "ZTDuplicatePrintPreferencesView.h"

#include "output/ZTDuplicatePrintPreferencesController.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

ZTDuplicatePrintPreferencesView::ZTDuplicatePrintPreferencesView(ZTDuplicatePrintPreferencesController *controller,
                                                                 QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_issueDate(new QDateEdit(this))
    , m_countLabel(new QLabel(QStringLiteral("Liczba duplikatów:"), this))
    , m_count(new QSpinBox(this))
{
    setObjectName(ZTDuplicatePrintPreferencesController::localizedSummaryItem().first);
    setWindowTitle(ZTDuplicatePrintPreferencesController::localizedSummaryItem().second);

    m_issueDate->setObjectName(QStringLiteral("oIssueDate"));
    m_countLabel->setObjectName(QStringLiteral("oCountLabel"));
    m_count->setObjectName(QStringLiteral("oCountField"));
    m_issueDate->setCalendarPopup(true);
    m_issueDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_issueDate->setDate(m_controller->issueDate().date());
    m_count->setRange(1, 99);
    m_countLabel->setBuddy(m_count);
    showCount(m_controller->count());

    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Data duplikatu:"), m_issueDate);
    layout->addRow(m_countLabel, m_count);

    connect(m_issueDate, &QDateEdit::dateChanged, m_controller, [this](QDate date) {
        // The day changes; the time of day and the zone stay those of the controller's date.
        QDateTime issueDate = m_controller->issueDate();
        issueDate.setDate(date);
        m_controller->setIssueDate(issueDate);
    });
    connect(m_count, &QSpinBox::valueChanged, m_controller, [this](int value) { m_controller->setCount(value); });
    connect(m_controller, &ZTDuplicatePrintPreferencesController::countChanged, this,
            &ZTDuplicatePrintPreferencesView::showCount);
}

void ZTDuplicatePrintPreferencesView::showCount(unsigned count)
{
    const QSignalBlocker block(m_count);
    m_count->setValue(static_cast<int>(count));
}
