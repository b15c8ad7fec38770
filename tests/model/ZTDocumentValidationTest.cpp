#include "DocumentTestSupport.h"

#include "model/ZTCustomer.h"
#include "model/ZTProduct.h"

using ZTDocumentValidation = ZTDocumentTest;

namespace {

struct Outcome
{
    bool valid;
    QString message; // empty: nothing handed back
};

Outcome ask(const ZTManagedObject &object, const QString &key, const QVariant &value)
{
    Error error;
    const bool valid = object.validateValue(key, value, error);
    return {valid, error.message()};
}

QDateTime local(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

} // namespace

// Now is 17 May 2024, 9:30.
TEST_F(ZTDocumentValidation, FieldChecksPassWarnOrFail)
{
    const struct
    {
        const char *label;
        int kind;
        const char *key;
        QVariant value;
        bool valid;
        const char16_t *message;
    } cases[] = {
        {"no issue date", 1, "issueDate", QVariant(), false, u"Data wystawienia musi zostać podana"},
        {"issued now", 1, "issueDate", kNow, true, u""},
        {"issued tomorrow", 1, "issueDate", kNow.addDays(1), true, u"Data wystawienia jest z przyszłości"},
        {"1 month 30 days ahead", 1, "issueDate", kNow.addMonths(2).addSecs(-1), true,
         u"Data wystawienia jest z przyszłości"},
        {"two months ahead", 1, "issueDate", kNow.addMonths(2), true, u"Data wystawienia jest zbyt odległa"},
        {"1 month 30 days ago", 1, "issueDate", kNow.addMonths(-2).addSecs(1), true, u""},
        {"two months ago", 1, "issueDate", kNow.addMonths(-2), true, u"Data wystawienia jest zbyt odległa"},

        {"no sale date", 1, "sellDate", QVariant(), false, u"Data sprzedaży musi zostać podana"},
        {"sold tomorrow", 1, "sellDate", kNow.addDays(1), true, u"Data sprzedaży jest z przyszłości"},
        {"sold in two months", 1, "sellDate", kNow.addMonths(2), true, u"Data sprzedaży jest zbyt odległa"},
        {"sold two months ago", 1, "sellDate", kNow.addMonths(-2), true,
         u"Data sprzedaży wystawienia jest zbyt odległa"},
        {"sold last month", 1, "sellDate", kNow.addMonths(-1), true, u""},

        {"no number", 1, "documentID", QVariant(), false, u"Dokument musi mieć numer"},
        {"empty number", 1, "documentID", QStringLiteral(""), false, u"Dokument musi mieć numer"},
        {"number without digits", 1, "documentID", QStringLiteral("FV/A/B"), false,
         u"Niepoprawny numer dokumentu - musi zawierać cyfry."},
        {"number with one digit", 1, "documentID", QStringLiteral("FV/A/B/7"), true, u""},

        {"no place of issue", 1, "issuedIn", QStringLiteral(""), false, u"Brak miejsca wystawienia"},
        {"place of issue", 1, "issuedIn", QStringLiteral("Gdańsk"), true, u""},

        {"invoice without reason", 1, "issueReason", QVariant(), true, u""},
        {"correction without reason", 4, "issueReason", QVariant(), true, u"Brak powodu wystawienia korekty"},
        {"correction with reason", 4, "issueReason", QStringLiteral("Zwrot towaru"), true, u""},

        {"simplified at the PLN limit", 128, "totalGrossValue", QStringLiteral("450"), true, u""},
        {"simplified over the PLN limit", 128, "totalGrossValue", QStringLiteral("450.01"), false,
         u"Przekroczona maksymalna kwota brutto dla faktury uproszczonej"},
        {"invoice of any total", 1, "totalGrossValue", QStringLiteral("100000"), true, u""},

        {"a key without a check", 1, "remarks", QVariant(), true, u""},
    };
    QHash<int, ZTDocument *> documents;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ZTDocument *&document = documents[c.kind];
        if (!document)
            document = draft(c.kind);
        const Outcome outcome = ask(*document, QString::fromLatin1(c.key), c.value);
        EXPECT_EQ(outcome.valid, c.valid);
        EXPECT_EQ(outcome.message, QString::fromUtf16(c.message));
    }
}

