#include "Channel.h"

#include "SdlLibrary.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace sonvela::audio {

namespace {

constexpr int kMixChannels = 2;
// SDL's resampler keeps the last few milliseconds back until it sees more
// input; a flush alone still loses them, so a piece ends with this much
// silence before the flush.
constexpr std::size_t kFlushPadFrames = 1024;

} // namespace

// Fixed-size blocks over pointers that cannot overlap let the compiler use
// vector code at -O2.
void AddScaled(float* __restrict mix, const float* __restrict from, std::size_t count,
               float volume) {
    constexpr std::size_t kBlock = 16;
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        for (std::size_t j = 0; j < kBlock; ++j) {
            mix[i + j] += from[i + j] * volume;
        }
    }
    for (; i < count; ++i) {
        mix[i] += from[i] * volume;
    }
}

PushChannel::PushChannel(int sourceRate, int sourceChannels, bool sourceFloat, int mixRate)
    : sourceFrameBytes_(static_cast<std::size_t>(sourceChannels) * (sourceFloat ? 4 : 2)) {
    if (mixRate % sourceRate == 0 && mixRate / sourceRate <= 8) {
        factor_ = mixRate / sourceRate;
        upsampler_ = std::make_unique<Upsampler>(factor_, sourceChannels, sourceFloat);
        return;
    }
    converter_ = Sdl().SDL_NewAudioStream(sourceFloat ? AUDIO_F32SYS : AUDIO_S16SYS,
                                          static_cast<Uint8>(sourceChannels), sourceRate,
                                          AUDIO_F32SYS, kMixChannels, mixRate);
    if (converter_ == nullptr) {
        throw std::runtime_error(std::string("SDL_NewAudioStream: ") + Sdl().SDL_GetError());
    }
}

PushChannel::~PushChannel() {
    if (converter_ != nullptr) {
        Sdl().SDL_FreeAudioStream(converter_);
    }
}

std::int64_t PushChannel::Put(const void* data, std::size_t bytes, bool end) {
    if (!upsampler_) {
        return PutThroughSdl(data, bytes, end);
    }
    std::lock_guard lock(mutex);
    if (sourceHead_ > 0 && sourceHead_ * 2 >= source_.size()) {
        source_.erase(source_.begin(), source_.begin() + static_cast<std::ptrdiff_t>(sourceHead_));
        sourceHead_ = 0;
    }
    const auto* from = static_cast<const char*>(data);
    source_.insert(source_.end(), from, from + bytes);
    sourceFrames_ += bytes / sourceFrameBytes_;
    if (end) {
        // Silence as long as the filter looks ahead lets the last frames out.
        source_.insert(source_.end(), Upsampler::kReach * sourceFrameBytes_, 0);
        sourceFrames_ += Upsampler::kReach;
    }
    // The interpolator holds back its look-ahead: only what it can emit
    // counts as written, so a wait for the written position always ends.
    const std::uint64_t emittable =
        sourceFrames_ > Upsampler::kReach ? sourceFrames_ - Upsampler::kReach : 0;
    written_ = base_ + emittable * static_cast<std::uint64_t>(factor_);
    return static_cast<std::int64_t>(written_ - consumed_);
}

std::int64_t PushChannel::PutThroughSdl(const void* data, std::size_t bytes, bool end) {
    std::lock_guard convertLock(convertMutex_);
    if (bytes > 0 && Sdl().SDL_AudioStreamPut(converter_, data, static_cast<int>(bytes)) != 0) {
        return -1;
    }
    if (end) {
        const std::vector<char> silence(kFlushPadFrames * sourceFrameBytes_, 0);
        if (Sdl().SDL_AudioStreamPut(converter_, silence.data(),
                                     static_cast<int>(silence.size())) != 0 ||
            Sdl().SDL_AudioStreamFlush(converter_) != 0) {
            return -1;
        }
    }
    const int available = Sdl().SDL_AudioStreamAvailable(converter_);
    if (available > 0) {
        converted_.resize(static_cast<std::size_t>(available) / sizeof(float));
        const int got = Sdl().SDL_AudioStreamGet(converter_, converted_.data(), available);
        if (got < 0) {
            return -1;
        }
        const std::size_t frames = static_cast<std::size_t>(got) / sizeof(float) / kMixChannels;
        std::lock_guard lock(mutex);
        Append(converted_.data(), frames);
        written_ += frames;
    }
    if (end) {
        // A flushed converter starts the next piece from a clean state.
        Sdl().SDL_AudioStreamClear(converter_);
    }
    std::lock_guard lock(mutex);
    return static_cast<std::int64_t>(written_ - consumed_);
}

