#include "ChimePlayer.h"
#include "DelaySymbolRules.h"
#include "ScheduleTestSupport.h"
#include "SessionRecovery.h"
#include "bass.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace sonvela {
namespace {

TEST(NewDelaySymbol, RefusalsAndTheirMessages) {
    auto empty = CheckNewDelaySymbol("", 9);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->warning);
    EXPECT_EQ(empty->message, "请输入标点符号!");
    for (const char* sign : {"※", "a※"}) {
        auto refused = CheckNewDelaySymbol(sign, 9);
        ASSERT_TRUE(refused);
        EXPECT_TRUE(refused->warning);
        EXPECT_EQ(refused->message, "该符号为系统功能符号，不能添加!");
    }
    EXPECT_FALSE(CheckNewDelaySymbol(":", 29));
    auto full = CheckNewDelaySymbol(":", 30);
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->warning);
    EXPECT_NE(full->message.find("30"), std::string::npos);
}

TEST(NewDelaySymbol, AppendedRowIsActiveAndStored) {
    test::StagedStore staged;
    Dataset& rows = staged.store->q_delaytime;
    const int before = rows.RecordCount();
    AppendDelaySymbol(rows, {"冒号'", ":", 250});
    ASSERT_EQ(rows.RecordCount(), before + 1);
    const std::vector<DelaySymbol> symbols = staged.store->DelaySymbols();
    EXPECT_EQ(symbols.back().symbol, ":");
    EXPECT_EQ(symbols.back().pauseMs, 250);
    EXPECT_TRUE(symbols.back().candelete);
    // Written through: a new connection sees it, quote and all.
    auto again = TDM::Connect(staged.folder.WithSeparator());
    ASSERT_EQ(again->q_delaytime.RecordCount(), before + 1);
    again->q_delaytime.Last();
    EXPECT_EQ(again->q_delaytime.AsUtf8("name"), "冒号'");
}

TEST(SessionRecovery, KeptTextStaysUntilRemoved) {
    test::TempFolder folder;
    const std::string at = folder.WithSeparator();
    EXPECT_FALSE(ReadRecoveryFile(at));
    const GbkString text = Utf8ToGbk("未保存的文章\r\n第二行");
    WriteRecoveryFile(at, text);
    // Reading it is not taking it: a second crash before saving keeps it.
    EXPECT_EQ(ReadRecoveryFile(at), text);
    EXPECT_EQ(ReadRecoveryFile(at), text);
    RemoveRecoveryFile(at);
    EXPECT_FALSE(std::filesystem::exists(RecoveryFilePath(at)));
    RemoveRecoveryFile(at); // nothing there is no fault
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Chime, TheCarriedSoundIsAboutTwoAndAHalfSecondsOfStereo) {
    const auto sound = ParseWav(ReadFile(SONVELA_CHIME_WAV));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->rate, 44100u);
    EXPECT_EQ(sound->channels, 2u);
    const double seconds = static_cast<double>(sound->samples.size()) / 2 / 44100;
    EXPECT_NEAR(seconds, 2.6, 0.05);
}

TEST(Chime, ParseRefusesWhatIsNotSixteenBitPcm) {
    EXPECT_FALSE(ParseWav(""));
    EXPECT_FALSE(ParseWav("RIFF\x04\0\0\0WAVE"));
    std::string wav = ReadFile(SONVELA_CHIME_WAV);
    wav[34] = 8; // 8-bit samples
    EXPECT_FALSE(ParseWav(wav));
    std::string cut = ReadFile(SONVELA_CHIME_WAV).substr(0, 100);
    EXPECT_FALSE(ParseWav(cut));
}

TEST(Chime, PlaysWithoutWaitingAndIsHeardInTheMix) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr));
    {
        ChimePlayer chime(*ParseWav(ReadFile(SONVELA_CHIME_WAV)));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(chime.Play());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
        std::vector<float> mix(44100 * 2);
        ASSERT_EQ(BASS_RenderOutput(mix.data(), static_cast<DWORD>(mix.size() * sizeof(float))),
                  mix.size() * sizeof(float));
        float peak = 0;
        for (float sample : mix)
            peak = std::max(peak, std::abs(sample));
        EXPECT_GT(peak, 0.1f);
        // Playing again starts over rather than piling up streams.
        EXPECT_TRUE(chime.Play());
    }
    BASS_Free();
}

} // namespace
} // namespace sonvela
