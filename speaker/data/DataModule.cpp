#include "DataModule.h"

#include "FileError.h"
#include "SchemaMigration.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonvela {
namespace {

// Another program holding the file's lock for a moment should not stop the
// start; one that keeps holding it does.
constexpr std::chrono::milliseconds kBusyTimeout{1000};

struct TableShape {
    std::string_view table;
    std::string_view columns;
};

// The tables and columns the program reads and writes.
constexpr std::array<TableShape, 4> kTables{{
    {"draft", "id, orderno, name, memory, inputdate"},
    {"history", "id, filename, orderno, opendate"},
    {"delaytime", "id, name, descript, delaytime, ename, candelete"},
    {"telltime", "id, stime, text, isplay, speaker"},
}};

// Reads the schema only. A file that is not a database fails here ("file is
// not a database"), as do a locked file and a database lacking a table or a
// column; none of this writes to the file.
void CheckShape(const Database& db) {
    for (const TableShape& shape : kTables) {
        Statement probe = db.Prepare("select " + std::string(shape.columns) + " from " +
                                     std::string(shape.table) + " limit 0");
        probe.Step();
    }
}

// The reason a file that is no usable database can be told before SQLite
// sees it; empty when it looks like a file to open.
std::string ReasonBeforeOpening(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? "文件不存在" : FileErrorCause(errno);
    if (S_ISDIR(st.st_mode))
        return "是文件夹";
    if (!S_ISREG(st.st_mode))
        return "不是普通文件";
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
        return "权限不足";
    // Read-only for the program even when the super-user could write it.
    if ((st.st_mode & 0222) == 0)
        return "只读";
    if (st.st_size == 0)
        return "是空文件";
    return {};
}

// The reason for a fault of the engine while opening and checking the file.
std::string ReasonOfEngineFault(const DatabaseError& fault) {
    const std::string text = fault.what();
    switch (fault.Code() & 0xFF) {
    case SQLITE_NOTADB:
        return "不是数据库文件";
    case SQLITE_CORRUPT:
        return "文件已损坏";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "文件被其他程序占用";
    case SQLITE_READONLY:
        return "只读";
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return "无法打开";
    default:
        break;
    }
    if (text.find("no such table") != std::string::npos)
        return "缺少数据表";
    if (text.find("no such column") != std::string::npos)
        return "缺少数据列";
    return "数据库错误";
}

int ToPause(std::int64_t value) {
    if (value < 0)
        return 0;
    return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(value);
}

} // namespace

TDM::TDM(Database connection)
    : Conn1(std::move(connection)), Q_history(Conn1, "history", std::string(kHistoryQuery)),
      q_delaytime(Conn1, "delaytime", std::string(kDelayTimeQuery)),
      Q_telltime(Conn1, "telltime", std::string(kTellTimeQuery)),
      Q_draft(Dataset::WholeTable(Conn1, "draft")),
      Q_draft1(Conn1, "draft", std::string(kDraftListQuery)) {}

std::unique_ptr<TDM> TDM::Connect(const std::string& programFolderWithSeparator) {
    const std::string path = programFolderWithSeparator + std::string(kFileName);
    if (const std::string reason = ReasonBeforeOpening(path); !reason.empty())
        throw DataConnectionError(path + ": " + reason, reason);
    try {
        Database db = Database::OpenExisting(path);
        db.SetBusyTimeout(kBusyTimeout);
        CheckShape(db);
        // Every change of a run is a post written through at once; a write
        // protected file would turn each of them into an error later on.
        if (db.IsReadOnly())
            throw DataConnectionError(path + ": the file is write protected", "只读");
        // The default rollback journal with full syncing: a post is on the
        // disk when it returns, and a crash mid-write is rolled back at the
        // next start.
        db.Execute("PRAGMA synchronous = FULL");
        // A file of an earlier version gains the newer tables here, in one
        // transaction: a failure leaves it exactly as it was.
        try {
            MigrateSchema(db);
            Statement probe = db.Prepare("select id, word, reading from pronunciation limit 0");
            probe.Step();
            Statement timetable = db.Prepare("select id, stime, days, draftid, filename, passes, "
                                             "interval, voice, enabled from timetable limit 0");
            timetable.Step();
        } catch (const DatabaseError& fault) {
            throw DataMigrationError(path + ": the file could not be brought up to date: " +
                                         fault.what(),
                                     "数据文件无法升级到新版本，文件未作改动（" +
                                         ReasonOfEngineFault(fault) + "）");
        }

        std::unique_ptr<TDM> dm(new TDM(std::move(db)));
        dm->Q_history.Open();
        dm->q_delaytime.Open();
        dm->Q_telltime.Open();
        dm->Q_draft.Open();
        dm->Q_draft1.Open();
        return dm;
    } catch (const DataConnectionError&) {
        throw;
    } catch (const DatabaseError& fault) {
        throw DataConnectionError(fault.what(), ReasonOfEngineFault(fault));
    } catch (const std::exception& fault) {
        throw DataConnectionError(fault.what(), "数据库错误");
    }
}

bool TDM::UpdateHistoryOpenDate(std::string_view gbkPath) {
    if (gbkPath.empty() || !Q_history.LocateExact("filename", gbkPath))
        return false;
    Q_history.Edit();
    Q_history.SetUtf8("opendate", NowLocalDateTimeText());
    Q_history.Post();
    return true;
}

void TDM::AddHistory(std::string_view gbkPath) {
    if (gbkPath.empty() || UpdateHistoryOpenDate(gbkPath))
        return;
    Q_history.Append();
    Q_history.SetText("filename", gbkPath);
    Q_history.SetUtf8("opendate", NowLocalDateTimeText());
    Q_history.Post();
}

bool TDM::DeleteHistory(std::string_view gbkPath) {
    if (gbkPath.empty() || !Q_history.LocateExact("filename", gbkPath))
        return false;
    Q_history.Delete();
    return true;
}

std::vector<DelaySymbol> TDM::DelaySymbols() const {
    std::vector<DelaySymbol> symbols;
    for (int recNo = 1; recNo <= q_delaytime.RecordCount(); ++recNo) {
        DelaySymbol symbol;
        symbol.candelete = ValueToInteger(q_delaytime.ValueAt(recNo, "candelete"), 0) != 0;
        symbol.symbol = Utf8ToGbk(ValueToUtf8(q_delaytime.ValueAt(recNo, "descript")));
        symbol.pauseMs = ToPause(ValueToInteger(q_delaytime.ValueAt(recNo, "delaytime"), 0));
        symbols.push_back(std::move(symbol));
    }
    return symbols;
}

} // namespace sonvela