TEST_F(ZTDocumentValidation, DueDateBeforeTheIssueWarnsExceptWherePaidAlready)
{
    const struct
    {
        const char *label;
        int kind;
        const char16_t *paymentType;
        QVariant due;
        bool valid;
        const char16_t *message;
    } cases[] = {
        {"none", 1, u"Przelew", QVariant(), false, u"Nie podano terminu płatności"},
        {"none on an advance", 32, u"Przelew", QVariant(), false, u"Nie podano terminu płatności"},
        {"a day early", 1, u"Przelew", kNow.addDays(-1), true,
         u"Termin płatności jest wcześniejszy niż data wystawienia"},
        {"a second early", 1, u"Przelew", kNow.addSecs(-1), true,
         u"Termin płatności jest wcześniejszy niż data wystawienia"},
        {"less than a second early", 1, u"Przelew", kNow.addMSecs(-999), true, u""},
        {"on the day", 1, u"Przelew", kNow, true, u""},
        // An advance invoice's due date is the day the payment came.
        {"a day early on an advance", 32, u"Przelew", kNow.addDays(-1), true, u""},
        {"a day early and paid", 1, u"Zapłacono gotówką", kNow.addDays(-1), true, u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ZTDocument *document = draft(c.kind);
        document->setPaymentType(QString::fromUtf16(c.paymentType));
        ASSERT_EQ(document->issueDate(), kNow);
        const Outcome outcome = ask(*document, QStringLiteral("dueDate"), c.due);
        EXPECT_EQ(outcome.valid, c.valid);
        EXPECT_EQ(outcome.message, QString::fromUtf16(c.message));
    }
}

TEST_F(ZTDocumentValidation, AdvanceInvoiceIssueDateLiesAroundThePayment)
{
    const QString tooLate = QStringLiteral(
        "Data wystawienia faktury zaliczkowej nie może być późniejsza niż 15 dzień miesiąca następującego po "
        "miesiącu, w którym otrzymano całość lub część zapłaty");
    const QString tooEarly =
        QStringLiteral("Faktura zaliczkowa może być wystawiona nie prędzej niż 30 dni przed otrzymaniem płatności");
    const struct
    {
        const char *label;
        int kind;
        QDateTime paid;
        QDateTime issued;
        bool valid;
        QString message;
    } cases[] = {
        {"last moment of the 15th of the next month", 32, local(2024, 3, 10, 12, 0, 0), local(2024, 4, 15, 23, 59, 59),
         true, {}},
        {"the 16th of the next month", 32, local(2024, 3, 10, 12, 0, 0), local(2024, 4, 16, 0, 0, 0), false, tooLate},
        {"31 days before the payment, 23:59:59", 32, local(2024, 5, 15, 12, 0, 0), local(2024, 4, 14, 23, 59, 59), true,
         {}},
        {"a second earlier", 32, local(2024, 5, 15, 12, 0, 0), local(2024, 4, 14, 23, 59, 58), false, tooEarly},
        // December's limit is in January of the next year; then the general rules follow.
        {"paid in December", 32, local(2023, 12, 15, 12, 0, 0), local(2024, 1, 15, 23, 59, 59), true,
         QStringLiteral("Data wystawienia jest zbyt odległa")},
        {"paid in December, issued on 16 January", 32, local(2023, 12, 15, 12, 0, 0), local(2024, 1, 16, 0, 0, 0),
         false, tooLate},
        {"an invoice has no such limit", 1, local(2024, 3, 10, 12, 0, 0), local(2024, 4, 16, 0, 0, 0), true, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ZTDocument *document = draft(c.kind);
        document->setDueDate(c.paid);
        const Outcome outcome = ask(*document, QStringLiteral("issueDate"), c.issued);
        EXPECT_EQ(outcome.valid, c.valid);
        EXPECT_EQ(outcome.message, c.message);
    }
}

TEST_F(ZTDocumentValidation, SimplifiedInvoiceLimitDependsOnTheCurrency)
{
    const struct
    {
        int kind;
        const char *currency;
        const char *gross;
        bool within;
    } cases[] = {
        {128, "PLN", "450", true},       {128, "PLN", "450.01", false}, {128, "EUR", "100", true},
        {128, "EUR", "100.01", false},   {128, "USD", "1000000", true}, {1, "PLN", "1000000", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.currency) + " " + c.gross);
        ZTDocument *document = draft(c.kind);
        document->setCurrency(QString::fromLatin1(c.currency));
        document->setTotalGrossValue(Decimal::parse(QString::fromLatin1(c.gross)));
        EXPECT_EQ(document->validateSimplifiedInvoice(), c.within);
    }
}

namespace {

// The program's own checks and registers, but no numbering to pick a sequencer.
struct WithoutNumbering : ZTDocument::IssueHooks
{
    ZTDocumentSmartSequencer *sequencerForDocument(ZTDocument &) override { return nullptr; }
    ZTDocumentSmartSequencer *firstSequencerForKind(ZTDocument &, int) override { return nullptr; }
};

} // namespace

TEST_F(ZTDocumentValidation, IssuingADraftWithoutPurchaserAndLinesListsEveryFailureInOrder)
{
    ZTDocument::setIssueHooks(std::make_shared<WithoutNumbering>());
    ZTDocument *invoice = draft(1);
    ZTPurchaser *purchaser = invoice->purchaser();
    invoice->setPurchaser(nullptr);
    m_context->deleteObject(purchaser);
    ASSERT_EQ(invoice->docIDSequencer(), nullptr);
    ASSERT_TRUE(invoice->documentID().isEmpty());

    Error error;
    EXPECT_FALSE(invoice->issueDocument(error));
    EXPECT_EQ(error.code(), Error::kMultipleErrorsCode);
    EXPECT_EQ(error.messages(), (QStringList{QStringLiteral("Dokument musi mieć numer"),
                                             QStringLiteral("Nie wybrano nabywcy"),
                                             QStringLiteral("Błąd wyboru numeracji dokumentu"),
                                             QStringLiteral("Dokument nie zawiera produktów")}));
    // Nothing changed: still a draft that saves freely, not paid, nothing in the registers.
    EXPECT_TRUE(invoice->isDraft());
    EXPECT_FALSE(invoice->validationPreventsSave());
    EXPECT_FALSE(invoice->seller()->validationPreventsSave());
    EXPECT_FALSE(invoice->statusUpdatedAt().isValid());
    save();
    EXPECT_TRUE(fetchAll<ZTCustomer>(QStringLiteral("Customer")).isEmpty());
    EXPECT_TRUE(fetchAll<ZTProduct>(QStringLiteral("Product")).isEmpty());

    // With what was missing the same draft is issued.
    invoice->setPurchaser(insert<ZTPurchaser>(QStringLiteral("Purchaser")));
    invoice->purchaser()->setName(QStringLiteral("ACME"));
    invoice->purchaser()->setAddress(QStringLiteral("ul. Długa 1"));
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    invoice->setUseCustomDocumentID(true);
    invoice->setDocumentID(QStringLiteral("FV 1/2024"));
    Error none;
    EXPECT_TRUE(invoice->issueDocument(none)) << none.messages().join(QStringLiteral("; ")).toStdString();
    EXPECT_TRUE(invoice->isIssued());
    save();
}

TEST_F(ZTDocumentValidation, ConsistencyCoversPartiesTotalAndEveryLine)
{
    ZTDocument *invoice = draft(1);
    invoice->setUseCustomDocumentID(true);
    invoice->setDocumentID(QStringLiteral("FV 1"));
    ZTDocumentItem *first = addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    ZTDocumentItem *second = addLine(invoice, QStringLiteral("Zwrot"), QStringLiteral("-300"));
    invoice->purchaser()->setAddress(QString());
    invoice->seller()->setName(QString());
    first->setDiscount(Decimal::parse(QStringLiteral("1.01")));
    second->setName(QString());
    invoice->recalculateAllItems();
    ASSERT_LT(*invoice->totalGrossValue(), Decimal(0));
    invoice->setValidationPreventsSave(true);

    Error error;
    EXPECT_FALSE(invoice->validateConsistencyErrors(error));
    EXPECT_EQ(error.messages(),
              (QStringList{QStringLiteral("Brak adresu nabywcy"), QStringLiteral("Brak nazwy sprzedawcy"),
                           QStringLiteral("Suma do zapłaty jest mniejsza od zera"),
                           QStringLiteral("Rabat nie może być większy niż 100%"),
                           QStringLiteral("Towar w pozycji 2. nie ma nazwy")}));

    // While the document is a draft its parties and lines are not bound, so only the
    // document's own findings remain.
    invoice->setValidationPreventsSave(false);
    Error draftError;
    EXPECT_FALSE(invoice->validateConsistencyErrors(draftError));
    EXPECT_EQ(draftError.messages(), QStringList{QStringLiteral("Suma do zapłaty jest mniejsza od zera")});
}

TEST_F(ZTDocumentValidation, ACorrectionMayGoBelowZeroAndItsDifferenceLinesAreNotChecked)
{
    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 1"));
    ZTDocument *correction = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
    correction->setUseCustomDocumentID(true);
    correction->setTotalGrossValue(Decimal(-50));
    correction->setValidationPreventsSave(true);
    Error error;
    EXPECT_TRUE(correction->validateConsistencyErrors(error)) << error.messages().join(QStringLiteral("; ")).toStdString();

    ZTDocumentItem *difference = correction->differenceDocumentItems().value(0);
    ZTDocumentItem *corrected = correction->correctedDocumentItems().value(0);
    ASSERT_NE(difference, nullptr);
    ASSERT_NE(corrected, nullptr);
    ASSERT_TRUE(difference->validationPreventsSave());
    difference->setName(QString());
    difference->setDiscount(Decimal(5));
    Error differenceError;
    EXPECT_TRUE(difference->validateForUpdate(differenceError));
    corrected->setName(QString());
    Error correctedError;
    EXPECT_FALSE(corrected->validateForUpdate(correctedError));
    EXPECT_EQ(correctedError.messages(), QStringList{QStringLiteral("Towar w pozycji 1. nie ma nazwy")});
}

TEST_F(ZTDocumentValidation, LineFieldChecks)
{
    ZTDocument *invoice = draft(1);
    ZTDocumentItem *line = addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    ZTDocument *margin = draft(64);
    margin->setMarginInvoiceProcedure(QStringLiteral("biuropodrozy"));
    ZTDocumentItem *marginLine = margin->addNewDocumentItem();
    ASSERT_EQ(line->position(), 1);
    ASSERT_EQ(marginLine->position(), 1);
    const struct
    {
        const char *label;
        ZTDocumentItem *item;
        const char *key;
        QVariant value;
        bool valid;
        const char16_t *message;
    } cases[] = {
        {"no name", line, "name", QStringLiteral(""), false, u"Towar w pozycji 1. nie ma nazwy"},
        {"a name", line, "name", QStringLiteral("Usługa"), true, u""},
        {"no position", line, "position", QVariant(), false, u""},
        {"position 0", line, "position", 0, false, u""},
        {"position 1", line, "position", 1, true, u""},
        {"discount of 100%", line, "discount", QStringLiteral("1"), true, u""},
        {"discount over 100%", line, "discount", QStringLiteral("1.01"), false, u"Rabat nie może być większy niż 100%"},
        {"any rate on an invoice", line, "vatRate", QStringLiteral("0.23"), true, u""},
        {"the procedure's rate", marginLine, "vatRate", QStringLiteral("0.08"), true, u""},
        {"another rate under a procedure", marginLine, "vatRate", QStringLiteral("0.23"), false,
         u"Towar w pozycji 1. ma nieprawidłową stawkę VAT dla wybranej procedury marży 23% (powinno być 8%)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const Outcome outcome = ask(*c.item, QString::fromLatin1(c.key), c.value);
        EXPECT_EQ(outcome.valid, c.valid);
        EXPECT_EQ(outcome.message, QString::fromUtf16(c.message));
    }
}

TEST_F(ZTDocumentValidation, AMarginInvoiceLineAtAnotherRateThanItsProcedureCannotBeIssued)
{
    ZTDocument *margin = draft(64);
    margin->setMarginInvoiceProcedure(QStringLiteral("biuropodrozy"));
    ZTDocumentItem *line = addLine(margin, QStringLiteral("Wycieczka"), QStringLiteral("1000"), QStringLiteral("23%"));
    margin->setUseCustomDocumentID(true);
    margin->setDocumentID(QStringLiteral("FM 1"));
    Error error;
    EXPECT_FALSE(margin->issueDocument(error));
    EXPECT_EQ(error.messages(), QStringList{QStringLiteral("Towar w pozycji 1. ma nieprawidłową stawkę VAT dla "
                                                           "wybranej procedury marży 23% (powinno być 8%)")});
    line->setVatRateWithDescription(ZTVatRateWithDescription::fromText(QStringLiteral("8%")));
    Error none;
    EXPECT_TRUE(margin->issueDocument(none)) << none.messages().join(QStringLiteral("; ")).toStdString();
}

TEST_F(ZTDocumentValidation, AnIssuedDocumentSavesOnlyWhileItsChecksPassWarningsAside)
{
    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 1/2024"));
    ZTDocument *other = draft(1);
    other->setUseCustomDocumentID(true);
    other->setDocumentID(QStringLiteral("draft"));
    save();
    reopen();

    auto byNumber = [this](const QString &number) {
        return m_context
            ->fetchAs<ZTDocument>(
                FetchRequest(QStringLiteral("Document"), Predicate::equal(QStringLiteral("documentID"), number)))
            .value(0);
    };
    ZTDocument *loaded = byNumber(QStringLiteral("FV 1/2024"));
    ASSERT_NE(loaded, nullptr);
    ASSERT_TRUE(loaded->validationPreventsSave());
    loaded->setDocumentID(QStringLiteral("FV/A"));
    loaded->setIssuedIn(QString());
    Error error;
    EXPECT_FALSE(m_context->save(error));
    EXPECT_EQ(error.code(), Error::kMultipleErrorsCode);
    EXPECT_EQ(error.messages(), (QStringList{QStringLiteral("Niepoprawny numer dokumentu - musi zawierać cyfry."),
                                             QStringLiteral("Brak miejsca wystawienia")}));
    m_context->rollback();

    // An issue date far back only warns.
    loaded->setIssueDate(kNow.addMonths(-5));
    save();
    // A draft saves whatever its checks find.
    ZTDocument *loadedDraft = byNumber(QStringLiteral("draft"));
    ASSERT_NE(loadedDraft, nullptr);
    loadedDraft->setIssuedIn(QString());
    loadedDraft->setDocumentID(QStringLiteral("projekt"));
    save();
}
