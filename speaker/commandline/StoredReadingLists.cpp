#include "StoredReadingLists.h"

#include "Database.h"
#include "GbkText.h"
#include "PronunciationTable.h"

#include <ostream>

namespace sonvela {

// The delay table as the program ships it, for a folder whose draft.dat
// cannot be read.
std::vector<DelaySymbolRow> ShippedDelayRows() {
    std::vector<DelaySymbolRow> rows;
    rows.push_back({Utf8ToGbk("。"), 300, true});
    for (std::string_view symbol : {"，", ",", "；", ";", "？", "?", "！", "!"})
        rows.push_back({Utf8ToGbk(symbol), 0, true});
    return rows;
}

// Reads draft.dat without any chance of changing it; the shipped delay table
// and an empty pronunciation list when it cannot be read.
StoredLists ReadStoredLists(const std::string& folder, std::ostream& err) {
    StoredLists lists;
    try {
        const Database db = Database::OpenReadOnly(folder + "draft.dat");
        Statement select = db.Prepare("select descript, delaytime, candelete from delaytime");
        while (select.Step())
            lists.delayRows.push_back(
                {Utf8ToGbk(ValueToUtf8(select.Column(0))),
                 static_cast<std::int32_t>(ValueToInteger(select.Column(1), 0)),
                 ValueToInteger(select.Column(2), 0) != 0});
        // A file of an earlier version has no list yet.
        if (db.QueryValue("select name from sqlite_master where type = 'table' and name = "
                          "'pronunciation'")) {
            for (const PronunciationRow& row : PronunciationTable(db).Rows())
                lists.pronunciations.push_back({row.word, row.reading});
        }
    } catch (const DatabaseError& fault) {
        err << "draft.dat 无法读取，使用默认的停顿符号: " << fault.what() << '\n';
        lists = {ShippedDelayRows(), {}};
    }
    return lists;
}

} // namespace sonvela
