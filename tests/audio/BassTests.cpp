// The audio library through its C interface, as the program loads it.
#include "bass.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kRate = 44100;

class Bass : public ::testing::Test {
protected:
    void TearDown() override {
        BASS_Free();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }

    // A float stereo push stream fed `seconds` of a constant level, then
    // closed, so everything it holds has passed the resampler.
    static HSTREAM ConstantStream(float level, double seconds, DWORD rate = 22050) {
        const HSTREAM stream = BASS_StreamCreatePush(rate, 1, BASS_SAMPLE_FLOAT);
        EXPECT_NE(stream, 0u);
        std::vector<float> pcm(static_cast<std::size_t>(seconds * rate), level);
        EXPECT_NE(BASS_StreamPutData(stream, pcm.data(),
                                     static_cast<DWORD>(pcm.size() * sizeof(float)) |
                                         BASS_STREAMPROC_END),
                  static_cast<DWORD>(-1));
        return stream;
    }

    static std::vector<float> Render(std::size_t frames) {
        std::vector<float> out(frames * 2, -9.0f);
        EXPECT_EQ(BASS_RenderOutput(out.data(), static_cast<DWORD>(out.size() * sizeof(float))),
                  out.size() * sizeof(float));
        return out;
    }
};

TEST_F(Bass, IsTheStagedLibraryWithTheExpectedVersion) {
    EXPECT_EQ(BASS_GetVersion() >> 16, 0x0204u);
    // The program finds the library by this exact file name beside itself.
    void* library = dlopen(SONVELA_STAGE_DIR "/bass.dll", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr) << "this test must run against the staged bass.dll";
    EXPECT_NE(dlsym(library, "BASS_GetVersion"), nullptr);
    EXPECT_NE(dlsym(library, "BASS_StreamCreatePush"), nullptr);
    dlclose(library);
}

TEST_F(Bass, InitialisesOnceAndAgainAfterFree) {
    EXPECT_EQ(BASS_StreamCreatePush(22050, 1, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    const HSTREAM stream = BASS_StreamCreatePush(22050, 1, 0);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_Free());
    // Freeing the output frees its streams.
    EXPECT_FALSE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    EXPECT_STREQ(BASS_GetDriverName(), "nosound");
}

TEST_F(Bass, PushStreamComesOutAtItsVolume) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM stream = ConstantStream(0.5f, 0.5);
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.4f));
    // Created stopped: nothing is consumed until it plays.
    auto silent = Render(4410);
    EXPECT_EQ(silent[1000], 0.0f);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 0u);

    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    // Half a second at 22050 Hz becomes half a second at 44100 Hz (plus the
    // padding that flushes the converter).
    const QWORD written = BASS_StreamGetWritePosition(stream);
    const double seconds = BASS_ChannelBytes2Seconds(stream, written);
    EXPECT_GE(seconds, 0.5);
    EXPECT_LT(seconds, 0.5 + 1024.0 / 22050);
    auto out = Render(11000);
    for (std::size_t frame = 200; frame < 11000; frame += 500) {
        EXPECT_NEAR(out[frame * 2], 0.2f, 0.002f) << frame;
        EXPECT_NEAR(out[frame * 2 + 1], 0.2f, 0.002f) << frame;
    }
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), 11000u * 8);
    // A volume change is heard at the next buffer.
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 1.0f));
    auto louder = Render(100);
    EXPECT_NEAR(louder[0], 0.5f, 0.002f);
    // The rest plays out, its last milliseconds included, then silence.
    auto rest = Render(written / 8 - 11100);
    std::size_t atLevel = 11100;
    for (std::size_t i = 0; i < rest.size(); i += 2) {
        atLevel += std::fabs(rest[i] - 0.5f) < 0.002f ? 1 : 0;
    }
    EXPECT_NEAR(static_cast<double>(atLevel), 22050.0, 20.0);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    EXPECT_EQ(Render(10)[0], 0.0f);
}

