#pragma once

#include "ZTEntityManager.h"

#include "platform/Decimal.h"

#include <QSet>

class ZTProduct;

class ZTProductManager : public ZTEntityManager
{
public:
    explicit ZTProductManager(ContextProvider context);

    // Name LIKE, ignoring case and diacritics; "*" and "?" are wildcards.
    ZTProduct *findWithName(const QString &name) const;
    ZTProduct *findWithName(const QString &name, const Decimal &vatRate) const;
    // Names beginning with the text (ignoring case and diacritics), by name.
    QList<ZTProduct *> findWithNameMatching(const QString &text, bool onlyAutocompletable) const;
    QList<ZTProduct *> findAllAutocompletable() const;
    QList<ZTProduct *> findAllWithGrossBasedValues() const;
    // Every label used by any product (labels are kept comma-separated).
    QSet<QString> labelsForAllProducts() const;
};
