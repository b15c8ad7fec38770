#pragma once

#include "ZTManagedObject.h"

class ZTDocument;

// One line of the settlement of a margin invoice ("SettlementItem").
class ZTSettlementItem : public ZTManagedObject
{
public:
    // A new line of the document's settlement, numbered after the lines it has.
    static ZTSettlementItem *newItemForDocument(ZTDocument *document);
    // Order by position, ascending: -1, 0 or 1.
    int comparePositions(const ZTSettlementItem *other) const;

    QString name() const { return stringAttribute(QStringLiteral("name")); }
    void setName(const QString &text) { setStringAttribute(QStringLiteral("name"), text); }
    QString itemDescription() const { return stringAttribute(QStringLiteral("itemDescription")); }
    void setItemDescription(const QString &text)
    {
        setStringAttribute(QStringLiteral("itemDescription"), text);
    }
    QString purchaseInvoice() const { return stringAttribute(QStringLiteral("purchaseInvoice")); }
    void setPurchaseInvoice(const QString &text)
    {
        setStringAttribute(QStringLiteral("purchaseInvoice"), text);
    }
    std::optional<Decimal> grossValue() const { return decimalAttribute(QStringLiteral("grossValue")); }
    void setGrossValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("grossValue"), number);
    }
    std::optional<int> position() const { return intAttribute(QStringLiteral("position")); }
    void setPosition(std::optional<int> number) { setIntAttribute(QStringLiteral("position"), number); }

    ZTDocument *document() const;
    void setDocument(ZTDocument *object);

    // No flag of its own: the document's (false without a document). Setting it does nothing.
    bool validationPreventsSave() const override;
    void setValidationPreventsSave(bool) override {}

    QStringList propertiesToSnapshot() const override;

    // ---- checks
    bool validateName(const QVariant &value, Error &error) const;
    bool validatePurchaseInvoice(const QVariant &value, Error &error) const;
    bool validatePosition(const QVariant &value, Error &error) const;
    const ZTPropertyChecks &propertyChecks() const override;

    void awakeFromInsert() override;
};
