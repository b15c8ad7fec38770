#include "PartiesTestSupport.h"

#include "model/ZTCustomer.h"
#include "model/ZTPartyManagers.h"
#include "model/ZTSellerTemplate.h"

#include "platform/ImageData.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using ZTParties = ZTPartiesTest;

std::string s(const QString &text)
{
    return text.toStdString();
}

// A customer with every field the purchaser takes over, and the defaults it does not.
ZTCustomer *fullCustomer(ManagedObjectContext &context)
{
    ZTCustomer *c = ZTCustomer::newCustomer(context);
    c->setName(QStringLiteral("Hurtownia Łódź"));
    c->setAddress(QStringLiteral("ul. Piotrkowska 1\n90-001 Łódź"));
    c->setRecipientAddress(QStringLiteral("ul. Magazynowa 2\n90-002 Łódź"));
    c->setNip(QStringLiteral("7251234567"));
    c->setRegon(QStringLiteral("012345678"));
    c->setRemarks(QStringLiteral("Stały klient"));
    c->setDefaultDiscount(Decimal::parse(QStringLiteral("0.05")));
    c->setDefaultDocumentSecondLanguage(1);
    c->setEmail(QStringLiteral("biuro@hurtownia.pl"));
    c->setLabel(QStringLiteral("hurt"));
    c->setPesel(QStringLiteral("80010112345"));
    c->setPicturePath(QStringLiteral("/old/place/customer-logo_1.png"));
    c->setRecipient(QStringLiteral("Magazyn"));
    c->setContactData(QStringLiteral("tel. 42 000 00 00"));
    c->setDefaultDueDays(30);
    c->setDefaultPaymentType(QStringLiteral("Gotówka"));
    c->setDefaultDocumentRemarks(QStringLiteral("Płatne z góry"));
    return c;
}

const QStringList kTakenOverTexts{QStringLiteral("name"),      QStringLiteral("address"),
                                  QStringLiteral("recipientAddress"), QStringLiteral("nip"),
                                  QStringLiteral("regon"),     QStringLiteral("remarks"),
                                  QStringLiteral("email"),     QStringLiteral("label"),
                                  QStringLiteral("pesel"),     QStringLiteral("picturePath"),
                                  QStringLiteral("recipient"), QStringLiteral("contactData")};

ZTSellerTemplate *sellerTemplate(ManagedObjectContext &context, const QString &name, int order)
{
    auto *t = context.insertNewObject<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
    t->setTemplateName(name);
    t->setOrder(order);
    t->setName(QStringLiteral("Moja Firma ") + name);
    t->setAddress(QStringLiteral("ul. Krótka 3\n31-001 Kraków"));
    t->setNip(QStringLiteral("6770065406"));
    t->setRegon(QStringLiteral("350000000"));
    t->setRemarks(QStringLiteral("uwagi szablonu"));
    t->setContactData(QStringLiteral("biuro@firma.pl"));
    t->setBankName(QStringLiteral("Bank"));
    t->setBankAccountNumber(QStringLiteral("PL61109010140000071219812874"));
    t->setBankSwift(QStringLiteral("WBKPPLPP"));
    t->setSignature(QStringLiteral("Jan Nowak"));
    t->setIssuesIn(QStringLiteral("Kraków"));
    t->setCashBasisMethod(true);
    t->setMarginInvoiceProcedure(QStringLiteral("towaryuzywane"));
    t->setLogoPath(QStringLiteral("template-logo.png"));
    t->setFacsimilePath(QStringLiteral("template-facsimile.png"));
    return t;
}