TEST_F(Bass, ResamplingKeepsTheWaveform) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    // 1 kHz at 22050 Hz (our interpolator), 16-bit stereo, and at 16000 Hz
    // (SDL's resampler): both must come out as the same tone at 44100 Hz.
    for (const DWORD rate : {22050u, 16000u}) {
        const HSTREAM stream = BASS_StreamCreatePush(rate, 2, 0);
        ASSERT_NE(stream, 0u);
        std::vector<short> pcm;
        for (DWORD i = 0; i < rate / 2; ++i) {
            const auto value =
                static_cast<short>(std::lround(16384 * std::sin(2 * M_PI * 1000.0 * i / rate)));
            pcm.push_back(value);
            pcm.push_back(static_cast<short>(-value));
        }
        BASS_StreamPutData(stream, pcm.data(),
                           static_cast<DWORD>(pcm.size() * sizeof(short)) | BASS_STREAMPROC_END);
        BASS_ChannelPlay(stream, FALSE);
        const auto out = Render(kRate / 2);
        // Find the delay the resampler adds (none for ours), then compare.
        double bestError = 1e9;
        int bestShift = 0;
        for (int shift = 0; shift < 40; ++shift) {
            double error = 0;
            for (std::size_t frame = 2000; frame < 20000; ++frame) {
                const double expected =
                    0.5 *
                    std::sin(2 * M_PI * 1000.0 * (static_cast<double>(frame) - shift) / kRate);
                error = std::max(error, std::fabs(out[frame * 2] - expected));
                error = std::max(error, std::fabs(out[frame * 2 + 1] + expected));
            }
            if (error < bestError) {
                bestError = error;
                bestShift = shift;
            }
        }
        EXPECT_LT(bestError, 0.01) << rate;
        if (rate == 22050) {
            EXPECT_EQ(bestShift, 0);
            // Exactly twice the frames: marks stay exact.
            EXPECT_EQ(BASS_StreamGetWritePosition(stream), 2u * pcm.size() / 2 * 8);
        }
        BASS_StreamFree(stream);
    }
}

TEST_F(Bass, StreamsAreSummedAndClipped) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM first = ConstantStream(0.25f, 0.2);
    const HSTREAM second = ConstantStream(0.5f, 0.2, 44100);
    BASS_ChannelPlay(first, FALSE);
    BASS_ChannelPlay(second, FALSE);
    auto out = Render(4000);
    EXPECT_NEAR(out[3000 * 2], 0.75f, 0.003f);

    const HSTREAM loud = ConstantStream(0.9f, 0.2, 44100);
    BASS_ChannelPlay(loud, FALSE);
    out = Render(100);
    // 1.65 is bent under full scale, not cut at it.
    EXPECT_GT(out[50 * 2], 0.95f);
    EXPECT_LT(out[50 * 2], 1.0f);
}

TEST_F(Bass, NoSampleReachesFullScaleAndQuietOnesPassUntouched) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    // A full-scale 16-bit square wave at 22050 Hz: the resampler overshoots
    // at every edge. With a second stream on top, the mix goes far beyond.
    const HSTREAM square = BASS_StreamCreatePush(22050, 1, 0);
    std::vector<short> pcm;
    for (int i = 0; i < 22050 / 4; ++i) {
        pcm.push_back((i / 25) % 2 ? 32767 : -32768);
    }
    BASS_StreamPutData(square, pcm.data(),
                       static_cast<DWORD>(pcm.size() * sizeof(short)) | BASS_STREAMPROC_END);
    BASS_ChannelPlay(square, FALSE);
    const auto alone = Render(kRate / 8);
    const HSTREAM extra = ConstantStream(0.7f, 0.2, 44100);
    BASS_ChannelPlay(extra, FALSE);
    const auto mixed = Render(kRate / 8);
    float peak = 0;
    for (const auto* block : {&alone, &mixed}) {
        for (const float sample : *block) {
            EXPECT_LT(std::fabs(sample), 1.0f);
            peak = std::max(peak, std::fabs(sample));
        }
    }
    // Not quieter than the voice's own full level by more than 1 dB.
    EXPECT_GT(peak, std::pow(10.0f, -1.0f / 20));

    // Monotonic: a louder input never comes out quieter.
    BASS_Free();
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    float last = 0;
    for (float level = 0.05f; level < 2.0f; level += 0.05f) {
        const HSTREAM stream = ConstantStream(level, 0.05, 44100);
        BASS_ChannelPlay(stream, FALSE);
        const float out = Render(1000)[500 * 2];
        if (level <= 0.8f) {
            EXPECT_NEAR(out, level, 1e-6f) << level;
        }
        EXPECT_GT(out, last) << level;
        last = out;
        BASS_StreamFree(stream);
    }
}

