// Checks of a document: its fields, its consistency as a whole (parties, numbering, lines,
// total, settlement) and the limit of a simplified invoice.
#include "ZTDocument.h"

#include "ZTCheckSupport.h"
#include "ZTDocumentItem.h"
#include "ZTPurchaser.h"
#include "ZTSeller.h"
#include "ZTSettlementItem.h"
#include "ZTVatRatesManager.h"

#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/ZTExtensions.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

using namespace ztcheck;

namespace {

// The month part of the calendar difference (months and days) between two moments, counted in
// the local calendar from the earlier one: 1 month and 30 days is still 1.
int monthPartBetween(const QDateTime &a, const QDateTime &b)
{
    const QDateTime from = (a < b ? a : b).toLocalTime();
    const QDateTime to = (a < b ? b : a).toLocalTime();
    int months = (to.date().year() - from.date().year()) * 12 + to.date().month() - from.date().month();
    while (months > 0 && from.addMonths(months) > to)
        --months;
    return months;
}

enum class Distance { Near, Future, FarAway };

// How far a date lies from now: in the future but less than two months away, two months or
// more away in either direction, or else near.
Distance distanceFromNow(const QDateTime &date)
{
    const QDateTime now = Clock::now();
    const bool far = monthPartBetween(date, now) >= 2;
    if (far)
        return Distance::FarAway;
    return date > now ? Distance::Future : Distance::Near;
}

// The advance-invoice limits around the day the payment was received.
bool checkAdvanceIssueDate(const QDateTime &issueDate, const QDateTime &paymentDate, Error &error)
{
    const QDate paid = paymentDate.toLocalTime().date();
    // 00:00 of the 16th day of the month after the payment.
    const QDate nextMonth = QDate(paid.year(), paid.month(), 1).addMonths(1);
    const QDateTime latest = QDate(nextMonth.year(), nextMonth.month(), 16).startOfDay(Qt::LocalTime);
    if (issueDate >= latest)
        return fail(error, QStringLiteral("Data wystawienia faktury zaliczkowej nie może być późniejsza niż 15 "
                                          "dzień miesiąca następującego po miesiącu, w którym otrzymano całość "
                                          "lub część zapłaty"));
    // 23:59:59 of the day 31 days before the payment's day.
    const QDateTime earliest = paid.addDays(-30).startOfDay(Qt::LocalTime).addSecs(-1);
    if (issueDate < earliest)
        return fail(error, QStringLiteral("Faktura zaliczkowa może być wystawiona nie prędzej niż 30 dni przed "
                                          "otrzymaniem płatności"));
    return true;
}

} // namespace

// ---- property checks

const ZTPropertyChecks &ZTDocument::propertyChecks() const
{
    static const ZTPropertyChecks checks = ZTPropertyChecks(ZTManagedObject::propertyChecks())
                                               .add(QStringLiteral("issueDate"), &ZTDocument::validateIssueDate)
                                               .add(QStringLiteral("sellDate"), &ZTDocument::validateSellDate)
                                               .add(QStringLiteral("dueDate"), &ZTDocument::validateDueDate)
                                               .add(QStringLiteral("documentID"), &ZTDocument::validateDocumentID)
                                               .add(QStringLiteral("issuedIn"), &ZTDocument::validateIssuedIn)
                                               .add(QStringLiteral("issueReason"), &ZTDocument::validateIssueReason)
                                               .add(QStringLiteral("totalGrossValue"),
                                                    &ZTDocument::validateTotalGrossValue);
    return checks;
}

bool ZTDocument::validateIssueDate(const QVariant &value, Error &error) const
{
    const QDateTime issue = date(value);
    if (!issue.isValid())
        return fail(error, QStringLiteral("Data wystawienia musi zostać podana"));
    if (isAdvanceInvoice() && dueDate().isValid() && !checkAdvanceIssueDate(issue, dueDate(), error))
        return false;
    switch (distanceFromNow(issue)) {
    case Distance::Future:
        return warn(error, QStringLiteral("Data wystawienia jest z przyszłości"));
    case Distance::FarAway:
        return warn(error, QStringLiteral("Data wystawienia jest zbyt odległa"));
    case Distance::Near:
        break;
    }
    return true;
}

