// Exporting an announcement against the speech synthesis it needs.
//
//   export_speed_x       seconds of announcement written per second of wall
//                        time: about ten minutes of speech, every sentence a
//                        different one, with a music bed, as MP3
//   export_vs_synthesis  that export's time over the time espeak-ng alone
//                        takes to synthesise the same segments
//   export_speed_x_wav   the same announcement as WAV (no encoder's cost)
//   synthesis_speed_x    announcement seconds per second of synthesis alone
//   mp3_cores_over_one   the WAV's sound encoded as MP3 on every core, against
//                        one encoder on one core, as a speed ratio;
//                        mp3_one_core_speed_x is the latter
//   mp3_over_libsndfile  the same against libsndfile's MP3 writer (which the
//                        export used before), as a speed ratio, and
//                        mp3_size_over_libsndfile the sizes of the two files
#include "AnnouncementExport.h"
#include "FrontEnd.h"
#include "Mp3Encoder.h"
#include "SegmentPlan.h"
#include "SpeechSource.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sndfile.h>
#include <string>

using namespace sonvela;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Distinct sentences, so no segment is served from the export's cache.
GbkString Announcement() {
    std::string text;
    for (int i = 1; i <= 60; ++i) {
        text += "各位顾客请注意，第" + std::to_string(i) + "号货架的商品今天特价" +
                std::to_string(i * 3 + 1) + "元，欢迎选购。";
        text += "本店营业到晚上" + std::to_string(8 + i % 3) + "点，谢谢光临！\n";
    }
    return Utf8ToGbk(text);
}

// Seconds to encode `samples` as MP3 in memory; `bytes` gets the size.
double EncodeSeconds(const std::vector<float>& samples, int channels, unsigned workers,
                     std::size_t& bytes) {
    Mp3EncoderShape shape;
    shape.channels = channels;
    shape.workers = workers;
    bytes = 0;
    const auto start = Clock::now();
    Mp3Encoder encoder(shape, [&](const std::uint8_t*, std::size_t size) {
        bytes += size;
        return true;
    });
    std::vector<std::uint8_t> informationFrame;
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    const std::size_t block = 4096;
    bool ok = encoder.Start();
    for (std::size_t at = 0; ok && at < frames; at += block)
        ok = encoder.Put(samples.data() + at * static_cast<std::size_t>(channels),
                         std::min(block, frames - at));
    ok = ok && encoder.Finish(informationFrame);
    const double seconds = SecondsSince(start);
    return ok && bytes > 0 ? seconds : -1;
}

// Seconds for libsndfile to write `samples` as MP3.
double LibsndfileSeconds(const std::vector<float>& samples, int channels, const std::string& path) {
    const auto start = Clock::now();
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = channels;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return -1;
    const auto frames =
        static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels));
    const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    return ok ? SecondsSince(start) : -1;
}

std::vector<float> ReadFloats(const std::string& path, int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    channels = info.channels;
    return samples;
}

} // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / "sonvela-export-bench";
    std::filesystem::create_directories(folder / "music");
    const std::string bed = (folder / "music" / "bed.mp3").string();
    const std::string wav = (folder / "bed.wav").string();
    if (std::system(("sox -n -r 44100 -c 2 '" + wav + "' synth 60 sine 330 vol 0.3").c_str()) !=
            0 ||
        std::system(("lame --quiet '" + wav + "' '" + bed + "'").c_str()) != 0) {
        std::fprintf(stderr, "sox and lame are needed to make the music bed\n");
        return 1;
    }

    AnnouncementSettings settings;
    settings.text = Announcement();
    settings.symbols = DelaySymbols::FromRows(
        {{Utf8ToGbk("。"), 300, true}, {Utf8ToGbk("，"), 0, true}, {Utf8ToGbk("！"), 0, true}});
    settings.withMusic = true;
    settings.music.files = {bed};

    frontend::FrontEnd frontEnd;
    // The engine's first start (voice data) is not what is measured.
    MakeEspeakSpeech(0, 2, 100, frontEnd)->Say(Utf8ToGbk("预热。"));

    // Synthesis alone: every segment of the text, nothing else.
    const auto synthesisOnly = MakeEspeakSpeech(0, 2, 100, frontEnd);
    auto start = Clock::now();
    for (const PlannedSegment& segment :
         PlanSegments(settings.text, false, settings.symbols, 1, 800, CurrentLocalDateTime))
        synthesisOnly->Say(segment.spoken);
    const double synthesis = SecondsSince(start);

    const auto speech = MakeEspeakSpeech(0, 2, 100, frontEnd);
    std::atomic<bool> cancel{false};
    start = Clock::now();
    const ExportResult result = ExportAnnouncement(
        settings, *speech, (folder / "announcement.mp3").string(), ExportFormat::Mp3, cancel);
    const double exporting = SecondsSince(start);

    // For comparison, the same as WAV: the mixing without an encoder's cost.
    start = Clock::now();
    const ExportResult wavResult = ExportAnnouncement(
        settings, *speech, (folder / "announcement.wav").string(), ExportFormat::Wav, cancel);
    const double exportingWav = SecondsSince(start);
    int channels = 0;
    const std::vector<float> mixed = ReadFloats((folder / "announcement.wav").string(), channels);
    std::size_t bytes = 0;
    const double oneCore = mixed.empty() ? -1 : EncodeSeconds(mixed, channels, 1, bytes);
    const double allCores = mixed.empty() ? -1 : EncodeSeconds(mixed, channels, 0, bytes);
    const auto sndfileMp3 = folder / "sndfile.mp3";
    const double libsndfile =
        mixed.empty() ? -1 : LibsndfileSeconds(mixed, channels, sndfileMp3.string());
    const double sizeRatio = libsndfile > 0
                                 ? static_cast<double>(bytes) /
                                       static_cast<double>(std::filesystem::file_size(sndfileMp3))
                                 : -1;
    std::filesystem::remove_all(folder);
    if (!result.ok || !wavResult.ok) {
        std::fprintf(stderr, "export failed: %s%s\n", result.message.c_str(),
                     wavResult.message.c_str());
        return 1;
    }
    std::printf("export_announcement_seconds: %.1f\n", result.audioSeconds);
    std::printf("export_speed_x: %.1f\n", result.audioSeconds / exporting);
    std::printf("export_vs_synthesis: %.2f\n", exporting / synthesis);
    std::printf("export_speed_x_wav: %.1f\n", wavResult.audioSeconds / exportingWav);
    std::printf("synthesis_speed_x: %.1f\n", result.audioSeconds / synthesis);
    if (oneCore > 0 && allCores > 0) {
        std::printf("mp3_one_core_speed_x: %.1f\n", wavResult.audioSeconds / oneCore);
        std::printf("mp3_cores_over_one: %.2f\n", oneCore / allCores);
    }
    if (libsndfile > 0 && allCores > 0) {
        std::printf("mp3_over_libsndfile: %.2f\n", libsndfile / allCores);
        std::printf("mp3_size_over_libsndfile: %.2f\n", sizeRatio);
    }
    return 0;
}
