#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

// An error record: domain, code and user info. A default-constructed record is "no error";
// a check that passes with a record filled in is a warning.
class Error
{
public:
    static constexpr int kMultipleErrorsCode = 1560;
    static const QString kMessageKey;              // "message"
    static const QString kLocalizedDescriptionKey; // "NSLocalizedDescription"

    Error() = default;
    Error(QString domain, int code, QVariantMap userInfo = {});

    // The application's own domain: the application identifier followed by ".ErrorDomain".
    static QString applicationDomain();
    // The domain of combined errors, which belong to no single subsystem.
    static QString generalDomain();
    // Errors of the file system, carrying an errno value as code.
    static QString posixDomain();

    // An error whose user info holds the text under "message" (checks use code 0).
    static Error withMessage(const QString &domain, int code, const QString &message);
    static Error withMessage(const QString &message) { return withMessage(applicationDomain(), 0, message); }
    // An error whose text is its localized description (for errors shown in an error alert).
    static Error withLocalizedDescription(const QString &domain, int code, const QString &description);

    // a, or b, or one error of code 1560 listing the detailed errors of both in order; an
    // error without user info is left out of the list.
    static Error combined(const Error &a, const Error &b);

    bool isNull() const { return m_domain.isEmpty() && m_code == 0 && m_userInfo.isEmpty() && m_details.isEmpty(); }
    explicit operator bool() const { return !isNull(); }

    QString domain() const { return m_domain; }
    int code() const { return m_code; }
    QVariantMap userInfo() const { return m_userInfo; }
    bool hasUserInfo() const { return !m_userInfo.isEmpty() || !m_details.isEmpty(); }

    QString message() const;              // the "message" text, empty when none
    QString localizedDescription() const; // the description, else the message

    bool isCombined() const { return m_code == kMultipleErrorsCode && m_domain == generalDomain(); }
    // For a combined error its detailed errors, otherwise a list holding just this error.
    QList<Error> flatErrorArray() const;
    // Messages of the flat list, in order, skipping errors without one.
    QStringList messages() const;

    bool operator==(const Error &other) const;

private:
    QString m_domain;
    int m_code = 0;
    QVariantMap m_userInfo;
    QList<Error> m_details; // the detailed errors of a combined error
};
