#include "PartiesTestSupport.h"

#include "model/ZTCustomer.h"

#include "platform/ImageData.h"
#include "platform/VCardReader.h"

namespace {

using ZTContactImport = ZTPartiesTest;

std::string s(const QString &text)
{
    return text.toStdString();
}

QString u(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

VCardPostalAddress address(QStringList labels, const char *street, const char *code, const char *city,
                           const char *country)
{
    VCardPostalAddress a;
    a.labels = std::move(labels);
    a.street = u(street);
    a.postalCode = u(code);
    a.city = u(city);
    a.country = u(country);
    return a;
}

VCardContact fixtureContact(const char *file, int index = 0)
{
    const VCardReadResult read =
        VCardReader::readFile(QStringLiteral(TOLVANA_FIXTURES_DIR "/vcards/") + QString::fromUtf8(file));
    EXPECT_GT(read.contacts.size(), index) << file;
    return read.contacts.value(index);
}

} // namespace

TEST_F(ZTContactImport, TheNameComesFromOrganisationAndPerson)
{
    const struct
    {
        const char *organization;
        const char *given;
        const char *family;
        const char *name;
    } cases[] = {
        {"ACME", "Jan", "Kowalski", "ACME, Jan Kowalski"},
        {"ACME", "Jan", "", "Jan ACME"},
        {"ACME", "", "Kowalski", "ACME Kowalski"},
        {"ACME", "", "", "ACME"},
        {"", "Jan", "Kowalski", "Jan Kowalski"},
        {"", "Jan", "", "Jan"},
        {"", "", "Kowalski", "Kowalski"},
        {"", "", "", "(brak nazwy kontrahenta)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        VCardContact contact;
        contact.organization = u(c.organization);
        contact.givenName = u(c.given);
        contact.familyName = u(c.family);
        contact.formattedName = QStringLiteral("not used"); // FN plays no part
        EXPECT_EQ(s(ZTCustomer::newCustomerFromContact(*m_context, contact)->name()), c.name);
    }
    save();
}

TEST_F(ZTContactImport, TheWorkEmailAndAddressAreChosenElseTheFirst)
{
    VCardContact contact;
    contact.emails = {{QStringLiteral("dom@example.com"), {QStringLiteral("home")}},
                      {QStringLiteral("biuro@example.com"), {QStringLiteral("internet"), QStringLiteral("work")}},
                      {QStringLiteral("inny@example.com"), {QStringLiteral("work")}}};
    contact.addresses = {address({QStringLiteral("home")}, "ul. Domowa 1", "00-001", "Warszawa", "Polska"),
                         address({QStringLiteral("work"), QStringLiteral("pref")}, "ul. Biurowa 2\nlokal 5",
                                 "30-002", "Kraków", "Polska")};
    ZTCustomer *work = ZTCustomer::newCustomerFromContact(*m_context, contact);
    EXPECT_EQ(s(work->email()), "biuro@example.com");
    EXPECT_EQ(s(work->address()), "ul. Biurowa 2\nlokal 5\n30-002 Kraków\nPolska");

    contact.emails.removeAt(2);
    contact.emails.removeAt(1);
    contact.addresses.removeAt(1);
    ZTCustomer *first = ZTCustomer::newCustomerFromContact(*m_context, contact);
    EXPECT_EQ(s(first->email()), "dom@example.com");
    EXPECT_EQ(s(first->address()), "ul. Domowa 1\n00-001 Warszawa\nPolska");

    ZTCustomer *none = ZTCustomer::newCustomerFromContact(*m_context, VCardContact());
    EXPECT_TRUE(none->email().isEmpty());
    EXPECT_TRUE(none->address().isEmpty());
    save();
}

TEST_F(ZTContactImport, TheAddressLayoutTrimsWhatIsMissing)
{
    const struct
    {
        const char *street;
        const char *code;
        const char *city;
        const char *country;
        const char *text;
    } cases[] = {
        {"ul. Długa 1", "80-001", "Gdańsk", "Polska", "ul. Długa 1\n80-001 Gdańsk\nPolska"},
        {"ul. Długa 1", "80-001", "Gdańsk", "", "ul. Długa 1\n80-001 Gdańsk"},
        {"", "80-001", "Gdańsk", "", "80-001 Gdańsk"},
        {"", "", "Gdańsk", "", "Gdańsk"},
        {"ul. Długa 1", "", "", "", "ul. Długa 1"},
        {"", "", "", "Polska", "Polska"},
        // Trimmed at both ends only: the empty middle line keeps its space.
        {"ul. Długa 1", "", "", "Polska", "ul. Długa 1\n \nPolska"},
        {"", "", "", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        VCardContact contact;
        contact.addresses = {address({}, c.street, c.code, c.city, c.country)};
        EXPECT_EQ(s(ZTCustomer::newCustomerFromContact(*m_context, contact)->address()), c.text);
    }
}

TEST_F(ZTContactImport, ANipWrittenInTheNoteIsTakenOver)
{
    const struct
    {
        const char *note;
        const char *nip; // nullptr: none found
    } cases[] = {
        {"NIP: 5260250274", "5260250274"},
        {"Dane firmy\nNIP:5260250274\nREGON 012345678", "5260250274"},
        {"NIP:   PL 5260250274", "PL 5260250274"},
        {"NIP: PL5260250274 (UE)", "PL5260250274"},
        {"NIP: 526-025-02-74", "526-025-02-74"},
        {"NIP: 526-02-50-274", "526-02-50-274"},
        {"NIP: DE 123-456-78-90", "DE 123-456-78-90"},
        {"nip: 5260250274", nullptr},      // the label is upper case
        {"NIP 5260250274", nullptr},       // and has its colon
        {"NIP: 52602502", nullptr},        // ten digits or a hyphen pattern
        {"NIP: 5260-25-02-74", nullptr},
        {"", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.note);
        VCardContact contact;
        contact.note = u(c.note);
        const ZTCustomer *customer = ZTCustomer::newCustomerFromContact(*m_context, contact);
        if (c.nip)
            EXPECT_EQ(s(customer->nip()), c.nip);
        else
            EXPECT_TRUE(customer->nip().isNull());
    }
}

TEST_F(ZTContactImport, TheContactPictureIsSavedForTheCustomer)
{
    const VCardContact withPhoto = fixtureContact("khard-photov4.vcf");
    ASSERT_FALSE(withPhoto.imageData.isEmpty());
    ZTCustomer *customer = ZTCustomer::newCustomerFromContact(*m_context, withPhoto);
    ASSERT_TRUE(customer->hasPicture());
    EXPECT_TRUE(customer->picturePath().startsWith(ZTCustomer::customerPicturesPath()));
    EXPECT_TRUE(ImageData::isReadable(customer->picture()));
    EXPECT_TRUE(customer->picture().startsWith("\x89PNG"));

    ZTCustomer *without = ZTCustomer::newCustomerFromContact(*m_context, fixtureContact("khard-org.vcf"));
    EXPECT_FALSE(without->hasPicture());
    save();
}

// Real cards from other programs become customers as a person would expect.
TEST_F(ZTContactImport, CardsFromOtherProgramsBecomeCustomers)
{
    const struct
    {
        const char *file;
        int card;
        const char *name;
        const char *email;
        const char *address;
    } cases[] = {
        {"ezvcard-rfc6350-example.vcf", 0, "Viagenie, Simon Perreault", "simon.perreault@viagenie.ca",
         "2875 Laurier\nSuite D2-630\nG1V 2M2 Quebec\nCanada"},
        // The work address, not the preferred home one; no work e-mail, so the first.
        {"ezvcard-John_Doe_IPHONE.vcf", 0, "IBM, John Doe", "john.doe@ibm.com",
         "Street4\nBuilding 6\nFloor 8\n12345 New York\nUSA"},
        {"vcard4android-allfields-vcard3.vcf", 0, "ABC, Inc., Firstname Lastname", "work@example.com",
         "6544 Battleford Drive\n27613-3502 Raleigh\nU.S.A."},
        {"eds-vcard-12.vcf", 0, "Michael Brüning", "ext-Michael.Bruning@nokia.com", "Münsterplatz 21\n89073 Ulm"},
        {"kcontacts-vcardwithitemasapplesupport.vcf", 0, "SOMENAME SOME COMPANY", "", "STREET\nZIP CITY\nCOUNTRY"},
        // The whole address in one component, as Gmail writes it.
        {"ezvcard-John_Doe_GMAIL.vcf", 0, "IBM, John Doe", "john.doe@ibm.com",
         "Crescent moon drive\n555-asd\nNice Area, Albaney, New York 12345\nUnited States of America"},
        {"khard-org.vcf", 0, "ACME Inc.", "", ""},
        {"ezvcard-John_Doe_ANDROID.vcf", 0, "(brak nazwy kontrahenta)", "john.doe@company.com", ""},
        {"kcontacts-vcard10.vcf", 0, "Bike Shop", "", "DDDDDDDDDDDDDDD-Staße 2\n00000 DDDDDDDDDD"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const ZTCustomer *customer = ZTCustomer::newCustomerFromContact(*m_context, fixtureContact(c.file, c.card));
        EXPECT_EQ(s(customer->name()), c.name);
        EXPECT_EQ(s(customer->email()), c.email);
        EXPECT_EQ(s(customer->address()), c.address);
    }
    save();
    EXPECT_EQ(fetchAll<ZTCustomer>(QStringLiteral("Customer")).size(), qsizetype(std::size(cases)));
}
