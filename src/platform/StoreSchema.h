#pragma once

#include "Error.h"
#include "StoreModel.h"

class SqliteDatabase;

// The tables of a model: one per root entity holding every entity of its family, with an entity
// column, an integer primary key that is never reused, one column per attribute, one key column
// per to-one relationship, and indexes on the entity column, the key columns and the date columns.
class StoreSchema
{
public:
    // Creates what is missing: tables, columns (filled with the attribute's default on rows of
    // entities that have it) and indexes. Existing columns and data are left as they are.
    static bool update(SqliteDatabase &db, const StoreModel &model, Error &error);

    static QString columnType(AttributeType type);
};
