#include "ZTDocumentAttributesRepresentation.h"

#include "app/ZTFactoryDefaults.h"
#include "model/ZTDocument.h"
#include "platform/LocaleInfo.h"
#include "platform/SettingsStore.h"
#include "platform/ZTExtensions.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>

namespace {

const QString kPolishLocale = QStringLiteral("pl_PL");

bool isDecimal(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<Decimal>();
}

// Digits of a plain number text ("-1234.5") grouped by three with spaces and a decimal comma.
QString polishNumberText(const QString &plain)
{
    QString text = plain;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, QLatin1Char(' '));
    QString result = negative ? QStringLiteral("-") : QString();
    result += whole;
    if (!fraction.isEmpty())
        result += QLatin1Char(',') + fraction;
    return result;
}

// A copied value as the template sees it: texts escaped, decimals as plain text, dates as dates
// of the date style, the rest as it is.
QVariant copied(const QVariant &raw)
{
    const QVariant value = ZTDocumentAttributesRepresentation::nullForNil(raw);
    if (!value.isValid())
        return value;
    if (value.metaType() == QMetaType::fromType<QString>())
        return ZTDocumentAttributesRepresentation::escapedHtml(value.toString());
    if (isDecimal(value))
        return value.value<Decimal>().toString();
    if (value.metaType() == QMetaType::fromType<QDateTime>())
        return ZTDocumentAttributesRepresentation::dateStyle(value);
    return value;
}

// The English factory settings, read once: the translations of the settings lists.
const QVariantMap &englishFactoryDefaults()
{
    static const QVariantMap defaults = readFactoryDefaults(factoryDefaultsPath(QStringLiteral("en")));
    return defaults;
}

bool isTrue(const QVariant &value)
{
    return value.isValid() && value.toBool();
}

// Money keys of rows (document lines, settlement lines, summaries).
const QStringList &rowMoneyKeys()
{
    static const QStringList keys = {QStringLiteral("netPrice"),  QStringLiteral("grossPrice"),
                                     QStringLiteral("netValue"),  QStringLiteral("vatValue"),
                                     QStringLiteral("grossValue"), QStringLiteral("discountedNetPrice")};
    return keys;
}

} // namespace

ZTDocumentAttributesRepresentation::ZTDocumentAttributesRepresentation()
    : m_baseDirectory(QDir::tempPath())
{
}

ZTDocumentAttributesRepresentation::ZTDocumentAttributesRepresentation(const QVariantMap &attributes,
                                                                       const QString &templateText)
    : m_attributes(attributes), m_documentTemplate(templateText), m_baseDirectory(QDir::tempPath())
{
}

ZTDocumentAttributesRepresentation::~ZTDocumentAttributesRepresentation() = default;

const QVariantMap &ZTDocumentAttributesRepresentation::templateData()
{
    if (!m_templateDataPrepared) {
        m_templateDataPrepared = true;
        prepareDataForTemplate();
    }
    return m_templateData;
}

QVariant ZTDocumentAttributesRepresentation::nullForNil(const QVariant &value)
{
    const QVariant checked = ::nullForNil(value);
    return isNullMarker(checked) ? QVariant() : checked;
}

