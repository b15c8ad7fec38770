#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Contact cards in vCard text (versions 2.1, 3.0 and 4.0), as files hold them and as dragged
// "text/vcard" data carries them.
//
// Labels are the lower-case TYPE values of a property ("work", "home", "pref", "internet",
// ...), given as TYPE=WORK, TYPE=work,pref, type="work,voice", several TYPE parameters or
// bare 2.1 words; PREF=n counts as "pref". A group's X-ABLabel adds its text, with the
// "_$!<...>!$_" wrapping of standard labels removed and lower-cased ("_$!<Work>!$_" -> "work").
struct VCardLabeledValue
{
    QString value;
    QStringList labels;

    bool hasLabel(const QString &label) const { return labels.contains(label); }
};

struct VCardPostalAddress
{
    QStringList labels;
    QString postOfficeBox;
    QString extendedAddress;
    QString street; // may hold several lines
    QString city;
    QString region;
    QString postalCode;
    QString country;

    bool hasLabel(const QString &label) const { return labels.contains(label); }
};

struct VCardContact
{
    int cardNumber = 0; // 1 for the first card of the text
    int line = 0;       // line of its BEGIN:VCARD
    QString version;    // "2.1", "3.0" or "4.0"; "2.1" when the card names none

    QString organization;            // the first component of ORG
    QStringList organizationalUnits; // its further non-empty components
    QString givenName;
    QString familyName;
    QString additionalNames;
    QString namePrefix;
    QString nameSuffix;
    QString formattedName; // FN
    QList<VCardLabeledValue> emails;
    QList<VCardLabeledValue> phones;
    QList<VCardPostalAddress> addresses;
    QString note;         // several NOTE properties joined by line breaks
    QByteArray imageData; // the PHOTO's bytes as given (JPEG, PNG, ...), empty without one

    // FN, else given and family name, else the organisation; empty when the card names nobody.
    QString displayName() const;
};

struct VCardProblem
{
    int cardNumber = 0; // 0 for text outside any card
    QString cardName;   // the card's display name when it has one
    int line = 0;       // line of the text where the problem is
    QString message;
    bool cardSkipped = false; // the card could not be read and is not among the contacts

    // "card 2 (Jan Kowalski), line 14: ..." for messages to a person.
    QString describe() const;
};

struct VCardReadResult
{
    QList<VCardContact> contacts;
    QList<VCardProblem> problems;
};

namespace VCardReader {

// Every card of the text that can be read, and what was wrong. A card that cannot be read is
// reported and left out; the others are still returned.
VCardReadResult read(const QByteArray &data);
// The file's cards; a file that cannot be opened is one problem without contacts.
VCardReadResult readFile(const QString &path);

// The bytes as text of a charset named in a CHARSET parameter ("UTF-8", "ISO-8859-2",
// "windows-1250", "Shift_JIS", ...); null when the charset is unknown.
QString decodeCharset(const QByteArray &bytes, const QString &charset);

} // namespace VCardReader
