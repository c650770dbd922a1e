// The speech voice with the real engine, recorded through SDL's disk driver
// or pulled from the device-less output as fast as it renders.
#include "GbkText.h"
#include "SpVoice.h"
#include "bass.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sonvela {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kRate = 44100;
const std::u16string kMandarin = u"今天天气很好。我们去公园吧！明天见";
const std::u16string kCantonese = u"說話。";

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::u16string LongText() {
    std::u16string text;
    for (int i = 0; i < 20; ++i) {
        text += kMandarin + u"。";
    }
    return text;
}

// Frames (left channel) of a stereo float recording.
struct Recording {
    std::vector<float> left;

    double Rms(std::size_t from, std::size_t to) const {
        to = std::min(to, left.size());
        double sum = 0;
        for (std::size_t i = from; i < to; ++i) {
            sum += left[i] * left[i];
        }
        return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
    }
    double Rms() const { return Rms(0, left.size()); }
    // Seconds between the first and the last audible frame.
    double SpokenSeconds() const {
        std::size_t first = left.size(), last = 0;
        for (std::size_t i = 0; i < left.size(); ++i) {
            if (std::fabs(left[i]) > 1e-3f) {
                first = std::min(first, i);
                last = i;
            }
        }
        return first < last ? static_cast<double>(last - first) / kRate : 0.0;
    }
    // Frames with sound: the measure of how long something was spoken,
    // whatever silence the recording kept or left out.
    std::size_t AudibleFrames() const {
        return static_cast<std::size_t>(std::count_if(
            left.begin(), left.end(), [](float sample) { return std::fabs(sample) > 1e-3f; }));
    }
    std::size_t LastAudible() const {
        for (std::size_t i = left.size(); i > 0; --i) {
            if (std::fabs(left[i - 1]) > 1e-3f) {
                return i - 1;
            }
        }
        return 0;
    }
};

// The output on SDL's disk driver: plays in real time into a file.
class DiskOutput {
public:
    DiskOutput()
        : path_(std::filesystem::temp_directory_path() /
                ("sonvela-speech-" + std::to_string(getpid()) + ".raw")) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        ok = BASS_Init(BASS_DEVICE_DEFAULT, kRate, 0, nullptr, nullptr) &&
             std::string(BASS_GetDriverName()) == "disk";
    }
    ~DiskOutput() {
        BASS_Free();
        std::filesystem::remove(path_);
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
    Recording Stop() {
        BASS_Free();
        Recording recording;
        std::ifstream file(path_, std::ios::binary);
        float frame[2];
        while (file.read(reinterpret_cast<char*>(frame), sizeof frame)) {
            recording.left.push_back(frame[0]);
        }
        return recording;
    }

    // Frames the driver has written so far. The file, not the wall clock,
    // tells where one utterance ends: on a loaded machine the driver falls
    // behind real time.
    std::size_t FramesSoFar() const {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(path_, error);
        return error ? 0 : static_cast<std::size_t>(bytes / (2 * sizeof(float)));
    }

    bool ok = false;

private:
    std::filesystem::path path_;
};

// The device-less output, drained by a thread as fast as it can mix. Only
// blocks with sound are kept: the idle output would pile up silence.
class OfflineOutput {
public:
    OfflineOutput() {
        ok = BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr);
        renderer_ = std::thread([this] {
            std::vector<float> block(2048);
            while (!stop_) {
                BASS_RenderOutput(block.data(), static_cast<DWORD>(block.size() * sizeof(float)));
                bool audible = false;
                for (std::size_t i = 0; i < block.size(); i += 2) {
                    audible = audible || block[i] != 0.0f;
                }
                if (!audible) {
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                    continue;
                }
                std::lock_guard lock(mutex_);
                for (std::size_t i = 0; i < block.size(); i += 2) {
                    recording_.left.push_back(block[i]);
                }
            }
        });
    }
    ~OfflineOutput() {
        Stop();
        BASS_Free();
    }
    Recording Stop() {
        stop_ = true;
        if (renderer_.joinable()) {
            renderer_.join();
        }
        std::lock_guard lock(mutex_);
        return recording_;
    }

    std::size_t Frames() {
        std::lock_guard lock(mutex_);
        return recording_.left.size();
    }

    bool ok = false;

