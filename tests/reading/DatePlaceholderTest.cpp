#include "DatePlaceholder.h"

#include "ReaderTestSupport.h"
#include "ReadingState.h"
#include "SettingsFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sonvela {
namespace {

using testing::G;
using testing::SampleMoment;

TEST(FormatDateTime, EightFormatsInTheChineseLocale) {
    const LocalDateTime t = SampleMoment(); // Monday 2014-04-07 09:05:03
    EXPECT_EQ(FormatDateTime(1, t), G("2014-04-07"));
    EXPECT_EQ(FormatDateTime(2, t), G("9:05:03"));
    EXPECT_EQ(FormatDateTime(3, t), G("9:05"));
    EXPECT_EQ(FormatDateTime(4, t), G("04月07日"));
    EXPECT_EQ(FormatDateTime(5, t), G("2014-04-07 09:05")); // minutes, not the month
    EXPECT_EQ(FormatDateTime(6, t), G("周一"));
    EXPECT_EQ(FormatDateTime(7, t), G("四月"));
    EXPECT_EQ(FormatDateTime(8, t), G("2014年04月07日 星期一"));
    EXPECT_EQ(FormatDateTime(0, t), std::nullopt);
    EXPECT_EQ(FormatDateTime(9, t), std::nullopt);
}

TEST(FormatDateTime, AfternoonSundayAndDecember) {
    const LocalDateTime t{1999, 12, 31, 23, 59, 7, 0};
    EXPECT_EQ(FormatDateTime(2, t), G("23:59:07"));
    EXPECT_EQ(FormatDateTime(3, t), G("23:59"));
    EXPECT_EQ(FormatDateTime(6, t), G("周日"));
    EXPECT_EQ(FormatDateTime(7, t), G("十二月"));
    EXPECT_EQ(FormatDateTime(8, t), G("1999年12月31日 星期日"));
}

class ExpandDatePlaceholderTest : public ::testing::Test {
protected:
    int clockReads = 0;
    LocalClock clock = [this] {
        ++clockReads;
        LocalDateTime t = SampleMoment();
        t.second += clockReads; // a different moment on every read
        return t;
    };
};

TEST_F(ExpandDatePlaceholderTest, EveryPlaceholderGetsTheOneMomentReadOnce) {
    EXPECT_EQ(ExpandDatePlaceholder(G("现在%Date%，再说%Date%。"), 2, clock),
              G("现在9:05:04，再说9:05:04。"));
    EXPECT_EQ(clockReads, 1);
}

TEST_F(ExpandDatePlaceholderTest, OtherCasesOnlyAlongsideTheExactOne) {
    EXPECT_EQ(ExpandDatePlaceholder("%date% and %DATE%", 1, clock), "%date% and %DATE%");
    EXPECT_EQ(clockReads, 0);
    EXPECT_EQ(ExpandDatePlaceholder("%Date%/%date%/%DaTe%", 1, clock),
              "2014-04-07/2014-04-07/2014-04-07");
}

TEST_F(ExpandDatePlaceholderTest, TypeOutsideTheEightLeavesTheText) {
    EXPECT_EQ(ExpandDatePlaceholder("%Date%", 0, clock), "%Date%");
    EXPECT_EQ(ExpandDatePlaceholder("%Date%", 9, clock), "%Date%");
    EXPECT_EQ(clockReads, 0);
}

TEST_F(ExpandDatePlaceholderTest, KeepsDoubleByteCharactersWhoseTrailBytesAreLetters) {
    // Trail bytes of GBK characters lie in the ASCII letter range; the
    // expansion must copy them untouched.
    const GbkString text = G("乤%Date%丏"); // 81 61, then 81 44
    EXPECT_EQ(ExpandDatePlaceholder(text, 1, clock), G("乤2014-04-07丏"));
}

TEST(DelaySign, FoundAndRemovedAsAWholeCharacter) {
    EXPECT_TRUE(HoldsDelaySign(G("前面※后面")));
    EXPECT_EQ(RemoveDelaySigns(G("※前面※※后面※")), G("前面后面"));
    // "啊" is B0 A1; followed by a character whose lead byte is F9 the bytes
    // A1 F9 appear across the two, which is not the sign.
    const GbkString straddling = G("啊") + "\xF9\x40";
    ASSERT_NE(straddling.find(kDelaySign), std::string::npos);
    EXPECT_FALSE(HoldsDelaySign(straddling));
    EXPECT_EQ(RemoveDelaySigns(straddling), straddling);
}

TEST(LoadReadingSettings, ReadsTheFormatTypeAndTheSignPause) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("reader-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const SettingsFile file((folder / "setinfo.ini").string());

    ReadingState state;
    state.datetimetype = 7;
    state.signdelay = 5;
    LoadReadingSettings(state, file);
    EXPECT_EQ(state.datetimetype.load(), 1);
    EXPECT_EQ(state.signdelay.load(), 800);

    {
        std::ofstream out(file.Path());
        out << "[Speaker]\nDatetimetype=5\n[System]\nDelay2=1234\n";
    }
    LoadReadingSettings(state, file);
    EXPECT_EQ(state.datetimetype.load(), 5);
    EXPECT_EQ(state.signdelay.load(), 1234);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace sonvela
