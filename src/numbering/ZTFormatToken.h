#pragma once

#include <QList>
#include <QString>

#include <memory>

// One entry of a token's fixed-length menu. The caption has no action; the other entries
// carry the length they stand for (0 = none).
struct ZTFormatTokenMenuEntry
{
    QString title;
    int representedValue = 0;
    bool hasAction = true;

    bool operator==(const ZTFormatTokenMenuEntry &) const = default;
};

// A placeholder a number format may contain, as the numbering settings show and edit it.
class ZTFormatToken
{
public:
    ZTFormatToken() = default;
    virtual ~ZTFormatToken() = default;

    // The token object for a letter (n, d, m, y, Y); none for any other letter.
    static std::unique_ptr<ZTFormatToken> newForSymbol(const QString &symbol);
    // The token object for a token text such as "%3n"; none when the text does not start with
    // "%" or its letter is not one of the five.
    static std::unique_ptr<ZTFormatToken> tokenFromFormat(const QString &tokenText);
    static std::unique_ptr<ZTFormatToken> newWithDisplayName(const QString &displayName,
                                                             const QString &symbol, qint64 currentValue);

    QString displayName() const { return m_displayName; }
    QString symbol() const { return m_symbol; }
    int fixedLength() const { return m_fixedLength; }
    void setFixedLength(int length) { m_fixedLength = length; }
    qint64 currentValue() const { return m_currentValue; }
    bool menuEnabled() const { return m_menuEnabled; }
    QList<int> availablePaddings() const { return m_availablePaddings; }

    // The menu is offered only for tokens that have paddings to choose from.
    void enableMenu() { m_menuEnabled = !m_availablePaddings.isEmpty(); }

    // How the token is written back into a format, e.g. "%n" or "%3n".
    QString symbolWithPadding() const;
    // E.g. "Numer kolejny" or, with a fixed length of 3, "Numer kolejny (3c)".
    QString displayNameWithFixedLength() const;
    QString valueWithPadding() const { return valueWithPadding(m_fixedLength); }
    QString valueWithPadding(int length) const;
    // The printf pattern that zero-pads to a length, e.g. "%03d".
    static QString zeroedPaddingFormatValue(int length);

    // The fixed-length menu: a caption, "brak", then one entry per offered padding. Empty when
    // the menu is off or no paddings exist.
    QList<ZTFormatTokenMenuEntry> menuEntries() const;

protected:
    ZTFormatToken(QString displayName, QString symbol, qint64 currentValue, QList<int> paddings);

private:
    QString m_displayName;
    QString m_symbol;
    int m_fixedLength = 0;
    qint64 m_currentValue = 0;
    bool m_menuEnabled = false;
    QList<int> m_availablePaddings;
};

// The example values of the date tokens are today's, read when the token is created.
class ZTFormatTokenCurrentValue : public ZTFormatToken
{
public:
    ZTFormatTokenCurrentValue();
};

class ZTFormatTokenDay : public ZTFormatToken
{
public:
    ZTFormatTokenDay();
};

class ZTFormatTokenMonth : public ZTFormatToken
{
public:
    ZTFormatTokenMonth();
};

class ZTFormatTokenYear : public ZTFormatToken
{
public:
    ZTFormatTokenYear();
};

class ZTFormatTokenFullYear : public ZTFormatToken
{
public:
    ZTFormatTokenFullYear();
};
