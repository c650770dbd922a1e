#include "Dataset.h"

#include <algorithm>
#include <optional>

namespace sonvela {
namespace {

constexpr std::string_view kKeyColumn = "id";

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

std::string QuoteName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

const SqlValue kNull{};

} // namespace

Dataset::Dataset(const Database& db, std::string table, std::string queryText)
    : db_(&db), table_(std::move(table)), queryText_(std::move(queryText)) {}

Dataset Dataset::WholeTable(const Database& db, const std::string& table) {
    return Dataset(db, table, "select * from " + QuoteName(table) + " order by id");
}

void Dataset::RequireOpen() const {
    if (!open_)
        throw DatabaseError(table_ + ": the dataset is not open");
}

void Dataset::Changed() {
    if (onDataChange_)
        onDataChange_();
}

// ---------------------------------------------------------------- Queries

void Dataset::Open() {
    Statement statement = db_->Prepare(queryText_);
    std::vector<std::string> columns;
    const int count = statement.ColumnCount();
    for (int i = 0; i < count; ++i)
        columns.push_back(statement.ColumnName(i));
    const auto key = std::find_if(columns.begin(), columns.end(), [](const std::string& name) {
        return SameName(name, kKeyColumn);
    });
    if (key == columns.end())
        throw DatabaseError(table_ + ": the query \"" + queryText_ + "\" yields no id column");

    std::vector<Row> rows;
    while (statement.Step()) {
        Row row;
        row.reserve(columns.size());
        for (int i = 0; i < count; ++i)
            row.push_back(statement.Column(i));
        rows.push_back(std::move(row));
    }

    // Only a complete result replaces the rows held.
    columns_ = std::move(columns);
    idColumn_ = static_cast<std::size_t>(key - columns_.begin());
    rows_ = std::move(rows);
    current_ = 0;
    bof_ = eof_ = rows_.empty();
    state_ = State::Browse;
    buffer_.clear();
    modified_.clear();
    open_ = true;
    Changed();
}

void Dataset::Requery() {
    if (open_)
        CheckBrowseMode();
    Open();
}

// ----------------------------------------------------------------- Cursor

void Dataset::GoTo(std::size_t index) {
    current_ = index;
    bof_ = eof_ = rows_.empty();
    Changed();
}

void Dataset::First() {
    CheckBrowseMode();
    GoTo(0);
}

void Dataset::Last() {
    CheckBrowseMode();
    GoTo(rows_.empty() ? 0 : rows_.size() - 1);
}

void Dataset::Next() {
    CheckBrowseMode();
    if (current_ + 1 < rows_.size()) {
        GoTo(current_ + 1);
    } else {
        eof_ = true;
        bof_ = rows_.empty();
    }
}

void Dataset::Prior() {
    CheckBrowseMode();
    if (current_ > 0 && !rows_.empty()) {
        GoTo(current_ - 1);
    } else {
        bof_ = true;
        eof_ = rows_.empty();
    }
}

int Dataset::RecNo() const {
    if (state_ == State::Insert)
        return RecordCount() + 1;
    return rows_.empty() ? 0 : static_cast<int>(current_) + 1;
}

void Dataset::SetRecNo(int recNo) {
    CheckBrowseMode();
    if (rows_.empty())
        return;
    const int clamped = std::clamp(recNo, 1, RecordCount());
    GoTo(static_cast<std::size_t>(clamped - 1));
}

// ---------------------------------------------------------------- Reading

std::size_t Dataset::ColumnIndex(std::string_view column) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (SameName(columns_[i], column))
            return i;
    }
    throw DatabaseError(table_ + ": no column named " + std::string(column));
}

bool Dataset::HasColumn(std::string_view column) const {
    return std::any_of(columns_.begin(), columns_.end(),
                       [column](const std::string& name) { return SameName(name, column); });
}

const SqlValue& Dataset::Value(std::string_view column) const {
    const std::size_t index = ColumnIndex(column);
    if (state_ != State::Browse)
        return buffer_[index];
    if (rows_.empty())
        return kNull;
    return rows_[current_][index];
}

std::int64_t Dataset::AsInteger(std::string_view column, std::int64_t defaultValue) const {
    return ValueToInteger(Value(column), defaultValue);
}

bool Dataset::AsBool(std::string_view column, bool defaultValue) const {
    const SqlValue& value = Value(column);
    if (IsNullValue(value))
        return defaultValue;
    return ValueToInteger(value, 0) != 0;
}

GbkString Dataset::AsText(std::string_view column) const {
    return Utf8ToGbk(ValueToUtf8(Value(column)));
}

std::string Dataset::AsUtf8(std::string_view column) const {
    return ValueToUtf8(Value(column));
}

const SqlValue& Dataset::ValueAt(int recNo, std::string_view column) const {
    if (recNo < 1 || recNo > RecordCount())
        throw DatabaseError(table_ + ": no row " + std::to_string(recNo));
    return rows_[static_cast<std::size_t>(recNo - 1)][ColumnIndex(column)];
}

// --------------------------------------------------------------- Changing

void Dataset::CheckBrowseMode() {
    RequireOpen();
    if (state_ != State::Browse)
        Post();
}

void Dataset::Edit() {
    RequireOpen();
    if (state_ != State::Browse)
        return;
    if (rows_.empty()) {
        Append();
        return;
    }
    buffer_ = rows_[current_];
    modified_.assign(columns_.size(), false);
    state_ = State::Edit;
}

void Dataset::Append() {
    CheckBrowseMode();
    buffer_.assign(columns_.size(), SqlValue{});
    modified_.assign(columns_.size(), false);
    state_ = State::Insert;
    Changed();
}

