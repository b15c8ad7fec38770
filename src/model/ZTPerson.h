#pragma once

#include "ZTManagedObject.h"

class ManagedObjectContext;

// Attributes common to every party ("Person"). Parties save freely: their checks never stop a
// save unless the owning document binds them.
class ZTPerson : public ZTManagedObject
{
public:
    static ZTPerson *newPerson(ManagedObjectContext &context);

    // The Polish word naming the party in messages ("firmy"); purchaser and seller override
    // the instance form. The class form is what NIP messages always use.
    static QString classDativeFormForClass() { return QStringLiteral("firmy"); }
    virtual QString classDativeForm() const { return classDativeFormForClass(); }

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

    // ---- checks (see ZTPartyValidation.cpp)
    // The NIP check. A foreign number (two capital letters other than "PL" and 5 to 15 more
    // characters) passes; a text not of the Polish form fails; a wrong check digit fails when
    // hard, else only warns.
    static bool checkNipString(const QString &text, Error &error, bool hard);
    // The soft check, warning about an empty NIP.
    static bool checkNip(const QVariant &value, Error &error);
    static bool checkNipHard(const QVariant &value, Error &error);
    static bool checkIssuedIn(const QVariant &value, Error &error);
    bool validateName(const QVariant &value, Error &error) const;
    bool validateAddress(const QVariant &value, Error &error) const;
    virtual bool validateNip(const QVariant &value, Error &error) const;
    // For the place-of-issue field; no party stores a property of that name.
    bool validateIssuedIn(const QVariant &value, Error &error) const;
    const ZTPropertyChecks &propertyChecks() const override;
    // ---- end of checks
};
