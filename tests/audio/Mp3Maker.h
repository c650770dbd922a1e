// Makes MP3 files for the audio tests at test time: a sine wave written as a
// WAV file, encoded with the lame program.
#pragma once

#include <filesystem>
#include <string>

namespace sonvela::test {

struct SineMp3 {
    double seconds = 1.0;
    int rate = 44100;
    double frequency = 440.0;
    double amplitude = 0.5; // of full scale
    bool mono = false;
};

// Writes the MP3 to `path`; false when lame failed.
bool MakeSineMp3(const SineMp3& request, const std::filesystem::path& path);

// A folder of its own under the system's temporary folder, removed with
// everything in it on destruction.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace sonvela::test