// A tiny real picture, as a contact card or the picture taker would hand it over.
QByteArray jpegPicture()
{
    QFile file(QStringLiteral(TOLVANA_FIXTURES_DIR "/vcards/ezvcard-John_Doe_MS_OUTLOOK.vcf"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const qsizetype start = text.indexOf("/9j/");
    const qsizetype end = text.indexOf("\r\n\r\n", start);
    return QByteArray::fromBase64(text.mid(start, end - start));
}

} // namespace

// ---- the word naming the party

TEST_F(ZTParties, EachPartyIsNamedByItsOwnWordAndNipMessagesAlwaysSayFirmy)
{
    const struct
    {
        const char *entity;
        const char *word;
    } cases[] = {{"Customer", "firmy"}, {"SellerTemplate", "firmy"}, {"Purchaser", "nabywcy"}, {"Seller", "sprzedawcy"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entity);
        auto *party = dynamic_cast<ZTPerson *>(m_context->insertNewObject(QString::fromLatin1(c.entity)));
        ASSERT_NE(party, nullptr);
        EXPECT_EQ(s(party->classDativeForm()), c.word);
    }
    EXPECT_EQ(s(ZTPerson::classDativeFormForClass()), "firmy");
    EXPECT_EQ(s(ZTSeller::classDativeFormForClass()), "firmy");
}

// ---- customer and purchaser

TEST_F(ZTParties, PickingACustomerCopiesItsDataButNotTheDocumentDefaults)
{
    ZTCustomer *customer = fullCustomer(*m_context);
    ZTDocument *invoice = draft(1, QStringLiteral("typed"));
    ZTPurchaser *purchaser = invoice->purchaser();
    purchaser->updateWithCustomer(customer);
    for (const QString &key : kTakenOverTexts)
        EXPECT_EQ(purchaser->value(key), customer->value(key)) << s(key);
    EXPECT_EQ(purchaser->defaultDiscount(), Decimal::parse(QStringLiteral("0.05")));
    EXPECT_EQ(purchaser->defaultDocumentSecondLanguage(), 1);
    EXPECT_EQ(purchaser->baseCustomer(), customer);
    // Due days, payment type and remarks are the form's to apply to the document.
    EXPECT_FALSE(purchaser->defaultDueDays().has_value());
    EXPECT_TRUE(purchaser->defaultPaymentType().isNull());
    EXPECT_TRUE(purchaser->defaultDocumentRemarks().isNull());
    save();
}

TEST_F(ZTParties, ChoosingNoCustomerClearsThePurchaserButKeepsTheTypedName)
{
    ZTDocument *invoice = draft(1);
    ZTPurchaser *purchaser = invoice->purchaser();
    purchaser->updateWithCustomer(fullCustomer(*m_context));
    purchaser->setName(QStringLiteral("Jan Kowalski, typed by hand"));
    purchaser->updateWithCustomer(nullptr);
    EXPECT_EQ(s(purchaser->name()), "Jan Kowalski, typed by hand");
    for (const QString &key : kTakenOverTexts) {
        if (key == QStringLiteral("name"))
            continue;
        // The empty string, not "no value".
        EXPECT_EQ(purchaser->value(key), QVariant(QStringLiteral(""))) << s(key);
    }
    EXPECT_EQ(purchaser->defaultDiscount(), Decimal(0));
    EXPECT_EQ(purchaser->defaultDocumentSecondLanguage(), 0);
    EXPECT_EQ(purchaser->baseCustomer(), nullptr);
    save();
}

TEST_F(ZTParties, ADerivedDraftCopiesThePurchaserValuesAndTheCallerDecidesTheLink)
{
    ZTCustomer *customer = fullCustomer(*m_context);
    ZTDocument *invoice = draft(1);
    invoice->purchaser()->updateWithCustomer(customer);
    invoice->purchaser()->setDefaultDueDays(21); // not among the copied values
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 1/2024"));

    const ZTPurchaser *source = invoice->purchaser();
    ZTDocument *copy = ZTDocument::newDraftForCopyOfDocument(invoice);
    ZTDocument *correction = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
    for (const ZTPurchaser *p : {copy->purchaser(), correction->purchaser()}) {
        for (const QString &key : kTakenOverTexts)
            EXPECT_EQ(p->value(key), source->value(key)) << s(key);
        EXPECT_EQ(p->defaultDiscount(), source->defaultDiscount());
        EXPECT_EQ(p->defaultDocumentSecondLanguage(), 1);
        EXPECT_FALSE(p->defaultDueDays().has_value());
    }
    EXPECT_EQ(copy->purchaser()->baseCustomer(), source->baseCustomer());
    EXPECT_EQ(correction->purchaser()->baseCustomer(), nullptr);
    save();
}

TEST_F(ZTParties, IssuingUpdatesTheCustomerOfTheSameNameWhateverItsCase)
{
    ZTCustomer *existing = fullCustomer(*m_context);
    existing->setName(QStringLiteral("HURTOWNIA LODZ"));
    save();

    // Found by name ignoring case and Polish diacritics, although the purchaser was typed.
    ZTDocument *invoice = draft(1, QStringLiteral("Hurtownia Łódź"));
    ZTPurchaser *purchaser = invoice->purchaser();
    purchaser->setAddress(QStringLiteral("ul. Nowa 5\n90-010 Łódź"));
    purchaser->setNip(QStringLiteral("PL 725-123-45-67"));
    purchaser->setRecipient(QStringLiteral("Oddział"));
    purchaser->setRecipientAddress(QStringLiteral("ul. Boczna 7\n90-011 Łódź"));
    purchaser->setEmail(QStringLiteral("inny@adres.pl"));
    purchaser->setRemarks(QStringLiteral("uwagi z dokumentu"));
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 2/2024"));
    save();

    const QList<ZTCustomer *> customers = fetchAll<ZTCustomer>(QStringLiteral("Customer"));
    ASSERT_EQ(customers.size(), 1);
    EXPECT_EQ(purchaser->baseCustomer(), existing);
    EXPECT_EQ(s(existing->name()), "Hurtownia Łódź");
    EXPECT_EQ(s(existing->address()), "ul. Nowa 5\n90-010 Łódź");
    EXPECT_EQ(s(existing->nip()), "PL 725-123-45-67");
    EXPECT_EQ(s(existing->recipient()), "Oddział");
    EXPECT_EQ(s(existing->recipientAddress()), "ul. Boczna 7\n90-011 Łódź");
    // Nothing else is taken from the document.
    EXPECT_EQ(s(existing->email()), "biuro@hurtownia.pl");
    EXPECT_EQ(s(existing->remarks()), "Stały klient");
    EXPECT_EQ(existing->defaultDueDays(), 30);
}

TEST_F(ZTParties, IssuingForAnUnknownPurchaserAddsACustomerWithItsData)
{
    fullCustomer(*m_context); // another name
    ZTDocument *invoice = draft(1, QStringLiteral("Nowa Firma"));
    invoice->purchaser()->setAddress(QStringLiteral("ul. Polna 1"));
    invoice->purchaser()->setEmail(QStringLiteral("nowa@firma.pl"));
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 3/2024"));
    save();

    EXPECT_EQ(fetchAll<ZTCustomer>(QStringLiteral("Customer")).size(), 2);
    ZTCustomer *created = invoice->purchaser()->baseCustomer();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->entity().name(), QStringLiteral("Customer"));
    EXPECT_EQ(s(created->name()), "Nowa Firma");
    EXPECT_EQ(s(created->address()), "ul. Polna 1");
    EXPECT_TRUE(created->email().isNull());
    EXPECT_EQ(created->createdAt(), kNow);
}

