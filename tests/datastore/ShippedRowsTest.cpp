// The database built from the .sql files holds exactly the shipped rows, and
// the data module opens its datasets over it with the right queries.
#include "DataModule.h"
#include "DatastoreFixture.h"
#include "GbkText.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

class ShippedRows : public ::testing::Test {
protected:
    void SetUp() override {
        test::BuildShippedDatabase(folder_);
        dm_ = TDM::Connect(folder_.WithSeparator());
    }
    test::TempFolder folder_;
    std::unique_ptr<TDM> dm_;
};

TEST_F(ShippedRows, DatasetsRunTheirQueriesAndCountTheShippedRows) {
    EXPECT_EQ(dm_->Q_history.QueryText(),
              "select * from history where filename<>'' order by opendate desc");
    EXPECT_EQ(dm_->q_delaytime.QueryText(), "select * from delaytime");
    EXPECT_EQ(dm_->Q_telltime.QueryText(), "select * from telltime order by stime");
    EXPECT_EQ(dm_->Q_draft1.QueryText(), "select * from draft order by orderno  ASC");
    EXPECT_EQ(dm_->Q_draft.TableName(), "draft");

    EXPECT_EQ(dm_->Q_history.RecordCount(), 1);
    EXPECT_EQ(dm_->q_delaytime.RecordCount(), 9);
    EXPECT_EQ(dm_->Q_telltime.RecordCount(), 48);
    EXPECT_EQ(dm_->Q_draft.RecordCount(), 3);
    EXPECT_EQ(dm_->Q_draft1.RecordCount(), 3);
    EXPECT_EQ(dm_->Conn1.QueryValue("PRAGMA integrity_check").value(), SqlValue("ok"));
}

TEST_F(ShippedRows, TheHistoryRowNamesAFileOfAnotherMachine) {
    Dataset& history = dm_->Q_history;
    EXPECT_EQ(history.RecNo(), 1);
    EXPECT_EQ(history.AsInteger("id"), 6);
    EXPECT_EQ(history.AsUtf8("filename"), "D:\\Sonvela\\texts\\报价单.txt");
    EXPECT_EQ(history.AsText("filename"), Utf8ToGbk("D:\\Sonvela\\texts\\报价单.txt"));
    EXPECT_EQ(history.AsUtf8("opendate"), "2015-01-28 08:08:28");
    EXPECT_TRUE(history.IsNull("orderno"));
}

TEST_F(ShippedRows, TheDraftsAreTheThreeSamples) {
    Dataset& drafts = dm_->Q_draft1;
    const char* names[] = {"基本介绍", "营业准备词", "报价单"};
    for (int n = 1; n <= 3; ++n, drafts.Next()) {
        SCOPED_TRACE(n);
        EXPECT_EQ(drafts.AsInteger("id"), n);
        EXPECT_EQ(drafts.AsInteger("orderno"), n);
        EXPECT_EQ(drafts.AsText("name"), Utf8ToGbk(names[n - 1]));
        EXPECT_TRUE(drafts.IsNull("inputdate"));
        const std::string text = drafts.AsUtf8("memory");
        EXPECT_GT(text.size(), 60u);
        EXPECT_NE(text.find("。"), std::string::npos);
        EXPECT_NE(text.find("，"), std::string::npos);
        // Every sample must survive the trip through the program's code page.
        EXPECT_EQ(GbkToUtf8(drafts.AsText("memory")), text);
    }
    EXPECT_TRUE(drafts.Eof());
    drafts.Last();
    EXPECT_TRUE(drafts.AsUtf8("memory").ends_with("%Date%"));
}

