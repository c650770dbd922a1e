// The process's one audio output: an SDL device (or none, for offline
// rendering) and the table of channels it mixes.
#pragma once

#include "Channel.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sonvela::audio {

// Error codes of the library, as its C interface reports them.
enum class Error : int {
    Ok = 0,
    Memory = 1,
    FileOpen = 2,
    Handle = 5,
    Format = 6,
    Init = 8,
    Already = 14,
    IllegalParameter = 20,
    Device = 23,
    NotAvailable = 37,
    Timeout = 40,
    FileForm = 41,
    Unknown = -1,
};

class Output {
public:
    static Output& Instance();

    // `device` -1 opens the default driver (falling back to "dummy"), 0
    // opens none.
    Error Init(int device, int rate);
    Error Free();
    bool Initialised() const;
    bool Offline() const;
    int Rate() const;
    const char* DriverName() const;

    // Registers a channel; returns its handle (never below 45), or 0 when
    // not initialised.
    std::uint32_t Add(std::shared_ptr<Channel> channel);
    std::shared_ptr<Channel> Find(std::uint32_t handle) const;
    // Takes the channel out of the table and marks it released.
    bool Remove(std::uint32_t handle);

    // Offline output: mixes `frames` frames into `out` (stereo float).
    Error Render(float* out, std::size_t frames);

private:
    Output() = default;
    static void DeviceCallback(void* self, std::uint8_t* stream, int length);
    // Mixes every playing channel. Takes the table's lock only to copy the
    // list, so producers looking up their stream never wait for a mix.
    void Mix(float* out, std::size_t frames);
    void ReleaseAll();
    Error OpenDevice(int rate);

    // Serialises Init and Free, which open and close the device without
    // holding mutex_ (the audio thread takes it).
    std::mutex lifecycle_;
    mutable std::mutex mutex_;
    bool initialised_ = false;
    bool offline_ = false;
    int rate_ = 44100;
    std::uint32_t device_ = 0;
    std::string driver_;
    std::map<std::uint32_t, std::shared_ptr<Channel>> channels_;
    // The mixer's own: one mix at a time, over a copy of the table.
    std::mutex mixMutex_;
    std::vector<std::shared_ptr<Channel>> mixing_;
    // Handles are never reused, so a stale one can never reach a new stream.
    std::uint32_t nextHandle_ = 0x10000;
};

} // namespace sonvela::audio