QVariant ZTDocumentAttributesRepresentation::decimalValue(const std::optional<Decimal> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

// ---------------------------------------------------------------- formatters

QString ZTDocumentAttributesRepresentation::formatMoney(const Decimal &value)
{
    const Decimal amount = value.rounded(Rounding::money());
    // A value that rounds to zero prints without a sign.
    return polishNumberText(amount.isZero() ? QStringLiteral("0.00") : amount.toString(2));
}

QString ZTDocumentAttributesRepresentation::formatQuantity(const Decimal &value)
{
    return polishNumberText(value.rounded(3).normalized().toString());
}

QVariant ZTDocumentAttributesRepresentation::moneyStyle(const QVariant &decimal)
{
    return isDecimal(decimal) ? QVariant(formatMoney(decimal.value<Decimal>())) : QVariant();
}

QVariant ZTDocumentAttributesRepresentation::quantityStyle(const QVariant &decimal)
{
    return isDecimal(decimal) ? QVariant(formatQuantity(decimal.value<Decimal>())) : QVariant();
}

QVariant ZTDocumentAttributesRepresentation::percentStyle(const QVariant &decimal)
{
    if (!isDecimal(decimal))
        return QVariant();
    // ICU may separate the sign with a no-break space; the printed form keeps the plain one.
    QString text = LocaleInfo::formatPercent(decimal.value<Decimal>(), 10, kPolishLocale);
    text.replace(QChar(0x00A0), QLatin1Char(' ')).replace(QChar(0x202F), QLatin1Char(' '));
    return text;
}

QVariant ZTDocumentAttributesRepresentation::dateStyle(const QVariant &date)
{
    if (date.metaType() != QMetaType::fromType<QDateTime>() || !date.toDateTime().isValid())
        return QVariant();
    return date.toDateTime().toLocalTime().toString(QStringLiteral("yyyy-MM-dd"));
}

// ---------------------------------------------------------------- texts

QString ZTDocumentAttributesRepresentation::escapedHtml(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '<':
            escaped += QStringLiteral("&lt;");
            break;
        case '>':
            escaped += QStringLiteral("&gt;");
            break;
        case '&':
            escaped += QStringLiteral("&amp;");
            break;
        case '"':
            escaped += QStringLiteral("&quot;");
            break;
        case '\'':
            escaped += QStringLiteral("&#39;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QVariant ZTDocumentAttributesRepresentation::changeNewLinesForHTMLBreaks(const QVariant &text)
{
    const QVariant value = nullForNil(text);
    if (!value.isValid() || value.metaType() != QMetaType::fromType<QString>())
        return value;
    const QString plain = value.toString();
    if (plain.isEmpty())
        return value;
    // Escaping first keeps user text from becoming markup; the breaks are the only HTML added.
    return escapedHtml(plain).replace(QLatin1Char('\n'), QStringLiteral("<br/>"));
}

QString ZTDocumentAttributesRepresentation::grandTotalSpelledOut(const std::optional<Decimal> &amount,
                                                                 bool inSecondLanguage) const
{
    // The words must agree with the printed total, which is rounded to two places.
    const Decimal value = amount.value_or(Decimal(0)).rounded(Rounding::money());
    const long long whole = value.toLongLong();
    const long long cents = (value - Decimal(whole)).scaledByPowerOf10(2).toLongLong();
    const bool english = inSecondLanguage && attribute(QStringLiteral("secondLanguage")).toInt() == 1;
    const QString words = LocaleInfo::spellOut(whole, english ? QStringLiteral("en_US") : kPolishLocale);
    return QStringLiteral("%1 %2/100").arg(words, QString::number(cents));
}

namespace {

QString englishTextAtPositionOf(const QString &text, const QString &settingsKey, const QVariant &secondLanguage)
{
    if (!secondLanguage.isValid() || secondLanguage.toInt() != 1)
        return QStringLiteral("");
    const qsizetype position = SettingsStore::standard().stringArrayValue(settingsKey).indexOf(text);
    if (text.isNull() || position < 0)
        return QStringLiteral("");
    const QVariantList english = englishFactoryDefaults().value(settingsKey).toList();
    return position < english.size() ? english.at(position).toString() : QStringLiteral("");
}

} // namespace

QString ZTDocumentAttributesRepresentation::issueReasonInSecondLanguage() const
{
    return englishTextAtPositionOf(attribute(QStringLiteral("issueReason")).toString(),
                                   QStringLiteral("ZTCorrectiveInvoiceIssueReasons"),
                                   attribute(QStringLiteral("secondLanguage")));
}

QString ZTDocumentAttributesRepresentation::paymentTypeInSecondLanguage() const
{
    return englishTextAtPositionOf(attribute(QStringLiteral("paymentType")).toString(),
                                   QStringLiteral("ZTPaymentMethods"), attribute(QStringLiteral("secondLanguage")));
}

QString ZTDocumentAttributesRepresentation::versionLabel() const
{
    const bool shown = isTrue(attribute(QStringLiteral("isPre2013Document"))) ||
                       SettingsStore::standard().boolValue(QStringLiteral("ZTShowOriginalAndCopyOnPrints"));
    if (!shown)
        return QStringLiteral("");
    const QVariant version = attribute(QStringLiteral("documentVersion"));
    switch (version.isValid() ? version.toInt() : 0) {
    case 2:
    case 3:
        return QStringLiteral("ORYGINAŁ");
    case 1:
        return QStringLiteral("KOPIA");
    default:
        return QStringLiteral("");
    }
}

QVariant ZTDocumentAttributesRepresentation::documentKindAsHtmlId() const
{
    const int kind = attribute(QStringLiteral("documentKind")).toInt();
    switch (kind) {
    case ZTDocument::kKindInvoice:
        return QStringLiteral("documentKindRegularVatInvoice");
    case ZTDocument::kKindProForma:
        return QStringLiteral("documentKindProFormaInvoice");
    case ZTDocument::kKindCorrectiveInvoice:
        return QStringLiteral("documentKindCorrectiveInvoice");
    case ZTDocument::kKindBill:
        return QStringLiteral("documentKindBill");
    case ZTDocument::kKindAdvanceInvoice:
        return QStringLiteral("documentKindAdvanceInvoice");
    case ZTDocument::kKindMarginInvoice:
        return QStringLiteral("documentKindMarginInvoice");
    case ZTDocument::kKindSimplifiedInvoice:
        return QStringLiteral("documentKindSimplifiedInvoice");
    default:
        ZTLOG(QStringLiteral("unknown kind value? %1").arg(kind));
        return QVariant();
    }
}

// ---------------------------------------------------------------- the template data

QVariant ZTDocumentAttributesRepresentation::formatRow(const QVariantMap &row)
{
    QVariantMap formatted;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        const QString &key = it.key();
        if (rowMoneyKeys().contains(key))
            formatted.insert(key, moneyStyle(it.value()));
        else if (key == QStringLiteral("quantity"))
            formatted.insert(key, quantityStyle(it.value()));
        else if (key == QStringLiteral("discountRate"))
            formatted.insert(key, percentStyle(it.value()));
        else
            formatted.insert(key, copied(it.value()));
    }
    return formatted;
}

QVariantList ZTDocumentAttributesRepresentation::prepareVatSummary(const QVariantList &rows)
{
    QVariantList sorted = rows;
    const auto rateOf = [](const QVariant &row) {
        const QVariant rate = row.toMap().value(QStringLiteral("ratePercent"));
        return isDecimal(rate) ? rate.value<Decimal>() : Decimal(0);
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const QVariant &a, const QVariant &b) { return rateOf(a) > rateOf(b); });
    QVariantList formatted;
    for (const QVariant &row : sorted) {
        QVariantMap map = formatRow(row.toMap()).toMap();
        map.insert(QStringLiteral("isFirstItem"), formatted.isEmpty());
        formatted.append(map);
    }
    return formatted;
}

QVariant ZTDocumentAttributesRepresentation::preparePurchaser() const
{
    const QVariant purchaser = attribute(QStringLiteral("purchaser"));
    if (!purchaser.isValid())
        return purchaser;
    static const QStringList multiLine = {QStringLiteral("address"), QStringLiteral("recipientAddress"),
                                          QStringLiteral("purchaserContactData")};
    QVariantMap result;
    const QVariantMap source = purchaser.toMap();
    for (auto it = source.cbegin(); it != source.cend(); ++it)
        result.insert(it.key(), multiLine.contains(it.key()) ? changeNewLinesForHTMLBreaks(it.value()) : copied(it.value()));
    return result;
}

QVariant ZTDocumentAttributesRepresentation::prepareSeller() const
{
    const QVariant seller = attribute(QStringLiteral("seller"));
    if (!seller.isValid())
        return seller;
    static const QStringList multiLine = {QStringLiteral("address"), QStringLiteral("sellerContactData")};
    QVariantMap result;
    const QVariantMap source = seller.toMap();
    for (auto it = source.cbegin(); it != source.cend(); ++it)
        result.insert(it.key(), multiLine.contains(it.key()) ? changeNewLinesForHTMLBreaks(it.value()) : copied(it.value()));
    // Without a seller the dictionary has no NIP and no SWIFT code; they read as null.
    result.insert(QStringLiteral("nip"), copied(source.value(QStringLiteral("nip"))));
    result.insert(QStringLiteral("bankSwift"), copied(source.value(QStringLiteral("bankSwift"))));
    return result;
}

QVariant ZTDocumentAttributesRepresentation::prepareDocumentItems() const
{
    const QVariant items = attribute(QStringLiteral("items"));
    if (!items.isValid())
        return items;
    QVariantList rows;
    for (const QVariant &row : items.toList())
        rows.append(formatRow(row.toMap()));
    return rows;
}

QVariant ZTDocumentAttributesRepresentation::prepareFormerAdvanceItems() const
{
    const QVariant advances = attribute(QStringLiteral("formerAdvancesItems"));
    if (!advances.isValid())
        return advances;
    QVariantList rows;
    for (const QVariant &row : advances.toList()) {
        const QVariantMap source = row.toMap();
        QVariantMap formatted;
        formatted.insert(QStringLiteral("formerAdvanceDocumentID"),
                         copied(source.value(QStringLiteral("formerAdvanceDocumentID"))));
        formatted.insert(QStringLiteral("formerAdvanceIssueDate"),
                         dateStyle(source.value(QStringLiteral("formerAdvanceIssueDate"))));
        rows.append(formatted);
    }
    return rows;
}

void ZTDocumentAttributesRepresentation::prepareDataForTemplate()
{
    QVariantMap &data = m_templateData;
    const SettingsStore &settings = SettingsStore::standard();

    static const QStringList copiedKeys = {
        QStringLiteral("hasSecondLanguage"),
        QStringLiteral("secondLanguage"),
        QStringLiteral("totalGrossValueSpelledOut"),
        QStringLiteral("totalGrossValueSpelledOutSecondLanguage"),
        QStringLiteral("grossCorrectiveDifferenceSpelledOut"),
        QStringLiteral("grossCorrectiveDifferenceSpelledOutSecondLanguage"),
        QStringLiteral("documentStatus"),
        QStringLiteral("marginInvoiceProcedure"),
        QStringLiteral("marginInvoiceProcedureSecondLanguage"),
        QStringLiteral("documentID"),
        QStringLiteral("formattedDocumentKind"),
        QStringLiteral("formattedDocumentKindSecondLanguage"),
        QStringLiteral("documentVersion"),
        QStringLiteral("displayPkwiu"),
        QStringLiteral("displayDiscount"),
        QStringLiteral("displayRecipientAddress"),
        QStringLiteral("hasFormerAdvances"),
        QStringLiteral("issuedIn"),
        QStringLiteral("issueReason"),
        QStringLiteral("issueReasonSecondLanguage"),
        QStringLiteral("originalDocumentID"),
        QStringLiteral("paymentType"),
        QStringLiteral("paymentTypeSecondLanguage"),
        QStringLiteral("showAdvancePayment"),
        // Carried so that a document's "hide account data" option reaches the page.
        QStringLiteral("displaySellerBankName"),
        QStringLiteral("displaySellerBankAccountDetails"),
        QStringLiteral("displaySellerBankSwift"),
        QStringLiteral("draftDocument"),
        QStringLiteral("duplicateDocument"),
        QStringLiteral("greenTemplate"),
        QStringLiteral("isPre2013Document"),
        QStringLiteral("currencySymbol"),
        QStringLiteral("currencyCode"),
        QStringLiteral("displayPurchaserRecipient"),
        QStringLiteral("displaySellerSignature"),
        QStringLiteral("displaySellerLogo"),
        QStringLiteral("displaySellerFacsimile"),
        QStringLiteral("marginDocumentVatRate"),
        // The kind tests, so that a shared part of the templates can tell the kinds apart.
        QStringLiteral("isCorrectiveInvoice"),
        QStringLiteral("isBill"),
        QStringLiteral("isProformaInvoice"),
        QStringLiteral("isAdvanceInvoice"),
        QStringLiteral("isFinalInvoice"),
        QStringLiteral("isMarginInvoice"),
        QStringLiteral("isSimplifiedInvoice"),
    };
    static const QStringList moneyKeys = {
        QStringLiteral("totalGrossValue"),
        QStringLiteral("grossCorrectiveDifference"),
        QStringLiteral("originalTotalGrossValue"),
        QStringLiteral("originalTotalNetValue"),
        QStringLiteral("originalTotalVatValue"),
        QStringLiteral("netCorrectiveDifference"),
        QStringLiteral("vatCorrectiveDifference"),
        QStringLiteral("totalNetValue"),
        QStringLiteral("totalVatValue"),
        QStringLiteral("advancePaymentValue"),
        QStringLiteral("formerAdvanceDocumentsTotalGrossValue"),
        QStringLiteral("totalMarginGrossValue"),
        QStringLiteral("totalMarginProfitValue"),
        QStringLiteral("totalMarginVatValue"),
    };
    static const QStringList dateKeys = {
        QStringLiteral("issueDate"),
        QStringLiteral("originalIssueDate"),
        QStringLiteral("originalSellDate"),
        QStringLiteral("duplicateIssueDate"),
    };

    for (const QString &key : copiedKeys)
        data.insert(key, copied(m_attributes.value(key)));
    for (const QString &key : moneyKeys)
        data.insert(key, moneyStyle(m_attributes.value(key)));
    for (const QString &key : dateKeys)
        data.insert(key, dateStyle(m_attributes.value(key)));

    const QVariant sellDate = m_attributes.value(QStringLiteral("sellDate"));
    if (isTrue(attribute(QStringLiteral("shortSellDate"))) && dateStyle(sellDate).isValid())
        data.insert(QStringLiteral("sellDate"), sellDate.toDateTime().toLocalTime().toString(QStringLiteral("yyyy-MM")));
    else
        data.insert(QStringLiteral("sellDate"), dateStyle(sellDate));

    if (settings.boolValue(QStringLiteral("ZTDueDateAsContracted")))
        data.insert(QStringLiteral("dueDate"), QStringLiteral("Zgodnie z umową"));
    else
        data.insert(QStringLiteral("dueDate"), dateStyle(m_attributes.value(QStringLiteral("dueDate"))));

    data.insert(QStringLiteral("remarks"), changeNewLinesForHTMLBreaks(m_attributes.value(QStringLiteral("remarks"))));

    static const QRegularExpression paidPattern(QStringLiteral("Zapłacono.*"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QString paymentType = attribute(QStringLiteral("paymentType")).toString();
    data.insert(QStringLiteral("paymentReceived"),
                settings.boolValue(QStringLiteral("ZTPaymentZeroValueWhenAlreadyPaid")) &&
                    paidPattern.match(paymentType).hasMatch());

    data.insert(QStringLiteral("documentVersionLabel"), versionLabel());
    data.insert(QStringLiteral("documentKindCode"), documentKindAsHtmlId());

    data.insert(QStringLiteral("purchaser"), preparePurchaser());
    data.insert(QStringLiteral("seller"), prepareSeller());
    data.insert(QStringLiteral("items"), prepareDocumentItems());
    data.insert(QStringLiteral("formerAdvancesItems"), prepareFormerAdvanceItems());

    const auto summary = [this](const QString &key) {
        const QVariant rows = attribute(key);
        return rows.isValid() ? QVariant(prepareVatSummary(rows.toList())) : QVariant();
    };
    data.insert(QStringLiteral("vatSummaries"), summary(QStringLiteral("vatSummaries")));
    const bool corrective = isTrue(attribute(QStringLiteral("isCorrectiveInvoice")));
    data.insert(QStringLiteral("originalVatSummaries"),
                corrective ? summary(QStringLiteral("originalVatSummaries")) : QVariant());
    data.insert(QStringLiteral("correctiveDifferenceVatSummaries"),
                corrective ? summary(QStringLiteral("correctiveDifferenceVatSummaries")) : QVariant());
}