TEST_F(ShippedRows, NineDelaySymbolsInStoredOrder) {
    struct Row {
        const char* name;
        const char* symbol;
        int pause;
        const char* ename;
    };
    const Row expected[] = {
        {"句号", "。", 300, "juhao"},     {"逗号(全角)", "，", 0, "douhao"},
        {"逗号(半角)", ",", 0, "douhao"}, {"分号(全角)", "；", 0, "fenhao"},
        {"分号(半角)", ";", 0, "fenhao"}, {"问号(全角)", "？", 0, "wenhao"},
        {"问号(半角)", "?", 0, "wenhao"}, {"叹号(全角)", "！", 0, "tanhao"},
        {"叹号(半角)", "!", 0, "tanhao"},
    };
    Dataset& delays = dm_->q_delaytime;
    delays.First();
    for (int n = 1; n <= 9; ++n, delays.Next()) {
        SCOPED_TRACE(n);
        const Row& row = expected[n - 1];
        EXPECT_EQ(delays.AsInteger("id"), n);
        EXPECT_EQ(delays.AsUtf8("name"), row.name);
        EXPECT_EQ(delays.AsUtf8("descript"), row.symbol);
        EXPECT_EQ(delays.AsInteger("delaytime"), row.pause);
        EXPECT_EQ(delays.AsUtf8("ename"), row.ename);
        EXPECT_TRUE(delays.AsBool("candelete"));
    }

    const std::vector<DelaySymbol> symbols = dm_->DelaySymbols();
    ASSERT_EQ(symbols.size(), 9u);
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        EXPECT_EQ(symbols[i].symbol, Utf8ToGbk(expected[i].symbol));
        EXPECT_EQ(symbols[i].pauseMs, expected[i].pause);
        EXPECT_TRUE(symbols[i].candelete);
    }
    EXPECT_EQ(symbols[0].symbol, "\xA1\xA3"); // 。 in GBK
}

TEST_F(ShippedRows, AnnouncementSlotsEveryHalfHour) {
    Dataset& slots = dm_->Q_telltime;
    struct Slot {
        int recNo;
        const char* stime;
        const char* text;
        const char* speaker; // nullptr: null
    };
    const Slot checked[] = {
        {1, "00:00:00", "现在是北京时间 00:00", "VW Liang"},
        {2, "00:30:00", "现在是北京时间 00:30", "VW Hui"},
        {5, "02:00:00", "现在是北京时间 02:00", nullptr},
        {9, "04:00:00", "现在是北京时间 04:00", ""},
        {24, "11:30:00", "现在是北京时间 11:30", "VW Liang"},
        {30, "14:30:00", "现在是北京时间 14:30", "VW Hui"},
        {36, "17:30:00", "现在是北京时间 17:30", ""},
        {48, "23:30:00", "现在是北京时间 23:30", nullptr},
    };
    for (const Slot& slot : checked) {
        SCOPED_TRACE(slot.recNo);
        slots.SetRecNo(slot.recNo);
        EXPECT_EQ(slots.AsInteger("id"), slot.recNo);
        EXPECT_EQ(slots.AsUtf8("stime"), slot.stime);
        EXPECT_EQ(slots.AsUtf8("text"), slot.text);
        if (slot.speaker) {
            EXPECT_FALSE(slots.IsNull("speaker"));
            EXPECT_EQ(slots.AsUtf8("speaker"), slot.speaker);
        } else {
            EXPECT_TRUE(slots.IsNull("speaker"));
        }
    }

    int nulls = 0, liang = 0, hui = 0, empty = 0;
    for (slots.First(); !slots.Eof(); slots.Next()) {
        EXPECT_FALSE(slots.AsBool("isplay", true));
        if (slots.IsNull("speaker"))
            ++nulls;
        else if (slots.AsUtf8("speaker") == "VW Liang")
            ++liang;
        else if (slots.AsUtf8("speaker") == "VW Hui")
            ++hui;
        else if (slots.AsUtf8("speaker").empty())
            ++empty;
    }
    EXPECT_EQ(liang, 2);
    EXPECT_EQ(hui, 4);
    EXPECT_EQ(empty, 3);
    EXPECT_EQ(nulls, 39);
}

TEST_F(ShippedRows, NewIdsFollowTheShippedOnesAndAreNeverReused) {
    Dataset& history = dm_->Q_history;
    history.Append();
    history.SetUtf8("filename", "/home/user/a.txt");
    history.Post();
    EXPECT_EQ(history.AsInteger("id"), 7);
    history.Delete();
    history.Append();
    history.SetUtf8("filename", "/home/user/b.txt");
    history.Post();
    EXPECT_EQ(history.AsInteger("id"), 8);
}

} // namespace
} // namespace sonvela