private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    Recording recording_;
    std::thread renderer_;
};

TEST(SpeechVoice, CantoneseTestLooksAtMarkerAndLanguage) {
    EXPECT_TRUE(IsCantoneseVoice({"x", "Microsoft Sin-Ji_Full_22kHz", "zh"}));
    for (const char* language : {"yue", "zh-yue", "zh-HK", "ZH_hk", "yue-latn-jyutping"}) {
        EXPECT_TRUE(IsCantoneseVoice({"x", "Some voice", language})) << language;
    }
    for (const char* language : {"", "zh", "cmn", "zh-cn", "yuen", "zh-hkx", "zh-tw"}) {
        EXPECT_FALSE(IsCantoneseVoice({"x", "Some voice", language})) << language;
    }
    EXPECT_FALSE(IsCantoneseVoice({"x", "Sin-Ji", "cmn"}));
}

TEST(SpVoice, RateScaleSpansTheSliderAndTheEngine) {
    EXPECT_EQ(SpVoice::WordsPerMinute(0), 175);
    EXPECT_EQ(SpVoice::WordsPerMinute(-10), 80); // the engine's slowest
    EXPECT_EQ(SpVoice::WordsPerMinute(10), 449); // its fastest plain synthesis
    EXPECT_EQ(SpVoice::WordsPerMinute(15), 900);
    EXPECT_EQ(SpVoice::WordsPerMinute(40), 900);

    SpVoice voice;
    EXPECT_EQ(voice.Rate(), 0);
    voice.SetRate(15); // the top of the reading speed slider
    EXPECT_EQ(voice.Rate(), 15);
    voice.SetRate(40);
    EXPECT_EQ(voice.Rate(), 15);
    voice.SetRate(-30);
    EXPECT_EQ(voice.Rate(), -10);
}

// Each position of the slider speaks faster than the one below it, measured
// on the engine's sound: espeak-ng clamps what it cannot do, and its
// time-stretching above 449 starts out slower than its plain synthesis.
TEST(SpVoice, EveryRateSpeaksFasterThanTheOneBelow) {
    std::size_t previous = 0;
    for (int rate = SpVoice::kSlowestRate; rate <= SpVoice::kFastestRate; ++rate) {
        OfflineOutput output;
        ASSERT_TRUE(output.ok);
        SpVoice voice;
        voice.SetRate(rate);
        voice.SpeakPurgeAndWait(kMandarin);
        const std::size_t frames = output.Stop().AudibleFrames();
        std::printf("rate %3d: setting %3d wpm, %.3f s of sound for %zu syllables\n", rate,
                    SpVoice::WordsPerMinute(rate), static_cast<double>(frames) / kRate,
                    kMandarin.size());
        if (previous != 0) {
            EXPECT_LT(frames, previous) << rate;
        }
        previous = frames;
    }
}

TEST(SpVoice, ListsMandarinAndCantoneseFirstAndNeverPlainCmn) {
    SpVoice voice;
    const auto voices = voice.GetVoices();
    ASSERT_GE(voices.size(), 3u);
    EXPECT_EQ(voices[0].description, "Chinese Mandarin (espeak-ng)");
    EXPECT_EQ(voices[0].id, "sit/cmn-Latn-pinyin");
    EXPECT_FALSE(IsCantoneseVoice(voices[0]));
    EXPECT_EQ(voices[1].description, "Chinese Cantonese (espeak-ng)");
    EXPECT_TRUE(IsCantoneseVoice(voices[1]));
    bool english = false;
    for (const auto& info : voices) {
        EXPECT_NE(info.id, "sit/cmn");
        EXPECT_EQ(info.description.find('_'), std::string::npos) << info.description;
        EXPECT_TRUE(info.description.ends_with(" (espeak-ng)")) << info.description;
        english = english || info.description.starts_with("English");
    }
    EXPECT_TRUE(english);
    EXPECT_THROW(voice.SetVoice(static_cast<int>(voices.size())), SpeechError);
    EXPECT_THROW(voice.SetVoice(-1), SpeechError);
}

