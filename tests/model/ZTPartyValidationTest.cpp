#include "DocumentTestSupport.h"

#include "model/ZTCustomer.h"
#include "model/ZTSellerTemplate.h"

using ZTPartyValidation = ZTDocumentTest;

TEST_F(ZTPartyValidation, FieldChecksNameThePartyAndKeepNipMessagesForTheFirm)
{
    const struct
    {
        const char *entity;
        const char *key;
        QVariant value;
        bool valid;
        const char16_t *message; // empty: nothing handed back
    } cases[] = {
        {"Customer", "name", QVariant(), false, u"Brak nazwy firmy"},
        {"Purchaser", "name", QStringLiteral(""), false, u"Brak nazwy nabywcy"},
        {"Seller", "name", QVariant(), false, u"Brak nazwy sprzedawcy"},
        {"SellerTemplate", "name", QVariant(), false, u"Brak nazwy firmy"},
        {"Seller", "name", QStringLiteral("Moja Firma"), true, u""},

        {"Purchaser", "address", QVariant(), false, u"Brak adresu nabywcy"},
        {"Seller", "address", QStringLiteral("ul. Polna"), true, u"Nieprawidłowy adres sprzedawcy"},
        {"SellerTemplate", "address", QStringLiteral("ul. Polna"), true, u"Nieprawidłowy adres firmy"},
        {"Customer", "address", QStringLiteral("ul. Polna 1"), true, u""},

        {"Customer", "recipientAddress", QVariant(), true, u""},
        {"Customer", "recipientAddress", QStringLiteral("Magazyn"), true, u"Nieprawidłowy adres firmy"},
        {"Purchaser", "recipientAddress", QStringLiteral("Magazyn"), true, u"Nieprawidłowy adres nabywcy"},
        {"Purchaser", "recipientAddress", QStringLiteral("Magazyn 2"), true, u""},

        // Customers and purchasers: only an empty NIP is remarked on, with "firmy".
        {"Customer", "nip", QVariant(), true, u"NIP firmy nie powinien być pusty"},
        {"Purchaser", "nip", QStringLiteral(""), true, u"NIP firmy nie powinien być pusty"},
        {"Purchaser", "nip", QStringLiteral("nie wiem"), true, u""},
        // Templates: the soft check.
        {"SellerTemplate", "nip", QVariant(), true, u"NIP firmy nie powinien być pusty"},
        {"SellerTemplate", "nip", QStringLiteral("1234563217"), true, u"NIP firmy jest błędny"},
        {"SellerTemplate", "nip", QStringLiteral("123"), false, u"NIP firmy jest nieprawidłowy"},
        {"SellerTemplate", "nip", QStringLiteral("DE123456789"), true, u""},
        // Sellers: a foreign number fails, the rest is the soft check.
        {"Seller", "nip", QStringLiteral("DE123456789"), false, u"NIP nie jest zgodny z polskim formatem"},
        {"Seller", "nip", QStringLiteral("PL 1234563218"), true, u""},
        {"Seller", "nip", QStringLiteral("1234563217"), true, u"NIP firmy jest błędny"},
        {"Seller", "nip", QVariant(), true, u"NIP firmy nie powinien być pusty"},

        // Asked by the place-of-issue field; no party stores it.
        {"SellerTemplate", "issuedIn", QVariant(), false, u"Miejsce wystawienia nie powinno być puste"},
        {"Seller", "issuedIn", QStringLiteral("Kraków"), true, u""},
        // A key without a check.
        {"Customer", "email", QStringLiteral("zły adres"), true, u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.entity) + "." + c.key);
        auto *party = dynamic_cast<ZTPerson *>(m_context->insertNewObject(QString::fromLatin1(c.entity)));
        ASSERT_NE(party, nullptr);
        Error error;
        EXPECT_EQ(party->validateValue(QString::fromLatin1(c.key), c.value, error), c.valid);
        EXPECT_EQ(error.message(), QString::fromUtf16(c.message));
    }
}

TEST_F(ZTPartyValidation, RegisterPartiesSaveFreelyButADocumentBeingIssuedBindsItsOwn)
{
    // Nothing of these would pass, yet the registers keep them.
    ZTCustomer::newCustomer(*m_context)->setNip(QStringLiteral("123"));
    insert<ZTSellerTemplate>(QStringLiteral("SellerTemplate"))->setNip(QStringLiteral("123"));
    save();

    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    invoice->setUseCustomDocumentID(true);
    invoice->setDocumentID(QStringLiteral("FV 1/2024"));
    invoice->purchaser()->setName(QString());
    invoice->purchaser()->setAddress(QStringLiteral("ul. Polna")); // only a warning
    invoice->purchaser()->setNip(QString());                       // only a warning
    invoice->seller()->setNip(QStringLiteral("123"));
    save(); // a draft

    invoice->setValidationPreventsSave(true); // as issuing does
    invoice->setRemarks(QStringLiteral("zmiana"));
    Error error;
    EXPECT_FALSE(m_context->save(error));
    const QStringList messages = error.messages();
    EXPECT_TRUE(messages.contains(QStringLiteral("Brak nazwy nabywcy"))) << messages.join(QStringLiteral("; ")).toStdString();
    EXPECT_TRUE(messages.contains(QStringLiteral("NIP firmy jest nieprawidłowy")));
    // Warnings are shown by the form, never listed by a save.
    EXPECT_FALSE(messages.contains(QStringLiteral("Nieprawidłowy adres nabywcy")));
    EXPECT_FALSE(messages.contains(QStringLiteral("NIP firmy nie powinien być pusty")));

    invoice->purchaser()->setName(QStringLiteral("ACME"));
    invoice->seller()->setNip(QStringLiteral("1234563218"));
    save(); // warnings never stop it
}
