#include "ZTFormatToken.h"

#include "platform/Clock.h"

namespace {

QDate today()
{
    return Clock::now().toLocalTime().date();
}

} // namespace

ZTFormatToken::ZTFormatToken(QString displayName, QString symbol, qint64 currentValue, QList<int> paddings)
    : m_displayName(std::move(displayName)),
      m_symbol(std::move(symbol)),
      m_currentValue(currentValue),
      m_availablePaddings(std::move(paddings))
{
}

ZTFormatTokenCurrentValue::ZTFormatTokenCurrentValue()
    : ZTFormatToken(QStringLiteral("Numer kolejny"), QStringLiteral("n"), 1, {2, 3, 4, 5})
{
}

ZTFormatTokenDay::ZTFormatTokenDay()
    : ZTFormatToken(QStringLiteral("Dzień"), QStringLiteral("d"), today().day(), {2})
{
}

ZTFormatTokenMonth::ZTFormatTokenMonth()
    : ZTFormatToken(QStringLiteral("Miesiąc"), QStringLiteral("m"), today().month(), {2})
{
}

ZTFormatTokenYear::ZTFormatTokenYear()
    : ZTFormatToken(QStringLiteral("Rok"), QStringLiteral("y"), today().year() % 100, {2})
{
}

ZTFormatTokenFullYear::ZTFormatTokenFullYear()
    : ZTFormatToken(QStringLiteral("Pełny rok"), QStringLiteral("Y"), today().year(), {})
{
}

std::unique_ptr<ZTFormatToken> ZTFormatToken::newForSymbol(const QString &symbol)
{
    if (symbol == u"n")
        return std::make_unique<ZTFormatTokenCurrentValue>();
    if (symbol == u"d")
        return std::make_unique<ZTFormatTokenDay>();
    if (symbol == u"m")
        return std::make_unique<ZTFormatTokenMonth>();
    if (symbol == u"y")
        return std::make_unique<ZTFormatTokenYear>();
    if (symbol == u"Y")
        return std::make_unique<ZTFormatTokenFullYear>();
    return nullptr;
}

std::unique_ptr<ZTFormatToken> ZTFormatToken::tokenFromFormat(const QString &tokenText)
{
    if (!tokenText.startsWith(u'%') || tokenText.size() < 2)
        return nullptr;
    // Read as the number builder reads it: one width digit, then the letter.
    const QString body = tokenText.mid(1);
    int width = 0;
    QString letter = body.left(1);
    if (body.size() > 1) {
        width = qMax(0, body.at(0).digitValue());
        letter = body.mid(1, 1);
    }
    std::unique_ptr<ZTFormatToken> token = newForSymbol(letter);
    if (!token)
        return nullptr;
    token->m_fixedLength = width;
    token->enableMenu();
    return token;
}

std::unique_ptr<ZTFormatToken> ZTFormatToken::newWithDisplayName(const QString &displayName,
                                                                  const QString &symbol, qint64 currentValue)
{
    return std::unique_ptr<ZTFormatToken>(new ZTFormatToken(displayName, symbol, currentValue, {}));
}

QString ZTFormatToken::symbolWithPadding() const
{
    if (m_fixedLength < 2)
        return QStringLiteral("%") + m_symbol;
    return QStringLiteral("%") + QString::number(m_fixedLength) + m_symbol;
}

QString ZTFormatToken::displayNameWithFixedLength() const
{
    if (m_fixedLength < 2)
        return m_displayName;
    return m_displayName + QStringLiteral(" (") + QString::number(m_fixedLength) + QStringLiteral("c)");
}

QString ZTFormatToken::zeroedPaddingFormatValue(int length)
{
    return QStringLiteral("%0") + QString::number(length) + QStringLiteral("d");
}

QString ZTFormatToken::valueWithPadding(int length) const
{
    if (length < 2)
        return QString::number(m_currentValue);
    return QString::asprintf("%0*lld", length, static_cast<long long>(m_currentValue));
}

QList<ZTFormatTokenMenuEntry> ZTFormatToken::menuEntries() const
{
    if (!m_menuEnabled || m_availablePaddings.isEmpty())
        return {};
    QList<ZTFormatTokenMenuEntry> entries;
    entries.append({QStringLiteral("Stała ilość cyfr:"), 0, false});
    entries.append({QStringLiteral("brak"), 0, true});
    for (const int padding : m_availablePaddings) {
        // Polish plural: "2 cyfry" up to four, "5 cyfr" from five.
        const QString noun = padding < 5 ? QStringLiteral("cyfry") : QStringLiteral("cyfr");
        entries.append({QStringLiteral("%1 %2").arg(padding).arg(noun), padding, true});
    }
    return entries;
}
