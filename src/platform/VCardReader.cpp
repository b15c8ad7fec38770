#include "VCardReader.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <unicode/ucnv.h>

#include <memory>
#include <optional>

// The text is handled as bytes until a value is decoded: folding may split a multi-byte
// character, and a value's charset is only known from its own parameters.

namespace {

enum class Version { V21, V30, V40 };

struct PhysicalLine
{
    QByteArray bytes;
    int number = 0;
};

struct LogicalLine
{
    QByteArray bytes;
    int number = 0;
};

struct Property
{
    int line = 0;
    QString group; // lower-case
    QString name;  // upper-case
    QStringList types;
    QString encoding; // upper-case: "QUOTED-PRINTABLE", "B", "BASE64", ...
    QString charset;
    QString valueType; // upper-case VALUE parameter
    QByteArray rawValue;
};

struct CardText
{
    int number = 0;
    int beginLine = 0;
    QList<PhysicalLine> lines; // between BEGIN and END
    bool terminated = false;
};

QByteArray trimmedBytes(const QByteArray &bytes)
{
    return bytes.trimmed();
}

bool isBlank(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (c != ' ' && c != '\t')
            return false;
    }
    return true;
}

bool startsWithWhitespace(const QByteArray &bytes)
{
    return !bytes.isEmpty() && (bytes.at(0) == ' ' || bytes.at(0) == '\t');
}

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

// "[group.]NAME" followed by ';' or ':': the start of a property.
bool looksLikeProperty(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && isNameChar(bytes.at(i)))
        ++i;
    return i > 0 && i < bytes.size() && (bytes.at(i) == ':' || bytes.at(i) == ';');
}

// Line breaks are CRLF, LF or CR; a run of CRs before an LF is one break (some exports write
// CR CR LF).
QList<PhysicalLine> splitLines(const QByteArray &data)
{
    QList<PhysicalLine> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    int number = 1;
    if (data.startsWith("\xEF\xBB\xBF"))
        start = i = 3;
    while (i < data.size()) {
        const char c = data.at(i);
        if (c == '\n' || c == '\r') {
            lines.append({data.mid(start, i - start), number++});
            while (i < data.size() && data.at(i) == '\r')
                ++i;
            if (i < data.size() && data.at(i) == '\n' && c == '\r')
                ++i;
            else if (c == '\n')
                ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < data.size())
        lines.append({data.mid(start), number});
    return lines;
}

bool isMarker(const QByteArray &line, const char *marker)
{
    return trimmedBytes(line).compare(QByteArray(marker), Qt::CaseInsensitive) == 0;
}

// The index of the first ':' outside double quotes, -1 without one.
qsizetype headerEnd(const QByteArray &bytes)
{
    bool quoted = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return i;
    }
    return -1;
}