// ---- seller and seller templates

TEST_F(ZTParties, ASellerTakesTheTemplateAndThePicturesOfTheSettings)
{
    const ZTSellerTemplate *source = sellerTemplate(*m_context, QStringLiteral("Główny"), 0);
    setSetting(QStringLiteral("ZTSellerLogoImagePath"), QStringLiteral("sellerLogo_01.png"));
    setSetting(QStringLiteral("ZTSellerFacsimileImagePath"), QStringLiteral("sellerFacsimile_01.png"));
    const struct
    {
        bool logoOn;
        bool facsimileOn;
        const char *logo;
        const char *facsimile;
    } cases[] = {{true, true, "sellerLogo_01.png", "sellerFacsimile_01.png"},
                 {true, false, "sellerLogo_01.png", ""},
                 {false, true, "", "sellerFacsimile_01.png"},
                 {false, false, "", ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.logoOn) + std::to_string(c.facsimileOn));
        setSetting(QStringLiteral("ZTSellerLogoImageEnabled"), c.logoOn);
        setSetting(QStringLiteral("ZTSellerFacsimileImageEnabled"), c.facsimileOn);
        ZTSeller *seller = ZTSeller::newSeller(*m_context);
        seller->setRegon(QStringLiteral("kept"));
        seller->updateWithSellerTemplate(*source);
        EXPECT_EQ(s(seller->storedLogoPath()), c.logo);
        EXPECT_EQ(s(seller->storedFacsimilePath()), c.facsimile);
        for (const char *key : {"name", "address", "nip", "contactData", "bankName", "bankAccountNumber", "bankSwift",
                                "signature", "issuesIn", "marginInvoiceProcedure"})
            EXPECT_EQ(seller->value(QString::fromLatin1(key)), source->value(QString::fromLatin1(key))) << key;
        EXPECT_TRUE(seller->cashBasisMethod());
        EXPECT_EQ(s(seller->regon()), "kept"); // REGON and remarks are not taken
        EXPECT_TRUE(seller->remarks().isNull());
    }

    // A new draft fills its seller the same way.
    ZTDocument *invoice = ZTDocument::newDraftOfKind(*m_context, 1);
    EXPECT_EQ(s(invoice->seller()->name()), "Moja Firma Główny");
    EXPECT_TRUE(invoice->seller()->regon().isNull());
    EXPECT_TRUE(invoice->seller()->storedLogoPath().isNull());
    EXPECT_EQ(s(invoice->issuedIn()), "Kraków");
    save();
}

