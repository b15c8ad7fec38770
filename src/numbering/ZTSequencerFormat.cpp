#include "ZTSequencerFormat.h"

#include "platform/ZTLog.h"

const QRegularExpression &ZTSequencerFormat::tokenPattern()
{
    static const QRegularExpression pattern(QStringLiteral("(%[0-9]*[dnmyY]{1}){1}"));
    return pattern;
}

const QRegularExpression &ZTSequencerFormat::leadingTokenPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(%[0-9]*[dnmyY]{1}){1}"));
    return pattern;
}

QString ZTSequencerFormat::buildNumber(const QDateTime &issueDate, qint64 value) const
{
    return buildNumber(issueDate.toLocalTime().date(), value);
}

QString ZTSequencerFormat::buildNumber(const QDate &issueDate, qint64 value) const
{
    QString output;
    qsizetype position = 0; // start of the part of the format not yet copied
    while (position < m_format.size()) {
        const QRegularExpressionMatch next = tokenPattern().match(m_format, position);
        if (!next.hasMatch()) {
            output += QStringView(m_format).mid(position);
            break;
        }
        output += QStringView(m_format).mid(position, next.capturedStart(0) - position);
        output += tokenText(next.captured(0), issueDate, value);
        position = next.capturedEnd(0);
    }
    return output;
}

QString ZTSequencerFormat::tokenText(const QString &token, const QDate &date, qint64 value)
{
    if (!token.startsWith(u'%')) {
        ZTLOG(QStringLiteral("Wrong sequencer format %1").arg(token));
        return {};
    }
    const QString body = token.mid(1);
    if (body.isEmpty())
        return token;
    // Only one width digit is read: with "%12n" the "2" lands in the letter's place, which is
    // not a token letter, so such a token stays in the number as written.
    int width = 0;
    QChar letter = body.at(0);
    if (body.size() > 1) {
        width = body.at(0).digitValue();
        letter = body.at(1);
    }

    // Sequence values are printed as 32-bit integers, as the number has always been.
    int number = 0;
    switch (letter.unicode()) {
    case u'd': number = date.day(); break;
    case u'm': number = date.month(); break;
    case u'y': number = date.year() % 100; break;
    case u'Y': number = date.year(); break;
    case u'n': number = static_cast<qint32>(value); break;
    default: return token;
    }
    if (width >= 1)
        return QString::asprintf("%0*d", width, number);
    return QString::number(number);
}

bool ZTSequencerFormat::validateName(const QString &name, Error &error)
{
    if (!name.trimmed().isEmpty())
        return true;
    error = Error::withMessage(QStringLiteral("Numeracja musi nosić nazwę"));
    return false;
}

bool ZTSequencerFormat::validateFormat(const QString &format, Error &error)
{
    if (!format.trimmed().isEmpty())
        return true;
    error = Error::withMessage(QStringLiteral("Format nie może być pusty"));
    return false;
}

bool ZTSequencerFormat::validateNextValue(const QString &text, Error &error)
{
    static const QRegularExpression digitsOnly(QStringLiteral("^\\d+$"));
    if (!digitsOnly.match(text).hasMatch()) {
        error = Error::withMessage(QStringLiteral("Numer jest nieprawidłowy"));
        return false;
    }
    // Judged by its digits rather than a parsed number, so that a value too long for an
    // integer still counts as non-zero.
    bool allZero = true;
    for (const QChar c : text) {
        if (c.isDigit() && c != u'0')
            allZero = false;
    }
    if (allZero) {
        error = Error::withMessage(QStringLiteral("Następny numer musi być większy od zera"));
        return false;
    }
    return true;
}

ZTSequencerPeriod ZTSequencerPeriod::containing(const QDateTime &date, bool monthlyReset)
{
    const QDate day = date.toLocalTime().date();
    const QDate first = monthlyReset ? QDate(day.year(), day.month(), 1) : QDate(day.year(), 1, 1);
    const QDate following = monthlyReset ? first.addMonths(1) : first.addYears(1);
    return {first.startOfDay(), following.startOfDay()};
}