QList<QByteArray> splitOutsideQuotes(const QByteArray &bytes, char separator)
{
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            parts.append(bytes.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(bytes.mid(start));
    return parts;
}

// Caret escapes of parameter values: ^n line break, ^' double quote, ^^ caret.
QString decodeParameterValue(QByteArray bytes)
{
    bytes = bytes.trimmed();
    if (bytes.size() >= 2 && bytes.startsWith('"') && bytes.endsWith('"'))
        bytes = bytes.mid(1, bytes.size() - 2);
    QString text = QString::fromUtf8(bytes);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('^') && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (next == QLatin1Char('\'')) {
                out += QLatin1Char('"');
                ++i;
                continue;
            }
            if (next == QLatin1Char('^')) {
                out += QLatin1Char('^');
                ++i;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

bool isEncodingWord(const QString &upper)
{
    return upper == QStringLiteral("QUOTED-PRINTABLE") || upper == QStringLiteral("BASE64") ||
           upper == QStringLiteral("B") || upper == QStringLiteral("8BIT") || upper == QStringLiteral("7BIT");
}

struct Header
{
    QString group;
    QString name;
    QStringList types;
    QString encoding;
    QString charset;
    QString valueType;
};

Header parseHeader(const QByteArray &header)
{
    Header result;
    const QList<QByteArray> parts = splitOutsideQuotes(header, ';');
    QString fullName = QString::fromUtf8(parts.first()).trimmed();
    const qsizetype dot = fullName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        result.group = fullName.left(dot).toLower();
        fullName = fullName.mid(dot + 1);
    }
    result.name = fullName.toUpper();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray &parameter = parts.at(i);
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0) {
            // A bare 2.1 word: an encoding, or else a type.
            const QString word = QString::fromUtf8(parameter).trimmed();
            if (word.isEmpty())
                continue;
            if (isEncodingWord(word.toUpper()))
                result.encoding = word.toUpper();
            else
                result.types.append(word.toLower());
            continue;
        }
        const QString key = QString::fromUtf8(parameter.left(equals)).trimmed().toUpper();
        const QString value = decodeParameterValue(parameter.mid(equals + 1));
        if (key == QStringLiteral("TYPE")) {
            for (const QString &type : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString label = type.trimmed().toLower();
                if (!label.isEmpty() && !result.types.contains(label))
                    result.types.append(label);
            }
        } else if (key == QStringLiteral("PREF")) {
            if (!result.types.contains(QStringLiteral("pref")))
                result.types.append(QStringLiteral("pref"));
        } else if (key == QStringLiteral("ENCODING")) {
            result.encoding = value.trimmed().toUpper();
        } else if (key == QStringLiteral("CHARSET")) {
            result.charset = value.trimmed();
        } else if (key == QStringLiteral("VALUE")) {
            result.valueType = value.trimmed().toUpper();
        }
    }
    return result;
}

bool isQuotedPrintable(const QString &encoding)
{
    return encoding == QStringLiteral("QUOTED-PRINTABLE");
}