bool ZTDocument::validateSellDate(const QVariant &value, Error &error) const
{
    const QDateTime sale = date(value);
    if (!sale.isValid())
        return fail(error, QStringLiteral("Data sprzedaży musi zostać podana"));
    switch (distanceFromNow(sale)) {
    case Distance::Future:
        return warn(error, QStringLiteral("Data sprzedaży jest z przyszłości"));
    case Distance::FarAway:
        // Far in the past and far in the future read differently.
        return warn(error, sale > Clock::now() ? QStringLiteral("Data sprzedaży jest zbyt odległa")
                                               : QStringLiteral("Data sprzedaży wystawienia jest zbyt odległa"));
    case Distance::Near:
        break;
    }
    return true;
}

bool ZTDocument::validateDueDate(const QVariant &value, Error &error) const
{
    const QDateTime due = date(value);
    if (!due.isValid())
        return fail(error, QStringLiteral("Nie podano terminu płatności"));
    // An advance invoice's due date is the day the payment came; a paid one needs no term.
    if (isAdvanceInvoice() || hasAlreadyPaidPaymentType())
        return true;
    const QDateTime issue = issueDate();
    if (issue.isValid() && due.msecsTo(issue) >= 1000)
        return warn(error, QStringLiteral("Termin płatności jest wcześniejszy niż data wystawienia"));
    return true;
}

bool ZTDocument::validateDocumentID(const QVariant &value, Error &error) const
{
    const QString number = text(value);
    if (number.isEmpty())
        return fail(error, QStringLiteral("Dokument musi mieć numer"));
    if (!containsDigit(number))
        return fail(error, QStringLiteral("Niepoprawny numer dokumentu - musi zawierać cyfry."));
    return true;
}

bool ZTDocument::validateIssuedIn(const QVariant &value, Error &error) const
{
    if (isEmptyText(value))
        return fail(error, QStringLiteral("Brak miejsca wystawienia"));
    return true;
}

bool ZTDocument::validateIssueReason(const QVariant &value, Error &error) const
{
    if (isCorrectiveInvoice() && isEmptyText(value))
        return warn(error, QStringLiteral("Brak powodu wystawienia korekty"));
    return true;
}

namespace {

bool simplifiedInvoiceWithinLimit(const ZTDocument &document, const std::optional<Decimal> &gross)
{
    if (!document.isSimplifiedInvoice())
        return true;
    const QString currency = document.currency();
    QString key;
    if (currency == QStringLiteral("PLN"))
        key = QStringLiteral("ZTLimitForSimplifiedInvoicePLN");
    else if (currency == QStringLiteral("EUR"))
        key = QStringLiteral("ZTLimitForSimplifiedInvoiceEUR");
    else
        return true;
    const double limit = SettingsStore::standard().doubleValue(key);
    return limit >= gross.value_or(Decimal(0)).toDouble();
}

} // namespace

bool ZTDocument::validateTotalGrossValue(const QVariant &value, Error &error) const
{
    if (!simplifiedInvoiceWithinLimit(*this, decimal(value)))
        return fail(error, QStringLiteral("Przekroczona maksymalna kwota brutto dla faktury uproszczonej"));
    return true;
}

bool ZTDocument::validateSimplifiedInvoice() const
{
    return simplifiedInvoiceWithinLimit(*this, totalGrossValue());
}

// ---- the document as a whole

bool ZTDocument::validateConsistencyErrors(Error &error) const
{
    bool valid = true;
    Error combined;
    auto failure = [&](const QString &message) { collect(false, Error::withMessage(message), valid, combined); };
    auto objectCheck = [&](ManagedObject &object) {
        Error found;
        collect(object.validateForUpdate(found), found, valid, combined);
    };

    // A new draft carries an empty purchaser until the user picks or types one; such a blank
    // one is no purchaser chosen, and one message says so better than a list of missing fields.
    ZTPurchaser *p = purchaser();
    if (p && !(p->baseCustomer() == nullptr && isBlank(p->name()) && isBlank(p->address()) && isBlank(p->nip())))
        objectCheck(*p);
    else
        failure(QStringLiteral("Nie wybrano nabywcy"));
    if (ZTSeller *s = seller())
        objectCheck(*s);
    else
        failure(QStringLiteral("Nie wybrano sprzedawcy"));
    if (!useCustomDocumentID() && !docIDSequencer())
        failure(QStringLiteral("Błąd wyboru numeracji dokumentu"));
    const QList<ZTDocumentItem *> lines = availableItems();
    if (lines.isEmpty())
        failure(QStringLiteral("Dokument nie zawiera produktów"));
    // A correction may well give money back.
    if (!isCorrectiveInvoice() && totalGrossValue().value_or(Decimal(0)) < Decimal(0))
        failure(QStringLiteral("Suma do zapłaty jest mniejsza od zera"));
    for (ZTDocumentItem *line : lines)
        objectCheck(*line);
    for (ZTSettlementItem *line : positionedSettlementItems())
        objectCheck(*line);

    if (!valid)
        error = combined;
    return valid;
}

