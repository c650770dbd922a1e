// A dataset: the rows of one query, held in memory in the query's order, with
// a cursor and row editing written through to the file at once.
//
// The lists on screen (history, drafts, delay symbols, announcement slots)
// are bound to datasets and expect their rows to keep still: a posted change
// does not re-sort the rows and an appended row stays at the end until the
// query is run again (Requery). Rows are written back to one table and found
// there by their `id` column.
//
// Texts cross this interface as GBK bytes (AsText, SetText), the program's
// code page; the file keeps them as UTF-8. AsUtf8 and SetUtf8 give the raw
// UTF-8 for code that already holds Unicode.
//
// A pending edit is posted before the cursor moves, a row is appended, the
// query is run again or a row is looked up, as a grid expects when the
// operator leaves an edited row. A post that fails throws DatabaseError and
// drops the pending change, so the rows in memory always match the file.
#pragma once

#include "Database.h"
#include "GbkText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

class Dataset {
public:
    enum class State { Browse, Edit, Insert };

    // The rows of `queryText`; changes are written to `table`. Closed until
    // Open is called.
    Dataset(const Database& db, std::string table, std::string queryText);
    // Every row of `table`, in the order the rows were added (by `id`).
    static Dataset WholeTable(const Database& db, const std::string& table);

    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;
    Dataset(Dataset&&) = default;

    const std::string& QueryText() const { return queryText_; }
    const std::string& TableName() const { return table_; }

    // Runs the query and puts the cursor on the first row. Throws
    // DatabaseError when the query fails or yields no `id` column.
    void Open();
    bool IsOpen() const { return open_; }
    // Posts a pending edit, runs the query again and goes to the first row.
    void Requery();

    // ---- The cursor
    // First and Last clear Eof and Bof (unless there is no row).
    void First();
    void Last();
    // On the last row Next leaves the cursor there and sets Eof; on the first
    // row Prior leaves it there and sets Bof.
    void Next();
    void Prior();
    // True after Next past the last row, or when there is no row.
    bool Eof() const { return eof_; }
    // True after Prior before the first row, or when there is no row.
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return rows_.empty(); }
    // 1-based number of the current row; 0 when there is none. While a row is
    // being appended it is the number that row will take.
    int RecNo() const;
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    // Moves to row `recNo` (1-based, clamped to the rows there are).
    void SetRecNo(int recNo);

    // ---- Reading the current row (the pending values while editing)
    const std::vector<std::string>& ColumnNames() const { return columns_; }
    bool HasColumn(std::string_view column) const;
    // Column names are matched without regard to case, as in SQL. An unknown
    // name throws DatabaseError. Without a current row every column is null.
    const SqlValue& Value(std::string_view column) const;
    bool IsNull(std::string_view column) const { return IsNullValue(Value(column)); }
    std::int64_t AsInteger(std::string_view column, std::int64_t defaultValue = 0) const;
    // Non-zero is true; `defaultValue` for null.
    bool AsBool(std::string_view column, bool defaultValue = false) const;
    // GBK text of the value; empty for null.
    GbkString AsText(std::string_view column) const;
    std::string AsUtf8(std::string_view column) const;

    // Any row without moving the cursor (grids, lists): `recNo` is 1-based.
    // Shows the rows as posted, never a pending edit.
    const SqlValue& ValueAt(int recNo, std::string_view column) const;

    // ---- Changing rows
    State GetState() const { return state_; }
    // Begins editing the current row; on an empty dataset it appends instead.
    void Edit();
    // Begins a new row (every column null) placed after the last row.
    void Append();
    void SetValue(std::string_view column, SqlValue value);
    void SetText(std::string_view column, std::string_view gbk);
    void SetUtf8(std::string_view column, std::string_view utf8);
    void SetInteger(std::string_view column, std::int64_t value);
    void SetBool(std::string_view column, bool value);
    void SetNull(std::string_view column);
    // Writes the pending row to the file (only the columns that were set) and
    // reads it back, so the row in memory holds what the file holds; an
    // appended row gets its new id. Throws DatabaseError on a fault, having
    // dropped the pending change.
    void Post();
    // Drops the pending change.
    void Cancel();
    // Deletes the current row from the file and from memory; the cursor goes
    // to the following row, or to the new last row when the last one was
    // deleted. While a row is being appended it only cancels that. Throws
    // DatabaseError on a fault, leaving the row in place.
    void Delete();

    // ---- Looking up rows (a pending edit is posted first)
    // Goes to the first row, in the dataset's order, whose column's text
    // starts with `gbkPrefix`; true when found, otherwise the cursor stays.
    bool Locate(std::string_view column, std::string_view gbkPrefix);
    // The same for the whole value. Compare whole paths with this one: a
    // prefix of "a.txt" also finds "a.txt.bak".
    bool LocateExact(std::string_view column, std::string_view gbkValue);

    // Called whenever the current row, a value or the rows change (cursor
    // moves, set values, posts, deletes, queries), like a grid's data source.
    void SetDataChangeHandler(std::function<void()> handler) { onDataChange_ = std::move(handler); }

private:
    using Row = std::vector<SqlValue>;

    std::size_t ColumnIndex(std::string_view column) const;
    void RequireOpen() const;
    // Posts a pending change so the cursor may move.
    void CheckBrowseMode();
    Row ReadRowById(std::int64_t id) const;
    void GoTo(std::size_t index);
    void Changed();
    bool LocateIf(std::string_view column, std::string_view gbkValue, bool wholeValue);

    const Database* db_;
    std::string table_;
    std::string queryText_;
    std::vector<std::string> columns_;
    std::size_t idColumn_ = 0;
    std::vector<Row> rows_;
    std::size_t current_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    bool open_ = false;
    State state_ = State::Browse;
    Row buffer_;                 // the pending row while editing or appending
    std::vector<bool> modified_; // which columns of buffer_ were set
    std::function<void()> onDataChange_;
};

} // namespace sonvela
