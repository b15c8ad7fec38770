#pragma once

#include "KeyPath.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

// Builds the FROM clause and bindings of a query over one entity family: key paths across to-one
// relationships become LEFT JOINs, each path prefix joined once.
class SqlFetchBuilder
{
public:
    explicit SqlFetchBuilder(const EntityDescription &entity);

    struct Column
    {
        QString sql; // qualified column, e.g. t1."name"
        KeyPath keyPath;
    };
    Column column(const QString &keyPath);
    // Adds a binding and returns its placeholder.
    QString bind(const QVariant &storageValue);

    static QString rootAlias() { return QStringLiteral("t0"); }
    QString fromClause() const;
    QVariantList bindings() const { return m_bindings; }
    const EntityDescription &entity() const { return m_entity; }

private:
    const EntityDescription &m_entity;
    QHash<QString, QString> m_aliases; // path prefix → alias
    QStringList m_joins;
    QVariantList m_bindings;
};