bool isBase64(const QString &encoding)
{
    return encoding == QStringLiteral("B") || encoding == QStringLiteral("BASE64");
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "=XX" becomes the byte; anything else stays as written.
QByteArray decodeQuotedPrintable(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '=' && i + 2 < bytes.size()) {
            const int high = hexValue(bytes.at(i + 1));
            const int low = hexValue(bytes.at(i + 2));
            if (high >= 0 && low >= 0) {
                out.append(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

bool isBase64Char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Base64 with white space anywhere and any amount of padding at the end (some phones write
// one "=" too many); other characters, or a length no encoder makes, are an error.
std::optional<QByteArray> decodeBase64(const QByteArray &bytes)
{
    QByteArray data;
    data.reserve(bytes.size());
    bool padding = false;
    for (char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c == '=') {
            padding = true;
            continue;
        }
        if (padding || !isBase64Char(c))
            return std::nullopt;
        data.append(c);
    }
    if (data.size() % 4 == 1)
        return std::nullopt;
    return QByteArray::fromBase64(data);
}

// Backslash escapes of 3.0 and 4.0 text: \n and \N are line breaks, any other escaped
// character stands for itself (\\ \; \, and the \: \" some exporters write). 2.1 knows only \;.
QString unescape(const QString &text, Version version)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (version == Version::V21) {
                if (next == QLatin1Char(';')) {
                    out += next;
                    ++i;
                    continue;
                }
            } else {
                out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// Components of a structured value, split at the separators that are not escaped.
QStringList splitComponents(const QString &text, Version version)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            current += c;
            current += text.at(i + 1);
            ++i;
        } else if (c == QLatin1Char(';')) {
            parts.append(unescape(current, version).trimmed());
            current.clear();
        } else {
            current += c;
        }
    }
    parts.append(unescape(current, version).trimmed());
    return parts;
}

QString component(const QStringList &parts, qsizetype index)
{
    return index < parts.size() ? parts.at(index) : QString();
}

QString normalizedLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// "_$!<Work>!$_" -> "work"; custom labels are lower-cased as they are.
QString normalizedLabel(const QString &label)
{
    QString text = label.trimmed();
    if (text.startsWith(QStringLiteral("_$!<")) && text.endsWith(QStringLiteral(">!$_")))
        text = text.mid(4, text.size() - 8);
    return text.toLower();
}

// "Name <address>" gives the address.
QString emailAddress(const QString &value)
{
    const qsizetype open = value.lastIndexOf(QLatin1Char('<'));
    const qsizetype close = value.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open + 1) {
        const QString inner = value.mid(open + 1, close - open - 1).trimmed();
        if (inner.contains(QLatin1Char('@')))
            return inner;
    }
    return value;
}

class CardParser
{
public:
    CardParser(const CardText &card, QList<VCardProblem> &problems)
        : m_card(card), m_problems(problems)
    {
    }

    VCardContact parse()
    {
        m_contact.cardNumber = m_card.number;
        m_contact.line = m_card.beginLine;
        detectVersion();
        QList<Property> properties;
        for (const LogicalLine &line : unfold())
            parseLine(line, properties);
        QHash<QString, QStringList> groupLabels;
        for (const Property &property : properties) {
            if (property.name == QStringLiteral("X-ABLABEL") && !property.group.isEmpty()) {
                const QString label = normalizedLabel(decodeText(property));
                if (!label.isEmpty())
                    groupLabels[property.group].append(label);
            }
        }
        for (Property property : properties) {
            if (!property.group.isEmpty()) {
                for (const QString &label : groupLabels.value(property.group)) {
                    if (!property.types.contains(label))
                        property.types.append(label);
                }
            }
            apply(property);
        }
        return m_contact;
    }

private:
    void problem(int line, const QString &message)
    {
        VCardProblem entry;
        entry.cardNumber = m_card.number;
        entry.line = line;
        entry.message = message;
        m_problems.append(entry);
    }

    void detectVersion()
    {
        for (const PhysicalLine &line : m_card.lines) {
            const QByteArray trimmed = trimmedBytes(line.bytes);
            if (!trimmed.toUpper().startsWith("VERSION:"))
                continue;
            const QByteArray value = trimmed.mid(8).trimmed();
            m_contact.version = QString::fromLatin1(value);
            if (value == "3.0") {
                m_version = Version::V30;
            } else if (value == "4.0") {
                m_version = Version::V40;
            } else if (value != "2.1") {
                problem(line.number, QStringLiteral("Nieznana wersja vCard „%1”; odczytano jak 3.0")
                                         .arg(m_contact.version));
                m_version = Version::V30;
            }
            return;
        }
        m_contact.version = QStringLiteral("2.1");
    }

    QList<LogicalLine> unfold()
    {
        QList<LogicalLine> logical;
        std::optional<LogicalLine> current;
        Header currentHeader;
        bool headerKnown = false;
        const auto finish = [&] {
            if (current)
                logical.append(*current);
            current.reset();
            headerKnown = false;
        };
        const auto learnHeader = [&] {
            if (headerKnown || !current)
                return;
            const qsizetype end = headerEnd(current->bytes);
            if (end < 0)
                return;
            currentHeader = parseHeader(current->bytes.left(end));
            headerKnown = true;
        };
        for (const PhysicalLine &line : m_card.lines) {
            if (current) {
                learnHeader();
                const bool qp = headerKnown && isQuotedPrintable(currentHeader.encoding);
                // Quoted-printable soft break: "=" at the end joins the next line as it is.
                if (qp && current->bytes.endsWith('=')) {
                    current->bytes.chop(1);
                    current->bytes.append(line.bytes);
                    continue;
                }
                if (startsWithWhitespace(line.bytes)) {
                    // 2.1 folds at white space and keeps it; 3.0 and 4.0 drop the one
                    // character that marks the fold.
                    current->bytes.append(m_version == Version::V21 ? line.bytes : line.bytes.mid(1));
                    continue;
                }
                if (m_version == Version::V21 && !line.bytes.isEmpty() && !looksLikeProperty(line.bytes)) {
                    // Older exports write base64 lines unindented, and some continue a value
                    // by a backslash at the end of the line.
                    if (headerKnown && isBase64(currentHeader.encoding) && !line.bytes.contains(':')) {
                        current->bytes.append(line.bytes);
                        continue;
                    }
                    if (current->bytes.endsWith('\\')) {
                        current->bytes.chop(1);
                        current->bytes.append('\n');
                        current->bytes.append(line.bytes);
                        continue;
                    }
                }
            }
            if (isBlank(line.bytes)) {
                finish();
                continue;
            }
            if (startsWithWhitespace(line.bytes)) {
                problem(line.number, QStringLiteral("Wiersz kontynuacji bez właściwości; pominięty"));
                continue;
            }
            finish();
            current = LogicalLine{line.bytes, line.number};
        }
        finish();
        return logical;
    }

    void parseLine(const LogicalLine &line, QList<Property> &properties)
    {
        const qsizetype end = headerEnd(line.bytes);
        if (end < 0) {
            problem(line.number, QStringLiteral("Wiersz „%1” nie ma dwukropka; pominięty")
                                     .arg(QString::fromUtf8(line.bytes.left(40)).trimmed()));
            return;
        }
        const Header header = parseHeader(line.bytes.left(end));
        if (header.name.isEmpty()) {
            problem(line.number, QStringLiteral("Wiersz bez nazwy właściwości; pominięty"));
            return;
        }
        Property property;
        property.line = line.number;
        property.group = header.group;
        property.name = header.name;
        property.types = header.types;
        property.encoding = header.encoding;
        property.charset = header.charset;
        property.valueType = header.valueType;
        property.rawValue = line.bytes.mid(end + 1);
        properties.append(property);
    }

    QByteArray valueBytes(const Property &property) const
    {
        return isQuotedPrintable(property.encoding) ? decodeQuotedPrintable(property.rawValue) : property.rawValue;
    }

    // The value as text before escapes are resolved.
    QString decodeText(const Property &property)
    {
        const QByteArray bytes = valueBytes(property);
        if (!property.charset.isEmpty()) {
            const QString decoded = VCardReader::decodeCharset(bytes, property.charset);
            if (!decoded.isNull()) {
                if (property.charset.compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) == 0)
                    reportInvalidUtf8(property, bytes);
                return normalizedLineBreaks(decoded);
            }
            problem(property.line, QStringLiteral("Nieznany zestaw znaków „%1” w %2; odczytano jako UTF-8")
                                       .arg(property.charset, property.name));
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(bytes);
        if (!utf8.hasError())
            return normalizedLineBreaks(text);
        if (!property.charset.isEmpty()) {
            reportInvalidUtf8(property, bytes);
            return normalizedLineBreaks(text);
        }
        // Text without a charset that is not UTF-8 comes from Polish legacy exports.
        problem(property.line, QStringLiteral("Tekst %1 bez CHARSET nie jest w UTF-8; odczytano jako windows-1250")
                                   .arg(property.name));
        return normalizedLineBreaks(VCardReader::decodeCharset(bytes, QStringLiteral("windows-1250")));
    }

    void reportInvalidUtf8(const Property &property, const QByteArray &bytes)
    {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(bytes);
        if (utf8.hasError())
            problem(property.line, QStringLiteral("Tekst %1 nie jest poprawnym UTF-8").arg(property.name));
    }

    QString text(const Property &property) { return unescape(decodeText(property), m_version).trimmed(); }

    QStringList components(const Property &property) { return splitComponents(decodeText(property), m_version); }

    void apply(const Property &property)
    {
        const QString &name = property.name;
        if (name == QStringLiteral("FN")) {
            if (m_contact.formattedName.isEmpty())
                m_contact.formattedName = text(property);
        } else if (name == QStringLiteral("N")) {
            if (m_nameSeen)
                return;
            m_nameSeen = true;
            const QStringList parts = components(property);
            m_contact.familyName = component(parts, 0);
            m_contact.givenName = component(parts, 1);
            m_contact.additionalNames = component(parts, 2);
            m_contact.namePrefix = component(parts, 3);
            m_contact.nameSuffix = component(parts, 4);
        } else if (name == QStringLiteral("ORG")) {
            const QStringList parts = components(property);
            if (!m_contact.organization.isEmpty() || component(parts, 0).isEmpty())
                return;
            m_contact.organization = parts.first();
            for (qsizetype i = 1; i < parts.size(); ++i) {
                if (!parts.at(i).isEmpty())
                    m_contact.organizationalUnits.append(parts.at(i));
            }
        } else if (name == QStringLiteral("EMAIL")) {
            const QString value = emailAddress(text(property));
            if (!value.isEmpty())
                m_contact.emails.append({value, property.types});
        } else if (name == QStringLiteral("TEL")) {
            QString value = text(property);
            if (value.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
                value = value.mid(4);
            if (!value.isEmpty())
                m_contact.phones.append({value, property.types});
        } else if (name == QStringLiteral("ADR")) {
            const QStringList parts = components(property);
            VCardPostalAddress address;
            address.labels = property.types;
            address.postOfficeBox = component(parts, 0);
            address.extendedAddress = component(parts, 1);
            address.street = component(parts, 2);
            address.city = component(parts, 3);
            address.region = component(parts, 4);
            address.postalCode = component(parts, 5);
            address.country = component(parts, 6);
            m_contact.addresses.append(address);
        } else if (name == QStringLiteral("NOTE")) {
            const QString value = text(property);
            if (value.isEmpty())
                return;
            if (!m_contact.note.isEmpty())
                m_contact.note += QLatin1Char('\n');
            m_contact.note += value;
        } else if (name == QStringLiteral("PHOTO")) {
            if (m_contact.imageData.isEmpty())
                readPhoto(property);
        }
    }

    void readPhoto(const Property &property)
    {
        if (isBase64(property.encoding)) {
            const std::optional<QByteArray> bytes = decodeBase64(property.rawValue);
            if (!bytes || bytes->isEmpty()) {
                problem(property.line, QStringLiteral("Zdjęcie nie jest poprawnym zapisem base64; pominięte"));
                return;
            }
            m_contact.imageData = *bytes;
            return;
        }
        const QString value = text(property);
        if (!value.startsWith(QStringLiteral("data:"), Qt::CaseInsensitive))
            return; // a picture named by an address is not fetched
        const qsizetype comma = value.indexOf(QLatin1Char(','));
        const QString meta = value.mid(5, comma - 5);
        if (comma < 0 || !meta.endsWith(QStringLiteral(";base64"), Qt::CaseInsensitive)) {
            problem(property.line, QStringLiteral("Zdjęcie w adresie data: bez base64; pominięte"));
            return;
        }
        const std::optional<QByteArray> bytes = decodeBase64(value.mid(comma + 1).toLatin1());
        if (!bytes || bytes->isEmpty()) {
            problem(property.line, QStringLiteral("Zdjęcie nie jest poprawnym zapisem base64; pominięte"));
            return;
        }
        m_contact.imageData = *bytes;
    }

    const CardText &m_card;
    QList<VCardProblem> &m_problems;
    VCardContact m_contact;
    Version m_version = Version::V21;
    bool m_nameSeen = false;
};

QList<CardText> splitCards(const QList<PhysicalLine> &lines, QList<VCardProblem> &problems)
{
    QList<CardText> cards;
    std::optional<CardText> current;
    bool outsideReported = false;
    for (const PhysicalLine &line : lines) {
        if (isMarker(line.bytes, "BEGIN:VCARD")) {
            if (current)
                cards.append(*current); // not terminated; reported when it is parsed
            current = CardText{int(cards.size()) + 1, line.number, {}, false};
            outsideReported = false;
            continue;
        }
        if (current) {
            if (isMarker(line.bytes, "END:VCARD")) {
                current->terminated = true;
                cards.append(*current);
                current.reset();
            } else {
                current->lines.append(line);
            }
            continue;
        }
        if (isBlank(line.bytes) || outsideReported)
            continue;
        VCardProblem entry;
        entry.line = line.number;
        entry.message = QStringLiteral("Tekst poza kartą vCard; pominięty");
        problems.append(entry);
        outsideReported = true;
    }
    if (current)
        cards.append(*current);
    return cards;
}

} // namespace

QString VCardContact::displayName() const
{
    if (!formattedName.isEmpty())
        return formattedName;
    const QString name = QStringList{givenName, familyName}.join(QLatin1Char(' ')).trimmed();
    if (!name.isEmpty())
        return name;
    return organization;
}

QString VCardProblem::describe() const
{
    QString where;
    if (cardNumber > 0) {
        where = cardName.isEmpty() ? QStringLiteral("karta %1").arg(cardNumber)
                                   : QStringLiteral("karta %1 (%2)").arg(cardNumber).arg(cardName);
    }
    if (line > 0)
        where += (where.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("wiersz %1").arg(line);
    return where.isEmpty() ? message : where + QStringLiteral(": ") + message;
}

namespace VCardReader {

VCardReadResult read(const QByteArray &data)
{
    VCardReadResult result;
    const QList<CardText> cards = splitCards(splitLines(data), result.problems);
    for (const CardText &card : cards) {
        const qsizetype firstProblem = result.problems.size();
        const VCardContact contact = CardParser(card, result.problems).parse();
        if (!card.terminated) {
            VCardProblem entry;
            entry.cardNumber = card.number;
            entry.line = card.beginLine;
            entry.message = QStringLiteral("Karta bez END:VCARD; pominięta");
            entry.cardSkipped = true;
            result.problems.append(entry);
        }
        const QString name = contact.displayName();
        for (qsizetype i = firstProblem; i < result.problems.size(); ++i)
            result.problems[i].cardName = name;
        if (card.terminated)
            result.contacts.append(contact);
    }
    if (cards.isEmpty()) {
        VCardProblem entry;
        entry.message = QStringLiteral("Brak kart vCard");
        result.problems.append(entry);
    }
    return result;
}

VCardReadResult readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        VCardReadResult result;
        VCardProblem entry;
        entry.message = QStringLiteral("Nie można otworzyć pliku %1: %2").arg(path, file.errorString());
        result.problems.append(entry);
        return result;
    }
    return read(file.readAll());
}

QString decodeCharset(const QByteArray &bytes, const QString &charset)
{
    const QString name = charset.trimmed().toLower();
    if (name == QStringLiteral("utf-8") || name == QStringLiteral("utf8")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8(bytes);
        return text.isNull() ? QStringLiteral("") : text;
    }
    if (name == QStringLiteral("iso-8859-1") || name == QStringLiteral("latin1") ||
        name == QStringLiteral("us-ascii") || name == QStringLiteral("ascii")) {
        QString text = QString::fromLatin1(bytes);
        return text.isNull() ? QStringLiteral("") : text;
    }
    // Everything else through ICU's converters, which know the legacy code pages by their
    // registered names and aliases.
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray icuName = charset.trimmed().toLatin1();
    std::unique_ptr<UConverter, void (*)(UConverter *)> converter(ucnv_open(icuName.constData(), &status),
                                                                  ucnv_close);
    if (U_FAILURE(status) || !converter)
        return QString();
    if (bytes.isEmpty())
        return QStringLiteral("");
    QString text(bytes.size() * 2 + 1, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar *>(text.data()), int32_t(text.size()),
                      bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return QString();
    text.truncate(length);
    return text;
}

} // namespace VCardReader