TEST_F(ZTParties, ADerivedDraftKeepsTheSourceSellerButNotItsCashBasisOrMarginProcedure)
{
    ZTSellerTemplate *plain = sellerTemplate(*m_context, QStringLiteral("A"), 0);
    plain->setCashBasisMethod(false);
    plain->setMarginInvoiceProcedure(QString());
    ZTDocument *invoice = draft(1);
    ZTSeller *seller = invoice->seller();
    seller->setCashBasisMethod(true);
    seller->setMarginInvoiceProcedure(QStringLiteral("dzielasztuki"));
    seller->setRegon(QStringLiteral("350000000"));
    seller->setRemarks(QStringLiteral("uwagi"));
    seller->setLogoPath(QStringLiteral("/elsewhere/sellerLogo_07.png"));
    seller->setFacsimilePath(QStringLiteral("sellerFacsimile_07.png"));
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 4/2024"));

    const ZTSeller *copied = ZTDocument::newDraftForCopyOfDocument(invoice)->seller();
    for (const char *key : {"address", "contactData", "name", "nip", "regon", "remarks", "signature", "logoPath",
                            "issuesIn", "facsimilePath", "bankSwift", "bankName", "bankAccountNumber"})
        EXPECT_EQ(copied->value(QString::fromLatin1(key)), seller->value(QString::fromLatin1(key))) << key;
    // Those two follow the template the new draft starts from.
    EXPECT_FALSE(copied->cashBasisMethod());
    EXPECT_TRUE(copied->marginInvoiceProcedure().isNull());
    save();
}

TEST_F(ZTParties, SellerPicturesAreReadBackInTheCurrentCompanyFolder)
{
    ZTSeller *seller = ZTSeller::newSeller(*m_context);
    seller->setLogoPath(QStringLiteral("/Users/old/Library/Tolvana/5260250274/sellerLogo_01.png"));
    seller->setFacsimilePath(QStringLiteral("sellerFacsimile_02.png"));
    EXPECT_EQ(seller->logoPath(), QDir(companyFolder()).filePath(QStringLiteral("sellerLogo_01.png")));
    EXPECT_EQ(seller->facsimilePath(), QDir(companyFolder()).filePath(QStringLiteral("sellerFacsimile_02.png")));
    seller->setLogoPath(QString());
    seller->setFacsimilePath(QStringLiteral(""));
    EXPECT_TRUE(seller->logoPath().isNull());
    EXPECT_EQ(seller->facsimilePath(), QStringLiteral(""));
}

