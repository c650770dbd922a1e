// Plays the clock chime through the audio library's one output, without
// waiting for it: the announcement goes on while the sound plays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

// 16-bit PCM as a WAV file carries it.
struct WavSound {
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;
    std::vector<std::int16_t> samples; // interleaved
};

// The PCM of a WAV file's bytes; nothing unless it is 16-bit PCM with one or
// two channels.
std::optional<WavSound> ParseWav(std::string_view bytes);

class ChimePlayer {
public:
    explicit ChimePlayer(WavSound sound) : sound_(std::move(sound)) {}
    ~ChimePlayer();
    ChimePlayer(const ChimePlayer&) = delete;
    ChimePlayer& operator=(const ChimePlayer&) = delete;

    // Starts the sound from its beginning and returns at once; a chime still
    // sounding is cut off. False when the audio library could not play it
    // (not initialised, no device): the announcement then goes on silently.
    bool Play();

private:
    WavSound sound_;
    std::uint32_t stream_ = 0;
};

} // namespace sonvela
