#pragma once

#include "model/ZTManagedObject.h"

class ZTDocument;

// Simple numbering sequencer of older versions ("DocumentIDSequencer").
class ZTDocumentIDSequencer : public ZTManagedObject
{
public:
    static const QString kDefaultName;   // "Nowa numeracja"
    static const QString kDefaultFormat; // "%n"

    QString name() const { return stringAttribute(QStringLiteral("name")); }
    void setName(const QString &text) { setStringAttribute(QStringLiteral("name"), text); }
    QString format() const { return stringAttribute(QStringLiteral("format")); }
    void setFormat(const QString &text) { setStringAttribute(QStringLiteral("format"), text); }
    std::optional<int> documentKind() const { return intAttribute(QStringLiteral("documentKind")); }
    void setDocumentKind(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("documentKind"), number);
    }
    std::optional<int> lastValue() const { return intAttribute(QStringLiteral("lastValue")); }
    void setLastValue(std::optional<int> number) { setIntAttribute(QStringLiteral("lastValue"), number); }
    QDateTime lastDateIssued() const { return dateAttribute(QStringLiteral("lastDateIssued")); }
    void setLastDateIssued(const QDateTime &date)
    {
        setDateAttribute(QStringLiteral("lastDateIssued"), date);
    }
    std::optional<int> position() const { return intAttribute(QStringLiteral("position")); }
    void setPosition(std::optional<int> number) { setIntAttribute(QStringLiteral("position"), number); }
    bool archived() const { return boolAttribute(QStringLiteral("archived")); }
    void setArchived(bool flag) { setBoolAttribute(QStringLiteral("archived"), flag); }
    bool monthlyReset() const { return boolAttribute(QStringLiteral("monthlyReset")); }
    void setMonthlyReset(bool flag) { setBoolAttribute(QStringLiteral("monthlyReset"), flag); }
    QDateTime createdAt() const { return dateAttribute(QStringLiteral("createdAt")); }
    void setCreatedAt(const QDateTime &date) { setDateAttribute(QStringLiteral("createdAt"), date); }

    QList<ZTDocument *> documents() const;
    void addDocument(ZTDocument *object);
    void removeDocument(ZTDocument *object);

    // The next number is the last one plus 1; setting n keeps n - 1 (0 for n <= 0).
    int nextValue() const { return lastValue().value_or(0) + 1; }
    void setNextValue(int n) { setLastValue(n > 0 ? n - 1 : 0); }

    void awakeFromInsert() override;
};
