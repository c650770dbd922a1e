// The voice notice's samples and the about box's memory figures.
#include "MemoryStatus.h"
#include "Mp3Maker.h"
#include "VoiceSamples.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace sonvela {
namespace {

using test::ScratchFolder;

// Records the calls in order; streams open for paths in `opens`.
class CallLog final : public MusicLibrary {
public:
    std::set<std::string> opens;
    std::vector<std::string> calls;
    StreamHandle next = 45;

    StreamHandle StreamCreateFile(const std::string& path) override {
        calls.push_back("open " + path);
        return opens.count(path) ? next++ : 0;
    }
    void StreamFree(StreamHandle s) override { calls.push_back("free " + std::to_string(s)); }
    void ChannelPlay(StreamHandle s) override { calls.push_back("play " + std::to_string(s)); }
    void ChannelStop(StreamHandle s) override { calls.push_back("stop " + std::to_string(s)); }
    void SetVolume(StreamHandle s, float v) override {
        std::ostringstream text;
        text << "volume " << s << " " << v;
        calls.push_back(text.str());
    }
    std::uint64_t LengthBytes(StreamHandle) override { return 0; }
    std::uint64_t PositionBytes(StreamHandle) override { return 0; }
    double Bytes2Seconds(StreamHandle, std::uint64_t) override { return 0; }
};

TEST(VoiceSamples, TheSixVoicesWithTheirCaptionsAsTheyStand) {
    const auto& voices = KnownVoices();
    ASSERT_EQ(voices.size(), 6u);
    EXPECT_STREQ(voices[0].caption, "中文男声Liang                 是否安装");
    EXPECT_STREQ(voices[4].keyName, "TTS_MS_zh-HK_HunYee_11.0");
    std::set<std::string> files;
    for (const KnownVoice& voice : voices) {
        files.insert(voice.sampleFile);
    }
    EXPECT_EQ(files.size(), 6u);
}

TEST(VoiceSamples, AVoiceCountsWhenItsNameOrDescriptionHoldsTheKey) {
    const std::vector<VoiceName> voices = {{"cmn-latn-pinyin", "Chinese Mandarin (espeak-ng)"},
                                           {"vw-1", "Chinese VW Hui female"}};
    EXPECT_TRUE(VoiceInstalled("VW Hui", voices));
    EXPECT_FALSE(VoiceInstalled("VW Liang", voices));
    EXPECT_TRUE(VoiceInstalled("TTS_MS_zh-CN_HuiHui_11.0", {{"TTS_MS_zh-CN_HuiHui_11.0", ""}}));
    EXPECT_FALSE(VoiceInstalled("VW Lily", {}));
}

TEST(VoiceSamples, ACopyIsWrittenOnceAndAnExistingFileIsUsed) {
    ScratchFolder temp("samples");
    const std::string folder = temp.Path().string() + "/";
    int reads = 0;
    const auto resource = [&] {
        ++reads;
        return std::string("ID3built-in");
    };
    const std::string path = EnsureSampleCopy(folder, "hui1.mp3", resource);
    EXPECT_EQ(path, folder + "hui1.mp3");
    std::stringstream written;
    written << std::ifstream(path).rdbuf();
    EXPECT_EQ(written.str(), "ID3built-in");

    std::ofstream(folder + "liang1.mp3") << "operator's own";
    EnsureSampleCopy(folder, "liang1.mp3", resource);
    EnsureSampleCopy(folder, "hui1.mp3", resource);
    EXPECT_EQ(reads, 1);
    std::stringstream kept;
    kept << std::ifstream(folder + "liang1.mp3").rdbuf();
    EXPECT_EQ(kept.str(), "operator's own");
}

TEST(VoiceSamples, AnUnwritableFolderIsAFault) {
    ScratchFolder temp("blocked");
    // A file where the folder should be: no copy can be written under it.
    std::ofstream(temp / "notafolder") << "x";
    EXPECT_ANY_THROW(EnsureSampleCopy((temp / "notafolder").string() + "/", "hui1.mp3",
                                      [] { return std::string("x"); }));
}

TEST(VoiceSamples, ASecondSampleStopsTheFirst) {
    CallLog library;
    library.opens = {"/t/a.mp3", "/t/b.mp3"};
    SamplePlayer samples(library);
    samples.Play("/t/a.mp3");
    samples.Play("/t/b.mp3");
    samples.Play("/t/broken.mp3");
    samples.Play("   ");
    samples.Stop();
    const std::vector<std::string> expected = {
        "open /t/a.mp3", "volume 45 0.8", "play 45",       "stop 45",       "free 45",
        "stop 45",       "free 45",       "open /t/b.mp3", "volume 46 0.8", "play 46",
        "stop 46",       "free 46",       "stop 46",       "free 46",       "open /t/broken.mp3",
    };
    EXPECT_EQ(library.calls, expected);
    EXPECT_EQ(samples.Stream(), 0u) << "the failed open leaves no stream";
}

TEST(MemoryStatus, FormatsAsTheAboutBoxShowsThem) {
    EXPECT_EQ(FormatPhysMem(2096632ull * 1024), "2,096,632 KB");
    EXPECT_EQ(FormatPhysMem(999ull * 1024 + 600), "1,000 KB") << "rounded to the nearest";
    EXPECT_EQ(FormatPhysMem(512ull * 1024), "512 KB");
    EXPECT_EQ(FormatMemoryLoad(37), "37 %");
    EXPECT_EQ(MemoryLoad(1000, 630), 37);
    EXPECT_EQ(MemoryLoad(0, 0), 0);
    const MemoryStatus status = ReadMemoryStatus();
    EXPECT_GT(status.totalBytes, 0u);
    EXPECT_GE(status.loadPercent, 0);
    EXPECT_LE(status.loadPercent, 100);
}

} // namespace
} // namespace sonvela
