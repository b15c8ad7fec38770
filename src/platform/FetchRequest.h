#pragma once

#include "Predicate.h"

#include <QList>
#include <QString>

struct SortDescriptor
{
    QString keyPath; // may cross to-one relationships
    bool ascending = true;
    bool caseInsensitive = false;
};

// What to fetch: objects of exactly one entity (never of its sub-entities) matching the predicate,
// in the order of the sort descriptors (then by identity, so the order is always the same), at
// most fetchLimit of them (0: no limit).
struct FetchRequest
{
    QString entityName;
    Predicate predicate;
    QList<SortDescriptor> sortDescriptors;
    int fetchLimit = 0;

    FetchRequest() = default;
    explicit FetchRequest(QString entity, Predicate condition = Predicate(), QList<SortDescriptor> sort = {},
                          int limit = 0)
        : entityName(std::move(entity)), predicate(std::move(condition)), sortDescriptors(std::move(sort)),
          fetchLimit(limit)
    {
    }
};