TEST(SpVoice, SpeaksMandarinAndCantoneseIntoTheDiskDriver) {
    DiskOutput output;
    ASSERT_TRUE(output.ok);
    SpVoice voice;
    voice.SetVoice(0);
    auto start = Clock::now();
    voice.SpeakPurgeAndWait(kMandarin);
    const double mandarinCall = Seconds(Clock::now() - start);
    voice.SetVoice(1);
    const std::size_t split = output.FramesSoFar();
    start = Clock::now();
    voice.SpeakPurgeAndWait(kCantonese);
    const double cantoneseCall = Seconds(Clock::now() - start);
    const Recording recording = output.Stop();

    // Mandarin first: 17 syllables at the normal speed.
    ASSERT_LT(split, recording.left.size());
    Recording mandarin{{recording.left.begin(), recording.left.begin() + split}};
    Recording cantonese{{recording.left.begin() + split, recording.left.end()}};
    std::printf("Mandarin: RMS %.3f, %.2f s spoken, call %.2f s; Cantonese: RMS %.3f, %.2f s "
                "spoken, call %.2f s\n",
                mandarin.Rms(), mandarin.SpokenSeconds(), mandarinCall, cantonese.Rms(),
                cantonese.SpokenSeconds(), cantoneseCall);
    EXPECT_GT(mandarin.Rms(), 0.02);
    EXPECT_GT(mandarin.SpokenSeconds(), 2.5);
    EXPECT_LT(mandarin.SpokenSeconds(), 8.0);
    EXPECT_GT(cantonese.Rms(), 0.02);
    EXPECT_GT(cantonese.SpokenSeconds(), 0.25);
    EXPECT_LT(cantonese.SpokenSeconds(), 2.0);
    // Speak-and-wait returns when the sound has been played, not when it
    // was synthesised (which takes a fraction of that).
    EXPECT_GE(mandarinCall, mandarin.SpokenSeconds());
    EXPECT_LT(mandarinCall, mandarin.SpokenSeconds() + 1.0);
    EXPECT_GE(cantoneseCall, cantonese.SpokenSeconds());
}

TEST(SpVoice, PurgeFromTheOtherThreadStopsALongTextPromptly) {
    DiskOutput output;
    ASSERT_TRUE(output.ok);
    SpVoice voice;
    std::atomic<bool> returned{false};
    Clock::time_point returnedAt;
    std::thread reader([&] {
        voice.SpeakPurgeAndWait(LongText());
        returnedAt = Clock::now();
        returned = true;
    });
    std::this_thread::sleep_for(milliseconds(1500));
    ASSERT_FALSE(returned);
    const auto cut = Clock::now();
    const double cutAt = static_cast<double>(output.FramesSoFar()) / kRate;
    voice.CutOff();
    reader.join();
    const double returnLatency = Seconds(returnedAt - cut);
    std::this_thread::sleep_for(milliseconds(500));
    const Recording recording = output.Stop();

    const double lastSound = static_cast<double>(recording.LastAudible()) / kRate;
    std::printf("purge: caller returned after %.1f ms, sound stopped %.1f ms after the cut\n",
                returnLatency * 1000, (lastSound - cutAt) * 1000);
    EXPECT_LT(returnLatency, 0.1);
    EXPECT_GT(recording.Rms(0, static_cast<std::size_t>(cutAt * kRate)), 0.01);
    // One device buffer (23 ms) may still be on its way out.
    EXPECT_LT(lastSound - cutAt, 0.15);
}

