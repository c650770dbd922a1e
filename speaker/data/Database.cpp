#include "Database.h"

#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace sonvela {
namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A statement text shortened for an error message.
std::string Excerpt(std::string_view sql) {
    constexpr std::size_t kMax = 120;
    std::string text(sql.substr(0, std::min(sql.size(), kMax)));
    std::replace(text.begin(), text.end(), '\n', ' ');
    if (sql.size() > kMax)
        text += "...";
    return text;
}

int LineOf(std::string_view text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

void RemoveIfPresent(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw std::system_error(errno, std::generic_category(), "cannot remove " + path);
}

// Makes a rename durable: the folder's entry is on the disk once this returns.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::string ErrorTextOf(sqlite3* db, const std::string& path, std::string_view action) {
    std::string text = FileNameOf(path) + ": " + std::string(action) + ": ";
    text += sqlite3_errmsg(db);
    return text;
}

} // namespace

std::int64_t ValueToInteger(const SqlValue& value, std::int64_t defaultValue) {
    if (const auto* integer = std::get_if<std::int64_t>(&value))
        return *integer;
    if (const auto* real = std::get_if<double>(&value)) {
        if (!std::isfinite(*real) || std::fabs(*real) >= 9.2e18)
            return defaultValue;
        return static_cast<std::int64_t>(*real);
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::int64_t result = 0;
        const char* first = text->data();
        const char* last = first + text->size();
        while (first < last && *first == ' ')
            ++first;
        const auto [end, error] = std::from_chars(first, last, result);
        if (error == std::errc() && end == last && first != last)
            return result;
    }
    return defaultValue;
}

std::string ValueToUtf8(const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* integer = std::get_if<std::int64_t>(&value))
        return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&value)) {
        char buffer[64];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *real);
        return error == std::errc() ? std::string(buffer, end) : std::string();
    }
    return {};
}

std::string LocalDateTimeText(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char buffer[32];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer, length);
}

std::string NowLocalDateTimeText() {
    return LocalDateTimeText(std::time(nullptr));
}

// ---------------------------------------------------------------- Statement

Statement::Statement(sqlite3* db, std::string path, sqlite3_stmt* statement, std::string sql)
    : db_(db), path_(std::move(path)), statement_(statement), sql_(std::move(sql)) {}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), path_(std::move(other.path_)),
      statement_(std::exchange(other.statement_, nullptr)), sql_(std::move(other.sql_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        db_ = other.db_;
        path_ = std::move(other.path_);
        statement_ = std::exchange(other.statement_, nullptr);
        sql_ = std::move(other.sql_);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

void Statement::Fail(int code, std::string_view action) const {
    throw DatabaseError(ErrorTextOf(db_, path_, std::string(action) + " \"" + Excerpt(sql_) + "\""),
                        code);
}

void Statement::Bind(int index, const SqlValue& value) {
    int rc = SQLITE_OK;
    if (IsNullValue(value)) {
        rc = sqlite3_bind_null(statement_, index);
    } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        rc = sqlite3_bind_int64(statement_, index, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        rc = sqlite3_bind_double(statement_, index, *real);
    } else {
        const auto& text = std::get<std::string>(value);
        rc = sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
    }
    if (rc != SQLITE_OK)
        Fail(rc, "cannot bind parameter " + std::to_string(index) + " of");
}

void Statement::BindAll(std::initializer_list<SqlValue> values) {
    int index = 1;
    for (const SqlValue& value : values)
        Bind(index++, value);
}

void Statement::BindAll(const std::vector<SqlValue>& values) {
    int index = 1;
    for (const SqlValue& value : values)
        Bind(index++, value);
}

bool Statement::Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The statement must be reset before it can run again; the error text is
    // read first, since resetting may replace it.
    const std::string text = ErrorTextOf(db_, path_, "cannot run \"" + Excerpt(sql_) + "\"");
    sqlite3_reset(statement_);
    throw DatabaseError(text, rc);
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(statement_);
}

std::string Statement::ColumnName(int column) const {
    const char* name = sqlite3_column_name(statement_, column);
    return name ? name : "";
}

SqlValue Statement::Column(int column) const {
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return static_cast<std::int64_t>(sqlite3_column_int64(statement_, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement_, column);
    case SQLITE_NULL:
        return std::monostate{};
    default: {
        // Text and blobs alike are handed over as bytes.
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        const int size = sqlite3_column_bytes(statement_, column);
        return std::string(bytes ? bytes : "", static_cast<std::size_t>(size));
    }
    }
}

// ----------------------------------------------------------------- Database

Database Database::Open(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK) {
        std::string text = path + ": cannot open the database: ";
        text += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw DatabaseError(text, rc);
    }
    return Database(db, path);
}

