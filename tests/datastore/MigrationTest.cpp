// A draft.dat of an earlier version, as earlier installs have it, opened by
// this program: every row stays, the missing tables are added, and a failed
// step leaves the file as it was.
#include "DataModule.h"
#include "DatastoreFixture.h"
#include "PronunciationTable.h"
#include "SchemaMigration.h"
#include "TimetableTable.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sonvela;
using namespace sonvela::test;

namespace {

void BuildDatabaseOfVersion(const TempFolder& folder, int version) {
    BuildDatabase(
        folder.File("draft.dat"),
        {SONVELA_SOURCE_DIR "/tests/datastore/fixtures/schema-v" + std::to_string(version) + ".sql",
         SONVELA_SOURCE_DIR "/speaker/data/sql/shipped-rows.sql"});
}

void BuildFirstVersionDatabase(const TempFolder& folder) {
    BuildDatabaseOfVersion(folder, 1);
}

bool HasTable(const Database& db, const std::string& table) {
    Statement select = db.Prepare("select 1 from sqlite_master where type = 'table' and name = ?");
    select.BindAll({table});
    return select.Step();
}

// Every row of the tables the file has, as text.
std::vector<std::string> ShippedTableRows(const Database& db) {
    std::vector<std::string> rows;
    for (const char* table : {"draft", "history", "delaytime", "telltime", "pronunciation"}) {
        if (!HasTable(db, table))
            continue;
        Statement select = db.Prepare(std::string("select * from ") + table + " order by id");
        while (select.Step()) {
            std::string row = table;
            for (int c = 0; c < select.ColumnCount(); ++c)
                row += "|" + ValueToUtf8(select.Column(c));
            rows.push_back(row);
        }
    }
    return rows;
}

int UserVersion(const Database& db) {
    return static_cast<int>(ValueToInteger(*db.QueryValue("PRAGMA user_version"), -1));
}

} // namespace

TEST(Migration, AFirstVersionFileKeepsEveryRowAndGainsTheLaterTables) {
    TempFolder folder;
    BuildFirstVersionDatabase(folder);
    std::vector<std::string> before;
    {
        Database db = Database::OpenExisting(folder.File("draft.dat"));
        ASSERT_EQ(UserVersion(db), 1);
        before = ShippedTableRows(db);
    }
    ASSERT_GT(before.size(), 50u);

    auto dm = TDM::Connect(folder.WithSeparator());
    EXPECT_EQ(UserVersion(dm->Conn1), kSchemaVersion);
    EXPECT_EQ(ShippedTableRows(dm->Conn1), before);
    EXPECT_TRUE(PronunciationTable(dm->Conn1).Rows().empty());
    EXPECT_TRUE(TimetableTable(dm->Conn1).Rows().empty());
    EXPECT_EQ(dm->Q_draft1.RecordCount(), 3);
    dm.reset();

    // A second start finds nothing to do.
    const auto migrated = Snapshot(folder);
    TDM::Connect(folder.WithSeparator());
    EXPECT_EQ(Snapshot(folder), migrated);
}

TEST(Migration, ASecondVersionFileKeepsItsPronunciationsAndGainsTheTimetable) {
    TempFolder folder;
    BuildDatabaseOfVersion(folder, 2);
    std::vector<std::string> before;
    {
        Database db = Database::OpenExisting(folder.File("draft.dat"));
        ASSERT_EQ(UserVersion(db), 2);
        PronunciationTable(db).Add("重庆", "chong2 qing4");
        before = ShippedTableRows(db);
        ASSERT_FALSE(HasTable(db, "timetable"));
    }
    ASSERT_GT(before.size(), 50u);

    auto dm = TDM::Connect(folder.WithSeparator());
    EXPECT_EQ(UserVersion(dm->Conn1), 3);
    EXPECT_EQ(ShippedTableRows(dm->Conn1), before);
    TimetableTable timetable(dm->Conn1);
    EXPECT_TRUE(timetable.Rows().empty());
    TimetableRow entry;
    entry.stime = "08:55:00";
    entry.draftId = 1;
    entry.id = timetable.Add(entry);
    EXPECT_EQ(timetable.Rows(), std::vector<TimetableRow>{entry});
}