TEST(SpVoice, PurgeAndSpeakCutsOffWhatTheOtherSideQueued) {
    OfflineOutput output;
    ASSERT_TRUE(output.ok);
    SpVoice voice;
    voice.SpeakAsync(LongText());
    voice.SpeakAsync(LongText());
    std::this_thread::sleep_for(milliseconds(100));
    ASSERT_GT(output.Frames(), 0u);
    const std::size_t before = output.Frames();
    const auto start = Clock::now();
    voice.SpeakPurgeAndWait(kCantonese);
    EXPECT_LT(Seconds(Clock::now() - start), 1.0);
    // Nothing of the long texts comes after the short one, though the
    // output would render minutes of them in this time.
    std::this_thread::sleep_for(milliseconds(300));
    const Recording recording = output.Stop();
    const double after = static_cast<double>(recording.left.size() - before) / kRate;
    EXPECT_GT(after, 0.25);
    EXPECT_LT(after, 2.0);
}

TEST(SpVoice, SpeakAsyncReturnsAtOnceAndQueuesInOrder) {
    OfflineOutput output;
    ASSERT_TRUE(output.ok);
    SpVoice voice;
    const auto start = Clock::now();
    voice.SpeakAsync(kMandarin);
    voice.SpeakAsync(kMandarin);
    // Far below the ten seconds the two take to play: the calls do not wait
    // for the sound (a loaded machine under sanitizers takes tens of ms).
    EXPECT_LT(Seconds(Clock::now() - start), 1.0);
    // Speak-and-wait with an empty text is the cut-off: let both play first.
    std::this_thread::sleep_for(milliseconds(2000));
    const Recording recording = output.Stop();
    EXPECT_GT(recording.SpokenSeconds(), 2 * 2.5);
}

TEST(SpVoice, VolumeAndRateApplyToLaterSpeech) {
    auto measure = [](int volume, int rate) {
        OfflineOutput output;
        EXPECT_TRUE(output.ok);
        SpVoice voice;
        voice.SetVolume(volume);
        voice.SetRate(rate);
        voice.SpeakPurgeAndWait(kMandarin);
        return output.Stop();
    };
    const Recording full = measure(100, 0);
    const Recording half = measure(50, 0);
    const Recording mute = measure(0, 0);
    const Recording fast = measure(100, 10);
    EXPECT_NEAR(half.Rms() / full.Rms(), 0.5, 0.05);
    EXPECT_EQ(mute.Rms(), 0.0);
    EXPECT_LT(fast.SpokenSeconds(), full.SpokenSeconds() / 1.8);
}

// Reading the program's sample text at full volume: the loudest the speech
// gets on its own. The mix keeps it under full scale without making it
// noticeably quieter.
TEST(SpVoice, FullVolumeNeverClipsAndKeepsItsLevel) {
    std::ifstream file(SONVELA_SAMPLE_TEXT);
    ASSERT_TRUE(file) << SONVELA_SAMPLE_TEXT;
    const std::string utf8((std::istreambuf_iterator<char>(file)), {});
    const std::u16string text = GbkToUtf16(Utf8ToGbk(utf8));
    auto read = [&](int volume) {
        OfflineOutput output;
        EXPECT_TRUE(output.ok);
        SpVoice voice;
        voice.SetVolume(volume);
        voice.SpeakPurgeAndWait(text);
        return output.Stop();
    };
    const Recording full = read(100);
    const Recording half = read(50);
    float peak = 0;
    std::size_t clipped = 0;
    for (const float sample : full.left) {
        peak = std::max(peak, std::fabs(sample));
        clipped += std::fabs(sample) >= 1.0f ? 1 : 0;
    }
    std::printf("volume 100: peak %.4f (%.2f dBFS), %zu clipped of %zu samples\n", peak,
                20 * std::log10(peak), clipped, full.left.size());
    EXPECT_EQ(clipped, 0u);
    // Half volume is below the limiter's knee: twice it is the voice's own
    // full level.
    const double loss = 20 * std::log10(full.Rms() / (2 * half.Rms()));
    std::printf("volume 100 against the voice's own full level: %.2f dB\n", loss);
    EXPECT_GT(loss, -1.0);
}

