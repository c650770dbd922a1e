// The voice notice's logic: the six known Chinese voices, whether the
// speech engine has each, and playing their short samples through the
// audio library beside the background music.
#pragma once

#include "MusicLibrary.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

struct KnownVoice {
    const char* rowLabel;   // object name of the row's caption
    const char* caption;    // kept with its blanks: they align the last column
    const char* keyName;    // what the engine's voice name or description contains
    const char* statusName; // object name of the "是"/"否" label
    const char* buttonName; // object name of the "试听" button
    const char* sampleFile; // the copy's name in the temporary folder
    const char* resource;   // the recording carried inside the program
};

const std::array<KnownVoice, 6>& KnownVoices();

// True when a voice's name or description contains `keyName`.
struct VoiceName {
    std::string name;
    std::string description;
};
bool VoiceInstalled(std::string_view keyName, const std::vector<VoiceName>& voices);

// The path of a sample's copy in `tempFolder` (ending in the separator).
// When no file of that name exists there, `resourceBytes` is written to it
// first; an existing file is used as it is, so an operator's own recording
// under that name plays instead. Throws std::runtime_error when the copy
// cannot be written.
std::string EnsureSampleCopy(const std::string& tempFolder, const std::string& sampleFile,
                             const std::function<std::string()>& resourceBytes);

// One sample stream at a time, per notice window.
class SamplePlayer {
public:
    explicit SamplePlayer(MusicLibrary& library) : library_(library) {}
    SamplePlayer(const SamplePlayer&) = delete;
    SamplePlayer& operator=(const SamplePlayer&) = delete;

    // Stops the sample playing, then opens `path` and plays it at 0.8. A
    // file the library cannot open plays nothing, silently.
    void Play(const std::string& path);
    // Stops and releases the sample, if one exists.
    void Stop();
    StreamHandle Stream() const { return stream_; }

private:
    MusicLibrary& library_;
    StreamHandle stream_ = 0;
};

} // namespace sonvela
