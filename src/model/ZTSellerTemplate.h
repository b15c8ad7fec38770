#pragma once

#include "ZTSellerData.h"

// One set of the user's own seller data ("SellerTemplate").
class ZTSellerTemplate : public ZTSellerData
{
public:
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
