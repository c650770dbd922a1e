// The operations of the audio library the music panel and the voice notice
// use, behind an interface so that their logic is tested with a library of
// the test's own. Handles below 45 mean no stream.
#pragma once

#include <cstdint>
#include <string>

namespace sonvela {

using StreamHandle = std::uint32_t;

// A handle counts as a stream from this value on; 0 to 44 mean none.
constexpr StreamHandle kFirstStreamHandle = 45;

inline bool StreamExists(StreamHandle handle) {
    return handle >= kFirstStreamHandle;
}

class MusicLibrary {
public:
    virtual ~MusicLibrary() = default;

    // A stream of the whole MP3 file at `path` (file-system bytes); 0 when
    // the file cannot be opened.
    virtual StreamHandle StreamCreateFile(const std::string& path) = 0;
    virtual void StreamFree(StreamHandle stream) = 0;
    // Starts playback without restarting.
    virtual void ChannelPlay(StreamHandle stream) = 0;
    virtual void ChannelStop(StreamHandle stream) = 0;
    // 0.0 to 1.0, at once.
    virtual void SetVolume(StreamHandle stream, float volume) = 0;
    virtual std::uint64_t LengthBytes(StreamHandle stream) = 0;
    // (uint64_t)-1 for a released stream.
    virtual std::uint64_t PositionBytes(StreamHandle stream) = 0;
    // Negative for a failed handle or byte count.
    virtual double Bytes2Seconds(StreamHandle stream, std::uint64_t bytes) = 0;
};

// The real audio library, bass.dll.
class BassMusicLibrary final : public MusicLibrary {
public:
    StreamHandle StreamCreateFile(const std::string& path) override;
    void StreamFree(StreamHandle stream) override;
    void ChannelPlay(StreamHandle stream) override;
    void ChannelStop(StreamHandle stream) override;
    void SetVolume(StreamHandle stream, float volume) override;
    std::uint64_t LengthBytes(StreamHandle stream) override;
    std::uint64_t PositionBytes(StreamHandle stream) override;
    double Bytes2Seconds(StreamHandle stream, std::uint64_t bytes) override;
};

} // namespace sonvela
