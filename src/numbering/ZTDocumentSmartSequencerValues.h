#pragma once

#include "model/ZTManagedObject.h"

class ZTDocument;
class ZTDocumentSmartSequencer;

// The counter of one sequencer for one period ("DocumentSmartSequencerValues"). Its
// lastIssuedDate places it in its period; records are never deleted.
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

    static ZTDocumentSmartSequencerValues *createNewWithDate(const QDateTime &date, ZTDocumentSmartSequencer &sequencer);
    // A missing value counts as 0.
    int valueLastValue() const { return lastValue().value_or(0); }
    // Dated by the document's issue date, or now without a document.
    void saveNextValue(int value, ZTDocument *document = nullptr);
    // The last number of a period comes back when the document that took it is deleted; any
    // other deletion leaves the counters alone. Typed numbers never took one.
    static void recoverLastValueFromDeletedDocument(ZTDocument &document);
};
