#include "ExportTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <sndfile.h>

namespace sonvela::testing {

std::vector<short> ToneSpeech::Say(const GbkString& segment) {
    said.push_back(segment);
    const auto count = static_cast<std::size_t>(seconds_ * SampleRate());
    std::vector<short> pcm(count);
    for (std::size_t i = 0; i < count; ++i)
        pcm[i] = static_cast<short>(
            std::lround(amplitude_ * 32767 * std::sin(2 * M_PI * 440.0 * i / SampleRate())));
    return pcm;
}

Sound ReadSound(const std::string& path) {
    Sound sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_float(file, sound.samples.data(), info.frames);
    sound.samples.resize(static_cast<std::size_t>(got * info.channels));
    sf_close(file);
    return sound;
}

std::vector<std::pair<std::size_t, std::size_t>> QuietRuns(const Sound& sound, float floor,
                                                           double minimumSeconds) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    const auto minimum = static_cast<std::size_t>(minimumSeconds * sound.rate);
    std::size_t start = 0;
    bool quiet = false;
    for (std::size_t frame = 0; frame <= sound.Frames(); ++frame) {
        const bool below =
            frame < sound.Frames() && std::fabs(sound.samples[frame * sound.channels]) < floor;
        if (below && !quiet) {
            start = frame;
            quiet = true;
        } else if (!below && quiet) {
            quiet = false;
            if (frame - start >= minimum)
                runs.emplace_back(start, frame);
        }
    }
    return runs;
}

double Rms(const Sound& sound, double from, double to) {
    const auto first = static_cast<std::size_t>(from * sound.rate);
    const auto last = std::min(static_cast<std::size_t>(to * sound.rate), sound.Frames());
    double sum = 0;
    for (std::size_t frame = first; frame < last; ++frame) {
        const double sample = sound.samples[frame * sound.channels];
        sum += sample * sample;
    }
    return last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0;
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonvela-export-XXXXXX");
    path_ = mkdtemp(pattern.data());
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    return names;
}

int Run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace sonvela::testing
