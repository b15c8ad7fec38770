#pragma once

#include "platform/Error.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QString>

// A number pattern of a numbering sequencer and the building of numbers from it. Tokens are
// "%", an optional width and one of the letters n, d, m, y, Y; everything else is literal.
class ZTSequencerFormat
{
public:
    explicit ZTSequencerFormat(QString format) : m_format(std::move(format)) {}

    const QString &format() const { return m_format; }

    // The number for a counter value on an issue date. The date is read in the Gregorian
    // calendar; the QDateTime overload takes the local calendar day of the instant.
    QString buildNumber(const QDate &issueDate, qint64 value) const;
    QString buildNumber(const QDateTime &issueDate, qint64 value) const;

    // The text one token stands for. A letter outside the five gives the token back unchanged
    // (this is how "%12n" stays literal); text not starting with "%" is logged and gives "".
    static QString tokenText(const QString &token, const QDate &date, qint64 value);

    // Finds tokens anywhere in a text; the anchored variant tests whether a text starts with one.
    static const QRegularExpression &tokenPattern();
    static const QRegularExpression &leadingTokenPattern();

    // Checks of the sequencer fields that need no store. Each returns true when the value is
    // acceptable, else false with an error (code 0, application domain) carrying the message.
    static bool validateName(const QString &name, Error &error);
    static bool validateFormat(const QString &format, Error &error);
    // The next value as the user typed it: digits only, and not zero.
    static bool validateNextValue(const QString &text, Error &error);

private:
    QString m_format;
};

// The stretch of time one counter record covers: a calendar year, or a calendar month for a
// sequencer that resets monthly, from its first local instant to the first instant of the next.
struct ZTSequencerPeriod
{
    QDateTime start;
    QDateTime end; // first instant of the following period

    static ZTSequencerPeriod containing(const QDateTime &date, bool monthlyReset);
    bool contains(const QDateTime &date) const { return date >= start && date < end; }
};
