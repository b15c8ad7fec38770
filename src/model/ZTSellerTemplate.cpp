#include "ZTSellerTemplate.h"

#include "ZTPartyManagers.h"
#include "ZTSeller.h"

#include "platform/ManagedObjectContext.h"
#include "platform/SettingsStore.h"

ZTSellerTemplate *ZTSellerTemplate::sellerTemplateWithDefaultSellerTemplate(ManagedObjectContext &context)
{
    ZTSellerTemplateManager templates([&context] { return &context; });
    const bool anyBefore = templates.hasSellerTemplates();
    auto *created = context.insertNewObject<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
    created->setTemplateName(anyBefore ? QStringLiteral("Alternatywne dane sprzedawcy")
                                       : QStringLiteral("Domyślne dane sprzedawcy"));
    created->setNip(SettingsStore::standard().stringValue(QStringLiteral("ZTSellerNip")));
    created->setOrder(int(templates.allTemplatesCount()));
    // Asked again after the insertion, so the very first template copies from itself.
    if (templates.hasSellerTemplates()) {
        const ZTSellerTemplate *source = templates.defaultSellerTemplate();
        // Read everything first: the source may be the new template itself.
        const QString name = source->name();
        const QString bankName = source->bankName();
        const QString bankSwift = source->bankSwift();
        const QString bankAccountNumber = source->bankAccountNumber();
        const QString issuesIn = source->issuesIn();
        const QString facsimilePath = source->facsimilePath();
        const QString logoPath = source->logoPath();
        const QString signature = source->signature();
        const QString address = source->address();
        const QString contactData = source->contactData();
        const QString regon = source->regon();
        const QString remarks = source->remarks();
        const bool cashBasisMethod = source->cashBasisMethod();
        const QString marginInvoiceProcedure = source->marginInvoiceProcedure();
        created->setName(name);
        created->setBankName(bankName);
        created->setBankSwift(bankSwift);
        created->setBankAccountNumber(bankAccountNumber);
        created->setIssuesIn(issuesIn);
        created->setFacsimilePath(facsimilePath);
        created->setLogoPath(logoPath);
        created->setSignature(signature);
        created->setAddress(address);
        created->setContactData(contactData);
        created->setRegon(regon);
        created->setRemarks(remarks);
        created->setCashBasisMethod(cashBasisMethod);
        created->setMarginInvoiceProcedure(marginInvoiceProcedure);
        created->setDefaultDocumentSecondLanguage(0);
    }
    return created;
}

QString ZTSellerTemplate::templateNameWithInfo() const
{
    QString text = templateName();
    const QString procedure = marginInvoiceProcedure();
    if (!procedure.isEmpty()) {
        const QString procedureName = ZTSeller::marginProcedures().key(procedure);
        if (!procedureName.isEmpty())
            text += QStringLiteral(" (%1)").arg(procedureName);
    }
    if (cashBasisMethod())
        text += QStringLiteral(" (Metoda Kasowa)");
    if (defaultDocumentSecondLanguage() == 1)
        text += QStringLiteral(" - szablon w jęz. angielskim");
    return text;
}
