// The announcement's sound, mixed as the live output mixes it: the speech
// through a push stream (the same interpolator, reset at each segment as a
// purge resets it), the background music from the MP3 files one after the
// other, its level moved every 20 ms of the announcement's time by the same
// fade the music panel runs, and the sum through the same limiter. The time
// line is the announcement's own: a pause of 300 ms is exactly 300 ms of
// frames, however fast the mixing runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sonvela {

namespace audio {
class Channel;
class PushChannel;
class FileChannel;
} // namespace audio

struct MusicBed {
    std::vector<std::string> files; // MP3 files, played in this order, round
    int musicVolume = 40;           // level between readings, percent
    int readingVolume = 10;         // level while reading, percent
};

class AnnouncementMixer {
public:
    // Receives interleaved stereo float frames; false stops the mixing (the
    // file could not take them).
    using Sink = std::function<bool(const float* frames, std::size_t count)>;

    AnnouncementMixer(int mixRate, int speechRate, MusicBed music, Sink sink);
    ~AnnouncementMixer();
    AnnouncementMixer(const AnnouncementMixer&) = delete;
    AnnouncementMixer& operator=(const AnnouncementMixer&) = delete;

    // Whether a reading is in progress, for the music's fade.
    void SetReading(bool reading) { reading_ = reading; }
    // `milliseconds` of the announcement without speech.
    bool Pause(std::int64_t milliseconds);
    // One segment's speech, 16-bit mono at the speech rate, played to its
    // end.
    bool Speak(const std::vector<short>& pcm);

    std::uint64_t FramesWritten() const { return written_; }
    int MixRate() const { return rate_; }
    // The music files that could not be opened, in the order met.
    const std::vector<std::string>& UnplayableMusic() const { return unplayable_; }

private:
    bool Render(std::size_t frames);
    void NextTrack();
    void SetMusicVolume();

    int rate_;
    MusicBed music_;
    Sink sink_;
    std::shared_ptr<audio::PushChannel> speech_;
    std::shared_ptr<audio::FileChannel> track_;
    std::vector<std::shared_ptr<audio::Channel>> channels_;
    std::size_t nextTrack_ = 0;
    std::vector<std::string> unplayable_;
    bool reading_ = true;
    int level_ = 0;
    std::size_t tickFrames_;
    std::size_t toTick_;
    std::uint64_t written_ = 0;
    std::vector<float> block_;
};

} // namespace sonvela
