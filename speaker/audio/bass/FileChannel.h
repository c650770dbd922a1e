// A stream of the mixer that plays an MP3 file, decoded by libmpg123 as the
// mixer pulls it, so a long track never sits decoded in memory.
#pragma once

#include "Channel.h"

#include <SDL2/SDL_audio.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct mpg123_handle_struct;

namespace sonvela::audio {

// Why a file could not be opened.
enum class FileFault { None, Open, Format, Memory };

class FileChannel final : public Channel {
public:
    // Opens and scans the file: its exact length is known before it plays.
    // `Fault()` tells whether that worked; a channel with a fault must not
    // be added to the mixer.
    FileChannel(const std::string& path, int mixRate);
    ~FileChannel() override;
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    FileFault Fault() const { return fault_; }

    bool MixInto(float* mix, std::size_t frames) override;
    std::uint64_t PositionFrames() const override { return position_; }
    std::int64_t LengthFrames() const override { return length_; }

    // `mutex` held: the next mix starts again from the beginning.
    void Rewind();
    // `mutex` held: the whole file has been played.
    bool Ended() const { return position_ >= static_cast<std::uint64_t>(length_); }

private:
    bool OpenDecoder(const std::string& path);
    bool OpenConverter();
    // The mixer's own, without `mutex`: decodes until `frames` mixer frames
    // are ready or the file has ended.
    void Fill(std::size_t frames);
    void Append(const float* samples, std::size_t count);
    void RestartDecoding();

    FileFault fault_ = FileFault::None;
    int mixRate_;
    long sourceRate_ = 0;
    mpg123_handle_struct* decoder_ = nullptr;
    SDL_AudioStream* converter_ = nullptr;
    // Decoded, mixer-format frames not yet mixed, read from readyHead_.
    std::vector<float> ready_;
    std::size_t readyHead_ = 0;
    std::vector<unsigned char> block_;
    std::vector<float> converted_;
    bool decoderDone_ = false;

    // Under `mutex`: the play position and the rewind request. The length
    // is fixed at opening.
    std::uint64_t position_ = 0;
    bool rewind_ = false;
    std::int64_t length_ = 0;
};

} // namespace sonvela::audio