// A purge-and-speak from the reader while the other thread queues texts (a
// time announcement): each queued text goes before the purge, and is
// dropped, or after the reader's segment, never between the two.
TEST(SpVoice, NothingQueuedMeanwhileSlipsBetweenThePurgeAndTheSegment) {
    OfflineOutput output;
    ASSERT_TRUE(output.ok);
    // Declared before the voice, which tells its observer of the purge it
    // makes when it is destroyed.
    std::mutex mutex;
    std::vector<std::string> finished;
    SpVoice voice;
    voice.SetSynthesisObserver([&](const std::string& utf8) {
        std::lock_guard lock(mutex);
        finished.push_back(utf8);
    });
    auto u16 = [](const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); };
    constexpr int kRounds = 5;
    constexpr int kTextsPerRound = 300;
    std::atomic<int> go{-1};
    std::atomic<int> idle{-1};
    std::thread other([&] {
        for (int round = 0; round < kRounds; ++round) {
            while (go.load() != round) {
                std::this_thread::yield();
            }
            // Texts one after another while the reader's call runs.
            for (int n = 0; n < kTextsPerRound && go.load() == round; ++n) {
                voice.SpeakAsync(u16("a" + std::to_string(round) + "x" + std::to_string(n)));
                std::this_thread::yield();
            }
            idle = round;
        }
    });
    int slipped = 0;
    for (int round = 0; round < kRounds; ++round) {
        // A long blank tail: the segment takes a while to prepare, but no
        // time to speak.
        const std::string segment = "segment" + std::to_string(round) + std::string(200000, ' ');
        go = round;
        voice.SpeakPurgeAndWait(u16(segment));
        go = -1;
        while (idle.load() != round) {
            std::this_thread::yield();
        }
        voice.CutOff();
        // The engine speaks in order: once this is played, every text of
        // the round that was spoken has been reported.
        voice.SpeakPurgeAndWait(u16("end" + std::to_string(round)));
        std::lock_guard lock(mutex);
        const auto at = std::find(finished.begin(), finished.end(), segment);
        ASSERT_NE(at, finished.end()) << round;
        // A text synthesised before the segment's purge took effect went out
        // before it, rightly; one synthesised after that purge and before
        // the segment slipped in between. An empty entry marks a purge.
        const auto purge = std::find(std::make_reverse_iterator(at), finished.rend(), "");
        ASSERT_NE(purge, finished.rend()) << round;
        const std::string ours = "a" + std::to_string(round) + "x";
        slipped += static_cast<int>(std::count_if(
            purge.base(), at, [&](const std::string& text) { return text.starts_with(ours); }));
        finished.clear();
    }
    other.join();
    EXPECT_EQ(slipped, 0);
}

TEST(SpVoice, EngineFailuresReachTheCaller) {
    BASS_Free();
    SpVoice voice;
    // No audio output at all.
    EXPECT_THROW(voice.SpeakAsync(kCantonese), SpeechError);
    EXPECT_THROW(voice.SpeakPurgeAndWait(kCantonese), SpeechError);

    // The output goes away while a text is spoken: an error, not a hang.
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    std::thread closer([] {
        std::this_thread::sleep_for(milliseconds(300));
        BASS_Free();
    });
    const auto start = Clock::now();
    EXPECT_THROW(voice.SpeakPurgeAndWait(kMandarin), SpeechError);
    closer.join();
    EXPECT_LT(Seconds(Clock::now() - start), 2.0);

    // A new output serves the same voice.
    OfflineOutput output;
    ASSERT_TRUE(output.ok);
    voice.SpeakPurgeAndWait(kCantonese);
    EXPECT_GT(output.Stop().Rms(), 0.02);
}

TEST(SpVoice, ReleasingTheVoiceWhileItSpeaksDoesNotHang) {
    OfflineOutput output;
    ASSERT_TRUE(output.ok);
    const auto start = Clock::now();
    {
        SpVoice voice;
        voice.SpeakAsync(LongText());
        std::this_thread::sleep_for(milliseconds(100));
    }
    EXPECT_LT(Seconds(Clock::now() - start), 1.0);
}

} // namespace
} // namespace sonvela
