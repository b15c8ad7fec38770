#include "Error.h"

const QString Error::kMessageKey = QStringLiteral("message");
const QString Error::kLocalizedDescriptionKey = QStringLiteral("NSLocalizedDescription");

Error::Error(QString domain, int code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo))
{
}

QString Error::applicationDomain()
{
    return QStringLiteral(TOLVANA_APP_IDENTIFIER ".ErrorDomain");
}

QString Error::generalDomain()
{
    return QStringLiteral(TOLVANA_APP_IDENTIFIER ".GeneralErrorDomain");
}

QString Error::posixDomain()
{
    return QStringLiteral("POSIXErrorDomain");
}

Error Error::withMessage(const QString &domain, int code, const QString &message)
{
    return Error(domain, code, {{kMessageKey, message}});
}

Error Error::withLocalizedDescription(const QString &domain, int code, const QString &description)
{
    return Error(domain, code, {{kLocalizedDescriptionKey, description}});
}

Error Error::combined(const Error &a, const Error &b)
{
    if (a.isNull())
        return b;
    if (b.isNull())
        return a;
    Error result(generalDomain(), kMultipleErrorsCode);
    for (const Error *part : {&a, &b}) {
        if (part->isCombined()) {
            result.m_details += part->m_details;
        } else if (part->hasUserInfo()) {
            result.m_details.append(*part);
        }
    }
    return result;
}

QString Error::message() const
{
    return m_userInfo.value(kMessageKey).toString();
}

QString Error::localizedDescription() const
{
    const QString description = m_userInfo.value(kLocalizedDescriptionKey).toString();
    return description.isEmpty() ? message() : description;
}

QList<Error> Error::flatErrorArray() const
{
    if (isCombined())
        return m_details;
    return {*this};
}

QStringList Error::messages() const
{
    QStringList list;
    for (const Error &e : flatErrorArray()) {
        const QString text = e.localizedDescription();
        if (!text.isEmpty())
            list.append(text);
    }
    return list;
}

bool Error::operator==(const Error &other) const
{
    return m_domain == other.m_domain && m_code == other.m_code && m_userInfo == other.m_userInfo
           && m_details == other.m_details;
}
