// Brings a draft.dat of an earlier version up to the schema this program
// uses, in place: the tables and rows it already has are left as they are.
#pragma once

#include "Database.h"

namespace sonvela {

// The schema version (PRAGMA user_version) this program writes.
inline constexpr int kSchemaVersion = 3;

// Adds what versions older than kSchemaVersion lack, in one transaction:
// either the whole step is in the file or none of it is. A file of this or a
// later version is not touched. Throws DatabaseError on a fault, after
// rolling back.
void MigrateSchema(const Database& db);

} // namespace sonvela