namespace {

// The document's field checks and its consistency check both run; both must pass.
bool withConsistency(const ZTDocument &document, bool fieldsValid, const Error &fieldErrors, Error &error)
{
    bool valid = true;
    Error combined;
    collect(fieldsValid, fieldErrors, valid, combined);
    Error consistency;
    collect(document.validateConsistencyErrors(consistency), consistency, valid, combined);
    if (!valid)
        error = combined;
    return valid;
}

} // namespace

bool ZTDocument::checkForInsert(Error &error)
{
    Error found;
    const bool fieldsValid = ZTManagedObject::checkForInsert(found);
    return withConsistency(*this, fieldsValid, found, error);
}

bool ZTDocument::checkForUpdate(Error &error)
{
    Error found;
    const bool fieldsValid = ZTManagedObject::checkForUpdate(found);
    return withConsistency(*this, fieldsValid, found, error);
}

// ---- checks of a line

namespace {

QString positionText(const ZTDocumentItem &item)
{
    const std::optional<int> position = item.position();
    return position ? QString::number(*position) : QString();
}

} // namespace

const ZTPropertyChecks &ZTDocumentItem::propertyChecks() const
{
    static const ZTPropertyChecks checks = ZTPropertyChecks(ZTProduct::propertyChecks())
                                               .add(QStringLiteral("name"), &ZTDocumentItem::validateName)
                                               .add(QStringLiteral("position"), &ZTDocumentItem::validatePosition)
                                               .add(QStringLiteral("discount"), &ZTDocumentItem::validateDiscount)
                                               .add(QStringLiteral("vatRate"), &ZTDocumentItem::validateVatRate);
    return checks;
}

bool ZTDocumentItem::validateName(const QVariant &value, Error &error) const
{
    if (isEmptyText(value))
        return fail(error, QStringLiteral("Towar w pozycji %1. nie ma nazwy").arg(positionText(*this)));
    return true;
}

bool ZTDocumentItem::validatePosition(const QVariant &value, Error &error) const
{
    const std::optional<qlonglong> position = integer(value);
    if (!position || *position <= 0)
        return failSilently(error);
    return true;
}

bool ZTDocumentItem::validateDiscount(const QVariant &value, Error &error) const
{
    const std::optional<Decimal> discount = decimal(value);
    if (discount && *discount > Decimal(1))
        return fail(error, QStringLiteral("Rabat nie może być większy niż 100%"));
    return true;
}

bool ZTDocumentItem::validateVatRate(const QVariant &value, Error &error) const
{
    const ZTDocument *owner = document();
    if (!owner || !owner->isMarginInvoice())
        return true;
    const Decimal required = ZTSeller::validVatRateForMarginProcedure(owner->marginInvoiceProcedure());
    const Decimal rate = decimal(value).value_or(Decimal(0));
    if (std::abs(rate.toDouble() - required.toDouble()) < std::numeric_limits<double>::epsilon())
        return true;
    return fail(error, QStringLiteral("Towar w pozycji %1. ma nieprawidłową stawkę VAT dla wybranej procedury marży %2 "
                                      "(powinno być %3)")
                           .arg(positionText(*this), ZTVatRatesManager::descriptionFromRate(rate),
                                ZTVatRatesManager::descriptionFromRate(required)));
}

bool ZTDocumentItem::checkForInsert(Error &error)
{
    return isDifference() || ZTProduct::checkForInsert(error);
}

bool ZTDocumentItem::checkForUpdate(Error &error)
{
    return isDifference() || ZTProduct::checkForUpdate(error);
}
