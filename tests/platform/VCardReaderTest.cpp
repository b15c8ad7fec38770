#include "platform/ImageData.h"
#include "platform/Sha1.h"
#include "platform/VCardReader.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

// The files in fixtures/vcards were written by other programs (see SOURCES.md) and are read as
// they are. Expected photo digests were computed independently of this reader (Python's base64
// and hashlib over the folded PHOTO value).

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(TOLVANA_FIXTURES_DIR "/vcards/") + QString::fromUtf8(name);
}

VCardReadResult readFixture(const char *name)
{
    return VCardReader::readFile(fixture(name));
}

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

std::string s(const QString &text)
{
    return text.toStdString();
}

QString sha1Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(Sha1::ofData(bytes).toHex());
}

struct ExpectedProblem
{
    int card;
    int line;
    const char *messagePart;
    bool skipped;
};

struct ExpectedCard
{
    const char *formattedName;
    const char *givenName;
    const char *familyName;
    const char *organization;
};

struct FileCase
{
    const char *file;
    std::vector<ExpectedCard> cards; // every card read, in order
    std::vector<ExpectedProblem> problems;
};

void PrintTo(const FileCase &c, std::ostream *os)
{
    *os << c.file;
}

class VCardFixtureFiles : public ::testing::TestWithParam<FileCase>
{
};

} // namespace

// Names and problems of every fixture file: the cards that can be read come back in order, the
// problems name the card and the line.
TEST_P(VCardFixtureFiles, ReadsNamesAndReportsProblems)
{
    const FileCase &expected = GetParam();
    const VCardReadResult result = readFixture(expected.file);
    ASSERT_EQ(result.contacts.size(), qsizetype(expected.cards.size()));
    for (size_t i = 0; i < expected.cards.size(); ++i) {
        const VCardContact &contact = result.contacts.at(qsizetype(i));
        const ExpectedCard &card = expected.cards.at(i);
        SCOPED_TRACE("card " + std::to_string(i + 1));
        EXPECT_EQ(s(contact.formattedName), card.formattedName);
        EXPECT_EQ(s(contact.givenName), card.givenName);
        EXPECT_EQ(s(contact.familyName), card.familyName);
        EXPECT_EQ(s(contact.organization), card.organization);
    }
    ASSERT_EQ(result.problems.size(), qsizetype(expected.problems.size()))
        << (result.problems.isEmpty() ? std::string() : s(result.problems.first().describe()));
    for (size_t i = 0; i < expected.problems.size(); ++i) {
        const VCardProblem &problem = result.problems.at(qsizetype(i));
        const ExpectedProblem &want = expected.problems.at(i);
        EXPECT_EQ(problem.cardNumber, want.card) << s(problem.describe());
        EXPECT_EQ(problem.line, want.line) << s(problem.describe());
        EXPECT_TRUE(problem.message.contains(u(want.messagePart))) << s(problem.describe());
        EXPECT_EQ(problem.cardSkipped, want.skipped) << s(problem.describe());
    }
}

