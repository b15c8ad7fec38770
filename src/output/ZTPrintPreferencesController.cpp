#include "ZTPrintPreferencesController.h"

#include "platform/SettingsStore.h"

const QString ZTPrintPreferencesController::kOriginalsCountKey = QStringLiteral("ZTPrintOriginalsCount");
const QString ZTPrintPreferencesController::kCopiesCountKey = QStringLiteral("ZTPrintCopiesCount");
const QString ZTPrintPreferencesController::kGreenCopiesKey = QStringLiteral("ZTRepresentationGreenCopies");

namespace {

unsigned storedCount(const QString &key)
{
    return static_cast<unsigned>(qMax(0, SettingsStore::standard().intValue(key)));
}

} // namespace

ZTPrintPreferencesController::ZTPrintPreferencesController(QObject *parent)
    : QObject(parent)
    , m_originalsCount(storedCount(kOriginalsCountKey))
    , m_copiesCount(storedCount(kCopiesCountKey))
{
}

void ZTPrintPreferencesController::setOriginalsCount(unsigned count)
{
    m_originalsCount = count;
    SettingsStore::standard().setValue(kOriginalsCountKey, static_cast<qlonglong>(count));
    emit countsChanged();
}

void ZTPrintPreferencesController::setCopiesCount(unsigned count)
{
    m_copiesCount = count;
    SettingsStore::standard().setValue(kCopiesCountKey, static_cast<qlonglong>(count));
    emit countsChanged();
}

void ZTPrintPreferencesController::toggleIncludeSettlements(bool checked)
{
    m_includeSettlements = checked;
}

void ZTPrintPreferencesController::setContainsMarginInvoice(bool flag)
{
    m_containsMarginInvoice = flag;
    emit containsMarginInvoiceChanged(flag);
}

void ZTPrintPreferencesController::toggleGreenery()
{
    SettingsStore::standard().setValue(kGreenCopiesKey, !greenCopies());
    emit greeneryChanged();
}

bool ZTPrintPreferencesController::greenCopies() const
{
    return SettingsStore::standard().boolValue(kGreenCopiesKey);
}

QString ZTPrintPreferencesController::greeneryImageName() const
{
    return greenCopies() ? QStringLiteral("ThinkGreen") : QStringLiteral("ThinkGreenOff");
}

QString ZTPrintPreferencesController::greeneryCaption() const
{
    return greenCopies() ? QStringLiteral("Tryb oszczędnego wydruku kopii jest włączony")
                         : QStringLiteral("Tryb oszczędnego wydruku kopii jest wyłączony");
}

QPair<QString, QString> ZTPrintPreferencesController::localizedSummaryItem()
{
    return {QStringLiteral("PrintPrefs"), QStringLiteral("Wydruk dokumentów")};
}
