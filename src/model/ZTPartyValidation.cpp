// Checks of the parties: name, address, NIP, place of issue and recipient address.
#include "ZTCheckSupport.h"
#include "ZTCustomer.h"
#include "ZTPerson.h"
#include "ZTSeller.h"

#include <QRegularExpression>

#include <array>

using namespace ztcheck;

namespace {

// Two capital letters other than "PL", then 5 to 15 more characters: a tax number of another
// country, which is not ours to check.
bool looksForeign(const QString &nip)
{
    static const QRegularExpression foreign(QStringLiteral("^[A-Z][A-Z].{5,15}$"));
    return foreign.match(nip).hasMatch() && !nip.startsWith(QStringLiteral("PL"));
}

bool hasPolishForm(const QString &nip)
{
    // Optional country prefix and space, then ten digits: plain, 3-3-2-2 or 3-2-2-3.
    static const QRegularExpression polish(
        QStringLiteral("^([A-Z]{2})?\\ ?(\\d{10}|(\\d{3}\\-){2}\\d{2}\\-\\d{2}|\\d{3}\\-(\\d{2}\\-){2}\\d{3})$"));
    return polish.match(nip).hasMatch();
}

bool checkDigitMatches(const QString &nip)
{
    QList<int> digits;
    for (const QChar c : nip) {
        if (c.isDigit())
            digits.append(c.digitValue());
    }
    if (digits.size() != 10)
        return false;
    static constexpr std::array<int, 9> weights{6, 5, 7, 2, 3, 4, 5, 6, 7};
    int sum = 0;
    for (size_t i = 0; i < weights.size(); ++i)
        sum += weights[i] * digits.at(qsizetype(i));
    // A remainder of 10 is no digit, so such a number is never right.
    return sum % 11 == digits.at(9);
}

QString nipMessage(const char16_t *pattern)
{
    return QString::fromUtf16(pattern).arg(ZTPerson::classDativeFormForClass());
}

} // namespace

// ---- class checks

bool ZTPerson::checkNipString(const QString &text, Error &error, bool hard)
{
    if (looksForeign(text))
        return true;
    if (!hasPolishForm(text))
        return fail(error, nipMessage(u"NIP %1 jest nieprawidłowy"));
    if (!checkDigitMatches(text)) {
        const QString message = nipMessage(u"NIP %1 jest błędny");
        return hard ? fail(error, message) : warn(error, message);
    }
    return true;
}

bool ZTPerson::checkNip(const QVariant &value, Error &error)
{
    const QString nip = text(value);
    if (nip.isEmpty())
        return warn(error, nipMessage(u"NIP %1 nie powinien być pusty"));
    return checkNipString(nip, error, false);
}

bool ZTPerson::checkNipHard(const QVariant &value, Error &error)
{
    return checkNipString(text(value), error, true);
}

bool ZTPerson::checkIssuedIn(const QVariant &value, Error &error)
{
    if (isEmptyText(value))
        return fail(error, QStringLiteral("Miejsce wystawienia nie powinno być puste"));
    return true;
}

// ---- every party

const ZTPropertyChecks &ZTPerson::propertyChecks() const
{
    static const ZTPropertyChecks checks = ZTPropertyChecks(ZTManagedObject::propertyChecks())
                                               .add(QStringLiteral("name"), &ZTPerson::validateName)
                                               .add(QStringLiteral("address"), &ZTPerson::validateAddress)
                                               .add(QStringLiteral("nip"), &ZTPerson::validateNip)
                                               .add(QStringLiteral("issuedIn"), &ZTPerson::validateIssuedIn);
    return checks;
}

bool ZTPerson::validateName(const QVariant &value, Error &error) const
{
    if (isEmptyText(value))
        return fail(error, QStringLiteral("Brak nazwy %1").arg(classDativeForm()));
    return true;
}

bool ZTPerson::validateAddress(const QVariant &value, Error &error) const
{
    const QString address = text(value);
    if (address.isEmpty())
        return fail(error, QStringLiteral("Brak adresu %1").arg(classDativeForm()));
    if (!containsDigit(address))
        return warn(error, QStringLiteral("Nieprawidłowy adres %1").arg(classDativeForm()));
    return true;
}

bool ZTPerson::validateNip(const QVariant &value, Error &error) const
{
    return checkNip(value, error);
}

bool ZTPerson::validateIssuedIn(const QVariant &value, Error &error) const
{
    return checkIssuedIn(value, error);
}

// ---- customers and purchasers

const ZTPropertyChecks &ZTCustomer::propertyChecks() const
{
    static const ZTPropertyChecks checks =
        ZTPropertyChecks(ZTPerson::propertyChecks())
            .add(QStringLiteral("recipientAddress"), &ZTCustomer::validateRecipientAddress);
    return checks;
}

bool ZTCustomer::validateNip(const QVariant &value, Error &error) const
{
    if (isEmptyText(value))
        return warn(error, nipMessage(u"NIP %1 nie powinien być pusty"));
    return true;
}

bool ZTCustomer::validateRecipientAddress(const QVariant &value, Error &error) const
{
    const QString address = text(value);
    if (!address.isEmpty() && !containsDigit(address))
        return warn(error, QStringLiteral("Nieprawidłowy adres %1").arg(classDativeForm()));
    return true;
}

// ---- sellers

bool ZTSeller::validateNip(const QVariant &value, Error &error) const
{
    if (looksForeign(text(value)))
        return fail(error, QStringLiteral("NIP nie jest zgodny z polskim formatem"));
    return checkNip(value, error);
}
