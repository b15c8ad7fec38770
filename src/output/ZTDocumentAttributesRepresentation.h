#pragma once

#include "platform/Decimal.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

// The data side of a printed document: the document's values read once (the attributes), and
// the values a template prints (the template data), built from the attributes on first use.
//
// Values of the attributes: QString, bool, int, Decimal, QDateTime, QVariantMap, QVariantList
// of QVariantMap, or the null marker.
//
// Values of the template data: QString, bool, int, QVariantMap, QVariantList of QVariantMap, or
// the null marker. Every key is present; a missing value is the null marker, an invalid
// QVariant(), which the merge prints as empty text and treats as false.
//
// Every text of the template data is HTML source: texts typed by the user or read from a vCard
// are escaped ("<" becomes "&lt;" and so on) and then have their line feeds turned into
// "<br/>". Templates therefore insert texts without escaping them again ({{{key}}}).
class ZTDocumentAttributesRepresentation
{
public:
    ZTDocumentAttributesRepresentation();
    // The generic form: attributes and a template text given directly.
    ZTDocumentAttributesRepresentation(const QVariantMap &attributes, const QString &templateText);
    virtual ~ZTDocumentAttributesRepresentation();

    ZTDocumentAttributesRepresentation(const ZTDocumentAttributesRepresentation &) = delete;
    ZTDocumentAttributesRepresentation &operator=(const ZTDocumentAttributesRepresentation &) = delete;

    const QVariantMap &documentAttributes() const { return m_attributes; }
    // Replacing the attributes after the template data was built does not rebuild it.
    void setDocumentAttributes(const QVariantMap &attributes) { m_attributes = attributes; }

    // Built from the attributes on the first call and kept.
    const QVariantMap &templateData();
    bool templateDataPrepared() const { return m_templateDataPrepared; }

    // The template text of the generic form; empty otherwise.
    QString documentTemplate() const { return m_documentTemplate; }
    // Folder against which relative links of the merged HTML resolve; a path starting with ":/"
    // names a folder of the compiled-in resources.
    QString baseDirectory() const { return m_baseDirectory; }
    void setBaseDirectory(const QString &folder) { m_baseDirectory = folder; }

    // The value, or the null marker for none: an invalid QVariant, a null text, an invalid date
    // and the platform's null marker all become QVariant().
    static QVariant nullForNil(const QVariant &value);
    static bool isNull(const QVariant &value) { return !nullForNil(value).isValid(); }

    // ---- formatters; each gives the null marker for the null marker or for a value of
    // another kind
    // Money: "1 234,50", "-12,00"; two places, halves away from zero, no currency sign.
    static QVariant moneyStyle(const QVariant &decimal);
    static QString formatMoney(const Decimal &value);
    // Quantities: "2", "1,5", "1 000,125"; at most three places, no trailing zeros.
    static QVariant quantityStyle(const QVariant &decimal);
    static QString formatQuantity(const Decimal &value);
    // Discount fractions as Polish percentages: 0.05 gives "5%".
    static QVariant percentStyle(const QVariant &decimal);
    // "yyyy-MM-dd" in the local time zone.
    static QVariant dateStyle(const QVariant &date);

    // The amount in words: "<whole part in words> <cents>/100" in Polish, or in English when
    // asked for and the attribute secondLanguage is 1. None counts as zero.
    QString grandTotalSpelledOut(const std::optional<Decimal> &amount, bool inSecondLanguage) const;
    // The English texts at the position of the document's text in the current settings list;
    // "" without English as second language or when the text is not in the list.
    QString issueReasonInSecondLanguage() const;
    QString paymentTypeInSecondLanguage() const;
    // "ORYGINAŁ", "KOPIA" or "".
    QString versionLabel() const;
    // The kind's HTML identifier, or the null marker (logged) for an unknown kind.
    virtual QVariant documentKindAsHtmlId() const;

    // The text escaped as HTML, then every line feed turned into "<br/>"; carriage returns stay.
    // The null marker and an empty text come back unchanged.
    static QVariant changeNewLinesForHTMLBreaks(const QVariant &text);
    // <, >, &, " and ' as character references.
    static QString escapedHtml(const QString &text);

    // A sorted and formatted copy of summary rows: highest rate first, amounts as money,
    // isFirstItem on the first row only.
    static QVariantList prepareVatSummary(const QVariantList &rows);

protected:
    // Builds the template data from the attributes; runs once, from templateData().
    virtual void prepareDataForTemplate();
    QVariant preparePurchaser() const;
    QVariant prepareSeller() const;
    QVariant prepareDocumentItems() const;
    QVariant prepareFormerAdvanceItems() const;

    void setAttribute(const QString &key, const QVariant &value) { m_attributes.insert(key, nullForNil(value)); }
    static QVariant decimalValue(const std::optional<Decimal> &value);
    QVariant attribute(const QString &key) const { return nullForNil(m_attributes.value(key)); }

    QVariantMap m_attributes;
    QVariantMap m_templateData;

private:
    static QVariant formatRow(const QVariantMap &row);

    QString m_documentTemplate;
    QString m_baseDirectory;
    bool m_templateDataPrepared = false;
};
