// Dataset behaviour over a freshly built draft.dat: row order and cursor,
// write-through of posts and deletes, look-ups, failures.
#include "DataModule.h"
#include "DatastoreFixture.h"
#include "GbkText.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::BuildShippedDatabase(folder_);
        dm_ = TDM::Connect(folder_.WithSeparator());
    }
    // A second connection, to see what is in the file rather than in memory.
    Database Other() const { return Database::OpenExisting(folder_.File("draft.dat")); }
    std::int64_t CountInFile(const std::string& table) const {
        return ValueToInteger(Other().QueryValue("select count(*) from " + table).value(), -1);
    }

    test::TempFolder folder_;
    std::unique_ptr<TDM> dm_;
};

TEST_F(DatasetTest, CursorWalksTheRowsInQueryOrder) {
    Dataset& drafts = dm_->Q_draft1;
    EXPECT_EQ(drafts.RecNo(), 1);
    EXPECT_FALSE(drafts.Bof());
    EXPECT_FALSE(drafts.Eof());
    drafts.Prior();
    EXPECT_TRUE(drafts.Bof());
    EXPECT_EQ(drafts.RecNo(), 1);
    drafts.Next();
    drafts.Next();
    EXPECT_EQ(drafts.RecNo(), 3);
    EXPECT_FALSE(drafts.Eof());
    drafts.Next();
    EXPECT_TRUE(drafts.Eof());
    EXPECT_EQ(drafts.RecNo(), 3); // still on the last row
    EXPECT_EQ(drafts.AsInteger("id"), 3);
    drafts.SetRecNo(99);
    EXPECT_EQ(drafts.RecNo(), 3);
    drafts.SetRecNo(2);
    EXPECT_EQ(drafts.AsInteger("ID"), 2); // names match without regard to case
    EXPECT_EQ(ValueToInteger(drafts.ValueAt(1, "orderno"), 0), 1);
    EXPECT_THROW(drafts.Value("nosuchcolumn"), DatabaseError);
    EXPECT_THROW(drafts.ValueAt(4, "id"), DatabaseError);
}

TEST_F(DatasetTest, AnAppendedDraftStaysLastUntilTheQueryRunsAgain) {
    Dataset& grid = dm_->Q_draft1;
    grid.SetRecNo(2);
    grid.Append();
    EXPECT_EQ(grid.RecNo(), 4);
    grid.SetText("name", Utf8ToGbk("新稿件"));
    grid.SetInteger("orderno", 0);
    grid.SetText("memory", Utf8ToGbk("今天下午三点开会。"));
    grid.Post();
    EXPECT_EQ(grid.RecordCount(), 4);
    EXPECT_EQ(grid.RecNo(), 4);
    EXPECT_EQ(grid.AsInteger("id"), 4); // the new id is read back
    EXPECT_EQ(grid.AsUtf8("name"), "新稿件");
    grid.First();
    EXPECT_EQ(grid.AsInteger("id"), 1);

    // The other dataset over the table knows nothing of it until it is run.
    EXPECT_EQ(dm_->Q_draft.RecordCount(), 3);
    dm_->Q_draft.Requery();
    EXPECT_EQ(dm_->Q_draft.RecordCount(), 4);

    grid.Requery();
    EXPECT_EQ(grid.RecNo(), 1);
    EXPECT_EQ(grid.AsInteger("id"), 4);
    EXPECT_EQ(grid.AsInteger("orderno"), 0);
    grid.Next();
    EXPECT_EQ(grid.AsInteger("id"), 1);
}

TEST_F(DatasetTest, PostsAndCancelsAreWrittenThroughAtOnce) {
    Dataset& drafts = dm_->Q_draft;
    drafts.SetRecNo(2);
    drafts.Edit();
    drafts.SetText("name", Utf8ToGbk("开门词"));
    EXPECT_EQ(drafts.AsUtf8("name"), "开门词"); // the pending value is what is read
    EXPECT_EQ(ValueToUtf8(drafts.ValueAt(2, "name")), "营业准备词");
    drafts.Post();
    EXPECT_EQ(ValueToUtf8(Other().QueryValue("select name from draft where id = 2").value()),
              "开门词");

    drafts.Edit();
    drafts.SetNull("memory");
    drafts.Cancel();
    EXPECT_FALSE(drafts.IsNull("memory"));
    EXPECT_EQ(CountInFile("draft where memory is null"), 0);

    // Leaving an edited row posts it, as a grid does.
    drafts.Edit();
    drafts.SetInteger("orderno", 7);
    drafts.Next();
    EXPECT_EQ(drafts.GetState(), Dataset::State::Browse);
    EXPECT_EQ(
        ValueToInteger(Other().QueryValue("select orderno from draft where id = 2").value(), 0), 7);

    // Yes/no columns are 0 or 1 in the file.
    Dataset& slots = dm_->Q_telltime;
    slots.SetRecNo(17);
    slots.Edit();
    slots.SetBool("isplay", true);
    slots.Post();
    EXPECT_EQ(ValueToInteger(Other()
                                 .QueryValue("select isplay from telltime where stime = "
                                             "'08:00:00'")
                                 .value(),
                             -1),
              1);

    EXPECT_THROW(slots.SetBool("isplay", false), DatabaseError); // not editing
    slots.Edit();
    EXPECT_THROW(slots.SetInteger("id", 99), DatabaseError);
    slots.Cancel();
}

