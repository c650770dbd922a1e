#include "Output.h"

#include "Mix.h"
#include "SdlLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sonvela::audio {

namespace {

// About 23 ms at 44.1 kHz: short enough that a purge is heard at once.
constexpr Uint16 kDeviceFrames = 1024;
constexpr std::uint32_t kLowestHandle = 45;

} // namespace

Output& Output::Instance() {
    // Never destroyed: the audio thread may still run while static objects
    // are torn down at exit.
    static Output* output = new Output;
    return *output;
}

Error Output::Init(int device, int rate) {
    std::lock_guard lifecycle(lifecycle_);
    std::unique_lock lock(mutex_);
    if (initialised_) {
        return Error::Already;
    }
    if (device < -1) {
        return Error::Device;
    }
    rate_ = rate > 0 ? rate : 44100;
    if (device == 0) {
        offline_ = true;
        initialised_ = true;
        driver_ = "nosound";
        return Error::Ok;
    }
    // The device callback takes mutex_: open without holding it.
    lock.unlock();
    const Error error = OpenDevice(rate_);
    lock.lock();
    if (error == Error::Ok) {
        offline_ = false;
        initialised_ = true;
    }
    return error;
}

Error Output::OpenDevice(int rate) {
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = kMixChannels;
    wanted.samples = kDeviceFrames;
    wanted.callback = &Output::DeviceCallback;
    wanted.userdata = this;

    // SDL would otherwise turn SIGINT and SIGTERM into quit events that
    // nobody reads, and the program could no longer be ended by a signal
    // (the session's end among them).
    Sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    auto open = [&]() -> SDL_AudioDeviceID {
        if (Sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return 0;
        }
        // No changes allowed: SDL converts to the hardware for us, and the
        // mixer's format stays fixed.
        SDL_AudioSpec obtained{};
        const SDL_AudioDeviceID id = Sdl().SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (id == 0) {
            Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        return id;
    };

    SDL_AudioDeviceID id = open();
    if (id == 0) {
        // SDL does not fall back by itself when the desktop has no device
        // (or the chosen driver does not exist): play silently in real time
        // through "dummy", which overrides SDL_AUDIODRIVER for this attempt.
        Sdl().SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        id = open();
        Sdl().SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    if (id == 0) {
        return Error::Device;
    }
    const char* name = Sdl().SDL_GetCurrentAudioDriver();
    {
        std::lock_guard lock(mutex_);
        device_ = id;
        driver_ = name != nullptr ? name : "";
    }
    Sdl().SDL_PauseAudioDevice(id, 0);
    return Error::Ok;
}

Error Output::Free() {
    std::lock_guard lifecycle(lifecycle_);
    std::uint32_t device = 0;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_) {
            return Error::Init;
        }
        device = device_;
        device_ = 0;
    }
    // Closing waits for the audio thread, which takes mutex_.
    if (device != 0) {
        Sdl().SDL_CloseAudioDevice(device);
        Sdl().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard lock(mutex_);
    ReleaseAll();
    initialised_ = false;
    offline_ = false;
    driver_.clear();
    return Error::Ok;
}

void Output::ReleaseAll() {
    for (auto& [handle, channel] : channels_) {
        {
            std::lock_guard channelLock(channel->mutex);
            channel->released = true;
            channel->playing = false;
        }
        channel->changed.notify_all();
    }
    channels_.clear();
}

bool Output::Initialised() const {
    std::lock_guard lock(mutex_);
    return initialised_;
}

bool Output::Offline() const {
    std::lock_guard lock(mutex_);
    return offline_;
}

int Output::Rate() const {
    std::lock_guard lock(mutex_);
    return rate_;
}

const char* Output::DriverName() const {
    std::lock_guard lock(mutex_);
    // The string lives until the next Init or Free.
    return initialised_ ? driver_.c_str() : nullptr;
}

std::uint32_t Output::Add(std::shared_ptr<Channel> channel) {
    std::lock_guard lock(mutex_);
    if (!initialised_) {
        return 0;
    }
    if (nextHandle_ < kLowestHandle) {
        nextHandle_ = kLowestHandle;
    }
    const std::uint32_t handle = nextHandle_++;
    channels_.emplace(handle, std::move(channel));
    return handle;
}

std::shared_ptr<Channel> Output::Find(std::uint32_t handle) const {
    std::lock_guard lock(mutex_);
    const auto found = channels_.find(handle);
    return found == channels_.end() ? nullptr : found->second;
}

bool Output::Remove(std::uint32_t handle) {
    std::shared_ptr<Channel> channel;
    {
        std::lock_guard lock(mutex_);
        const auto found = channels_.find(handle);
        if (found == channels_.end()) {
            return false;
        }
        channel = std::move(found->second);
        channels_.erase(found);
    }
    {
        std::lock_guard channelLock(channel->mutex);
        channel->released = true;
        channel->playing = false;
    }
    channel->changed.notify_all();
    return true;
}

void Output::Mix(float* out, std::size_t frames) {
    std::lock_guard mixLock(mixMutex_);
    {
        std::lock_guard lock(mutex_);
        mixing_.clear();
        for (const auto& entry : channels_) {
            mixing_.push_back(entry.second);
        }
    }
    MixChannels(mixing_, out, frames);
    // The last reference to a freed channel may be dropped here; that is
    // cheap (no device work), so it is fine on the audio thread.
    mixing_.clear();
}

void Output::DeviceCallback(void* self, std::uint8_t* stream, int length) {
    auto* output = static_cast<Output*>(self);
    const std::size_t frames = static_cast<std::size_t>(length) / sizeof(float) / kMixChannels;
    output->Mix(reinterpret_cast<float*>(stream), frames);
}

Error Output::Render(float* out, std::size_t frames) {
    {
        std::lock_guard lock(mutex_);
        if (!initialised_) {
            return Error::Init;
        }
        if (!offline_) {
            return Error::NotAvailable;
        }
    }
    Mix(out, frames);
    return Error::Ok;
}

} // namespace sonvela::audio
