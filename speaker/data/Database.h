// A small RAII layer over SQLite: one connection, prepared statements whose
// values are always bound (never pasted into the SQL text), and errors thrown
// as DatabaseError with a text that names the file and what failed.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sonvela {

// A fault reported by the database engine (or a misuse of a dataset).
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const std::string& text, int code = 0)
        : std::runtime_error(text), code_(code) {}
    // SQLite's extended result code; 0 when the fault is not the engine's.
    int Code() const { return code_; }

private:
    int code_;
};

// One value of a column or a parameter. Text is UTF-8, as SQLite keeps it.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool IsNullValue(const SqlValue& value) {
    return std::holds_alternative<std::monostate>(value);
}
// A whole number for integers, truncated reals and texts that hold a whole
// number; `defaultValue` otherwise (null included).
std::int64_t ValueToInteger(const SqlValue& value, std::int64_t defaultValue);
// UTF-8 text of the value; an empty text for null.
std::string ValueToUtf8(const SqlValue& value);

// The local date and time as the database keeps dates: "yyyy-mm-dd hh:mm:ss".
// Text in this form sorts in time order.
std::string LocalDateTimeText(std::time_t time);
std::string NowLocalDateTimeText();

class Database;

// A prepared statement of one connection. Move-only; finalised on
// destruction. It must not outlive its Database (moving the Database is fine).
class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Parameters count from 1, as in SQLite.
    void Bind(int index, const SqlValue& value);
    void BindAll(std::initializer_list<SqlValue> values);
    void BindAll(const std::vector<SqlValue>& values);

    // Runs the statement one step: true when a row is ready to read, false
    // when the statement has finished. Throws DatabaseError on a fault.
    bool Step();
    // Makes the statement ready to run again and clears its parameters.
    void Reset();

    int ColumnCount() const;
    std::string ColumnName(int column) const;
    SqlValue Column(int column) const;

    const std::string& Sql() const { return sql_; }

private:
    friend class Database;
    Statement(sqlite3* db, std::string path, sqlite3_stmt* statement, std::string sql);
    [[noreturn]] void Fail(int code, std::string_view action) const;

    sqlite3* db_;
    std::string path_; // of the database file, for error texts
    sqlite3_stmt* statement_;
    std::string sql_;
};

// One connection to a database file. Move-only; closed on destruction.
class Database {
public:
    // Opens an existing file for reading and writing. A missing file is an
    // error and is never created; a file the process may not write is opened
    // read-only by SQLite (see IsReadOnly). Nothing is read or written yet:
    // a file that is not a database is found by the first statement.
    static Database OpenExisting(const std::string& path);
    // Opens an existing file for reading only: nothing this connection does
    // can change the file.
    static Database OpenReadOnly(const std::string& path);
    // Opens the file for reading and writing, creating it when missing.
    static Database OpenOrCreate(const std::string& path);

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    const std::string& Path() const { return path_; }

    Statement Prepare(std::string_view sql) const;
    // Runs one statement with its values to the end; returns the number of
    // rows it changed.
    int Execute(std::string_view sql, std::initializer_list<SqlValue> values = {}) const;
    int Execute(std::string_view sql, const std::vector<SqlValue>& values) const;
    // The first column of the first row, or nothing when there is no row.
    std::optional<SqlValue> QueryValue(std::string_view sql,
                                       std::initializer_list<SqlValue> values = {}) const;
    // Runs every statement of a script (schema files); no values. A fault
    // names `scriptName` and the line where the failing statement starts.
    void ExecuteScript(std::string_view script, std::string_view scriptName = {}) const;

    std::int64_t LastInsertId() const;
    // How long a statement waits for another connection's lock before it
    // fails with "database is locked".
    void SetBusyTimeout(std::chrono::milliseconds timeout) const;
    // True when SQLite opened the file read-only (the file is write
    // protected).
    bool IsReadOnly() const;

    sqlite3* Handle() const { return db_; }

    // The error text of the last failing call: names the file, the action and
    // SQLite's own message.
    std::string ErrorText(std::string_view action) const;

private:
    Database(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    static Database Open(const std::string& path, int flags);

    sqlite3* db_;
    std::string path_;
};

// Builds a new database file at `outPath` by running the SQL files in order,
// in one transaction, then checking the result's integrity. The file is built
// under a temporary name in the same folder and renamed into place only when
// complete, so a failed build leaves `outPath` as it was (missing or the old
// file) and no half-built file behind. Throws DatabaseError or
// std::system_error on a fault.
void BuildDatabase(const std::string& outPath, const std::vector<std::string>& sqlFiles);

} // namespace sonvela