void Dataset::SetValue(std::string_view column, SqlValue value) {
    RequireOpen();
    if (state_ == State::Browse)
        throw DatabaseError(table_ + ": " + std::string(column) +
                            " was set while the row was not being edited");
    const std::size_t index = ColumnIndex(column);
    // The key is how a row is found again in the file, so an existing row
    // keeps it; only a new row may be given one.
    if (index == idColumn_ && state_ == State::Edit)
        throw DatabaseError(table_ + ": the id of a row cannot be changed");
    buffer_[index] = std::move(value);
    modified_[index] = true;
    Changed();
}

void Dataset::SetText(std::string_view column, std::string_view gbk) {
    SetValue(column, GbkToUtf8(gbk));
}

void Dataset::SetUtf8(std::string_view column, std::string_view utf8) {
    SetValue(column, std::string(utf8));
}

void Dataset::SetInteger(std::string_view column, std::int64_t value) {
    SetValue(column, value);
}

void Dataset::SetBool(std::string_view column, bool value) {
    SetValue(column, std::int64_t{value ? 1 : 0});
}

void Dataset::SetNull(std::string_view column) {
    SetValue(column, SqlValue{});
}

Dataset::Row Dataset::ReadRowById(std::int64_t id) const {
    Row row = buffer_;
    // The write has succeeded by now; should reading it back fail, the values
    // just written are what the file holds, near enough to show.
    try {
        Statement statement = db_->Prepare("select * from " + QuoteName(table_) + " where " +
                                           QuoteName(kKeyColumn) + " = ?");
        statement.Bind(1, id);
        if (statement.Step()) {
            for (int i = 0; i < statement.ColumnCount(); ++i) {
                const std::string name = statement.ColumnName(i);
                for (std::size_t c = 0; c < columns_.size(); ++c) {
                    if (SameName(columns_[c], name))
                        row[c] = statement.Column(i);
                }
            }
        }
    } catch (const DatabaseError&) {
    }
    return row;
}

void Dataset::Post() {
    RequireOpen();
    if (state_ == State::Browse)
        return;

    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (modified_[i])
            changed.push_back(i);
    }

    if (state_ == State::Edit && changed.empty()) {
        Cancel();
        return;
    }

    const State posting = state_;
    // Whatever happens below, the pending change is over: on success the row
    // in memory takes the file's values, on failure it keeps its old ones.
    state_ = State::Browse;
    try {
        std::vector<SqlValue> values;
        for (std::size_t i : changed)
            values.push_back(buffer_[i]);

        if (posting == State::Edit) {
            std::string sql = "update " + QuoteName(table_) + " set ";
            for (std::size_t n = 0; n < changed.size(); ++n)
                sql += (n ? ", " : "") + QuoteName(columns_[changed[n]]) + " = ?";
            sql += " where " + QuoteName(kKeyColumn) + " = ?";
            const SqlValue id = rows_[current_][idColumn_];
            values.push_back(id);
            if (db_->Execute(sql, values) == 0)
                throw DatabaseError(table_ + ": the row with id " + ValueToUtf8(id) +
                                    " is no longer in the file");
            Row stored = ReadRowById(ValueToInteger(id, 0));
            rows_[current_] = std::move(stored);
        } else {
            std::string sql = "insert into " + QuoteName(table_);
            if (changed.empty()) {
                sql += " default values";
            } else {
                std::string names;
                std::string marks;
                for (std::size_t n = 0; n < changed.size(); ++n) {
                    names += (n ? ", " : "") + QuoteName(columns_[changed[n]]);
                    marks += n ? ", ?" : "?";
                }
                sql += " (" + names + ") values (" + marks + ")";
            }
            db_->Execute(sql, values);
            const std::int64_t id = db_->LastInsertId();
            buffer_[idColumn_] = id;
            Row stored = ReadRowById(id);
            rows_.push_back(std::move(stored));
            current_ = rows_.size() - 1;
            bof_ = eof_ = false;
        }
    } catch (...) {
        buffer_.clear();
        modified_.clear();
        Changed();
        throw;
    }
    buffer_.clear();
    modified_.clear();
    Changed();
}

void Dataset::Cancel() {
    if (state_ == State::Browse)
        return;
    state_ = State::Browse;
    buffer_.clear();
    modified_.clear();
    Changed();
}

void Dataset::Delete() {
    RequireOpen();
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    if (rows_.empty())
        throw DatabaseError(table_ + ": there is no row to delete");
    Cancel();
    // A row already gone from the file is simply dropped from memory: the
    // outcome the operator asked for holds either way.
    db_->Execute("delete from " + QuoteName(table_) + " where " + QuoteName(kKeyColumn) + " = ?",
                 {rows_[current_][idColumn_]});
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(current_));
    if (current_ >= rows_.size() && !rows_.empty())
        current_ = rows_.size() - 1;
    if (rows_.empty())
        current_ = 0;
    bof_ = eof_ = rows_.empty();
    Changed();
}

// ---------------------------------------------------------------- Look-up

bool Dataset::LocateIf(std::string_view column, std::string_view gbkValue, bool wholeValue) {
    CheckBrowseMode();
    const std::size_t index = ColumnIndex(column);
    const std::string wanted = GbkToUtf8(gbkValue);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const SqlValue& value = rows_[i][index];
        if (IsNullValue(value))
            continue;
        const std::string text = ValueToUtf8(value);
        if (wholeValue ? text == wanted : text.starts_with(wanted)) {
            GoTo(i);
            return true;
        }
    }
    return false;
}

bool Dataset::Locate(std::string_view column, std::string_view gbkPrefix) {
    return LocateIf(column, gbkPrefix, false);
}

bool Dataset::LocateExact(std::string_view column, std::string_view gbkValue) {
    return LocateIf(column, gbkValue, true);
}

} // namespace sonvela
