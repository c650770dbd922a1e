// What the timetable shows the operator: days, the next entry, and the
// checks before an entry is saved.
#include "TimetableText.h"

#include "TimetableTestSupport.h"

#include <gtest/gtest.h>

using namespace sonvela;
using namespace sonvela::test;

TEST(TimetableText, DaysNameTheCommonSetsAndListTheOthersInWeekOrder) {
    EXPECT_EQ(DaysText(kEveryDay), "每天");
    EXPECT_EQ(DaysText(kWeekdays), "工作日");
    EXPECT_EQ(DaysText(DayBit(6) | DayBit(7)), "周末");
    EXPECT_EQ(DaysText(0), "从不");
    EXPECT_EQ(DaysText(DayBit(5) | DayBit(1) | DayBit(3)), "周一、周三、周五");
    EXPECT_EQ(DaysText(DayBit(7)), "周日");
}

TEST(TimetableText, TheNextEntrySaysTodayTomorrowOrItsWeekday) {
    TimetableRow entry;
    entry.stime = "09:00:00";
    const LocalMoment friday = At(11, 23, 59, 59);
    EXPECT_EQ(NextEntryPanelText(NextEntry{entry, At(11, 23, 59, 59)}, friday, "闭店"),
              "下一条定时播报：今天 23:59:59 闭店");
    EXPECT_EQ(NextEntryPanelText(NextEntry{entry, At(12, 0, 0)}, friday, ""),
              "下一条定时播报：明天 00:00:00");
    EXPECT_EQ(NextEntryPanelText(NextEntry{entry, At(14, 9, 0)}, friday, "开门"),
              "下一条定时播报：周一 09:00:00 开门");
    EXPECT_EQ(NextEntryPanelText(std::nullopt, friday, "x"), "无定时播报");
}

TEST(TimetableText, AnEntryIsSavedOnlyWithATimeADaySomethingToReadAndSaneCounts) {
    TimetableRow entry;
    entry.stime = "08:55:00";
    entry.draftId = 3;
    EXPECT_FALSE(EntryProblem(entry));

    auto with = [&entry](auto change) {
        TimetableRow changed = entry;
        change(changed);
        return EntryProblem(changed).has_value();
    };
    EXPECT_TRUE(with([](TimetableRow& e) { e.stime = "8:55:00"; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.stime = "24:00:00"; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.stime = "08:55"; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.days = 0; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.passes = 0; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.intervalSeconds = -1; }));
    EXPECT_TRUE(with([](TimetableRow& e) { e.draftId.reset(); }));
    EXPECT_TRUE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "/home/店/bell.mp3/notes.txt";
    }));
    EXPECT_TRUE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "/home/店.mp3/bell";
    }));
    EXPECT_FALSE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "/home/店/开门 铃声.MP3";
    }));
    EXPECT_FALSE(with([](TimetableRow& e) {
        e.draftId.reset();
        e.fileName = "bell.wav";
    }));
}

namespace {

// Drafts 1 "开门问候" and 2 "闭店"; files under /shop exist; one voice.
EntryLookups ShopLookups() {
    return {[](std::int64_t id) -> std::optional<std::string> {
                if (id == 1)
                    return "开门问候";
                if (id == 2)
                    return "闭店";
                return std::nullopt;
            },
            [](const std::string& file) { return file.rfind("/shop/", 0) == 0; },
            [](const std::string& voice) -> std::optional<std::string> {
                if (voice == "cmn-latn-pinyin")
                    return "Chinese Mandarin (espeak-ng)";
                return std::nullopt;
            }};
}

} // namespace

TEST(TimetableText, TheListShowsTheDraftsCurrentNameTheFilesNameAndMarksWhatIsGone) {
    TimetableRow entry;
    entry.stime = "21:50:00";
    entry.days = kWeekdays;
    entry.draftId = 2;
    entry.passes = 3;
    entry.intervalSeconds = 30;
    entry.voice = "cmn-latn-pinyin";
    EntryListing line = ListEntry(entry, ShopLookups());
    EXPECT_EQ(line.time, "21:50:00");
    EXPECT_EQ(line.days, "工作日");
    EXPECT_EQ(line.source, "闭店");
    EXPECT_EQ(line.passes, "3 遍");
    EXPECT_EQ(line.interval, "30 秒");
    EXPECT_EQ(line.voice, "Chinese Mandarin (espeak-ng)");
    EXPECT_EQ(line.problem, "");

    entry.draftId = 7; // deleted: ids are never handed out again
    line = ListEntry(entry, ShopLookups());
    EXPECT_EQ(line.source, "（文稿已删除）");
    EXPECT_NE(line.problem, "");

    entry.draftId.reset();
    entry.fileName = "/shop/铃声/开门.mp3";
    entry.passes = 1;
    entry.voice.clear();
    line = ListEntry(entry, ShopLookups());
    EXPECT_EQ(line.source, "开门.mp3");
    EXPECT_EQ(line.problem, "");
    // One pass has no interval, whatever is stored.
    EXPECT_EQ(line.interval, "—");
    EXPECT_EQ(line.voice, "主窗口的语音");

    entry.fileName = "/gone/开门.mp3";
    entry.voice = "yue";
    line = ListEntry(entry, ShopLookups());
    EXPECT_EQ(line.source, "开门.mp3");
    EXPECT_NE(line.problem.find("/gone/开门.mp3"), std::string::npos);
    EXPECT_EQ(line.voice, "yue（未安装）");
}

TEST(TimetableText, SavingChecksThatTheDraftOrFileIsStillThere) {
    TimetableRow entry;
    entry.stime = "08:55:00";
    entry.draftId = 1;
    EXPECT_FALSE(EntryProblem(entry, ShopLookups()));
    entry.draftId = 9;
    EXPECT_EQ(EntryProblem(entry, ShopLookups()), "所选的文稿已被删除，请另选一篇文稿");
    entry.draftId.reset();
    entry.fileName = "/shop/bell.wav";
    EXPECT_FALSE(EntryProblem(entry, ShopLookups()));
    entry.fileName = "/tmp/bell.wav";
    EXPECT_EQ(EntryProblem(entry, ShopLookups()), "找不到声音文件 /tmp/bell.wav");
    // The form of the entry is checked first: a missing day says so, not
    // that the file is gone.
    entry.days = 0;
    EXPECT_EQ(EntryProblem(entry, ShopLookups()), "请至少选择一天");
}
