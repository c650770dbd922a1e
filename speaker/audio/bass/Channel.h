// A stream of the mixer: something that yields float stereo frames at the
// mixer's rate. The push stream is one kind; the file stream
// (FileChannel.h) is the other.
#pragma once

#include "Upsampler.h"

#include <SDL2/SDL_audio.h>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace sonvela::audio {

// Adds `count` samples scaled by `volume` into `mix`.
void AddScaled(float* __restrict mix, const float* __restrict from, std::size_t count,
               float volume);

class Channel {
public:
    virtual ~Channel() = default;

    // Adds up to `frames` frames, scaled by the channel's volume, into `mix`
    // (interleaved stereo) when the channel plays; true when its position
    // moved. Called by the mixer only, one mix at a time, without `mutex`.
    virtual bool MixInto(float* mix, std::size_t frames) = 0;
    // The play position in frames, `mutex` held.
    virtual std::uint64_t PositionFrames() const = 0;
    // The length in frames, or -1 when open-ended; `mutex` held.
    virtual std::int64_t LengthFrames() const { return -1; }

    // Guards the channel's state between the mixer, the producers and the
    // waiters; `changed` is signalled whenever the position moves or the
    // channel is released.
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool playing = false;
    bool released = false;
    float volume = 1.0f;
};

// PCM handed in by a producer (the speech engine).
//
// Rates that divide the mixer's go through our own interpolator, run by the
// mixer as it pulls: the producer only copies, so synthesis and conversion
// run on two threads. Other rates go through SDL's resampler on the
// producer's side (its output count is not exact, so it has to be counted
// as it comes out).
class PushChannel final : public Channel {
public:
    // Throws std::runtime_error when SDL cannot build the converter.
    PushChannel(int sourceRate, int sourceChannels, bool sourceFloat, int mixRate);
    ~PushChannel() override;
    PushChannel(const PushChannel&) = delete;
    PushChannel& operator=(const PushChannel&) = delete;

    bool MixInto(float* mix, std::size_t frames) override;
    std::uint64_t PositionFrames() const override { return consumed_; }

    std::size_t SourceFrameBytes() const { return sourceFrameBytes_; }

    // Queues PCM; `end` closes a piece so that its tail can be heard in
    // full. Called without `mutex` held. Returns the frames now queued, or
    // -1 when SDL failed.
    std::int64_t Put(const void* data, std::size_t bytes, bool end);
    // Frames queued but not yet mixed.
    std::size_t QueuedFrames();
    // Drops the queue and whatever the converter holds.
    void Purge();
    // The position reached once everything queued has played (frames
    // ever queued plus dropped), `mutex` held.
    std::uint64_t WrittenFrames() const { return written_; }

private:
    std::int64_t PutThroughSdl(const void* data, std::size_t bytes, bool end);
    void Append(const float* frames, std::size_t count);

    std::size_t sourceFrameBytes_;

    bool MixFromQueue(float* mix, std::size_t frames);
    bool MixThroughUpsampler(float* mix, std::size_t frames);

    // Our interpolator's path. Under `mutex`: source bytes waiting for the
    // mixer, the source frames queued since the last purge, and the purge
    // count. The mixer's own (no lock): the interpolator, its output not
    // yet mixed, and the purge count it has seen, so a purge during a
    // conversion discards that conversion.
    std::unique_ptr<Upsampler> upsampler_;
    int factor_ = 1;
    std::vector<char> source_;
    std::size_t sourceHead_ = 0;
    std::uint64_t sourceFrames_ = 0;
    std::uint64_t base_ = 0; // written_ at the last purge
    std::uint64_t purges_ = 0;
    std::uint64_t mixerPurges_ = 0;
    std::vector<char> slice_;
    std::vector<float> output_;
    std::size_t outputHead_ = 0;

    // SDL's path: the converter and its scratch buffer, under a lock of
    // their own so the audio thread never waits for a conversion.
    std::mutex convertMutex_;
    SDL_AudioStream* converter_ = nullptr;
    std::vector<float> converted_;

    // Under `mutex`: mixer-format frames ready to mix, read from `head_`
    // (compacted when the read part grows), and the counters in frames.
    // Purging moves `consumed_` up to `written_`.
    std::vector<float> queue_;
    std::size_t head_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t consumed_ = 0;
};

} // namespace sonvela::audio