TEST_F(DatasetTest, DeleteLeavesTheCursorOnTheFollowingRow) {
    Dataset& delays = dm_->q_delaytime;
    delays.SetRecNo(3);
    delays.Delete();
    EXPECT_EQ(delays.RecordCount(), 8);
    EXPECT_EQ(delays.RecNo(), 3);
    EXPECT_EQ(delays.AsInteger("id"), 4);
    EXPECT_EQ(CountInFile("delaytime"), 8);

    delays.Last();
    delays.Delete(); // the last row: the cursor goes to the new last one
    EXPECT_EQ(delays.RecNo(), 7);
    EXPECT_EQ(delays.AsInteger("id"), 8);
    EXPECT_FALSE(delays.Eof());

    // Appending and then deleting only drops the new row.
    delays.Append();
    delays.SetText("name", "x");
    delays.Delete();
    EXPECT_EQ(delays.RecordCount(), 7);
    EXPECT_EQ(CountInFile("delaytime"), 7);

    delays.First();
    while (!delays.IsEmpty())
        delays.Delete();
    EXPECT_TRUE(delays.Eof());
    EXPECT_TRUE(delays.Bof());
    EXPECT_EQ(delays.RecNo(), 0);
    EXPECT_TRUE(delays.IsNull("descript"));
    EXPECT_THROW(delays.Delete(), DatabaseError);
    EXPECT_EQ(CountInFile("delaytime"), 0);
    EXPECT_TRUE(dm_->DelaySymbols().empty());

    // Editing an empty dataset begins a new row.
    delays.Edit();
    EXPECT_EQ(delays.GetState(), Dataset::State::Insert);
    delays.SetText("descript", Utf8ToGbk("、"));
    delays.SetInteger("delaytime", 150);
    delays.SetBool("candelete", true);
    delays.Post();
    ASSERT_EQ(dm_->DelaySymbols().size(), 1u);
    EXPECT_EQ(dm_->DelaySymbols()[0].symbol, Utf8ToGbk("、"));
    EXPECT_EQ(dm_->DelaySymbols()[0].pauseMs, 150);
}

TEST_F(DatasetTest, HistoryMatchesWholePathsOnly) {
    const GbkString bak = Utf8ToGbk("/home/user/文本/a.txt.bak");
    const GbkString txt = Utf8ToGbk("/home/user/文本/a.txt");
    dm_->AddHistory(bak);
    Dataset& history = dm_->Q_history;
    ASSERT_EQ(history.RecordCount(), 2);
    // Make the .bak row's date old, so a wrong update would show.
    history.Last();
    history.Edit();
    history.SetUtf8("opendate", "2001-01-01 00:00:00");
    history.Post();

    // A prefix look-up would take the .bak row for a.txt.
    history.First();
    EXPECT_TRUE(history.Locate("filename", txt));
    EXPECT_EQ(history.AsText("filename"), bak);

    dm_->AddHistory(txt);
    EXPECT_EQ(history.RecordCount(), 3);
    EXPECT_EQ(CountInFile("history"), 3);
    EXPECT_EQ(ValueToUtf8(Other()
                              .QueryValue("select opendate from history where filename = ?",
                                          {GbkToUtf8(bak)})
                              .value()),
              "2001-01-01 00:00:00");

    // Opening it again keeps one row and moves its date forward.
    history.Last();
    const std::int64_t txtId = history.AsInteger("id");
    history.Edit();
    history.SetUtf8("opendate", "2002-02-02 00:00:00");
    history.Post();
    dm_->AddHistory(txt);
    EXPECT_EQ(history.RecordCount(), 3);
    EXPECT_EQ(history.AsInteger("id"), txtId);
    EXPECT_GT(history.AsUtf8("opendate"), "2020-01-01 00:00:00");
    EXPECT_EQ(history.AsUtf8("opendate").size(), 19u);

    EXPECT_FALSE(dm_->UpdateHistoryOpenDate(Utf8ToGbk("/home/user/文本/a.tx")));
    EXPECT_TRUE(dm_->DeleteHistory(txt));
    EXPECT_FALSE(dm_->DeleteHistory(txt));
    EXPECT_EQ(CountInFile("history"), 2);
    EXPECT_TRUE(history.LocateExact("filename", bak));

    // An empty path names no file: it must not touch the first row.
    dm_->AddHistory("");
    EXPECT_EQ(CountInFile("history"), 2);

    // Rows keep the order they had; a fresh query sorts by date.
    history.Requery();
    EXPECT_EQ(history.AsText("filename"), Utf8ToGbk("D:\\Sonvela\\texts\\报价单.txt"));
}

