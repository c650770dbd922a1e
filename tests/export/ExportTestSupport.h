// What the export tests share: a speech source of known sound, reading an
// audio file back, and a scratch folder.
#pragma once

#include "GbkText.h"
#include "SpeechSource.h"

#include <filesystem>
#include <string>
#include <vector>

namespace sonvela::testing {

// Every segment sounds as a tone burst of `seconds` at `amplitude` (0 for a
// silent burst), so the pauses between segments are plain to measure.
class ToneSpeech final : public SpeechSource {
public:
    explicit ToneSpeech(double seconds = 0.5, double amplitude = 0.5)
        : seconds_(seconds), amplitude_(amplitude) {}
    int SampleRate() const override { return 22050; }
    std::vector<short> Say(const GbkString& segment) override;
    std::string KeyOf(const GbkString& segment) const override { return segment; }

    std::vector<GbkString> said; // every segment synthesised, in order

private:
    double seconds_;
    double amplitude_;
};

struct Sound {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    double Seconds() const { return rate ? static_cast<double>(Frames()) / rate : 0; }
};

// Read with libsndfile (WAV, FLAC); empty when it cannot be read.
Sound ReadSound(const std::string& path);

// Runs of the left channel below `floor` lasting at least `minimumSeconds`:
// [start, end) in frames.
std::vector<std::pair<std::size_t, std::size_t>> QuietRuns(const Sound& sound, float floor,
                                                           double minimumSeconds);

// Root-mean-square of the left channel over [from, to) seconds.
double Rms(const Sound& sound, double from, double to);

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The names in the folder, hidden ones included.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path path_;
};

// Runs a shell command; its exit status.
int Run(const std::string& command);

} // namespace sonvela::testing
