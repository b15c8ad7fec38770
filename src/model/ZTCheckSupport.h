#pragma once

// Small helpers shared by the property checks of the entity classes: reading a proposed value
// the way the store would keep it, and making the check errors.

#include "platform/AttributeValue.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QString>
#include <QVariant>

#include <optional>

namespace ztcheck {

// The proposed value as text; null for an empty value or one that is no text.
inline QString text(const QVariant &value)
{
    const std::optional<QVariant> canonical = AttributeValue::canonical(AttributeType::String, value);
    return canonical && canonical->isValid() ? canonical->toString() : QString();
}

// "Empty" in the checks: missing or of length 0.
inline bool isEmptyText(const QVariant &value)
{
    return text(value).isEmpty();
}

inline QDateTime date(const QVariant &value)
{
    const std::optional<QVariant> canonical = AttributeValue::canonical(AttributeType::Date, value);
    return canonical && canonical->isValid() ? canonical->toDateTime() : QDateTime();
}

inline std::optional<Decimal> decimal(const QVariant &value)
{
    const std::optional<QVariant> canonical = AttributeValue::canonical(AttributeType::Decimal, value);
    if (!canonical || !canonical->isValid())
        return std::nullopt;
    return canonical->value<Decimal>();
}

inline std::optional<qlonglong> integer(const QVariant &value)
{
    const std::optional<QVariant> canonical = AttributeValue::canonical(AttributeType::Integer, value);
    if (!canonical || !canonical->isValid())
        return std::nullopt;
    return canonical->toLongLong();
}

inline bool containsDigit(const QString &text)
{
    static const QRegularExpression digit(QStringLiteral("\\d"));
    return digit.match(text).hasMatch();
}

// A failure: false with the message.
inline bool fail(Error &error, const QString &message)
{
    error = Error::withMessage(message);
    return false;
}

// A failure that has nothing to say: the form shows no text, the store lists nothing for it.
inline bool failSilently(Error &error)
{
    error = Error(Error::applicationDomain(), 0);
    return false;
}

// A warning: valid, with the message.
inline bool warn(Error &error, const QString &message)
{
    error = Error::withMessage(message);
    return true;
}

// Runs one step of a check that collects every failure in order.
inline void collect(bool passed, const Error &found, bool &valid, Error &combined)
{
    if (passed)
        return;
    valid = false;
    combined = Error::combined(combined, found);
}

} // namespace ztcheck
