// The data module: the one connection to draft.dat in the program folder and
// the named datasets through which the program reads and changes its lists
// (history, delay symbols, announcement slots, drafts).
//
// Used from the user-interface thread only. Lives from start-up to the end of
// the program; every post and delete is in the file when it returns.
#pragma once

#include "Database.h"
#include "Dataset.h"
#include "GbkText.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

// draft.dat cannot be used: missing, unreadable, locked, write protected, not
// a database, or a database without the program's tables and columns. The
// file has not been changed. Start-up shows "数据连接失败!" with the reason
// below it and ends.
class DataConnectionError : public std::runtime_error {
public:
    DataConnectionError(const std::string& text, std::string reason)
        : std::runtime_error(text), reason_(std::move(reason)) {}
    // Why, in the operator's language ("文件不存在", "缺少数据表", ...).
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// draft.dat is of an earlier version and could not be brought up to date
// (a full disk, a lock held by another program). The file has not been
// changed.
class DataMigrationError : public DataConnectionError {
public:
    using DataConnectionError::DataConnectionError;
};

// One row of the delay-symbol table, as the reader needs it.
struct DelaySymbol {
    GbkString symbol;       // `descript`: one or two characters
    int pauseMs = 0;        // `delaytime`
    bool candelete = false; // the symbol makes the reader pause
};

class TDM {
public:
    static constexpr std::string_view kFileName = "draft.dat";
    static constexpr std::string_view kHistoryQuery =
        "select * from history where filename<>'' order by opendate desc";
    static constexpr std::string_view kDelayTimeQuery = "select * from delaytime";
    static constexpr std::string_view kTellTimeQuery = "select * from telltime order by stime";
    static constexpr std::string_view kDraftListQuery = "select * from draft order by orderno  ASC";

    // Connects to `programFolderWithSeparator` + "draft.dat", checks that it
    // is the program's database, and opens Q_history, q_delaytime,
    // Q_telltime, Q_draft and Q_draft1 in that order. Throws
    // DataConnectionError; the file is never created, and nothing is written
    // to it before it has been checked.
    static std::unique_ptr<TDM> Connect(const std::string& programFolderWithSeparator);

    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // The connection; declared first, so the datasets are built after it and
    // gone before it.
    Database Conn1;

    Dataset Q_history;   // files opened, most recently opened first
    Dataset q_delaytime; // delay symbols in stored order
    Dataset Q_telltime;  // announcement slots by time of day
    Dataset Q_draft;     // every draft, for the draft list editor
    Dataset Q_draft1;    // drafts in display order, for the main window's grid

    // ---- History (Q_history). Paths are GBK and compared whole: a prefix
    // would take "a.txt.bak" for "a.txt" and change the wrong row.

    // Records an opened file: the path's row gets the current local time as
    // its opendate, or a new row is appended. An empty path names no file and
    // is ignored. Throws DatabaseError when the file cannot be written.
    void AddHistory(std::string_view gbkPath);
    // Sets the path's opendate to now when it has a row; true when it had
    // one, which is then Q_history's current row.
    bool UpdateHistoryOpenDate(std::string_view gbkPath);
    // Deletes the path's row; true when it had one.
    bool DeleteHistory(std::string_view gbkPath);

    // The rows of q_delaytime from the first, in its order. Reads the rows as
    // posted without moving the dataset's cursor (a grid may show it).
    std::vector<DelaySymbol> DelaySymbols() const;

private:
    explicit TDM(Database connection);
};

} // namespace sonvela