TEST_F(DatasetTest, QuotesAndCodePageTextAreStoredAsGiven) {
    const GbkString name = Utf8ToGbk("It's \"新\"; drop table draft; --'");
    // GB18030's four-byte form of a character outside GBK (U+20000).
    const GbkString rare = Utf8ToGbk("\xF0\xA0\x80\x80");
    ASSERT_EQ(rare.size(), 4u);
    Dataset& drafts = dm_->Q_draft;
    drafts.Append();
    drafts.SetText("name", name);
    drafts.SetText("memory", rare);
    drafts.Post();
    EXPECT_EQ(drafts.AsText("name"), name);
    EXPECT_EQ(drafts.AsText("memory"), rare);
    EXPECT_EQ(CountInFile("draft"), 4);
    const Database other = Other();
    EXPECT_EQ(ValueToUtf8(other.QueryValue("select name from draft where id = 4").value()),
              GbkToUtf8(name));

    dm_->AddHistory(Utf8ToGbk("/home/o'neil/价格'表.txt"));
    EXPECT_TRUE(dm_->Q_history.LocateExact("filename", Utf8ToGbk("/home/o'neil/价格'表.txt")));
}

TEST_F(DatasetTest, LocateMissKeepsTheCursor) {
    Dataset& slots = dm_->Q_telltime;
    slots.SetRecNo(5);
    EXPECT_FALSE(slots.Locate("stime", "25:"));
    EXPECT_EQ(slots.RecNo(), 5);
    EXPECT_TRUE(slots.Locate("stime", "12:"));
    EXPECT_EQ(slots.AsUtf8("stime"), "12:00:00");
    EXPECT_TRUE(slots.LocateExact("id", "30"));
    EXPECT_EQ(slots.RecNo(), 30);
}

TEST_F(DatasetTest, FailingWritesThrowAndLeaveMemoryMatchingTheFile) {
    // Another program makes every change of the drafts fail.
    Other().ExecuteScript(R"(
        CREATE TRIGGER no_insert BEFORE INSERT ON draft BEGIN SELECT RAISE(ABORT, 'disk full'); END;
        CREATE TRIGGER no_update BEFORE UPDATE ON draft BEGIN SELECT RAISE(ABORT, 'disk full'); END;
        CREATE TRIGGER no_delete BEFORE DELETE ON draft BEGIN SELECT RAISE(ABORT, 'disk full'); END;
    )");
    Dataset& drafts = dm_->Q_draft;
    drafts.SetRecNo(2);
    drafts.Append();
    drafts.SetText("name", "new");
    try {
        drafts.Post();
        FAIL() << "the post should have failed";
    } catch (const DatabaseError& fault) {
        EXPECT_NE(std::string(fault.what()).find("disk full"), std::string::npos) << fault.what();
        EXPECT_NE(std::string(fault.what()).find("draft.dat"), std::string::npos) << fault.what();
    }
    EXPECT_EQ(drafts.GetState(), Dataset::State::Browse);
    EXPECT_EQ(drafts.RecordCount(), 3);
    EXPECT_EQ(drafts.RecNo(), 2);

    drafts.Edit();
    drafts.SetText("name", "changed");
    EXPECT_THROW(drafts.Post(), DatabaseError);
    EXPECT_EQ(drafts.AsUtf8("name"), "营业准备词");

    EXPECT_THROW(drafts.Delete(), DatabaseError);
    EXPECT_EQ(drafts.RecordCount(), 3);
    EXPECT_EQ(drafts.AsInteger("id"), 2);

    Other().ExecuteScript("DROP TRIGGER no_update;");
    drafts.Edit();
    drafts.SetText("name", "changed");
    drafts.Post();
    EXPECT_EQ(drafts.AsUtf8("name"), "changed");
}

TEST(BuildDatabase, AFailedBuildLeavesNoFileBehind) {
    test::TempFolder folder;
    const std::string bad = folder.File("bad.sql");
    FILE* file = std::fopen(bad.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("CREATE TABLE t (a);\n\n-- the fault\nINSERT INTO nowhere VALUES (1);\n", file);
    std::fclose(file);

    try {
        BuildDatabase(folder.File("draft.dat"), {bad});
        FAIL() << "the build should have failed";
    } catch (const DatabaseError& fault) {
        EXPECT_NE(std::string(fault.what()).find("bad.sql, line 4"), std::string::npos)
            << fault.what();
    }
    EXPECT_EQ(test::Snapshot(folder).size(), 1u); // bad.sql only

    // An existing file is kept when a rebuild fails.
    test::BuildShippedDatabase(folder);
    const auto before = test::Snapshot(folder);
    EXPECT_THROW(BuildDatabase(folder.File("draft.dat"), {bad}), DatabaseError);
    EXPECT_THROW(BuildDatabase(folder.File("draft.dat"), {folder.File("missing.sql")}),
                 std::system_error);
    EXPECT_EQ(test::Snapshot(folder), before);
}

} // namespace
} // namespace sonvela
