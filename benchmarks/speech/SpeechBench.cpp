// synth_ratio: a 2,000-character Chinese text spoken by SpVoice through the
// whole path (conversion, synthesis, resampling, mixing) into the audio
// output rendering as fast as it can, divided by `espeak-ng -w` writing the
// same text to a file. first_audio_ms: from the speak call to the first
// sound reaching the output; first_audio_floor_ms: espeak-ng's own first
// sound in a process of its own.
#include "SpVoice.h"
#include "bass.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of this process's threads, children excluded.
double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

std::u16string ChineseText(std::size_t characters) {
    const std::u16string sentences[] = {
        u"各位顾客，欢迎光临本店，今天所有水果一律八折。",
        u"新鲜的苹果每斤三元五角，香蕉每斤两元，西瓜每个十五元。",
        u"本店营业时间为早上八点至晚上十点，节假日照常营业。",
        u"请您保管好随身携带的物品，注意安全，祝您购物愉快！",
        u"明天上午九点，我们将举行开业三周年庆祝活动，欢迎大家参加。",
    };
    std::u16string text;
    for (std::size_t i = 0; text.size() < characters; ++i) {
        text += sentences[i % std::size(sentences)];
    }
    text.resize(characters);
    return text;
}

std::string ToUtf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) { // the sample text is all in the basic plane
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Drains the device-less output as fast as it mixes and notes when the
// first sound arrives after `Arm`.
class Renderer {
public:
    // A block is 4096 frames, about 93 ms: a second and a half of silence.
    static constexpr int kPauseBlocks = 16;

    Renderer()
        : thread_([this] {
              std::vector<float> block(8192);
              int silentBlocks = 0; // in a row
              while (!stop_) {
                  // Only a block mixed wholly after the speak call counts.
                  const bool armed = armed_;
                  BASS_RenderOutput(block.data(), static_cast<DWORD>(block.size() * 4));
                  const bool audible =
                      std::any_of(block.begin(), block.end(), [](float s) { return s != 0.0f; });
                  if (audible && armed && armed_.exchange(false)) {
                      firstSound_ = Clock::now();
                  }
                  silentBlocks = audible ? 0 : silentBlocks + 1;
                  if (!audible) {
                      // Poll finely while waiting for a first sound, so the
                      // poll does not dominate what is measured. Poll finely
                      // too through a silence as long as a pause in the
                      // speech, which has digital silence of its own: a
                      // coarse poll there would stall the rendering, and the
                      // synthesiser once its queue is full.
                      const bool fine = armed || silentBlocks <= kPauseBlocks;
                      std::this_thread::sleep_for(std::chrono::microseconds(fine ? 20 : 500));
                  }
              }
          }) {}
    ~Renderer() {
        stop_ = true;
        thread_.join();
    }
    void Arm() { armed_ = true; }
    Clock::time_point FirstSound() const { return firstSound_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> armed_{false};
    std::atomic<Clock::time_point> firstSound_{};
    std::thread thread_;
};

// espeak-ng alone, in a child process (espeak is initialised once per
// process, and this one's belongs to the voice): ms to the first non-silent
// sample of a short text.
double FloorFirstAudioMs(const std::string& utf8) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        espeak_ng_InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        espeak_ng_Initialize(&context);
        espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 50, nullptr);
        static Clock::time_point start;
        static double first = -1;
        espeak_SetSynthCallback([](short* wav, int samples, espeak_EVENT*) {
            for (int i = 0; first < 0 && wav != nullptr && i < samples; ++i) {
                if (wav[i] != 0) {
                    first = Ms(Clock::now() - start);
                }
            }
            return first < 0 ? 0 : 1;
        });
        espeak_SetVoiceByName("cmn-latn-pinyin");
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            first = -1;
            start = Clock::now();
            espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                         nullptr, nullptr);
            best = std::min(best, first);
        }
        const ssize_t written = write(fds[1], &best, sizeof best);
        _exit(written == sizeof best ? 0 : 1);
    }
    close(fds[1]);
    double result = -1;
    if (read(fds[0], &result, sizeof result) != sizeof result) {
        result = -1;
    }
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return result;
}

double EspeakCommandMs(const std::string& utf8) {
    const auto folder = std::filesystem::temp_directory_path();
    const auto textFile = folder / ("sonvela-bench-" + std::to_string(getpid()) + ".txt");
    const auto wavFile = folder / ("sonvela-bench-" + std::to_string(getpid()) + ".wav");
    std::ofstream(textFile, std::ios::binary) << utf8;
    const std::string command =
        "espeak-ng -v cmn-latn-pinyin -w '" + wavFile.string() + "' -f '" + textFile.string() + "'";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double ms = Ms(Clock::now() - start);
    std::filesystem::remove(textFile);
    std::filesystem::remove(wavFile);
    return status == 0 ? ms : -1;
}

} // namespace

int main() {
    const std::u16string text = ChineseText(2000);
    const std::u16string shortText = u"今天天气很好。";
    const std::string utf8 = ToUtf8(text);

    const double floorMs = FloorFirstAudioMs(ToUtf8(shortText));

    if (!BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "the audio output did not start\n");
        return 1;
    }
    double firstAudioMs = 1e9;
    double voiceMs = 1e9;
    double voiceCpuMs = 0;
    double commandMs = 1e9;
    {
        sonvela::SpVoice voice;
        voice.SetVoice(0); // Mandarin
        Renderer renderer;
        voice.SpeakPurgeAndWait(shortText); // loads the voice
        for (int run = 0; run < 5; ++run) {
            renderer.Arm();
            // Let the renderer enter its fine polling before the clock runs.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            const auto start = Clock::now();
            voice.SpeakPurgeAndWait(shortText);
            firstAudioMs = std::min(firstAudioMs, Ms(renderer.FirstSound() - start));
        }
        // Alternate the two so that a busy moment of the machine hits both.
        for (int run = 0; run < 3; ++run) {
            const auto start = Clock::now();
            const double cpuStart = CpuMs();
            voice.SpeakPurgeAndWait(text);
            const double ms = Ms(Clock::now() - start);
            if (ms < voiceMs) {
                voiceMs = ms;
                voiceCpuMs = CpuMs() - cpuStart;
            }
            commandMs = std::min(commandMs, EspeakCommandMs(utf8));
        }
    }
    BASS_Free();

    std::printf("synth_voice_ms: %.1f\n", voiceMs);
    std::printf("synth_voice_cpu_ms: %.1f\n", voiceCpuMs);
    std::printf("synth_espeak_ms: %.1f\n", commandMs);
    std::printf("synth_ratio: %.3f\n", voiceMs / commandMs);
    std::printf("first_audio_ms: %.2f\n", firstAudioMs);
    std::printf("first_audio_floor_ms: %.2f\n", floorMs);
    return 0;
}
