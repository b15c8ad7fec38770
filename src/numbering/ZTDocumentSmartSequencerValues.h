#pragma once

#include "model/ZTManagedObject.h"

class ZTDocument;
class ZTDocumentSmartSequencer;

// The counter of one sequencer for one period ("DocumentSmartSequencerValues").
class ZTDocumentSmartSequencerValues : public ZTManagedObject
{
public:
    std::optional<int> lastValue() const { return intAttribute(QStringLiteral("lastValue")); }
    void setLastValue(std::optional<int> number) { setIntAttribute(QStringLiteral("lastValue"), number); }
    QDateTime lastIssuedDate() const { return dateAttribute(QStringLiteral("lastIssuedDate")); }
    void setLastIssuedDate(const QDateTime &date)
    {
        setDateAttribute(QStringLiteral("lastIssuedDate"), date);
    }
    QDateTime createdAt() const { return dateAttribute(QStringLiteral("createdAt")); }
    void setCreatedAt(const QDateTime &date) { setDateAttribute(QStringLiteral("createdAt"), date); }

    ZTDocumentSmartSequencer *sequencer() const;
    void setSequencer(ZTDocumentSmartSequencer *object);
    ZTDocument *lastDocument() const;
    void setLastDocument(ZTDocument *object);
};
