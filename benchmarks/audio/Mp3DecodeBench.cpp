// mp3_decode_ratio: the audio library decoding a 60-second MP3 through its
// mixer into the device-less output as fast as it can be pulled, divided by
// `mpg123 -t` (decode only, no output) on the same file. Best of five each.
#include "bass.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

double OurDecode(const std::string& path) {
    const auto start = Clock::now();
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    if (stream == 0) {
        std::fprintf(stderr, "the library did not open %s (%d)\n", path.c_str(),
                     BASS_ErrorGetCode());
        std::exit(1);
    }
    BASS_ChannelPlay(stream, FALSE);
    std::vector<float> buffer(4096 * 2);
    while (BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING) {
        BASS_RenderOutput(buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(float)));
    }
    const double seconds = Seconds(Clock::now() - start);
    BASS_StreamFree(stream);
    return seconds;
}

double Mpg123Decode(const std::string& path) {
    const auto start = Clock::now();
    if (!Run(std::string(SONVELA_MPG123) + " -q -t '" + path + "'")) {
        std::fprintf(stderr, "mpg123 failed\n");
        std::exit(1);
    }
    return Seconds(Clock::now() - start);
}

} // namespace

int main() {
    const fs::path work =
        fs::temp_directory_path() / ("sonvela-mp3-bench-" + std::to_string(getpid()));
    fs::create_directories(work);
    const std::string wav = (work / "music.wav").string();
    const std::string mp3 = (work / "music.mp3").string();
    // Sixty seconds of a chord with a moving tone over it: stereo, 44.1 kHz,
    // 128 kbit/s, like an ordinary music file.
    if (!Run(std::string(SONVELA_SOX) + " -D -n -r 44100 -c 2 -b 16 '" + wav +
             "' synth 60 sine 220 sine 330 synth 60 sine mix 440-880 vol 0.3") ||
        !Run(std::string(SONVELA_LAME) + " --quiet -b 128 '" + wav + "' '" + mp3 + "'")) {
        std::fprintf(stderr, "could not make the MP3\n");
        return 1;
    }
    if (!BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "BASS_Init failed\n");
        return 1;
    }
    double ours = 1e9;
    double theirs = 1e9;
    for (int round = 0; round < 5; ++round) {
        ours = std::min(ours, OurDecode(mp3));
        theirs = std::min(theirs, Mpg123Decode(mp3));
    }
    BASS_Free();
    fs::remove_all(work);
    std::printf("mp3_decode_seconds: %.4f\n", ours);
    std::printf("mpg123_decode_seconds: %.4f\n", theirs);
    std::printf("mp3_decode_ratio: %.3f\n", ours / theirs);
    return 0;
}