TEST_F(ZTParties, TheFirstNewTemplateIsTheDefaultAndLaterOnesCopyIt)
{
    setSetting(QStringLiteral("ZTSellerNip"), QStringLiteral("6770065406"));
    ZTSellerTemplate *first = ZTSellerTemplate::sellerTemplateWithDefaultSellerTemplate(*m_context);
    EXPECT_EQ(s(first->templateName()), "Domyślne dane sprzedawcy");
    EXPECT_EQ(s(first->nip()), "6770065406");
    EXPECT_EQ(first->order(), 1);
    EXPECT_TRUE(first->name().isNull()); // copied from itself: nothing to copy
    EXPECT_EQ(first->defaultDocumentSecondLanguage(), 0);

    first->setName(QStringLiteral("Moja Firma"));
    first->setAddress(QStringLiteral("ul. Krótka 3"));
    first->setBankAccountNumber(QStringLiteral("PL61109010140000071219812874"));
    first->setRegon(QStringLiteral("350000000"));
    first->setRemarks(QStringLiteral("uwagi"));
    first->setCashBasisMethod(true);
    first->setMarginInvoiceProcedure(QStringLiteral("biuropodrozy"));
    first->setLogoPath(QStringLiteral("logo.png"));
    first->setDefaultDocumentSecondLanguage(1);
    save();

    setSetting(QStringLiteral("ZTSellerNip"), QStringLiteral("1111111111"));
    ZTSellerTemplate *second = ZTSellerTemplate::sellerTemplateWithDefaultSellerTemplate(*m_context);
    EXPECT_EQ(s(second->templateName()), "Alternatywne dane sprzedawcy");
    EXPECT_EQ(second->order(), 2);
    EXPECT_EQ(s(second->nip()), "1111111111"); // the company's, not the template's
    for (const char *key : {"name", "address", "bankAccountNumber", "regon", "remarks", "cashBasisMethod",
                            "marginInvoiceProcedure", "logoPath"})
        EXPECT_EQ(second->value(QString::fromLatin1(key)), first->value(QString::fromLatin1(key))) << key;
    EXPECT_EQ(second->defaultDocumentSecondLanguage(), 0);
    save();
    EXPECT_EQ(ZTSellerTemplateManager([this] { return m_context.get(); }).defaultSellerTemplate(), first);
}

TEST_F(ZTParties, TemplateNameTellsProcedureCashBasisAndLanguage)
{
    const struct
    {
        const char *procedure;
        bool cashBasis;
        int language;
        const char *label;
    } cases[] = {
        {nullptr, false, 0, "Firma"},
        {"biuropodrozy", false, 0, "Firma (Biuro podróży)"},
        {"dzielasztuki", true, 0, "Firma (Dzieła sztuki) (Metoda Kasowa)"},
        {"nieznana", false, 0, "Firma"},
        {nullptr, true, 1, "Firma (Metoda Kasowa) - szablon w jęz. angielskim"},
        {"towaryuzywane", false, 1, "Firma (Towary używane) - szablon w jęz. angielskim"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        auto *t = insert<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
        t->setTemplateName(QStringLiteral("Firma"));
        t->setMarginInvoiceProcedure(c.procedure ? QString::fromLatin1(c.procedure) : QString());
        t->setCashBasisMethod(c.cashBasis);
        t->setDefaultDocumentSecondLanguage(c.language);
        EXPECT_EQ(s(t->templateNameWithInfo()), c.label);
    }
}

// ---- customer pictures

TEST_F(ZTParties, ACustomerPictureIsKeptAsPngInTheCompanyCustomersFolder)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    EXPECT_FALSE(customer->hasPicture());
    EXPECT_TRUE(customer->picture().isEmpty());

    customer->saveImage(jpegPicture());
    ASSERT_TRUE(customer->hasPicture());
    const QString folder = QDir(companyFolder()).filePath(QStringLiteral("Customers"));
    EXPECT_EQ(ZTCustomer::customerPicturesPath(), folder);
    // kNow is 17 May 2024 09:30:00.000 local time: 34 200 000 ms into the day.
    EXPECT_EQ(customer->storedPicturePath(),
              QDir(folder).filePath(QStringLiteral("customer-logo_17_05_24_09_30_00_34200000.png")));
    EXPECT_EQ(customer->picturePath(), customer->storedPicturePath());
    const QByteArray png = customer->picture();
    EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_TRUE(ImageData::isReadable(png));
    save();

    // A data folder moved elsewhere: the file is found by its name under the current folder.
    customer->setPicturePath(QStringLiteral("/Volumes/old disk/Tolvana/5260250274/Customers/") +
                             QFileInfo(customer->storedPicturePath()).fileName());
    EXPECT_EQ(customer->picture(), png);

    customer->deletePicture();
    EXPECT_FALSE(customer->hasPicture());
    EXPECT_TRUE(customer->storedPicturePath().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("customer-logo_17_05_24_09_30_00_34200000.png"))));
    save();
}

