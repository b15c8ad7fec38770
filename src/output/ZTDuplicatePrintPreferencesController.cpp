#include "ZTDuplicatePrintPreferencesController.h"

#include "ZTPrintPreferencesController.h"

#include "platform/Clock.h"
#include "platform/SettingsStore.h"

ZTDuplicatePrintPreferencesController::ZTDuplicatePrintPreferencesController(QObject *parent)
    : QObject(parent)
    , m_issueDate(Clock::now())
{
    setCount(SettingsStore::standard().intValue(ZTPrintPreferencesController::kOriginalsCountKey));
}

void ZTDuplicatePrintPreferencesController::setIssueDate(const QDateTime &date)
{
    m_issueDate = date;
}

void ZTDuplicatePrintPreferencesController::setCount(int count)
{
    m_count = static_cast<unsigned>(qMax(1, count));
    emit countChanged(m_count);
}

QPair<QString, QString> ZTDuplicatePrintPreferencesController::localizedSummaryItem()
{
    return {QStringLiteral("DuplicatesAccessory"), QStringLiteral("Wydruk duplikatów")};
}