Database Database::OpenExisting(const std::string& path) {
    return Open(path, SQLITE_OPEN_READWRITE);
}

Database Database::OpenReadOnly(const std::string& path) {
    return Open(path, SQLITE_OPEN_READONLY);
}

Database Database::OpenOrCreate(const std::string& path) {
    return Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

Database::~Database() {
    // Every Statement is finalised by its owner before the connection goes;
    // sqlite3_close would refuse otherwise and leak the connection.
    sqlite3_close(db_);
}

std::string Database::ErrorText(std::string_view action) const {
    return ErrorTextOf(db_, path_, action);
}

Statement Database::Prepare(std::string_view sql) const {
    sqlite3_stmt* statement = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw DatabaseError(ErrorText("cannot prepare \"" + Excerpt(sql) + "\""), rc);
    }
    if (!statement)
        throw DatabaseError(ErrorText("no statement in \"" + Excerpt(sql) + "\""));
    return Statement(db_, path_, statement, std::string(sql));
}

int Database::Execute(std::string_view sql, std::initializer_list<SqlValue> values) const {
    Statement statement = Prepare(sql);
    statement.BindAll(values);
    while (statement.Step()) {
    }
    return sqlite3_changes(db_);
}

int Database::Execute(std::string_view sql, const std::vector<SqlValue>& values) const {
    Statement statement = Prepare(sql);
    statement.BindAll(values);
    while (statement.Step()) {
    }
    return sqlite3_changes(db_);
}

std::optional<SqlValue> Database::QueryValue(std::string_view sql,
                                             std::initializer_list<SqlValue> values) const {
    Statement statement = Prepare(sql);
    statement.BindAll(values);
    if (!statement.Step())
        return std::nullopt;
    return statement.Column(0);
}

void Database::ExecuteScript(std::string_view script, std::string_view scriptName) const {
    const char* const begin = script.data();
    const char* const end = begin + script.size();
    const char* next = begin;
    while (next < end) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        const auto offset = static_cast<std::size_t>(next - begin);
        int rc = sqlite3_prepare_v2(db_, next, static_cast<int>(end - next), &statement, &tail);
        if (rc == SQLITE_OK && statement) {
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            }
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
        if (rc != SQLITE_OK) {
            std::string where =
                scriptName.empty() ? std::string("script") : std::string(scriptName);
            // Skip the blank lines and comments before the statement, so the
            // line named is the statement's own.
            std::size_t start = offset;
            while (start < script.size()) {
                if (script[start] == ' ' || script[start] == '\n' || script[start] == '\t' ||
                    script[start] == '\r') {
                    ++start;
                } else if (script.substr(start, 2) == "--") {
                    const std::size_t eol = script.find('\n', start);
                    start = eol == std::string_view::npos ? script.size() : eol;
                } else {
                    break;
                }
            }
            const std::string text =
                ErrorText(where + ", line " + std::to_string(LineOf(script, start)));
            sqlite3_finalize(statement);
            throw DatabaseError(text, rc);
        }
        sqlite3_finalize(statement);
        if (!tail || tail == next)
            break;
        next = tail;
    }
}

std::int64_t Database::LastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

void Database::SetBusyTimeout(std::chrono::milliseconds timeout) const {
    sqlite3_busy_timeout(db_, static_cast<int>(timeout.count()));
}

bool Database::IsReadOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

// ------------------------------------------------------------- BuildDatabase

void BuildDatabase(const std::string& outPath, const std::vector<std::string>& sqlFiles) {
    const std::string tempPath = outPath + ".building-" + std::to_string(::getpid());
    const std::string tempJournal = tempPath + "-journal";
    RemoveIfPresent(tempPath);
    RemoveIfPresent(tempJournal);
    try {
        {
            Database db = Database::OpenOrCreate(tempPath);
            db.ExecuteScript("BEGIN");
            for (const std::string& file : sqlFiles) {
                const std::optional<std::string> script = ReadWholeFile(file);
                if (!script)
                    throw std::system_error(errno ? errno : EIO, std::generic_category(),
                                            "cannot read " + file);
                db.ExecuteScript(*script, FileNameOf(file));
            }
            db.ExecuteScript("COMMIT");
            const std::optional<SqlValue> check = db.QueryValue("PRAGMA integrity_check");
            if (!check || ValueToUtf8(*check) != "ok")
                throw DatabaseError(tempPath + ": the built database fails its integrity check");
        }
        if (std::rename(tempPath.c_str(), outPath.c_str()) != 0)
            throw std::system_error(errno, std::generic_category(),
                                    "cannot rename " + tempPath + " to " + outPath);
        SyncFolder(FolderOf(outPath));
    } catch (...) {
        ::unlink(tempPath.c_str());
        ::unlink(tempJournal.c_str());
        throw;
    }
}

} // namespace sonvela
