#pragma once

#include <QString>

// A currency as offered to the user: name and symbol in the user's locale, ISO 4217 code.
class ZTCurrency
{
public:
    // All three are required: a missing one is a consistency failure ("n", "c" or "s").
    ZTCurrency(const QString &name, const QString &code, const QString &symbol);

    QString name() const { return m_name; }
    QString code() const { return m_code; }
    QString symbol() const { return m_symbol; }
    // Whether this is the default currency of the settings.
    bool isDefault() const;

    bool operator==(const ZTCurrency &other) const = default;

private:
    QString m_name;
    QString m_code;
    QString m_symbol;
};
