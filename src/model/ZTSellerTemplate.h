#pragma once

#include "ZTSellerData.h"

// One set of the user's own seller data ("SellerTemplate").
class ZTSellerTemplate : public ZTSellerData
{
public:
    // A new template for the seller pane: "Domyślne dane sprzedawcy" when it is the first,
    // else "Alternatywne dane sprzedawcy" filled from the default template; the company's NIP,
    // placed last.
    static ZTSellerTemplate *sellerTemplateWithDefaultSellerTemplate(ManagedObjectContext &context);
    // The name with the margin procedure, " (Metoda Kasowa)" and the English-template note.
    QString templateNameWithInfo() const;

    QString templateName() const { return stringAttribute(QStringLiteral("templateName")); }
    void setTemplateName(const QString &text) { setStringAttribute(QStringLiteral("templateName"), text); }
    std::optional<int> order() const { return intAttribute(QStringLiteral("order")); }
    void setOrder(std::optional<int> number) { setIntAttribute(QStringLiteral("order"), number); }
    std::optional<int> defaultDocumentSecondLanguage() const
    {
        return intAttribute(QStringLiteral("defaultDocumentSecondLanguage"));
    }
    void setDefaultDocumentSecondLanguage(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("defaultDocumentSecondLanguage"), number);
    }
};
