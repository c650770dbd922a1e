#include "SchemaMigration.h"

namespace sonvela {
namespace {

// Version 2: the operator's pronunciation list. "if not exists": a file
// whose version number was never raised may still have the table.
constexpr std::string_view kVersion2 = R"sql(
CREATE TABLE IF NOT EXISTS pronunciation (
    id      INTEGER PRIMARY KEY AUTOINCREMENT,
    word    TEXT NOT NULL,
    reading TEXT NOT NULL
);
)sql";

// Version 3: the broadcast timetable (see schema.sql for the columns).
constexpr std::string_view kVersion3 = R"sql(
CREATE TABLE IF NOT EXISTS timetable (
    id       INTEGER PRIMARY KEY AUTOINCREMENT,
    stime    TEXT NOT NULL,
    days     INTEGER NOT NULL DEFAULT 127,
    draftid  INTEGER,
    filename TEXT,
    passes   INTEGER NOT NULL DEFAULT 1,
    interval INTEGER NOT NULL DEFAULT 0,
    voice    TEXT,
    enabled  INTEGER NOT NULL DEFAULT 1 CHECK (enabled IN (0, 1))
);
)sql";

int SchemaVersion(const Database& db) {
    const auto value = db.QueryValue("PRAGMA user_version");
    return value ? static_cast<int>(ValueToInteger(*value, 0)) : 0;
}

} // namespace

void MigrateSchema(const Database& db) {
    if (SchemaVersion(db) >= kSchemaVersion)
        return;
    // Immediate: no other connection may write between the version check
    // and the change.
    db.Execute("BEGIN IMMEDIATE");
    try {
        if (SchemaVersion(db) < 2)
            db.ExecuteScript(kVersion2, "schema version 2");
        if (SchemaVersion(db) < 3)
            db.ExecuteScript(kVersion3, "schema version 3");
        db.Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
        db.Execute("COMMIT");
    } catch (...) {
        try {
            db.Execute("ROLLBACK");
        } catch (const DatabaseError&) {
            // SQLite may have rolled back by itself (a full disk); the file
            // is as it was either way.
        }
        throw;
    }
}

} // namespace sonvela
