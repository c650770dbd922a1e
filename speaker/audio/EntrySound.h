// A sound file the broadcast timetable plays in place of a draft: an MP3 or
// a WAV file, through the audio library's one output, so that it mixes with
// the music and the voice like every other sound of the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sonvela {

class EntrySound {
public:
    EntrySound() = default;
    ~EntrySound();
    EntrySound(const EntrySound&) = delete;
    EntrySound& operator=(const EntrySound&) = delete;

    // Starts `path` (UTF-8) from its beginning, cutting off a sound still
    // playing. Nothing on success, else why it cannot be played (Chinese).
    std::optional<std::string> Play(const std::string& path);
    // False once the sound has played to its end (or was stopped).
    bool Playing() const;
    void Stop();

private:
    std::uint32_t stream_ = 0;
};

} // namespace sonvela
