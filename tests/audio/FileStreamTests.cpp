// MP3 file streams of the audio library: decoded, mixed at their volume,
// recorded through SDL's disk driver or rendered offline.
#include "Mp3Maker.h"
#include "bass.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using sonvela::test::MakeSineMp3;
using sonvela::test::ScratchFolder;
using sonvela::test::SineMp3;

constexpr DWORD kRate = 44100;
constexpr QWORD kFailed = static_cast<QWORD>(-1);

class FileStream : public ::testing::Test {
protected:
    FileStream() : folder_("filestream") {}

    void TearDown() override {
        BASS_Free();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }

    std::string Mp3(const std::string& name, const SineMp3& request) {
        const auto path = folder_ / name;
        EXPECT_TRUE(MakeSineMp3(request, path)) << "lame could not make " << name;
        return path.string();
    }

    static HSTREAM Open(const std::string& path) {
        return BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    }

    // Opens the disk driver writing to `name` in the scratch folder; it
    // writes about forty times faster than real time.
    std::string InitDisk(const std::string& name) {
        const auto path = (folder_ / name).string();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        EXPECT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, 0, nullptr, nullptr));
        EXPECT_STREQ(BASS_GetDriverName(), "disk");
        return path;
    }

    static void WaitUntilStopped(DWORD stream) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    }

    static std::vector<float> ReadRecording(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::vector<float> samples;
        float sample = 0;
        while (file.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
            samples.push_back(sample);
        }
        return samples;
    }

    // The RMS of the middle 80 % of the recording's sounding part, so that
    // the silence around it and the encoder's fade-in do not count.
    static double SoundingRms(const std::vector<float>& samples) {
        std::size_t first = samples.size();
        std::size_t last = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (std::fabs(samples[i]) > 0.01f) {
                first = std::min(first, i);
                last = i;
            }
        }
        if (first >= last) {
            return 0.0;
        }
        const std::size_t span = last - first;
        double sum = 0;
        std::size_t count = 0;
        for (std::size_t i = first + span / 10; i < last - span / 10; ++i) {
            sum += static_cast<double>(samples[i]) * samples[i];
            ++count;
        }
        return std::sqrt(sum / static_cast<double>(count));
    }

    static double Seconds(DWORD stream, QWORD bytes) {
        return BASS_ChannelBytes2Seconds(stream, bytes);
    }

    ScratchFolder folder_;
};

TEST_F(FileStream, PlaysAnMp3AtTheVolumeItIsGiven) {
    const std::string mp3 = Mp3("tone.mp3", {.seconds = 1.0, .amplitude = 0.5});
    double rms[2] = {0, 0};
    const float volumes[2] = {1.0f, 0.25f};
    for (int run = 0; run < 2; ++run) {
        const std::string recording = InitDisk("run" + std::to_string(run) + ".raw");
        const HSTREAM stream = Open(mp3);
        ASSERT_GE(stream, 45u) << BASS_ErrorGetCode();
        ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, volumes[run]));
        ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
        WaitUntilStopped(stream);
        BASS_Free();
        rms[run] = SoundingRms(ReadRecording(recording));
    }
    // A sine of amplitude 0.5 has an RMS of 0.354.
    EXPECT_NEAR(rms[0], 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_NEAR(rms[0] / rms[1], 4.0, 0.1);
}

TEST_F(FileStream, TwoStreamsAreMixed) {
    const std::string low = Mp3("low.mp3", {.seconds = 1.0, .frequency = 440, .amplitude = 0.3});
    const std::string high =
        Mp3("high.mp3", {.seconds = 1.0, .rate = 22050, .frequency = 660, .amplitude = 0.3});
    const std::string recording = InitDisk("mix.raw");
    const HSTREAM first = Open(low);
    const HSTREAM second = Open(high);
    ASSERT_GE(first, 45u);
    ASSERT_GE(second, 45u);
    EXPECT_NE(first, second);
    // Both start within one mix of each other.
    BASS_ChannelPlay(first, FALSE);
    BASS_ChannelPlay(second, FALSE);
    WaitUntilStopped(first);
    WaitUntilStopped(second);
    BASS_Free();
    // One tone alone would give 0.212; two unrelated ones add in power.
    EXPECT_NEAR(SoundingRms(ReadRecording(recording)), 0.3, 0.02);
}

