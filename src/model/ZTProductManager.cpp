#include "ZTProductManager.h"

#include "ZTProduct.h"

namespace {
const QString kName = QStringLiteral("name");
constexpr int kFolded = MatchCaseInsensitive | MatchDiacriticInsensitive;

Predicate autocompletable()
{
    return Predicate::notEqual(QStringLiteral("doNotAutocomplete"), true) && Predicate::notEqual(kName, QString(QStringLiteral("")));
}
} // namespace

ZTProductManager::ZTProductManager(ContextProvider context)
    : ZTEntityManager(std::move(context), QStringLiteral("Product"))
{
}

ZTProduct *ZTProductManager::findWithName(const QString &name) const
{
    const auto found = findAllWithPredicate(Predicate::like(kName, name, kFolded));
    return found.isEmpty() ? nullptr : dynamic_cast<ZTProduct *>(found.first());
}

ZTProduct *ZTProductManager::findWithName(const QString &name, const Decimal &vatRate) const
{
    const auto found = findAllWithPredicate(Predicate::like(kName, name, kFolded)
                                            && Predicate::equal(QStringLiteral("vatRate"), QVariant::fromValue(vatRate)));
    return found.isEmpty() ? nullptr : dynamic_cast<ZTProduct *>(found.first());
}

QList<ZTProduct *> ZTProductManager::findWithNameMatching(const QString &text, bool onlyAutocompletable) const
{
    Predicate p = Predicate::beginsWith(kName, text, kFolded);
    if (onlyAutocompletable)
        p = p && autocompletable();
    return as<ZTProduct>(findAllWithPredicate(p, SortDescriptor{kName, true}));
}

QList<ZTProduct *> ZTProductManager::findAllAutocompletable() const
{
    return as<ZTProduct>(findAllWithPredicate(autocompletable(), SortDescriptor{kName, true}));
}

QList<ZTProduct *> ZTProductManager::findAllWithGrossBasedValues() const
{
    return as<ZTProduct>(findAllWithPredicate(Predicate::equal(QStringLiteral("grossBasedValues"), true)));
}

QSet<QString> ZTProductManager::labelsForAllProducts() const
{
    QSet<QString> labels;
    for (const ManagedObject *p : findAll()) {
        const QString list = p->value(QStringLiteral("label")).toString();
        if (list.isEmpty())
            continue;
        for (const QString &part : list.split(QLatin1Char(',')))
            labels.insert(part);
    }
    return labels;
}
