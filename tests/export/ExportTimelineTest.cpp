// The announcement's time line in the exported file: pauses, passes and
// intervals, the music's ducking, and files that appear whole or not at all.
// The speech is a tone of known length, so every figure is exact.
#include "AnnouncementExport.h"
#include "ExportTestSupport.h"
#include "SpeechVoice.h"

#include <cmath>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <tuple>

namespace sonvela {
namespace {

using testing::QuietRuns;
using testing::ReadSound;
using testing::Rms;
using testing::ScratchFolder;
using testing::ToneSpeech;

constexpr double kFrame = 1.0 / 44100;

DelaySymbols Table(std::int32_t fullStop, std::int32_t exclamation) {
    return DelaySymbols::FromRows({{Utf8ToGbk("。"), fullStop, true},
                                   {Utf8ToGbk("，"), 0, true},
                                   {Utf8ToGbk("！"), exclamation, true}});
}

AnnouncementSettings ThreeSegments() {
    AnnouncementSettings settings;
    settings.text = Utf8ToGbk("今天天气很好。我们去公园吧！明天见");
    settings.symbols = Table(300, 100);
    return settings;
}

ExportResult Export(const AnnouncementSettings& settings, SpeechSource& speech,
                    const std::string& path, ExportFormat format = ExportFormat::Wav) {
    std::atomic<bool> cancel{false};
    return ExportAnnouncement(settings, speech, path, format, cancel);
}

double Seconds(std::pair<std::size_t, std::size_t> run) {
    return static_cast<double>(run.second - run.first) * kFrame;
}

TEST(ExportTimeline, PausesFollowTheDelayTable) {
    ScratchFolder folder;
    ToneSpeech speech;
    const ExportResult result = Export(ThreeSegments(), speech, folder.File("a.wav"));
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_EQ(speech.said.size(), 3u);
    EXPECT_EQ(GbkToUtf8(speech.said[1]), "我们去公园吧！");

    const auto sound = ReadSound(folder.File("a.wav"));
    ASSERT_EQ(sound.rate, 44100);
    ASSERT_EQ(sound.channels, 1); // speech alone: the same on both sides
    // Three bursts of 0.5 s with the two pauses between them, nothing after
    // the last segment (no symbol ends it).
    const auto gaps = QuietRuns(sound, 1e-3f, 0.01);
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_NEAR(Seconds(gaps[0]), 0.300, 0.020);
    EXPECT_NEAR(Seconds(gaps[0]) - Seconds(gaps[1]), 0.300 - 0.100, 0.020);
    EXPECT_NEAR(sound.Seconds(), 3 * 0.5 + 0.3 + 0.1, 0.020);
    EXPECT_NEAR(result.audioSeconds, sound.Seconds(), kFrame);
}

TEST(ExportTimeline, DelaySignAndDatePlaceholderAsTheReaderAppliesThem) {
    ScratchFolder folder;
    ToneSpeech speech;
    AnnouncementSettings settings;
    settings.text = Utf8ToGbk("现在是%Date%。※请注意");
    settings.symbols = Table(0, 0);
    settings.signdelay = 700;
    settings.datetimetype = 3;
    settings.clock = [] { return LocalDateTime{2026, 12, 9, 9, 5, 3, 3}; };
    ASSERT_TRUE(Export(settings, speech, folder.File("a.wav")).ok);
    ASSERT_EQ(speech.said.size(), 2u);
    EXPECT_EQ(GbkToUtf8(speech.said[0]), "现在是9:05。");
    EXPECT_EQ(GbkToUtf8(speech.said[1]), "请注意"); // the sign taken out
    const auto gaps = QuietRuns(ReadSound(folder.File("a.wav")), 1e-3f, 0.01);
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_NEAR(Seconds(gaps[0]), 0.700, 0.020); // the sign's pause comes first
}

TEST(ExportTimeline, LoopPassesAndIntervalsAddUp) {
    ScratchFolder folder;
    ToneSpeech speech;
    AnnouncementSettings settings = ThreeSegments();
    settings.loop = true;
    ASSERT_TRUE(Export(settings, speech, folder.File("one.wav")).ok);
    const double pass = ReadSound(folder.File("one.wav")).Seconds();
    // A loop pass ends with its last segment's pause too: here none.
    EXPECT_NEAR(pass, 1.9, 0.020);

    settings.passes = 3;
    settings.intervalSeconds = 2;
    ASSERT_TRUE(Export(settings, speech, folder.File("three.wav")).ok);
    const auto sound = ReadSound(folder.File("three.wav"));
    EXPECT_NEAR(sound.Seconds(), 3 * pass + 2 * 2.0, 0.050);
    // The intervals are silent stretches of the full two seconds.
    int intervals = 0;
    for (const auto& run : QuietRuns(sound, 1e-3f, 0.01))
        intervals += std::abs(Seconds(run) - 2.0) < 0.020 ? 1 : 0;
    EXPECT_EQ(intervals, 2);
    // Each segment is synthesised once per export, however many passes
    // repeat it: three for the first export, three for this one.
    EXPECT_EQ(speech.said.size(), 6u);
}

TEST(ExportTimeline, MusicIsDuckedUnderTheSpeechAndRestoredBetweenPasses) {
    ScratchFolder folder;
    const std::string wav = folder.File("tone.wav");
    ASSERT_EQ(testing::Run("sox -n -r 44100 -c 2 '" + wav + "' synth 3 sine 330 vol 0.5"), 0);
    ASSERT_EQ(testing::Run(std::string(SONVELA_LAME) + " --quiet '" + wav + "' '" +
                           folder.File("music.mp3") + "'"),
              0);
    std::ofstream(folder.File("broken.mp3")) << "not an mp3 file at all";

    // Silent speech: what is heard is the music alone, at its level.
    ToneSpeech speech(1.0, 0.0);
    AnnouncementSettings settings;
    settings.text = Utf8ToGbk("请注意。");
    settings.symbols = Table(300, 0);
    settings.passes = 2;
    settings.intervalSeconds = 2;
    settings.withMusic = true;
    settings.music = {{folder.File("broken.mp3"), folder.File("music.mp3")}, 40, 10};
    const ExportResult result = Export(settings, speech, folder.File("a.wav"));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.unplayableMusic, std::vector<std::string>{folder.File("broken.mp3")});