void PushChannel::Append(const float* frames, std::size_t count) {
    if (head_ > 0 && head_ * 2 >= queue_.size()) {
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    queue_.insert(queue_.end(), frames, frames + count * kMixChannels);
}

std::size_t PushChannel::QueuedFrames() {
    std::lock_guard lock(mutex);
    return static_cast<std::size_t>(written_ - consumed_);
}

void PushChannel::Purge() {
    std::lock_guard convertLock(convertMutex_);
    if (converter_ != nullptr) {
        Sdl().SDL_AudioStreamClear(converter_);
    }
    {
        std::lock_guard lock(mutex);
        queue_.clear();
        head_ = 0;
        source_.clear();
        sourceHead_ = 0;
        sourceFrames_ = 0;
        ++purges_; // the mixer resets the interpolator when it sees this
        base_ = written_;
        consumed_ = written_;
    }
    changed.notify_all();
}

bool PushChannel::MixInto(float* mix, std::size_t frames) {
    return upsampler_ ? MixThroughUpsampler(mix, frames) : MixFromQueue(mix, frames);
}

bool PushChannel::MixFromQueue(float* mix, std::size_t frames) {
    std::lock_guard lock(mutex);
    if (!playing) {
        return false;
    }
    const std::size_t available = (queue_.size() - head_) / kMixChannels;
    const std::size_t count = std::min(frames, available);
    const float* from = queue_.data() + head_;
    AddScaled(mix, from, count * kMixChannels, volume);
    head_ += count * kMixChannels;
    consumed_ += count;
    if (head_ == queue_.size()) {
        queue_.clear();
        head_ = 0;
    }
    return count > 0;
}

bool PushChannel::MixThroughUpsampler(float* mix, std::size_t frames) {
    std::uint64_t purges = 0;
    {
        std::lock_guard lock(mutex);
        if (!playing) {
            return false;
        }
        purges = purges_;
        if (purges != mixerPurges_) {
            mixerPurges_ = purges;
            upsampler_->Reset();
            output_.clear();
            outputHead_ = 0;
        }
        // Take the source this mix needs, plus the filter's look-ahead.
        const std::size_t ready = (output_.size() - outputHead_) / kMixChannels;
        slice_.clear();
        if (ready < frames) {
            const std::size_t wanted =
                (frames - ready + static_cast<std::size_t>(factor_) - 1) / factor_ +
                Upsampler::kReach;
            const std::size_t bytes =
                std::min(wanted * sourceFrameBytes_, source_.size() - sourceHead_);
            slice_.assign(source_.begin() + static_cast<std::ptrdiff_t>(sourceHead_),
                          source_.begin() + static_cast<std::ptrdiff_t>(sourceHead_ + bytes));
            sourceHead_ += bytes;
        }
    }
    // The conversion runs without the lock: the producer goes on queueing.
    if (!slice_.empty()) {
        if (outputHead_ > 0) {
            output_.erase(output_.begin(),
                          output_.begin() + static_cast<std::ptrdiff_t>(outputHead_));
            outputHead_ = 0;
        }
        upsampler_->Process(slice_.data(), slice_.size() / sourceFrameBytes_, output_);
    }
    std::size_t count = 0;
    float gain = 0;
    {
        std::lock_guard lock(mutex);
        if (purges_ != purges || !playing) {
            return false; // purged meanwhile: what was converted is dropped next time
        }
        count = std::min(frames, (output_.size() - outputHead_) / kMixChannels);
        gain = volume;
        consumed_ += count;
    }
    // The converted frames are the mixer's own: adding them in without the
    // lock keeps the producer from waiting for the mix. The position moves
    // a moment early, but waiters only hear of it once this mix is done.
    AddScaled(mix, output_.data() + outputHead_, count * kMixChannels, gain);
    outputHead_ += count * kMixChannels;
    return count > 0;
}

} // namespace sonvela::audio
