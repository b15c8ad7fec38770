#include "SqlFetchBuilder.h"

#include "SqliteDatabase.h"

SqlFetchBuilder::SqlFetchBuilder(const EntityDescription &entity) : m_entity(entity)
{
}

SqlFetchBuilder::Column SqlFetchBuilder::column(const QString &keyPath)
{
    Column result{{}, KeyPath::resolve(m_entity, keyPath)};
    QString alias = rootAlias();
    QString prefix;
    for (const RelationshipDescription *hop : std::as_const(result.keyPath.hops)) {
        prefix += hop->name + QLatin1Char('.');
        auto it = m_aliases.constFind(prefix);
        if (it == m_aliases.constEnd()) {
            const QString next = QStringLiteral("t") + QString::number(m_aliases.size() + 1);
            const EntityDescription *target = m_entity.model().entity(hop->destination);
            m_joins.append(QStringLiteral(" LEFT JOIN ") + SqliteDatabase::quoted(target->root()->name()) +
                           QStringLiteral(" AS ") + next + QStringLiteral(" ON ") + next +
                           QStringLiteral("._pk = ") + alias + QLatin1Char('.') +
                           SqliteDatabase::quoted(hop->columnName()));
            it = m_aliases.insert(prefix, next);
        }
        alias = *it;
    }
    const QString name = result.keyPath.attribute ? result.keyPath.attribute->name
                                                   : result.keyPath.relationship->columnName();
    result.sql = alias + QLatin1Char('.') + SqliteDatabase::quoted(name);
    return result;
}

QString SqlFetchBuilder::bind(const QVariant &storageValue)
{
    m_bindings.append(storageValue);
    return QStringLiteral("?");
}

QString SqlFetchBuilder::fromClause() const
{
    return SqliteDatabase::quoted(m_entity.root()->name()) + QStringLiteral(" AS ") + rootAlias() +
           m_joins.join(QString());
}
