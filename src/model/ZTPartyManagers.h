#pragma once

#include "ZTEntityManager.h"

#include <QSet>

class ZTCustomer;
class ZTSeller;
class ZTSellerTemplate;

class ZTCustomerManager : public ZTEntityManager
{
public:
    explicit ZTCustomerManager(ContextProvider context);
    // Name LIKE, ignoring case and diacritics; "*" and "?" in the name are wildcards.
    ZTCustomer *findWithName(const QString &name) const;
    // Name CONTAINS, ignoring case and diacritics.
    QList<ZTCustomer *> findWithNameMatching(const QString &text) const;
};

class ZTPurchaserManager : public ZTEntityManager
{
public:
    explicit ZTPurchaserManager(ContextProvider context);
};

class ZTSellerTemplateManager : public ZTEntityManager
{
public:
    explicit ZTSellerTemplateManager(ContextProvider context);

    bool hasSellerTemplates() const;
    qsizetype allTemplatesCount() const;
    QList<ZTSellerTemplate *> findAllOrdered() const;
    // The first template by order; an internal consistency failure when there is none.
    ZTSellerTemplate *defaultSellerTemplate() const;
    QList<ZTSellerTemplate *> findAllWithMarginProcedureInfo() const;
    bool hasSellerTemplatesWithMarginProcedure() const;
    ZTSellerTemplate *defaultSellerTemplateWithMarginProcedure() const;
    // The list's size, except that a single template counts only when its name, address, NIP
    // and place of issue are all filled in.
    static qsizetype countNonemptySellers(const QList<ZTSellerTemplate *> &templates);
    qsizetype completeSellerTemplatesCount() const;
    qsizetype completeSellerTemplatesWithMarginProcedureCount() const;
    // The template with the same name, NIP and REGON that shares most seller values; null when
    // none has them.
    ZTSellerTemplate *sellerTemplateBestFittingSeller(const ZTSeller *seller) const;
};