TEST_F(Bass, HandlesAreDistinctNeverBelow45AndDeadOnceFreed) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM kept = ConstantStream(0.5f, 0.2, 44100);
    HSTREAM previous = 0;
    for (int i = 0; i < 5; ++i) {
        const HSTREAM stream = BASS_StreamCreatePush(22050, 2, 0);
        EXPECT_GE(stream, 45u);
        EXPECT_NE(stream, previous);
        EXPECT_NE(stream, kept);
        previous = stream;
    }
    const HSTREAM freed = ConstantStream(0.3f, 0.2, 44100);
    ASSERT_TRUE(BASS_StreamFree(freed));
    BASS_ChannelPlay(kept, FALSE);

    // Every call on the freed handle fails and leaves the rest alone.
    EXPECT_FALSE(BASS_ChannelPlay(freed, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelSetAttribute(freed, BASS_ATTRIB_VOL, 0.0f));
    EXPECT_FALSE(BASS_ChannelStop(freed));
    EXPECT_FALSE(BASS_StreamFree(freed));
    EXPECT_FALSE(BASS_StreamPurge(freed));
    EXPECT_EQ(BASS_StreamPutData(freed, nullptr, 0), static_cast<DWORD>(-1));
    const QWORD position = BASS_ChannelGetPosition(freed, BASS_POS_BYTE);
    EXPECT_EQ(position, static_cast<QWORD>(-1));
    EXPECT_LT(BASS_ChannelBytes2Seconds(freed, position), 0.0);
    EXPECT_EQ(BASS_ChannelIsActive(freed), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_FALSE(BASS_StreamWaitPosition(freed, 0, 10));

    auto out = Render(1000);
    EXPECT_NEAR(out[500 * 2], 0.5f, 0.002f);
    // No handle anywhere near the small numbers.
    for (DWORD handle = 0; handle < 45; ++handle) {
        EXPECT_FALSE(BASS_ChannelPlay(handle, FALSE));
    }
}

TEST_F(Bass, PurgeDropsQueuedAudioAndReleasesWaiters) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM stream = ConstantStream(0.5f, 1.0);
    BASS_ChannelPlay(stream, FALSE);
    Render(1000);
    const QWORD end = BASS_StreamGetWritePosition(stream);
    EXPECT_FALSE(BASS_StreamWaitPosition(stream, end, 20));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_TIMEOUT);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    std::thread waiter([&] { EXPECT_TRUE(BASS_StreamWaitPosition(stream, end, 5000)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(BASS_StreamPurge(stream));
    waiter.join();
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), end);
    EXPECT_EQ(BASS_StreamPutData(stream, nullptr, 0), 0u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    auto out = Render(1000);
    EXPECT_EQ(out[500 * 2], 0.0f);
}

TEST_F(Bass, FreeingAStreamReleasesItsWaiter) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    const HSTREAM stream = ConstantStream(0.5f, 1.0);
    const QWORD end = BASS_StreamGetWritePosition(stream);
    std::thread waiter([&] {
        EXPECT_FALSE(BASS_StreamWaitPosition(stream, end, 5000));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    BASS_StreamFree(stream);
    waiter.join();
}

TEST_F(Bass, RejectsBadArguments) {
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_StreamCreatePush(22050, 3, 0), 0u);
    EXPECT_EQ(BASS_StreamCreatePush(0, 1, 0), 0u);
    const HSTREAM stream = BASS_StreamCreatePush(22050, 1, 0);
    const short odd[3] = {1, 2, 3};
    // Half a frame is refused rather than shifting every later sample.
    EXPECT_EQ(BASS_StreamPutData(stream, odd, 3), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_NE(BASS_StreamPutData(stream, odd, 6), static_cast<DWORD>(-1));
    EXPECT_FALSE(BASS_ChannelSetAttribute(stream, 99, 1.0f));
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), static_cast<QWORD>(-1));
}

TEST_F(Bass, FallsBackToDummyWhenTheDriverCannotOpen) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    EXPECT_STREQ(BASS_GetDriverName(), "dummy");
    // Offline rendering belongs to the device-less output only.
    float buffer[64];
    EXPECT_EQ(BASS_RenderOutput(buffer, sizeof buffer), static_cast<DWORD>(-1));

    // The silent device still plays in real time.
    const HSTREAM stream = ConstantStream(0.5f, 0.4);
    const QWORD end = BASS_StreamGetWritePosition(stream);
    const auto start = std::chrono::steady_clock::now();
    BASS_ChannelPlay(stream, FALSE);
    ASSERT_TRUE(BASS_StreamWaitPosition(stream, end, 5000));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(350));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
}

TEST_F(Bass, DiskDriverRecordsTheMix) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("sonvela-bass-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, kRate, 0, nullptr, nullptr));
    ASSERT_STREQ(BASS_GetDriverName(), "disk");
    const HSTREAM stream = ConstantStream(0.5f, 0.3);
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.4f);
    BASS_ChannelPlay(stream, FALSE);
    ASSERT_TRUE(BASS_StreamWaitPosition(stream, BASS_StreamGetWritePosition(stream), 5000));
    BASS_Free();

    std::ifstream file(path, std::ios::binary);
    std::vector<float> samples;
    float sample = 0;
    while (file.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
        samples.push_back(sample);
    }
    std::filesystem::remove(path);
    std::size_t atLevel = 0;
    for (float s : samples) {
        atLevel += std::fabs(s - 0.2f) < 0.002f ? 1 : 0;
    }
    // 0.3 s of stereo at the stream's volume, give or take the edges.
    EXPECT_NEAR(static_cast<double>(atLevel) / 2 / kRate, 0.3, 0.02);
}

} // namespace