TEST(Migration, TheShippedFileIsAlreadyUpToDate) {
    TempFolder folder;
    BuildShippedDatabase(folder);
    const auto shipped = Snapshot(folder);
    auto dm = TDM::Connect(folder.WithSeparator());
    EXPECT_EQ(UserVersion(dm->Conn1), kSchemaVersion);
    dm.reset();
    EXPECT_EQ(Snapshot(folder), shipped);
}

TEST(Migration, AFailedStepLeavesTheFileAsItWas) {
    TempFolder folder;
    BuildFirstVersionDatabase(folder);
    const auto before = Snapshot(folder);
    {
        // Another program holds the write lock through the whole start.
        Database holder = Database::OpenExisting(folder.File("draft.dat"));
        holder.Execute("BEGIN IMMEDIATE");
        EXPECT_THROW(TDM::Connect(folder.WithSeparator()), DataMigrationError);
        holder.Execute("ROLLBACK");
    }
    EXPECT_EQ(Snapshot(folder), before);
    // Once the lock is gone the same file is brought up to date.
    EXPECT_NO_THROW(TDM::Connect(folder.WithSeparator()));
}

TEST(PronunciationTable, RoundTripsWordsWithQuotesAndSqlSigns) {
    TempFolder folder;
    BuildShippedDatabase(folder);
    const std::vector<std::pair<std::string, std::string>> entries{
        {"O'Neil", "欧尼尔"},       {"\"引号\"", "yin3 hao4"}, {"a'; drop table draft; --", "——"},
        {"50%_折扣\\", "wu3 shi2"}, {"重庆", "chong2 qing4"},
    };
    std::vector<std::int64_t> ids;
    {
        auto dm = TDM::Connect(folder.WithSeparator());
        PronunciationTable table(dm->Conn1);
        for (const auto& [word, reading] : entries)
            ids.push_back(table.Add(word, reading));
        EXPECT_TRUE(table.Update(ids[4], "重庆市", "chong2 qing4 shi4"));
        EXPECT_TRUE(table.Delete(ids[1]));
        EXPECT_FALSE(table.Delete(ids[1]));
        EXPECT_FALSE(table.Update(9999, "x", "y"));
    }
    auto dm = TDM::Connect(folder.WithSeparator());
    const auto rows = PronunciationTable(dm->Conn1).Rows();
    const std::vector<PronunciationRow> expected{
        {ids[0], "O'Neil", "欧尼尔"},
        {ids[2], "a'; drop table draft; --", "——"},
        {ids[3], "50%_折扣\\", "wu3 shi2"},
        {ids[4], "重庆市", "chong2 qing4 shi4"},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(dm->Q_draft1.RecordCount(), 3);
}

TEST(TimetableTable, RoundTripsEntriesWithQuotesAndSqlSigns) {
    TempFolder folder;
    BuildShippedDatabase(folder);
    TimetableRow opening;
    opening.stime = "08:55:00";
    opening.days = kWeekdays;
    opening.draftId = 2;
    opening.passes = 3;
    opening.intervalSeconds = 15;
    opening.voice = "Mandarin \"女声\" 'zh'";
    TimetableRow bell;
    bell.stime = "21:50:00";
    bell.days = DayBit(7);
    bell.fileName = "/home/店/铃声 a'; drop table draft; --.mp3";
    bell.enabled = false;
    TimetableRow promotion = opening;
    promotion.stime = "14:00:00";
    promotion.voice.clear();
    {
        auto dm = TDM::Connect(folder.WithSeparator());
        TimetableTable table(dm->Conn1);
        bell.id = table.Add(bell);
        opening.id = table.Add(opening);
        promotion.id = table.Add(promotion);
        promotion.fileName = "50%_折扣\\.wav";
        promotion.draftId.reset();
        EXPECT_TRUE(table.Update(promotion));
        EXPECT_TRUE(table.Delete(opening.id));
        EXPECT_FALSE(table.Delete(opening.id));
        TimetableRow absent = bell;
        absent.id = 9999;
        EXPECT_FALSE(table.Update(absent));
        EXPECT_EQ(table.EnableAll(true), 1);
        bell.enabled = true;
    }
    auto dm = TDM::Connect(folder.WithSeparator());
    // By time of day, not by id.
    EXPECT_EQ(TimetableTable(dm->Conn1).Rows(), (std::vector<TimetableRow>{promotion, bell}));
    EXPECT_EQ(dm->Q_draft1.RecordCount(), 3);
}