TEST_F(ZTParties, ImageDataThatIsNoPictureLeavesTheCustomerAsItWas)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    for (const QByteArray &data : {QByteArray(), QByteArray("GIF89a but not really")}) {
        customer->saveImage(data);
        EXPECT_FALSE(customer->hasPicture());
    }
    EXPECT_FALSE(QFileInfo::exists(ZTCustomer::customerPicturesPath()));
}

TEST_F(ZTParties, APictureThatCannotBeWrittenStillNamesItsFile)
{
    // A plain file where the folder should be: the write fails and is ignored.
    QDir().mkpath(companyFolder());
    QFile blocker(ZTCustomer::customerPicturesPath());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    customer->saveImage(jpegPicture());
    EXPECT_TRUE(customer->hasPicture());
    EXPECT_TRUE(customer->picture().isEmpty());
}

// ---- customer totals

TEST_F(ZTParties, CustomerTotalsCountEveryDocumentAndSumTheDefaultCurrency)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    customer->setName(QStringLiteral("ACME"));
    customer->setAddress(QStringLiteral("ul. Długa 1, 80-001 Gdańsk")); // issued documents must name it in full
    const auto documentFor = [&](int kind, const QString &currency, const QString &net, bool issue) {
        ZTDocument *document = draft(kind);
        document->purchaser()->updateWithCustomer(customer);
        document->setCurrency(currency);
        addLine(document, QStringLiteral("Usługa"), net);
        if (issue)
            issued(document, QStringLiteral("D %1").arg(net));
        return document;
    };
    documentFor(1, QStringLiteral("PLN"), QStringLiteral("100"), true);
    ZTDocument *proforma = documentFor(2, QStringLiteral("PLN"), QStringLiteral("50"), false);
    documentFor(1, QStringLiteral("EUR"), QStringLiteral("1000"), true);
    ZTDocument *other = draft(1, QStringLiteral("Inny"));
    addLine(other, QStringLiteral("Usługa"), QStringLiteral("7"));
    save();

    EXPECT_EQ(customer->documentCount(), 3);
    EXPECT_EQ(customer->documents().size(), 3);
    EXPECT_EQ(customer->documentDrafts(), QList<ZTDocument *>{proforma});
    // Drafts count; the EUR invoice does not add to the sums.
    EXPECT_EQ(s(customer->documentsTotalNetValue().toString()), "150");
    EXPECT_EQ(s(customer->documentsTotalGrossValue().toString()), "184.5");
    QList<int> kinds = customer->documentKinds();
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds, (QList<int>{1, 1, 2}));

    ZTCustomer *lonely = ZTCustomer::newCustomer(*m_context);
    EXPECT_EQ(lonely->documentCount(), 0);
    EXPECT_TRUE(lonely->documentsTotalNetValue().isZero());
    EXPECT_TRUE(lonely->documentKinds().isEmpty());
}
