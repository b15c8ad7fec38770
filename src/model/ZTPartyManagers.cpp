#include "ZTPartyManagers.h"

#include "ZTCustomer.h"
#include "ZTSeller.h"
#include "ZTSellerTemplate.h"

#include "platform/ManagedObjectContext.h"
#include "platform/ZTLog.h"

namespace {
const QString kName = QStringLiteral("name");
const QString kOrder = QStringLiteral("order");
const QString kMarginProcedure = QStringLiteral("marginInvoiceProcedure");

bool isFilled(const ManagedObject *o, const QString &key)
{
    return !o->value(key).toString().isEmpty();
}
} // namespace

ZTCustomerManager::ZTCustomerManager(ContextProvider context)
    : ZTEntityManager(std::move(context), QStringLiteral("Customer"))
{
}

ZTCustomer *ZTCustomerManager::findWithName(const QString &name) const
{
    const auto found =
        findAllWithPredicate(Predicate::like(kName, name, MatchCaseInsensitive | MatchDiacriticInsensitive));
    return found.isEmpty() ? nullptr : dynamic_cast<ZTCustomer *>(found.first());
}

QList<ZTCustomer *> ZTCustomerManager::findWithNameMatching(const QString &text) const
{
    return as<ZTCustomer>(
        findAllWithPredicate(Predicate::contains(kName, text, MatchCaseInsensitive | MatchDiacriticInsensitive)));
}

ZTPurchaserManager::ZTPurchaserManager(ContextProvider context)
    : ZTEntityManager(std::move(context), QStringLiteral("Purchaser"))
{
}

ZTSellerTemplateManager::ZTSellerTemplateManager(ContextProvider context)
    : ZTEntityManager(std::move(context), QStringLiteral("SellerTemplate"))
{
}

bool ZTSellerTemplateManager::hasSellerTemplates() const
{
    return allTemplatesCount() > 0;
}

qsizetype ZTSellerTemplateManager::allTemplatesCount() const
{
    return countWithPredicate(Predicate::truePredicate());
}

QList<ZTSellerTemplate *> ZTSellerTemplateManager::findAllOrdered() const
{
    return as<ZTSellerTemplate>(findAllWithPredicate(Predicate::truePredicate(), SortDescriptor{kOrder, true}));
}

ZTSellerTemplate *ZTSellerTemplateManager::defaultSellerTemplate() const
{
    ZT_ASSERT_TEXT(hasSellerTemplates(), "[self hasSellerTemplates]");
    return findAllOrdered().first();
}

QList<ZTSellerTemplate *> ZTSellerTemplateManager::findAllWithMarginProcedureInfo() const
{
    return as<ZTSellerTemplate>(
        findAllWithPredicate(Predicate::notEqual(kMarginProcedure, QVariant()), SortDescriptor{kOrder, true}));
}

bool ZTSellerTemplateManager::hasSellerTemplatesWithMarginProcedure() const
{
    return countWithPredicate(Predicate::notEqual(kMarginProcedure, QVariant())) > 0;
}

ZTSellerTemplate *ZTSellerTemplateManager::defaultSellerTemplateWithMarginProcedure() const
{
    ZT_ASSERT_TEXT(hasSellerTemplatesWithMarginProcedure(), "[self hasSellerTemplatesWithMarginProcedure]");
    return findAllWithMarginProcedureInfo().first();
}

qsizetype ZTSellerTemplateManager::countNonemptySellers(const QList<ZTSellerTemplate *> &templates)
{
    if (templates.size() != 1)
        return templates.size();
    const ZTSellerTemplate *t = templates.first();
    const bool complete = isFilled(t, QStringLiteral("nip")) && isFilled(t, QStringLiteral("issuesIn"))
                          && isFilled(t, QStringLiteral("address")) && isFilled(t, kName);
    return complete ? 1 : 0;
}

qsizetype ZTSellerTemplateManager::completeSellerTemplatesCount() const
{
    return countNonemptySellers(as<ZTSellerTemplate>(findAll()));
}

qsizetype ZTSellerTemplateManager::completeSellerTemplatesWithMarginProcedureCount() const
{
    return countNonemptySellers(findAllWithMarginProcedureInfo());
}

ZTSellerTemplate *ZTSellerTemplateManager::sellerTemplateBestFittingSeller(const ZTSeller *seller) const
{
    if (!seller)
        return nullptr;
    const Predicate same = Predicate::equal(kName, seller->value(kName))
                           && Predicate::equal(QStringLiteral("nip"), seller->value(QStringLiteral("nip")))
                           && Predicate::equal(QStringLiteral("regon"), seller->value(QStringLiteral("regon")));
    const QList<ZTSellerTemplate *> candidates = as<ZTSellerTemplate>(findAllWithPredicate(same, SortDescriptor{kName, true}));
    const EntityDescription *sellerEntity = &seller->entity();
    const EntityDescription *templateEntity = context().model().entity(entityName());
    ZTSellerTemplate *best = nullptr;
    int bestCount = -1;
    for (ZTSellerTemplate *t : candidates) {
        int count = 0;
        for (const AttributeDescription &a : sellerEntity->attributes()) {
            if (templateEntity->attribute(a.name) && t->value(a.name) == seller->value(a.name))
                ++count;
        }
        if (count > bestCount) { // a tie keeps the earlier one
            best = t;
            bestCount = count;
        }
    }
    return best;
}
