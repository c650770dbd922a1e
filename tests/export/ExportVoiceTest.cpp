// The real voice: an exported file holds the same speech samples as the live
// output plays for the same text and settings, and every format decodes to
// the announcement's length.
#include "AnnouncementExport.h"
#include "EspeakSynthesis.h"
#include "ExportTestSupport.h"
#include "FrontEndVoice.h"
#include "SegmentPlan.h"
#include "SpVoice.h"
#include "bass.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sonvela {
namespace {

using testing::ReadSound;
using testing::ScratchFolder;

constexpr int kRate = 2;
constexpr int kVolume = 80;

AnnouncementSettings Announcement() {
    AnnouncementSettings settings;
    settings.text = Utf8ToGbk("欢迎光临，本店营业到晚上9点。新鲜草莓每斤12.5元！请慢走");
    settings.symbols = DelaySymbols::FromRows(
        {{Utf8ToGbk("。"), 300, true}, {Utf8ToGbk("，"), 0, true}, {Utf8ToGbk("！"), 0, true}});
    return settings;
}

// The samples of one channel with the silent ones left out: what remains
// is the speech, in order, however long the gaps between the segments were.
std::vector<short> Audible(const std::vector<short>& samples, std::size_t channels) {
    std::vector<short> audible;
    for (std::size_t i = 0; i < samples.size(); i += channels) {
        if (samples[i] != 0)
            audible.push_back(samples[i]);
    }
    return audible;
}

std::vector<short> ReadShorts(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<short> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

// Runs `work` in a child process; true when it succeeded. espeak-ng carries
// a little state from one text to the next (its pitch flutter runs on), so
// the live path and the export each start from the same state: that of the
// process they are forked from.
bool InChild(const std::function<bool()>& work) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(work() ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The live path: the program's voice object, front-end and all, playing
// through the audio library's mixer, the mix pulled as a device would pull
// it, only faster than real time. The reader's segments are spoken one
// after the other; the mix is saved as the file's 16-bit samples would hold
// it.
bool RecordLiveReading(const std::string& path) {
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr))
        return false;
    std::vector<float> live;
    std::atomic<bool> stop{false};
    std::thread device([&] {
        std::vector<float> block(1024 * 2);
        while (!stop) {
            BASS_RenderOutput(block.data(), static_cast<DWORD>(block.size() * sizeof(float)));
            live.insert(live.end(), block.begin(), block.end());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    {
        frontend::FrontEnd frontEnd;
        SpVoice engine;
        FrontEndVoice voice(engine, frontEnd);
        voice.SetVoice(0);
        voice.SetRate(kRate);
        voice.SetVolume(kVolume);
        const AnnouncementSettings settings = Announcement();
        for (const PlannedSegment& segment :
             PlanSegments(settings.text, false, settings.symbols, 1, 800, CurrentLocalDateTime))
            voice.SpeakPurgeAndWait(GbkToUtf16(segment.spoken));
        // The wait returns once the last segment's tail has been mixed.
        stop = true;
        device.join();
    }
    BASS_Free();
    std::vector<short> shorts(live.size());
    for (std::size_t i = 0; i < live.size(); ++i)
        shorts[i] = static_cast<short>(std::lrintf(live[i] * 32767.0f));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(shorts.data()),
              static_cast<std::streamsize>(shorts.size() * sizeof(short)));
    return static_cast<bool>(out);
}

TEST(ExportVoice, SpeechSamplesEqualTheLiveOutputs) {
    ScratchFolder folder;
    ASSERT_TRUE(InChild([&] { return RecordLiveReading(folder.File("live.raw")); }));
    ASSERT_TRUE(InChild([&] {
        frontend::FrontEnd frontEnd;
        const auto speech = MakeEspeakSpeech(0, kRate, kVolume, frontEnd);
        std::atomic<bool> cancel{false};
        return ExportAnnouncement(Announcement(), *speech, folder.File("a.wav"), ExportFormat::Wav,
                                  cancel)
            .ok;
    }));

    std::ifstream in(folder.File("live.raw"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<short> liveShorts(bytes.size() / sizeof(short));
    std::memcpy(liveShorts.data(), bytes.data(), liveShorts.size() * sizeof(short));
    // The live mix doubles the voice on both sides; the file of speech alone
    // is mono.
    for (std::size_t i = 0; i + 1 < liveShorts.size(); i += 2)
        ASSERT_EQ(liveShorts[i], liveShorts[i + 1]) << "frame " << i / 2;
    const auto heard = Audible(liveShorts, 2);
    const auto exported = Audible(ReadShorts(folder.File("a.wav")), 1);
    ASSERT_GT(exported.size(), 44100u); // over a second of speech
    ASSERT_EQ(exported.size(), heard.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < heard.size(); ++i)
        differing += heard[i] != exported[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u);
}

TEST(ExportVoice, EveryFormatDecodesToTheAnnouncementsLength) {
    ScratchFolder folder;
    frontend::FrontEnd frontEnd;
    const auto speech = MakeEspeakSpeech(0, kRate, kVolume, frontEnd);
    AnnouncementSettings settings = Announcement();
    settings.passes = 2;
    settings.intervalSeconds = 1;
    std::atomic<bool> cancel{false};
    const auto exportAs = [&](const std::string& name, ExportFormat format) {
        const ExportResult result =
            ExportAnnouncement(settings, *speech, folder.File(name), format, cancel);
        EXPECT_TRUE(result.ok) << name << ": " << result.message;
        return result.audioSeconds;
    };
    // Each export's own length: espeak-ng's timing of a text shifts by some
    // milliseconds with what it said before in the process.
    const double wav = exportAs("a.wav", ExportFormat::Wav);
    EXPECT_NEAR(ReadSound(folder.File("a.wav")).Seconds(), wav, 0.001);
    const std::pair<const char*, double> decoded[] = {
        {"mp3.wav", exportAs("a.mp3", ExportFormat::Mp3)},
        {"opus.wav", exportAs("a.opus", ExportFormat::Opus)},
        {"flac.wav", exportAs("a.flac", ExportFormat::Flac)},
    };

    const std::string dir = folder.Path().string() + "/";
    ASSERT_EQ(testing::Run("mpg123 -q -w '" + dir + "mp3.wav' '" + dir + "a.mp3'"), 0);
    ASSERT_EQ(testing::Run("opusdec --quiet '" + dir + "a.opus' '" + dir + "opus.wav'"), 0);
    ASSERT_EQ(testing::Run("flac -s -d -f -o '" + dir + "flac.wav' '" + dir + "a.flac'"), 0);
    for (const auto& [name, seconds] : decoded) {
        const auto sound = ReadSound(dir + name);
        EXPECT_GT(seconds, 2 * 3.0 + 1.0) << name; // two passes of speech and the interval
        EXPECT_NEAR(sound.Seconds(), seconds, 0.030) << name;
        EXPECT_GT(testing::Rms(sound, 0, sound.Seconds()), 0.02) << name << " is silent";
    }
    EXPECT_EQ(ReadSound(dir + "opus.wav").rate, 48000);
}

TEST(ExportVoice, LiveSpeechGoesFirstWhileAnExportSynthesises) {
    using Clock = std::chrono::steady_clock;
    const auto since = [](Clock::time_point start) {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    frontend::FrontEnd frontEnd;
    const auto speech = MakeEspeakSpeech(0, 0, 100, frontEnd);
    // A long segment without a delay symbol: the most an export synthesises
    // in one go.
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "我们今天一起去公园散步看花";
    const GbkString segment = Utf8ToGbk(text);
    auto start = Clock::now();
    const std::size_t alone = speech->Say(segment).size();
    const double segmentSeconds = since(start);

    std::atomic<bool> stop{false};
    std::vector<std::size_t> exported;
    std::thread exporter([&] {
        while (!stop)
            exported.push_back(speech->Say(segment).size());
    });
    // Live texts, as the reader hands them over between its pauses: each
    // starts sounding without waiting for the export's segment to finish.
    const std::string voiceId = espeak::Start().voices.at(0).id;
    std::vector<double> waits;
    for (int i = 0; i < 15; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
        start = Clock::now();
        double wait = -1;
        espeak::Synthesise("ni3 hao3", voiceId, 175, [&](const short*, int) {
            if (wait < 0)
                wait = since(start);
            return false;
        });
        waits.push_back(wait);
    }
    stop = true;
    exporter.join();

    std::sort(waits.begin(), waits.end());
    EXPECT_LT(waits[waits.size() / 2], segmentSeconds / 4)
        << "a segment alone takes " << segmentSeconds << " s";
    // The export's segments come out whole all the same.
    ASSERT_FALSE(exported.empty());
    for (const std::size_t samples : exported)
        EXPECT_NEAR(static_cast<double>(samples), static_cast<double>(alone), alone * 0.05);
}

} // namespace
} // namespace sonvela
