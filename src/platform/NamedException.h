#pragma once

#include <QString>
#include <QVariantMap>

#include <stdexcept>

// A programming error with a name, a reason and details, raised where an object is used in a
// way it was not made for (a manager without an entity, a query without a store). Like an
// internal consistency failure it abandons the operation in hand.
class NamedException : public std::logic_error
{
public:
    NamedException(QString name, QString reason, QVariantMap userInfo = {})
        : std::logic_error(QString(name + QStringLiteral(": ") + reason).toStdString()),
          m_name(std::move(name)), m_reason(std::move(reason)), m_userInfo(std::move(userInfo))
    {
    }
    QString name() const { return m_name; }
    QString reason() const { return m_reason; }
    QVariantMap userInfo() const { return m_userInfo; }

private:
    QString m_name;
    QString m_reason;
    QVariantMap m_userInfo;
};
