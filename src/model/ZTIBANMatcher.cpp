#include "ZTIBANMatcher.h"

#include "platform/PropertyList.h"
#include "platform/ZTLog.h"

#include <QVariantMap>

namespace {

// Read once: the table is part of the program and does not change while it runs.
const QVariantMap &bankTable()
{
    static const QVariantMap table = [] {
        const PropertyList::ReadResult read = PropertyList::fromFile(QStringLiteral(":/accountMap.plist"));
        if (!read.ok())
            ZTLOG(QStringLiteral("bank table could not be read: %1").arg(read.errorText));
        return read.value.toMap();
    }();
    return table;
}

} // namespace

QString ZTIBANMatcher::nameForIBANPrefix(const QString &accountNumber)
{
    QString digits;
    for (const QChar c : accountNumber) {
        if (c.isDigit())
            digits.append(c);
    }
    if (digits.size() < 5)
        return QStringLiteral("");
    const QVariant name = bankTable().value(digits.mid(2, 3));
    return name.isValid() ? name.toString() : QString();
}