    const auto sound = ReadSound(folder.File("a.wav"));
    EXPECT_EQ(sound.channels, 2);
    // Pass 1: 0 to 1.3 s; interval to 3.3 s (back at 40 % 0.6 s after the
    // pass); pass 2 to 4.6 s, the 3 s track followed by itself again.
    EXPECT_NEAR(sound.Seconds(), 4.6, 0.020);
    const double ducked = Rms(sound, 0.2, 1.2);
    const double restored = Rms(sound, 2.1, 3.2);
    const double duckedAgain = Rms(sound, 3.5, 4.5);
    const double full = 0.5 / std::sqrt(2.0);
    // The encoder keeps the tone's level within a few percent.
    EXPECT_NEAR(restored, full * 0.40, full * 0.40 * 0.10);
    EXPECT_NEAR(ducked / restored, 10.0 / 40.0, 0.02);
    EXPECT_NEAR(duckedAgain / restored, 10.0 / 40.0, 0.02);
}

// A speech source that asks for a cancel, or fails, at its `n`th segment.
class InterruptedSpeech final : public SpeechSource {
public:
    InterruptedSpeech(std::atomic<bool>* cancel, int at) : cancel_(cancel), at_(at) {}
    int SampleRate() const override { return 22050; }
    std::string KeyOf(const GbkString& segment) const override { return segment; }
    std::vector<short> Say(const GbkString&) override {
        if (++count_ == at_) {
            if (cancel_ == nullptr)
                throw SpeechError("engine gone");
            *cancel_ = true;
        }
        return std::vector<short>(22050, 1000);
    }

private:
    std::atomic<bool>* cancel_;
    int at_;
    int count_ = 0;
};

AnnouncementSettings ManySegments() {
    AnnouncementSettings settings;
    for (int i = 0; i < 40; ++i)
        settings.text += Utf8ToGbk("第" + std::to_string(i) + "段。");
    settings.symbols = Table(300, 0);
    return settings;
}

TEST(ExportTimeline, CancelOrFailureLeavesNoFileAndTheOldOneUntouched) {
    ScratchFolder folder;
    const std::string target = folder.File("a.mp3");
    std::ofstream(target) << "the earlier file";

    std::atomic<bool> cancel{false};
    InterruptedSpeech cancelling(&cancel, 20);
    ExportResult result =
        ExportAnnouncement(ManySegments(), cancelling, target, ExportFormat::Mp3, cancel);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    EXPECT_NE(result.message.find("取消"), std::string::npos);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.mp3"}); // no temporary left
    std::ifstream in(target);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "the earlier file");

    InterruptedSpeech failing(nullptr, 5);
    std::atomic<bool> noCancel{false};
    result = ExportAnnouncement(ManySegments(), failing, folder.File("b.wav"), ExportFormat::Wav,
                                noCancel);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.cancelled);
    EXPECT_NE(result.message.find("语音引擎"), std::string::npos) << result.message;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.mp3"});
}

TEST(ExportTimeline, AFullDiskFailsWithAReasonAndLeavesNoFile) {
    // WAV through libsndfile, MP3 through the encoder's worker threads.
    for (const auto& [name, format, limit] : {std::tuple{"a.wav", ExportFormat::Wav, 200 * 1024},
                                              std::tuple{"a.mp3", ExportFormat::Mp3, 40 * 1024}}) {
        SCOPED_TRACE(name);
        ScratchFolder folder;
        rlimit before{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        // The file may grow to a limit a few seconds of sound exceed.
        auto* const previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = static_cast<rlim_t>(limit);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        ToneSpeech speech;
        const ExportResult result = Export(ManySegments(), speech, folder.File(name), format);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);

        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cancelled);
        EXPECT_NE(result.message.find("文件超出了允许的大小"), std::string::npos) << result.message;
        EXPECT_TRUE(folder.Names().empty());
    }
}

TEST(ExportTimeline, AMissingFolderIsReportedBeforeAnyWork) {
    ScratchFolder folder;
    ToneSpeech speech;
    const ExportResult result =
        Export(ThreeSegments(), speech, folder.File("no-such-folder/a.flac"), ExportFormat::Flac);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("文件夹不存在"), std::string::npos) << result.message;
    EXPECT_TRUE(speech.said.empty());
}

TEST(ExportTimeline, FormatsAreKnownByTheirExtension) {
    EXPECT_EQ(ExportFormatOfPath("/a/b.MP3"), ExportFormat::Mp3);
    EXPECT_EQ(ExportFormatOfPath("x.opus"), ExportFormat::Opus);
    EXPECT_EQ(ExportFormatOfPath("x.flac"), ExportFormat::Flac);
    EXPECT_EQ(ExportFormatOfPath("x.wav"), ExportFormat::Wav);
    EXPECT_FALSE(ExportFormatOfPath("x.ogg"));
    EXPECT_FALSE(ExportFormatOfPath("folder.mp3/file"));
    EXPECT_EQ(FileRateOf(ExportFormat::Opus), 48000);
}

} // namespace
} // namespace sonvela
