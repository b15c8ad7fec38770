#pragma once

#include "ZTManagedObject.h"

class ManagedObjectContext;

// Attributes common to every party ("Person"). Parties save freely: their checks never stop a
// save unless the owning document binds them.
class ZTPerson : public ZTManagedObject
{
public:
    static ZTPerson *newPerson(ManagedObjectContext &context);

    QString name() const { return stringAttribute(QStringLiteral("name")); }
    void setName(const QString &text) { setStringAttribute(QStringLiteral("name"), text); }
    QString address() const { return stringAttribute(QStringLiteral("address")); }
    void setAddress(const QString &text) { setStringAttribute(QStringLiteral("address"), text); }
    QString nip() const { return stringAttribute(QStringLiteral("nip")); }
    void setNip(const QString &text) { setStringAttribute(QStringLiteral("nip"), text); }
    QString regon() const { return stringAttribute(QStringLiteral("regon")); }
    void setRegon(const QString &text) { setStringAttribute(QStringLiteral("regon"), text); }
    QString remarks() const { return stringAttribute(QStringLiteral("remarks")); }
    void setRemarks(const QString &text) { setStringAttribute(QStringLiteral("remarks"), text); }
    QString contactData() const { return stringAttribute(QStringLiteral("contactData")); }
    void setContactData(const QString &text) { setStringAttribute(QStringLiteral("contactData"), text); }
    QDateTime createdAt() const { return dateAttribute(QStringLiteral("createdAt")); }
    void setCreatedAt(const QDateTime &date) { setDateAttribute(QStringLiteral("createdAt"), date); }

    void awakeFromInsert() override;
    void awakeFromFetch() override;
};
