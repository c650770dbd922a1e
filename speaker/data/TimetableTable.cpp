#include "TimetableTable.h"

namespace sonvela {
namespace {

constexpr std::string_view kColumns =
    "stime, days, draftid, filename, passes, interval, voice, enabled";

std::vector<SqlValue> RowValues(const TimetableRow& row) {
    SqlValue draft;
    if (row.draftId)
        draft = *row.draftId;
    return {row.stime,    std::int64_t{row.days},           draft,
            row.fileName, std::int64_t{row.passes},         std::int64_t{row.intervalSeconds},
            row.voice,    std::int64_t{row.enabled ? 1 : 0}};
}

} // namespace

std::vector<TimetableRow> TimetableTable::Rows() const {
    std::vector<TimetableRow> rows;
    Statement select =
        db_.Prepare("select id, " + std::string(kColumns) + " from timetable order by stime, id");
    while (select.Step()) {
        TimetableRow row;
        row.id = ValueToInteger(select.Column(0), 0);
        row.stime = ValueToUtf8(select.Column(1));
        row.days = static_cast<int>(ValueToInteger(select.Column(2), kEveryDay) & kEveryDay);
        if (!IsNullValue(select.Column(3)))
            row.draftId = ValueToInteger(select.Column(3), 0);
        row.fileName = ValueToUtf8(select.Column(4));
        row.passes = static_cast<int>(ValueToInteger(select.Column(5), 1));
        row.intervalSeconds = static_cast<int>(ValueToInteger(select.Column(6), 0));
        row.voice = ValueToUtf8(select.Column(7));
        row.enabled = ValueToInteger(select.Column(8), 0) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int64_t TimetableTable::Add(const TimetableRow& row) const {
    db_.Execute("insert into timetable (" + std::string(kColumns) +
                    ") values (?, ?, ?, ?, ?, ?, ?, ?)",
                RowValues(row));
    return db_.LastInsertId();
}

bool TimetableTable::Update(const TimetableRow& row) const {
    auto values = RowValues(row);
    values.emplace_back(row.id);
    return db_.Execute("update timetable set stime = ?, days = ?, draftid = ?, filename = ?, "
                       "passes = ?, interval = ?, voice = ?, enabled = ? where id = ?",
                       values) > 0;
}

bool TimetableTable::Delete(std::int64_t id) const {
    return db_.Execute("delete from timetable where id = ?", {id}) > 0;
}

int TimetableTable::EnableAll(bool enabled) const {
    const std::int64_t value = enabled ? 1 : 0;
    return db_.Execute("update timetable set enabled = ? where enabled <> ?", {value, value});
}

} // namespace sonvela
