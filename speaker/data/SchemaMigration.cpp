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
