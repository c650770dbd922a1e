#include "DelaySymbols.h"

#include "ReaderTestSupport.h"
#include "ReadingState.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

using testing::G;
using testing::InstalledDelayTable;

TEST(DelaySymbols, InstalledTableJoinsSymbolsInTableOrder) {
    const auto symbols = DelaySymbols::FromRows(InstalledDelayTable());
    EXPECT_EQ(symbols.delaystring(), G("。，,；;？?！!"));
    EXPECT_EQ(symbols.delayvalues(), (std::vector<std::int32_t>{300, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(symbols.PauseOf(G("。")), 300);
    EXPECT_EQ(symbols.PauseOf(","), 0);
    EXPECT_EQ(symbols.PauseOf("."), std::nullopt);
}

TEST(DelaySymbols, SkipsRowsThatMakeNoPauseAndBlankSymbols) {
    const auto symbols = DelaySymbols::FromRows(
        {{G("，"), 50, false}, {"  \t", 70, true}, {"", 80, true}, {G(" 、 "), 90, true}});
    EXPECT_EQ(symbols.delaystring(), G("、"));
    EXPECT_EQ(symbols.delayvalues(), std::vector<std::int32_t>{90});
    EXPECT_EQ(symbols.PauseOf(G("，")), std::nullopt);
}

TEST(DelaySymbols, TheFirstRowHoldingACharacterGivesItsPause) {
    // A symbol may have two characters; a character in two rows takes the
    // pause of the earlier row.
    const auto symbols =
        DelaySymbols::FromRows({{G("…"), 10, true}, {G("。！"), 20, true}, {G("！"), 30, true}});
    EXPECT_EQ(symbols.PauseOf(G("…")), 10);
    EXPECT_EQ(symbols.PauseOf(G("。")), 20);
    EXPECT_EQ(symbols.PauseOf(G("！")), 20);
}

TEST(CutSegment, EndsAfterTheFirstDelaySymbol) {
    const auto symbols = DelaySymbols::FromRows(InstalledDelayTable());
    const GbkString window = G("今天天气很好。我们去公园吧！明天见");
    const SegmentCut cut = CutSegment(window, symbols);
    EXPECT_EQ(window.substr(0, cut.length), G("今天天气很好。"));
    EXPECT_EQ(cut.segdelay, 300);

    const SegmentCut second = CutSegment(std::string_view(window).substr(cut.length), symbols);
    EXPECT_EQ(second.length, G("我们去公园吧！").size());
    EXPECT_EQ(second.segdelay, 0);
}

TEST(CutSegment, ComparesWholeCharacters) {
    const auto symbols = DelaySymbols::FromRows(InstalledDelayTable());
    // "＃" is A3 A3: its bytes occur inside the joined "。，" (A1 A3 A3 AC),
    // yet it is no delay symbol.
    ASSERT_NE(symbols.delaystring().find(G("＃")), std::string::npos);
    const GbkString window = G("一＃二。三");
    EXPECT_EQ(CutSegment(window, symbols).length, G("一＃二。").size());
}

TEST(CutSegment, WithoutASymbolTakesTheWholeWindowWithoutPause) {
    const auto symbols = DelaySymbols::FromRows(InstalledDelayTable());
    const GbkString window = G("没有标点的句子. 还有英文句点");
    const SegmentCut cut = CutSegment(window, symbols);
    EXPECT_EQ(cut.length, window.size());
    EXPECT_EQ(cut.segdelay, 0);

    const SegmentCut empty = CutSegment(window, DelaySymbols{});
    EXPECT_EQ(empty.length, window.size());
}

TEST(ReadingState, GetdelaystringReplacesTheSymbolsAReaderSees) {
    ReadingState state;
    const auto before = state.delaySymbols();
    getdelaystring(state, InstalledDelayTable());
    EXPECT_EQ(state.delaySymbols()->delaystring(), G("。，,；;？?！!"));
    // A reader still holding the earlier set keeps a valid one.
    EXPECT_EQ(before->delaystring(), "");
}

} // namespace
} // namespace sonvela
