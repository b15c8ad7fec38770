#pragma once

#include <QString>
#include <QList>
#include <QPair>
#include <QVariantMap>

// Where the template text of a representation comes from: the fourteen built-in templates
// (chosen from the document attributes), the user's custom templates (one HTML file per kind
// in the custom templates folder, used only while all seven exist and are not empty) and the
// settlement sheet.
class ZTTemplateLibrary
{
public:
    static const QString kCustomTemplatesEnabledKey; // "ZTCustomTemplatesEnabled"

    // The kinds that need a custom template, in the order they are checked.
    static QList<int> customTemplateKinds(); // 1, 2, 4, 16, 32, 64, 128

    // True when every one of the seven custom template files exists and is not empty.
    static bool areCustomTemplatesValid();

    // True when the setting is on and the custom templates are valid.
    static bool useCustomTemplates();

    // The built-in template's resource name ("docInvoice", "docBillBilingual", ...) for the
    // document attributes: the first true kind test wins (corrective, bill, advance,
    // pro forma, margin, simplified), else the VAT invoice; "Bilingual" with a second language.
    static QString builtInTemplateName(const QVariantMap &documentAttributes);
    static QString builtInTemplateText(const QString &name); // "" when there is none
    // A built-in template resource deciphered ("" when missing or damaged), and the shared
    // pieces of the built-in templates by name ("ztStart", ...).
    static QString builtInText(const QString &resourcePath);
    static QList<QPair<QString, QString>> builtInPartials();

    // The template text for a document: its kind's custom file when custom templates are in
    // use (an unreadable file gives ""), else the built-in template for its attributes.
    static QString documentTemplateText(const QVariantMap &documentAttributes);

    // The settlement sheet of a margin invoice.
    static QString settlementsTemplateText();

    // Relative links of document templates resolve against the custom templates folder;
    // the settlement sheet's against the built-in resources.
    static QString documentBaseDirectory();
    static QString settlementsBaseDirectory(); // ":/templates"
};
