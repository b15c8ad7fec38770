#pragma once

#include "model/ZTManagedObject.h"

class ManagedObjectContext;
class ZTDocument;
class ZTDocumentSmartSequencerValues;

// Format-based numbering sequencer ("DocumentSmartSequencer"): a user-named numbering scheme of
// one document kind, with a counter record per year (or per month when it resets monthly).
class ZTDocumentSmartSequencer : public ZTManagedObject
{
public:
    static const QString kDefaultName;      // "Domyślna numeracja"
    static const QString kNewNameFormat;    // "Nowa numeracja #%1"
    static const QString kDefaultFormat;    // "%n"

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

    // ---- creating and finding sequencers
    static ZTDocumentSmartSequencer *createWithFormat(ManagedObjectContext &context, const QString &format,
                                                      const QString &name, int documentKind, bool monthlyReset);
    static ZTDocumentSmartSequencer *createDefaultForDocumentKind(ManagedObjectContext &context, int documentKind);
    static ZTDocumentSmartSequencer *createNewForDocumentKind(ManagedObjectContext &context, int documentKind);
    // The kind's sequencers that are not removed, oldest first; a new default one when there
    // is none, so a document always finds a sequencer.
    static QList<ZTDocumentSmartSequencer *> findAllForDocumentKind(ManagedObjectContext &context, int documentKind);
    // The document's own sequencer, else the first of its kind.
    static ZTDocumentSmartSequencer *findSequencerForDocument(ZTDocument &document);
    static qsizetype countAllSequencers(ManagedObjectContext &context);
    static qsizetype countSequencersOfKind(ManagedObjectContext &context, int documentKind);
    // Every kind without a sequencer gets its default one. The caller saves.
    static void createInitialSequencers(ManagedObjectContext &context);
    // One-time import of the simple sequencers of older data, when no sequencer exists yet.
    // The caller saves.
    static void importFromOldSequencerSystem(ManagedObjectContext &context);

    // ---- counters and numbers
    // The counter record of the date's period (now when the date is invalid), created if missing.
    ZTDocumentSmartSequencerValues *getNextSequencerForDate(const QDateTime &date = QDateTime());
    // The same record when it exists; never creates one (proposals change nothing).
    ZTDocumentSmartSequencerValues *existingSequencerForDate(const QDateTime &date) const;
    int getNextValueForDate(const QDateTime &date) const;
    int nextValue() const;
    // The number the next document issued today would get.
    QString exampleNextID() const;
    // The number the document would get now; no counter changes.
    QString availableDocumentIDForDocument(const ZTDocument &document) const;
    // The document's number, used up: its period's counter advances and remembers the document.
    QString allocateDocumentIDForDocument(ZTDocument &document);
    // The counter of the date's period: the next number given is n.
    void setNextValue(int n, const QDateTime &date, ZTDocument *document = nullptr);
    void setNextValue(int n) { setNextValue(n, QDateTime()); }
    QString buildDocumentIDForDocument(const ZTDocument &document, int value) const;
    QString buildDocumentIDForIssueDate(const QDateTime &issueDate, int value) const;

    // ---- checks (values as the user typed them)
    static bool validateName(const QVariant &value, Error &error);
    static bool validateFormat(const QVariant &value, Error &error);
    static bool validateNextValue(const QVariant &value, Error &error);

    // ---- typed numbers that are taken
    // An issued or paid document of the same kind, other than this one, with the same number
    // (white space trimmed) issued in the same year, and the same month when the document's
    // sequencer resets monthly; null when the number is free.
    static ZTDocument *documentWithSameDocumentID(ZTDocument &document);
    // "Dokument o numerze %@ został już wystawiony. Czy na pewno chcesz wystawić dokument o
    // takim samym numerze?"
    static QString duplicateDocumentIDQuestion(const QString &documentID);

    void awakeFromInsert() override;

protected:
    bool checkForInsert(Error &error) override;
    bool checkForUpdate(Error &error) override;
};