TEST_F(FileStream, LengthAndPositionFollowTheFile) {
    const std::string stereo = Mp3("stereo.mp3", {.seconds = 2.0});
    const std::string mono = Mp3("mono.mp3", {.seconds = 1.5, .rate = 22050, .mono = true});
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM first = Open(stereo);
    const HSTREAM second = Open(mono);
    ASSERT_GE(first, 45u);
    ASSERT_GE(second, 45u);
    const QWORD length = BASS_ChannelGetLength(first, BASS_POS_BYTE);
    // lame's gapless tag lets the decoder drop the encoder's padding.
    EXPECT_NEAR(Seconds(first, length), 2.0, 0.005);
    EXPECT_NEAR(Seconds(second, BASS_ChannelGetLength(second, BASS_POS_BYTE)), 1.5, 0.005);
    EXPECT_EQ(BASS_ChannelGetPosition(first, BASS_POS_BYTE), 0u);

    // Created stopped; playing moves the position by what was mixed, and
    // the stream stops by itself at its end, exactly at its length.
    std::vector<float> out(4410 * 2);
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    EXPECT_EQ(BASS_ChannelGetPosition(first, BASS_POS_BYTE), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    EXPECT_NEAR(Seconds(first, BASS_ChannelGetPosition(first, BASS_POS_BYTE)), 0.1, 1e-9);
    EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_PLAYING);
    for (int i = 0; i < 25; ++i) {
        BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    }
    EXPECT_EQ(BASS_ChannelGetPosition(first, BASS_POS_BYTE), length);
    EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_STOPPED);
    // The output after the end is silence.
    for (float sample : out) {
        ASSERT_EQ(sample, 0.0f);
    }
    // Played again after its end, it starts from the beginning.
    ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    EXPECT_NEAR(Seconds(first, BASS_ChannelGetPosition(first, BASS_POS_BYTE)), 0.1, 1e-9);
    float loudest = 0;
    for (float sample : out) {
        loudest = std::max(loudest, std::fabs(sample));
    }
    EXPECT_GT(loudest, 0.4f);
}

TEST_F(FileStream, StopHoldsThePositionAndRestartRewinds) {
    const std::string mp3 = Mp3("tone.mp3", {.seconds = 1.0});
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM stream = Open(mp3);
    std::vector<float> out(4410 * 2);
    BASS_ChannelPlay(stream, FALSE);
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    BASS_ChannelStop(stream);
    const QWORD held = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), held);
    BASS_ChannelPlay(stream, FALSE);
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 2 * held);
    BASS_ChannelPlay(stream, TRUE);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), held);
}

TEST_F(FileStream, AReleasedHandleHasNoEffect) {
    const std::string mp3 = Mp3("tone.mp3", {.seconds = 0.5});
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM stream = Open(mp3);
    ASSERT_GE(stream, 45u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_FALSE(BASS_StreamFree(stream));
    EXPECT_FALSE(BASS_ChannelStop(stream));
    EXPECT_FALSE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_FALSE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.5f));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    EXPECT_EQ(position, kFailed);
    // The music panel's refresh reads this as an elapsed time that never
    // reaches any length.
    EXPECT_LT(BASS_ChannelBytes2Seconds(stream, position), 0.0);
    // A freed stream no longer sounds.
    std::vector<float> out(2048, 1.0f);
    BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
    for (float sample : out) {
        ASSERT_EQ(sample, 0.0f);
    }
}

TEST_F(FileStream, FilesThatAreNotMp3GiveNoStream) {
    const std::string good = Mp3("good.mp3", {.seconds = 1.0});
    EXPECT_EQ(Open(good), 0u) << "no stream before the output is open";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));

    EXPECT_EQ(Open((folder_ / "missing.mp3").string()), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(Open(folder_.Path().string()), 0u) << "a folder";

    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return (folder_ / name).string();
    };
    EXPECT_EQ(Open(write("empty.mp3", "")), 0u);
    EXPECT_EQ(Open(write("text.mp3", std::string(3000, 'a') + "\nnot music\n")), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_EQ(Open(write("zeros.mp3", std::string(20000, '\0'))), 0u);

    std::ifstream in(good, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // Cut inside the first frame.
    EXPECT_EQ(Open(write("cut.mp3", bytes.substr(0, 200))), 0u);

    // Garbage in the middle of a real file: it may open (the decoder skips
    // what it cannot read), but it must play to its end without harm.
    std::string damaged = bytes;
    std::mt19937 random(7);
    for (std::size_t i = damaged.size() / 3; i < damaged.size() * 2 / 3; ++i) {
        damaged[i] = static_cast<char>(random());
    }
    const HSTREAM stream = Open(write("damaged.mp3", damaged));
    if (stream != 0) {
        BASS_ChannelPlay(stream, FALSE);
        std::vector<float> out(44100 * 2);
        for (int i = 0; i < 3; ++i) {
            BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float)));
        }
        EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    }
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, bytes.data(), 0, bytes.size(), 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
}

} // namespace
