// A draft.dat of the first version, as earlier installs have it, opened by
// this program: every row stays, the pronunciation list is added, and a
// failed step leaves the file as it was.
#include "DataModule.h"
#include "DatastoreFixture.h"
#include "PronunciationTable.h"
#include "SchemaMigration.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sonvela;
using namespace sonvela::test;

namespace {

void BuildFirstVersionDatabase(const TempFolder& folder) {
    BuildDatabase(folder.File("draft.dat"),
                  {SONVELA_SOURCE_DIR "/tests/datastore/fixtures/schema-v1.sql",
                   SONVELA_SOURCE_DIR "/speaker/data/sql/shipped-rows.sql"});
}

// Every row of the four shipped tables, as text.
std::vector<std::string> ShippedTableRows(const Database& db) {
    std::vector<std::string> rows;
    for (const char* table : {"draft", "history", "delaytime", "telltime"}) {
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

TEST(Migration, AFirstVersionFileKeepsEveryRowAndGainsThePronunciationList) {
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
    EXPECT_EQ(dm->Q_draft1.RecordCount(), 3);
    dm.reset();

    // A second start finds nothing to do.
    const auto migrated = Snapshot(folder);
    TDM::Connect(folder.WithSeparator());
    EXPECT_EQ(Snapshot(folder), migrated);
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
