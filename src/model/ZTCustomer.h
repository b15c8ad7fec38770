#pragma once

#include "ZTPerson.h"

class ZTDocument;
class ZTPurchaser;
struct VCardContact;

// A contractor of the customer register ("Customer").
class ZTCustomer : public ZTPerson
{
public:
    static ZTCustomer *newCustomer(ManagedObjectContext &context);

    // ---- register and contacts
    // A new customer from a contact card: name from organisation and person, the work e-mail
    // and postal address (else the first), a NIP written in the note, the picture.
    static ZTCustomer *newCustomerFromContact(ManagedObjectContext &context, const VCardContact &contact);
    // The name given to a customer whose card names nobody.
    static QString missingNameText() { return QStringLiteral("(brak nazwy kontrahenta)"); }
    // What issuing keeps of a purchaser: name, address, NIP and recipient data, nothing else.
    void updateWithPurchaser(const ZTPurchaser &purchaser);

    // ---- pictures, in the folder "Customers" of the current company
    static QString customerPicturesPath();
    // A new file name there: "customer-logo_dd_MM_yy_HH_mm_ss_<milliseconds of the day>.png".
    static QString customerNewPictureFilePath();
    bool hasPicture() const { return !storedPicturePath().isEmpty(); }
    // The picture file's bytes; empty without a picture or when the file cannot be read.
    QByteArray picture() const;
    // Writes the image (any format the platform reads) as PNG into a new file and keeps its
    // path. Nothing happens for empty or unreadable image data; a failed write is ignored.
    void saveImage(const QByteArray &imageData);
    // The stored file name under the current company's "Customers" folder; empty without one.
    QString picturePath() const;
    void deletePicture();

    // ---- documents of the customer (any status, through the purchasers linked to it)
    QList<ZTDocument *> documents() const;
    QList<ZTDocument *> documentDrafts() const;
    qsizetype documentCount() const;
    // Sums over the documents in the default currency.
    Decimal documentsTotalNetValue() const;
    Decimal documentsTotalGrossValue() const;
    // The kind of each of the customer's documents, in the order of documents().
    QList<int> documentKinds() const;

    QString label() const { return stringAttribute(QStringLiteral("label")); }
    void setLabel(const QString &text) { setStringAttribute(QStringLiteral("label"), text); }
    QString email() const { return stringAttribute(QStringLiteral("email")); }
    void setEmail(const QString &text) { setStringAttribute(QStringLiteral("email"), text); }
    QString pesel() const { return stringAttribute(QStringLiteral("pesel")); }
    void setPesel(const QString &text) { setStringAttribute(QStringLiteral("pesel"), text); }
    QString recipient() const { return stringAttribute(QStringLiteral("recipient")); }
    void setRecipient(const QString &text) { setStringAttribute(QStringLiteral("recipient"), text); }
    QString recipientAddress() const { return stringAttribute(QStringLiteral("recipientAddress")); }
    void setRecipientAddress(const QString &text)
    {
        setStringAttribute(QStringLiteral("recipientAddress"), text);
    }
    // The stored value; picturePath() reads it back under the current company's folder.
    QString storedPicturePath() const { return stringAttribute(QStringLiteral("picturePath")); }
    void setPicturePath(const QString &text) { setStringAttribute(QStringLiteral("picturePath"), text); }
    std::optional<Decimal> defaultDiscount() const
    {
        return decimalAttribute(QStringLiteral("defaultDiscount"));
    }
    void setDefaultDiscount(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("defaultDiscount"), number);
    }
    std::optional<int> defaultDueDays() const { return intAttribute(QStringLiteral("defaultDueDays")); }
    void setDefaultDueDays(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("defaultDueDays"), number);
    }
    QString defaultPaymentType() const { return stringAttribute(QStringLiteral("defaultPaymentType")); }
    void setDefaultPaymentType(const QString &text)
    {
        setStringAttribute(QStringLiteral("defaultPaymentType"), text);
    }
    std::optional<int> defaultDocumentSecondLanguage() const
    {
        return intAttribute(QStringLiteral("defaultDocumentSecondLanguage"));
    }
    void setDefaultDocumentSecondLanguage(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("defaultDocumentSecondLanguage"), number);
    }
    QString defaultDocumentRemarks() const
    {
        return stringAttribute(QStringLiteral("defaultDocumentRemarks"));
    }
    void setDefaultDocumentRemarks(const QString &text)
    {
        setStringAttribute(QStringLiteral("defaultDocumentRemarks"), text);
    }

    // ---- checks (see ZTPartyValidation.cpp)
    // An empty NIP only warns; any other is taken as typed.
    bool validateNip(const QVariant &value, Error &error) const override;
    bool validateRecipientAddress(const QVariant &value, Error &error) const;
    const ZTPropertyChecks &propertyChecks() const override;
    // ---- end of checks
};
