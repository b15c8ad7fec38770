#pragma once

#include "model/ZTManagedObject.h"

class ZTDocumentSmartSequencerValues;

// Format-based numbering sequencer ("DocumentSmartSequencer").
class ZTDocumentSmartSequencer : public ZTManagedObject
{
public:
    QString name() const { return stringAttribute(QStringLiteral("name")); }
    void setName(const QString &text) { setStringAttribute(QStringLiteral("name"), text); }
    QString format() const { return stringAttribute(QStringLiteral("format")); }
    void setFormat(const QString &text) { setStringAttribute(QStringLiteral("format"), text); }
    std::optional<int> documentKind() const { return intAttribute(QStringLiteral("documentKind")); }
    void setDocumentKind(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("documentKind"), number);
    }
    bool monthlyReset() const { return boolAttribute(QStringLiteral("monthlyReset")); }
    void setMonthlyReset(bool flag) { setBoolAttribute(QStringLiteral("monthlyReset"), flag); }
    bool removed() const { return boolAttribute(QStringLiteral("removed")); }
    void setRemoved(bool flag) { setBoolAttribute(QStringLiteral("removed"), flag); }
    QDateTime createdAt() const { return dateAttribute(QStringLiteral("createdAt")); }
    void setCreatedAt(const QDateTime &date) { setDateAttribute(QStringLiteral("createdAt"), date); }

    QList<ZTDocumentSmartSequencerValues *> values() const;
    void addValue(ZTDocumentSmartSequencerValues *object);
    void removeValue(ZTDocumentSmartSequencerValues *object);
};