namespace {

const std::vector<FileCase> &fileCases()
{
    static const std::vector<FileCase> cases{
        FileCase{"android-v21_adr_multiple_line.vcf", {{"", "", "bogus", ""}}, {}},
        FileCase{"android-v21_complicated.vcf", {{"Joe Due", "Forrest", "Gump", "Gump Shrimp Co."}}, {}},
        FileCase{"android-v21_invalid_multiple_line.vcf", {{"Omega", "Omega", "", ""}}, {}},
        FileCase{"android-v21_japanese_2.vcf", {{"安藤 ロイド 1", "ロイド1", "安藤", ""}}, {}},
        FileCase{"android-v21_malformed_photo.vcf", {{"fullname", "", "name", ""}},
                 {{1, 5, "base64", false}}},
        FileCase{"android-v30_ios_613_multiline.vcf", {{"Bob Smith", "Bob", "Smith", "Smith Auto Repair"}}, {}},
        FileCase{"eds-data-vcards-name-only.vcf", {{"John Doe", "", "", ""}}, {}},
        FileCase{"eds-vcard-12.vcf", {{"Michael Brüning", "Michael", "Brüning", ""}}, {}},
        FileCase{"eds-vcard-13.vcf", {{"Ralf Engels", "", "", "Ralf Engels evil tests"}}, {}},
        FileCase{"ezvcard-John_Doe_ANDROID.vcf",
                 {{"", "", "", ""},
                  {"", "", "", ""},
                  {"Ñ Ñ Ñ Ñ Ñ", "", "Ñ Ñ Ñ Ñ", ""},
                  {"Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ", "", "Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ", ""},
                  {"Ñ Ñ Ñ Ñ", "Ñ Ñ Ñ", "Ñ Ñ", "ÑÑÑÑÑÑÑÑÑÑÑÑ"},
                  {"ÑÑÑÑ", "", "ÑÑÑÑ", "ÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑÑ"}},
                 // The photo of card 5 has one base64 character too many; card 6 repeats ORG
                 // with a stray =80 byte.
                 {{5, 52, "base64", false}, {6, 82, "UTF-8", false}}},
        FileCase{"ezvcard-John_Doe_BLACK_BERRY.vcf", {{"John Doe", "john", "Doe", "Acme Solutions"}}, {}},
        FileCase{"ezvcard-John_Doe_EVOLUTION.vcf", {{"Mr. John Richter, James Doe Sr.", "John", "Doe", "IBM"}}, {}},
        FileCase{"ezvcard-John_Doe_GMAIL.vcf", {{"Mr. John Richter, James Doe Sr.", "John", "Doe", "IBM"}}, {}},
        FileCase{"ezvcard-John_Doe_IPHONE.vcf", {{"Mr. John Richter James Doe Sr.", "John", "Doe", "IBM"}}, {}},
        FileCase{"ezvcard-John_Doe_MS_OUTLOOK.vcf", {{"Mr. John Richter James Doe Sr.", "John", "Doe", "IBM"}}, {}},
        FileCase{"ezvcard-gmail-list.vcf",
                 {{"Arnold Smith", "Arnold", "Smith", ""},
                  {"Chris Beatle", "Chris", "Beatle", ""},
                  {"Doug White", "Doug", "White", ""}},
                 {}},
        FileCase{"ezvcard-issue114.vcf", {{"Dummy, Dummy", "Dummy", "Dummy", "Dummy GmbH"}}, {}},
        FileCase{"ezvcard-outlook-2003.vcf", {{"John Doe III", "John", "Doe", "Company, The"}}, {}},
        FileCase{"ezvcard-rfc6350-example.vcf", {{"Simon Perreault", "Simon", "Perreault", "Viagenie"}}, {}},
        FileCase{"ezvcard-thunderbird-MoreFunctionsForAddressBook-extension.vcf",
                 {{"John Doe", "John", "Doe", "TheOrganization"}}, {}},
        FileCase{"kcontacts-vcard10.vcf",
                 {{"", "", "", "Bike Shop"},
                  {"Field after Address broken", "Broken", "", ""},
                  {"Field after Address not broken", "Broken", "", ""},
                  {"Dr. med. Surname Name", "Surname", "Name", ""},
                  {"Second Doctor", "Second", "Doctor", ""}},
                 {}},
        FileCase{"kcontacts-vcard3.vcf", {{"ian geiser", "ian", "geiser", "Source eXtreme"}}, {}},
        // "FN" alone on its line has no value.
        FileCase{"kcontacts-vcard4.vcf", {{"", "", "", "Ximian, Inc."}}, {{1, 3, "dwukropka", false}}},
        FileCase{"kcontacts-vcard9.vcf",
                 {{"βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1βγδεαβγδ1"
                   "βγδεαβγδ1",
                   "", "123ㄓㄕㄖbcdeαβγδαβγδαβγδαβγδαβγδαβγδαβㄤㄓㄕㄖ", ""}},
                 {}},
        FileCase{"kcontacts-vcardwithitemasapplesupport.vcf",
                 {{"Name of Broken Card", "SOMENAME", "", "SOME COMPANY"}}, {}},
        FileCase{"khard-org.vcf", {{"ACME Inc.", "", "", "ACME Inc."}}, {}},
        FileCase{"khard-photov4.vcf", {{"with photo v4", "", "", ""}}, {}},
        // Truncated after FN: reported by the name it has, and not returned.
        FileCase{"khard-unparsable.vcf", {}, {{1, 1, "END:VCARD", true}}},
        FileCase{"sabre-issue64.vcf", {{"", "", "", ""}}, {}},
        FileCase{"vcard4android-allfields-vcard3.vcf", {{"Ämi Display", "Firstname", "Lastname", "ABC, Inc."}}, {}}};
    return cases;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(AllFiles, VCardFixtureFiles, ::testing::ValuesIn(fileCases()));

TEST(VCardFixtureCorpus, EveryFileHasExpectations)
{
    // A fixture added later without expectations would otherwise go unread.
    const QStringList files =
        QDir(QStringLiteral(TOLVANA_FIXTURES_DIR "/vcards")).entryList({QStringLiteral("*.vcf")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        const bool listed = std::any_of(fileCases().begin(), fileCases().end(),
                                        [&](const FileCase &c) { return file == u(c.file); });
        EXPECT_TRUE(listed) << s(file);
    }
}

TEST(VCardReader, ProblemsNameTheCardAndTheLine)
{
    const VCardReadResult truncated = readFixture("khard-unparsable.vcf");
    ASSERT_EQ(truncated.problems.size(), 1);
    EXPECT_EQ(s(truncated.problems.first().cardName), "second contact with minimal Vcard");
    EXPECT_EQ(s(truncated.problems.first().describe()),
              "karta 1 (second contact with minimal Vcard), wiersz 1: Karta bez END:VCARD; pominięta");

    const VCardReadResult photo = readFixture("android-v21_malformed_photo.vcf");
    ASSERT_EQ(photo.problems.size(), 1);
    EXPECT_EQ(s(photo.problems.first().cardName), "fullname");
    EXPECT_TRUE(photo.contacts.first().imageData.isEmpty());
}

// ---- folding and encodings

TEST(VCardReader, UnfoldsVersion3LinesMidWordAndMidCharacter)
{
    const VCardContact evolution = readFixture("ezvcard-John_Doe_EVOLUTION.vcf").contacts.first();
    // "TEL;…;TYPE=CELL:905-666" + " -1234": the fold's one space goes, nothing else.
    ASSERT_GE(evolution.phones.size(), 2);
    EXPECT_EQ(s(evolution.phones.at(0).value), "905-666-1234");
    EXPECT_EQ(s(evolution.phones.at(1).value), "905-555-1234");
    EXPECT_TRUE(evolution.note.startsWith(u("THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS AND CONTRIBUTORS \"AS IS\"")));
    EXPECT_TRUE(evolution.note.endsWith(u("EVEN IF ADVISED OF THE POSSIBILITY OF SUCH DAMAGE.")));
    EXPECT_TRUE(evolution.note.contains(u("SERVICES; LOSS OF USE, DATA, OR PROFITS; OR BUSINESS")));

    // Folds split two-byte UTF-8 characters; the second continuation line of NOTE keeps the
    // space that follows the fold's own.
    const VCardContact split = readFixture("kcontacts-vcard9.vcf").contacts.first();
    EXPECT_EQ(s(split.note),
              "Длинный комментарий на русском языке, чтобы в результате получилась строка более 70 символов.");
    EXPECT_EQ(s(split.version), "3.0"); // VERSION is the card's last line

    // A TAB folds inside the parameters, a space inside a TYPE list.
    const VCardContact evil = readFixture("eds-vcard-13.vcf").contacts.first();
    ASSERT_EQ(evil.phones.size(), 2);
    EXPECT_EQ(evil.phones.at(0).labels, QStringList({u("voice"), u("msg"), u("work")}));
    EXPECT_EQ(evil.phones.at(1).labels, QStringList({u("fax"), u("work")}));
    ASSERT_EQ(evil.emails.size(), 2);
    EXPECT_EQ(evil.emails.at(0).labels, QStringList({u("internet"), u("pref")}));
}

TEST(VCardReader, JoinsQuotedPrintableSoftBreaks)
{
    // One component per soft-broken line, the first line holding only "=".
    const VCardContact nokia = readFixture("eds-vcard-12.vcf").contacts.first();
    ASSERT_EQ(nokia.addresses.size(), 1);
    const VCardPostalAddress &home = nokia.addresses.first();
    EXPECT_EQ(s(home.street), "Münsterplatz 21");
    EXPECT_EQ(s(home.city), "Ulm");
    EXPECT_EQ(s(home.region), "Baden-Württemberg");
    EXPECT_EQ(s(home.postalCode), "89073");
    EXPECT_EQ(s(home.country), "");
    EXPECT_EQ(home.labels, QStringList{u("home")});

    // A soft break followed by a line beginning with a space keeps that space; two NOTEs join.
    const VCardContact gump = readFixture("android-v21_complicated.vcf").contacts.first();
    EXPECT_EQ(s(gump.note), "The following note is the example from RFC 2045.\n"
                            "Now's the time for all folk to come to the aid of their country.");

    // =0D=0A in the value is a line break; a soft break ends in "=0A".
    const VCardContact outlook = readFixture("ezvcard-outlook-2003.vcf").contacts.first();
    EXPECT_EQ(s(outlook.note), "This is the note field!!\nSecond line\n\nThird line is empty");

    // An encoded line break inside a street.
    const QList<VCardContact> kde = readFixture("kcontacts-vcard10.vcf").contacts;
    EXPECT_EQ(s(kde.at(0).addresses.first().street), "DDDDDDDDDDDDDDD-Staße 2\n00000 DDDDDDDDDD");
    EXPECT_EQ(s(kde.at(1).addresses.first().street), "AAAAAAA-AäAAAAA 11");
    EXPECT_EQ(s(kde.at(1).addresses.first().city), "Urt");
    EXPECT_EQ(s(kde.at(1).addresses.first().postalCode), "00000");
    EXPECT_TRUE(kde.at(3).note.startsWith(u("Sprechzeiten:\nMo   8–12, 15–18\nDi")));
    EXPECT_EQ(s(kde.at(0).note), "This one has a funny character at the end in the contact list"); // "Note:"
}

TEST(VCardReader, DecodesLegacyCharsets)
{
    // Raw Shift_JIS bytes and quoted-printable Shift_JIS.
    const VCardContact japanese = readFixture("android-v21_japanese_2.vcf").contacts.first();
    ASSERT_EQ(japanese.addresses.size(), 1);
    EXPECT_EQ(s(japanese.addresses.first().extendedAddress), "東京都渋谷区桜丘町26-1セルリアンタワー6階");
    EXPECT_EQ(s(japanese.addresses.first().postalCode), "150-8512");
    EXPECT_EQ(s(japanese.note), "メモ");

    struct Case
    {
        const char *label;
        QByteArray card;
    };
    const Case cases[] = {
        {"windows-1250, 8-bit", QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=windows-1250:"
                                           "\x5a\x61\xbf\xf3\xb3\xe6\x20\x67\xea\x9c\x6c\xb9\x20\x6a\x61\x9f\xf1"
                                           ";Jan\r\nEND:VCARD\r\n")},
        {"windows-1250, quoted-printable",
         QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=WINDOWS-1250;ENCODING=QUOTED-PRINTABLE:"
                    "Za=BF=F3=B3=E6 g=EA=9Cl=B9 ja=\r\n=9F=F1;Jan\r\nEND:VCARD\r\n")},
        {"ISO-8859-2", QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-2:"
                                  "\x5a\x61\xbf\xf3\xb3\xe6\x20\x67\xea\xb6\x6c\xb1\x20\x6a\x61\xbc\xf1"
                                  ";Jan\r\nEND:VCARD\r\n")},
        {"UTF-8", QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:Zażółć gęślą jaźń;Jan\r\nEND:VCARD\r\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const VCardReadResult result = VCardReader::read(c.card);
        ASSERT_EQ(result.contacts.size(), 1);
        EXPECT_EQ(s(result.contacts.first().familyName), "Zażółć gęślą jaźń");
        EXPECT_EQ(s(result.contacts.first().givenName), "Jan");
        EXPECT_TRUE(result.problems.isEmpty());
    }
}

TEST(VCardReader, TextWithoutCharsetThatIsNotUtf8IsReadAsWindows1250WithAWarning)
{
    const VCardReadResult result = VCardReader::read(
        QByteArray("BEGIN:VCARD\nVERSION:2.1\nORG:\xa3\xf3\x64\x9f\nEND:VCARD\n")); // "Łódź" in windows-1250
    ASSERT_EQ(result.contacts.size(), 1);
    EXPECT_EQ(s(result.contacts.first().organization), "Łódź");
    ASSERT_EQ(result.problems.size(), 1);
    EXPECT_EQ(result.problems.first().line, 3);
    EXPECT_TRUE(result.problems.first().message.contains(u("windows-1250")));
}

TEST(VCardReader, UnknownCharsetIsReportedAndReadAsUtf8)
{
    const VCardReadResult result =
        VCardReader::read(QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=X-NO-SUCH:Anna\nEND:VCARD\n"));
    ASSERT_EQ(result.contacts.size(), 1);
    EXPECT_EQ(s(result.contacts.first().formattedName), "Anna");
    ASSERT_EQ(result.problems.size(), 1);
    EXPECT_TRUE(result.problems.first().message.contains(u("X-NO-SUCH")));
}

TEST(VCardReader, ResolvesEscapesOfVersion3AndLater)
{
    const VCardContact evil = readFixture("eds-vcard-13.vcf").contacts.first();
    ASSERT_EQ(evil.addresses.size(), 2);
    // Escaped semicolons stay inside their component.
    EXPECT_EQ(s(evil.addresses.at(0).street), "Evil semicolon city;");
    EXPECT_EQ(s(evil.addresses.at(0).city), "Semicolon;way");
    EXPECT_EQ(s(evil.addresses.at(0).region), "NC");
    EXPECT_EQ(s(evil.addresses.at(0).postalCode), "27613-3502");
    EXPECT_EQ(s(evil.addresses.at(0).country), "U.S.A.");
    // \\ is a backslash, \n and \N line breaks, also inside a quoted-printable value.
    EXPECT_EQ(s(evil.addresses.at(1).street), "Evil backslash \\ way");
    EXPECT_EQ(s(evil.addresses.at(1).region), "Newlines\nCountry\nevil");
    EXPECT_EQ(s(evil.emails.at(1).value), "semicolon;@points.net");

    const VCardContact thunderbird =
        readFixture("ezvcard-thunderbird-MoreFunctionsForAddressBook-extension.vcf").contacts.first();
    EXPECT_EQ(s(thunderbird.note), "This is the notes field.\nSecond Line\n\nFourth Line\n"
                                   "You can put anything in the \"note\" field; even curse words.");

    const VCardContact gmail = readFixture("ezvcard-John_Doe_GMAIL.vcf").contacts.first();
    EXPECT_TRUE(gmail.note.startsWith(u("THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS AND CONTRIBUTORS \"AS IS\"")));
    EXPECT_TRUE(gmail.note.endsWith(u("SUCH DAMAGE.\nFavotire Color: Blue")));
    ASSERT_EQ(gmail.addresses.size(), 1);
    EXPECT_EQ(s(gmail.addresses.first().extendedAddress),
              "Crescent moon drive\n555-asd\nNice Area, Albaney, New York 12345\nUnited States of America");

    // 2.1 knows only \; : a comma stays, and the escaped semicolon of ORG stays in its unit.
    const VCardContact gump = readFixture("android-v21_complicated.vcf").contacts.first();
    EXPECT_EQ(gump.organizationalUnits, QStringList({u("Sales Dept.;Manager"), u("Fish keeper")}));
    const VCardContact evolution = readFixture("ezvcard-John_Doe_EVOLUTION.vcf").contacts.first();
    EXPECT_EQ(s(evolution.additionalNames), "Richter, James");
    EXPECT_EQ(evolution.organizationalUnits, QStringList({u("Accounting"), u("Dungeon")}));
    const VCardContact davx = readFixture("vcard4android-allfields-vcard3.vcf").contacts.first();
    EXPECT_EQ(davx.organizationalUnits, QStringList({u("North American Division"), u("Marketing")}));
}

// ---- labels, groups and addresses

TEST(VCardReader, ReadsTypeParametersInEveryForm)
{
    struct Case
    {
        const char *file;
        int email;
        QStringList labels;
    };
    const Case cases[] = {
        {"eds-vcard-12.vcf", 0, {u("work")}},                                 // bare 2.1 word
        {"ezvcard-John_Doe_IPHONE.vcf", 0, {u("internet"), u("pref")}},        // type=…;type=…
        {"ezvcard-rfc6350-example.vcf", 0, {u("work")}},                       // TYPE=work
        {"vcard4android-allfields-vcard3.vcf", 0, {u("home"), u("pref")}},     // TYPE=home,pref
        {"vcard4android-allfields-vcard3.vcf", 1, {u("work"), u("@work")}},    // group's X-ABLabel
        {"ezvcard-issue114.vcf", 0, {u("home")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const VCardContact contact = readFixture(c.file).contacts.first();
        ASSERT_GT(contact.emails.size(), c.email);
        EXPECT_EQ(contact.emails.at(c.email).labels, c.labels);
    }
    // Quoted TYPE lists and PREF=1 of 4.0.
    const VCardContact simon = readFixture("ezvcard-rfc6350-example.vcf").contacts.first();
    ASSERT_EQ(simon.phones.size(), 2);
    EXPECT_EQ(simon.phones.at(0).labels, QStringList({u("work"), u("voice"), u("pref")}));
    EXPECT_EQ(s(simon.phones.at(0).value), "+1-418-656-9254;ext=102");
    EXPECT_EQ(simon.phones.at(1).labels, QStringList({u("work"), u("cell"), u("voice"), u("video"), u("text")}));
    // A standard Apple label loses its wrapping.
    const VCardContact iphone = readFixture("ezvcard-John_Doe_IPHONE.vcf").contacts.first();
    EXPECT_EQ(iphone.phones.last().labels, QStringList{u("assistantphone")});
    EXPECT_EQ(s(iphone.phones.last().value), "905-222-1234");
}

TEST(VCardReader, ReadsPostalAddressesWithTheirLabels)
{
    const VCardContact iphone = readFixture("ezvcard-John_Doe_IPHONE.vcf").contacts.first();
    ASSERT_EQ(iphone.addresses.size(), 2);
    EXPECT_EQ(iphone.addresses.at(0).labels, QStringList({u("home"), u("pref")}));
    EXPECT_EQ(s(iphone.addresses.at(1).street), "Street4\nBuilding 6\nFloor 8");
    EXPECT_EQ(s(iphone.addresses.at(1).city), "New York");
    EXPECT_EQ(s(iphone.addresses.at(1).postalCode), "12345");
    EXPECT_EQ(s(iphone.addresses.at(1).country), "USA");
    EXPECT_EQ(iphone.addresses.at(1).labels, QStringList{u("work")});

    // Folded between components, one of them grouped with an X-ABLabel.
    const VCardContact davx = readFixture("vcard4android-allfields-vcard3.vcf").contacts.first();
    ASSERT_EQ(davx.addresses.size(), 2);
    EXPECT_EQ(s(davx.addresses.at(0).street), "6544 Battleford Drive");
    EXPECT_EQ(s(davx.addresses.at(0).city), "Raleigh");
    const VCardPostalAddress &monkey = davx.addresses.at(1);
    EXPECT_EQ(s(monkey.postOfficeBox), "Postfach 314");
    EXPECT_EQ(s(monkey.extendedAddress), "vorne hinten");
    EXPECT_EQ(s(monkey.street), "Teststraße 22");
    EXPECT_EQ(s(monkey.city), "Mönchspfaffingen");
    EXPECT_EQ(s(monkey.postalCode), "4043");
    EXPECT_EQ(s(monkey.country), "Klöster-Reich");
    EXPECT_EQ(monkey.labels, QStringList({u("work"), u("monkey tree")}));
    EXPECT_EQ(s(davx.note), "This fax number is operational 0800 to 1715 EST, Mon-Fri.\nSecond note");

    // Only a group-prefixed ADR.
    const VCardContact apple = readFixture("kcontacts-vcardwithitemasapplesupport.vcf").contacts.first();
    ASSERT_EQ(apple.addresses.size(), 1);
    EXPECT_EQ(s(apple.addresses.first().street), "STREET");
    EXPECT_EQ(s(apple.addresses.first().country), "COUNTRY");

    // A parameter value with unquoted colons: the components that follow the first colon.
    const VCardContact dummy = readFixture("ezvcard-issue114.vcf").contacts.first();
    ASSERT_EQ(dummy.addresses.size(), 1);
    EXPECT_EQ(s(dummy.addresses.first().street), "Dummy-Dummy-Strasse 1");
    EXPECT_EQ(s(dummy.addresses.first().city), "Bad Homburg");
    EXPECT_EQ(s(dummy.addresses.first().postalCode), "61352");
    EXPECT_EQ(s(dummy.addresses.first().country), "Germany");
}

TEST(VCardReader, ToleratesMalformedContinuations)
{
    // A 2.1 value continued by trailing backslashes: one street of three lines.
    const VCardContact packstation = readFixture("android-v21_adr_multiple_line.vcf").contacts.first();
    ASSERT_EQ(packstation.addresses.size(), 2);
    EXPECT_EQ(s(packstation.addresses.at(0).street), "Grindelberg 999");
    EXPECT_EQ(s(packstation.addresses.at(1).street), "Hermann v. Brevern\n9999999\nPackstation 999");
    EXPECT_EQ(s(packstation.addresses.at(1).city), "Hamburg");
    EXPECT_EQ(s(packstation.addresses.at(1).postalCode), "99999");
    EXPECT_EQ(s(packstation.addresses.at(1).country), "Deutschland");

    // A 2.1 e-mail folded into a display-name form: the address inside the angle brackets.
    const VCardContact omega = readFixture("android-v21_invalid_multiple_line.vcf").contacts.first();
    ASSERT_EQ(omega.emails.size(), 1);
    EXPECT_EQ(s(omega.emails.first().value), "omega@example.com");

    // CR CR LF line ends do not break the folded photo.
    const VCardContact bob = readFixture("android-v30_ios_613_multiline.vcf").contacts.first();
    EXPECT_EQ(s(bob.emails.first().value), "bob@smithauto.com");
    EXPECT_EQ(bob.imageData.size(), 5165);
}

// ---- photos

TEST(VCardReader, DecodesPhotosInEveryEncoding)
{
    struct Case
    {
        const char *file;
        qsizetype size;
        const char *sha1;
    };
    const Case cases[] = {
        {"android-v21_complicated.vcf", 3888, "866248df2ad44e87a4045c18c9f2e7ddda23f559"},    // 2.1 folded
        {"ezvcard-John_Doe_MS_OUTLOOK.vcf", 860, "1134ffd3ef6947a42869ac8a91b7c75fb3eba5fc"}, // blank line after
        {"sabre-issue64.vcf", 19685, "ef5c3f2d81ef83ccf4144b67a6f060b31672af96"},              // 2-space indent
        {"ezvcard-John_Doe_BLACK_BERRY.vcf", 1674, "a8e6d0b8fd76a7186433ede095f3b7e19e83e324"}, // one line, "=" extra
        {"ezvcard-John_Doe_IPHONE.vcf", 32531, "738792690eda30ab585a5fa04401a771c4e7cdee"},      // ENCODING=b
        {"khard-photov4.vcf", 123, "1e742fbcf820b44e747741ca68f7fed7170589c9"},                 // data: URI
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray image = readFixture(c.file).contacts.first().imageData;
        EXPECT_EQ(image.size(), c.size);
        EXPECT_EQ(s(sha1Hex(image)), c.sha1);
    }
    // The pictures are real: the platform decodes them.
    EXPECT_TRUE(ImageData::isReadable(readFixture("ezvcard-John_Doe_IPHONE.vcf").contacts.first().imageData));
    EXPECT_TRUE(ImageData::isReadable(readFixture("khard-photov4.vcf").contacts.first().imageData));
}

TEST(VCardReader, PhotoByAddressIsNotFetched)
{
    const VCardReadResult result = VCardReader::read(
        QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Anna\nPHOTO;VALUE=uri:http://example.com/a.jpg\nEND:VCARD\n"));
    ASSERT_EQ(result.contacts.size(), 1);
    EXPECT_TRUE(result.contacts.first().imageData.isEmpty());
    EXPECT_TRUE(result.problems.isEmpty());
}

// ---- several cards, and what is not a card

TEST(VCardReader, UnreadableCardIsSkippedAndTheOthersAreReturned)
{
    const QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Pierwsza\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Urwana\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Trzecia\r\nEND:VCARD\r\n";
    const VCardReadResult result = VCardReader::read(text);
    ASSERT_EQ(result.contacts.size(), 2);
    EXPECT_EQ(s(result.contacts.at(0).formattedName), "Pierwsza");
    EXPECT_EQ(s(result.contacts.at(1).formattedName), "Trzecia");
    EXPECT_EQ(result.contacts.at(1).cardNumber, 3);
    EXPECT_EQ(result.contacts.at(1).line, 8);
    ASSERT_EQ(result.problems.size(), 1);
    EXPECT_EQ(result.problems.first().cardNumber, 2);
    EXPECT_EQ(s(result.problems.first().cardName), "Urwana");
    EXPECT_EQ(result.problems.first().line, 5);
    EXPECT_TRUE(result.problems.first().cardSkipped);
}

TEST(VCardReader, TextOutsideCardsAndEmptyInputAreReported)
{
    const VCardReadResult stray =
        VCardReader::read(QByteArray("hello\nworld\nBEGIN:VCARD\nFN:Anna\nEND:VCARD\ntrailing\n"));
    ASSERT_EQ(stray.contacts.size(), 1);
    ASSERT_EQ(stray.problems.size(), 2); // one per run of stray lines
    EXPECT_EQ(stray.problems.at(0).line, 1);
    EXPECT_EQ(stray.problems.at(0).cardNumber, 0);
    EXPECT_EQ(stray.problems.at(1).line, 6);

    for (const QByteArray &nothing : {QByteArray(), QByteArray("\r\n\r\n"), QByteArray("\x89PNG\r\n\x1a\n")}) {
        const VCardReadResult result = VCardReader::read(nothing);
        EXPECT_TRUE(result.contacts.isEmpty());
        EXPECT_FALSE(result.problems.isEmpty());
    }

    const VCardReadResult missing = VCardReader::readFile(fixture("no-such-file.vcf"));
    EXPECT_TRUE(missing.contacts.isEmpty());
    ASSERT_EQ(missing.problems.size(), 1);
    EXPECT_TRUE(missing.problems.first().message.contains(u("no-such-file.vcf")));
}

TEST(VCardReader, DisplayNameFallsBackFromFormattedNameToPersonToOrganisation)
{
    VCardContact contact;
    contact.organization = u("ACME");
    EXPECT_EQ(s(contact.displayName()), "ACME");
    contact.familyName = u("Kowalski");
    EXPECT_EQ(s(contact.displayName()), "Kowalski");
    contact.givenName = u("Jan");
    EXPECT_EQ(s(contact.displayName()), "Jan Kowalski");
    contact.formattedName = u("J. Kowalski");
    EXPECT_EQ(s(contact.displayName()), "J. Kowalski");
}

// ---- picture conversion

TEST(ImageData, ConvertsPicturesToPngAndRefusesOtherData)
{
    const QByteArray jpeg = readFixture("ezvcard-John_Doe_MS_OUTLOOK.vcf").contacts.first().imageData;
    const QByteArray png = ImageData::toPng(jpeg);
    ASSERT_FALSE(png.isEmpty());
    EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_TRUE(ImageData::isReadable(png));

    EXPECT_TRUE(ImageData::toPng(QByteArray()).isEmpty());
    EXPECT_TRUE(ImageData::toPng(QByteArray("not a picture at all")).isEmpty());
    EXPECT_FALSE(ImageData::isReadable(QByteArray("not a picture at all")));
}
