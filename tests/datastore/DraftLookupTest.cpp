// Finding a draft by the name or id another program gives.
#include "DraftLookup.h"

#include "DatastoreFixture.h"

#include <gtest/gtest.h>

using namespace sonvela;
using namespace sonvela::test;

namespace {

std::int64_t AddDraft(const Database& db, const std::string& name, const std::string& text,
                      int orderno = 0) {
    db.Execute("insert into draft (orderno, name, memory) values (?, ?, ?)",
               {std::int64_t{orderno}, name, text});
    return db.LastInsertId();
}

} // namespace

TEST(DraftLookup, ANameWinsOverAnIdAndANumberFindsTheDraftOfThatId) {
    TempFolder folder;
    BuildShippedDatabase(folder);
    const Database db = Database::OpenExisting(folder.File("draft.dat"));
    const std::int64_t greeting = AddDraft(db, "开门问候", "各位顾客早上好");
    const std::int64_t quoted = AddDraft(db, "O'Neil's \"特价\" %_", "今日特价");
    // A draft named like another draft's id.
    const std::int64_t numbered = AddDraft(db, std::to_string(greeting), "我叫这个数字");

    const auto byName = FindDraft(db, "  开门问候 ");
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->id, greeting);
    EXPECT_EQ(byName->text, "各位顾客早上好");

    const auto signs = FindDraft(db, "O'Neil's \"特价\" %_");
    ASSERT_TRUE(signs);
    EXPECT_EQ(signs->id, quoted);
    // Like's wild cards are plain signs here.
    EXPECT_FALSE(FindDraft(db, "O'Neil's \"特价\" __"));

    const auto byNumberName = FindDraft(db, std::to_string(greeting));
    ASSERT_TRUE(byNumberName);
    EXPECT_EQ(byNumberName->id, numbered);

    const auto byId = FindDraft(db, std::to_string(quoted));
    ASSERT_TRUE(byId);
    EXPECT_EQ(byId->name, "O'Neil's \"特价\" %_");

    EXPECT_FALSE(FindDraft(db, "没有这个稿件"));
    EXPECT_FALSE(FindDraft(db, "99999"));
    EXPECT_FALSE(FindDraft(db, "12abc"));
    EXPECT_FALSE(FindDraft(db, "   "));
    EXPECT_FALSE(DraftById(db, 99999));
}

TEST(DraftLookup, ADraftWithoutTextComesBackEmptyAndSharedNamesGoByTheListsOrder) {
    TempFolder folder;
    BuildShippedDatabase(folder);
    const Database db = Database::OpenExisting(folder.File("draft.dat"));
    db.Execute("insert into draft (orderno, name) values (0, '空白')");
    const auto blank = FindDraft(db, "空白");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->text, "");

    AddDraft(db, "闭店", "later", 5);
    const std::int64_t first = AddDraft(db, "闭店", "first", 1);
    const auto shared = FindDraft(db, "闭店");
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->id, first);
}
