// The C entry points of the audio library: argument checks, handle look-up
// and the per-thread error code around the output and its channels.
#include "bass.h"

#include "Channel.h"
#include "FileChannel.h"
#include "Output.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <memory>
#include <new>

using sonvela::audio::Channel;
using sonvela::audio::Error;
using sonvela::audio::FileChannel;
using sonvela::audio::FileFault;
using sonvela::audio::Output;
using sonvela::audio::PushChannel;

namespace {

constexpr DWORD kVersion = 0x02040010; // 2.4.0.16
constexpr QWORD kFailed = static_cast<QWORD>(-1);
constexpr std::size_t kMixFrameBytes = 2 * sizeof(float);

thread_local int lastError = BASS_OK;

BOOL Fail(Error error) {
    lastError = static_cast<int>(error);
    return FALSE;
}

BOOL Succeed() {
    lastError = BASS_OK;
    return TRUE;
}

std::shared_ptr<Channel> FindChannel(DWORD handle) {
    auto channel = Output::Instance().Find(handle);
    if (!channel) {
        lastError = BASS_ERROR_HANDLE;
    }
    return channel;
}

std::shared_ptr<PushChannel> FindPush(DWORD handle) {
    auto push = std::dynamic_pointer_cast<PushChannel>(FindChannel(handle));
    if (!push && lastError != BASS_ERROR_HANDLE) {
        lastError = BASS_ERROR_NOTAVAIL;
    }
    return push;
}

} // namespace

extern "C" {

DWORD BASS_GetVersion(void) {
    return kVersion;
}

BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid) {
    (void)flags;
    (void)win;
    (void)clsid;
    if (freq > 384000) {
        return Fail(Error::IllegalParameter);
    }
    const Error error = Output::Instance().Init(device, static_cast<int>(freq));
    return error == Error::Ok ? Succeed() : Fail(error);
}

BOOL BASS_Free(void) {
    const Error error = Output::Instance().Free();
    return error == Error::Ok ? Succeed() : Fail(error);
}

int BASS_ErrorGetCode(void) {
    return lastError;
}

const char* BASS_GetDriverName(void) {
    const char* name = Output::Instance().DriverName();
    lastError = name != nullptr ? BASS_OK : BASS_ERROR_INIT;
    return name;
}

HSTREAM BASS_StreamCreatePush(DWORD freq, DWORD chans, DWORD flags) {
    Output& output = Output::Instance();
    if (!output.Initialised()) {
        return Fail(Error::Init);
    }
    if (freq == 0 || freq > 384000 || chans < 1 || chans > 2) {
        return Fail(Error::IllegalParameter);
    }
    try {
        auto channel =
            std::make_shared<PushChannel>(static_cast<int>(freq), static_cast<int>(chans),
                                          (flags & BASS_SAMPLE_FLOAT) != 0, output.Rate());
        const DWORD handle = output.Add(std::move(channel));
        if (handle == 0) {
            return Fail(Error::Init);
        }
        lastError = BASS_OK;
        return handle;
    } catch (const std::bad_alloc&) {
        return Fail(Error::Memory);
    } catch (const std::exception&) {
        return Fail(Error::Format);
    }
}

DWORD BASS_StreamPutData(HSTREAM handle, const void* buffer, DWORD length) {
    auto push = FindPush(handle);
    if (!push) {
        return static_cast<DWORD>(-1);
    }
    const bool end = (length & BASS_STREAMPROC_END) != 0;
    const DWORD bytes = length & ~BASS_STREAMPROC_END;
    if ((bytes > 0 && buffer == nullptr) || bytes % push->SourceFrameBytes() != 0) {
        Fail(Error::IllegalParameter);
        return static_cast<DWORD>(-1);
    }
    if (bytes == 0 && !end) {
        lastError = BASS_OK;
        return static_cast<DWORD>(push->QueuedFrames() * kMixFrameBytes);
    }
    try {
        const std::int64_t queued = push->Put(buffer, bytes, end);
        if (queued < 0) {
            Fail(Error::Unknown);
            return static_cast<DWORD>(-1);
        }
        lastError = BASS_OK;
        return static_cast<DWORD>(static_cast<QWORD>(queued) * kMixFrameBytes);
    } catch (const std::bad_alloc&) {
        Fail(Error::Memory);
        return static_cast<DWORD>(-1);
    }
}

BOOL BASS_StreamPurge(HSTREAM handle) {
    auto push = FindPush(handle);
    if (!push) {
        return FALSE;
    }
    push->Purge();
    return Succeed();
}

QWORD BASS_StreamGetWritePosition(HSTREAM handle) {
    auto push = FindPush(handle);
    if (!push) {
        return kFailed;
    }
    std::lock_guard lock(push->mutex);
    lastError = BASS_OK;
    return push->WrittenFrames() * kMixFrameBytes;
}

BOOL BASS_StreamWaitPosition(HSTREAM handle, QWORD position, DWORD timeoutMs) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    std::unique_lock lock(channel->mutex);
    const bool done = channel->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return channel->released || channel->PositionFrames() * kMixFrameBytes >= position;
    });
    if (channel->released) {
        return Fail(Error::Handle);
    }
    return done ? Succeed() : Fail(Error::Timeout);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    (void)flags;
    Output& output = Output::Instance();
    if (!output.Initialised()) {
        return Fail(Error::Init);
    }
    if (file == nullptr) {
        return Fail(Error::IllegalParameter);
    }
    if (mem || offset != 0 || length != 0) {
        return Fail(Error::NotAvailable);
    }
    try {
        auto channel = std::make_shared<FileChannel>(static_cast<const char*>(file), output.Rate());
        switch (channel->Fault()) {
        case FileFault::None:
            break;
        case FileFault::Open:
            return Fail(Error::FileOpen);
        case FileFault::Format:
            return Fail(Error::FileForm);
        case FileFault::Memory:
            return Fail(Error::Memory);
        }
        const DWORD handle = output.Add(std::move(channel));
        if (handle == 0) {
            return Fail(Error::Init);
        }
        lastError = BASS_OK;
        return handle;
    } catch (const std::bad_alloc&) {
        return Fail(Error::Memory);
    }
}

BOOL BASS_StreamFree(HSTREAM handle) {
    return Output::Instance().Remove(handle) ? Succeed() : Fail(Error::Handle);
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    std::lock_guard lock(channel->mutex);
    // A push stream has no beginning to return to; a file that has played
    // to its end starts again.
    if (auto* file = dynamic_cast<FileChannel*>(channel.get())) {
        if (restart || file->Ended()) {
            file->Rewind();
        }
    }
    channel->playing = true;
    return Succeed();
}

BOOL BASS_ChannelStop(DWORD handle) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    std::lock_guard lock(channel->mutex);
    channel->playing = false;
    return Succeed();
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return BASS_ACTIVE_STOPPED;
    }
    lastError = BASS_OK;
    std::lock_guard lock(channel->mutex);
    if (!channel->playing) {
        return BASS_ACTIVE_STOPPED;
    }
    if (auto* push = dynamic_cast<PushChannel*>(channel.get())) {
        return push->WrittenFrames() > push->PositionFrames() ? BASS_ACTIVE_PLAYING
                                                              : BASS_ACTIVE_STALLED;
    }
    return BASS_ACTIVE_PLAYING;
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    if (attrib != BASS_ATTRIB_VOL) {
        return Fail(Error::IllegalParameter);
    }
    if (!std::isfinite(value)) {
        return Fail(Error::IllegalParameter);
    }
    std::lock_guard lock(channel->mutex);
    channel->volume = value < 0.0f ? 0.0f : value;
    return Succeed();
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    if (attrib != BASS_ATTRIB_VOL || value == nullptr) {
        return Fail(Error::IllegalParameter);
    }
    std::lock_guard lock(channel->mutex);
    *value = channel->volume;
    return Succeed();
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return kFailed;
    }
    if (mode != BASS_POS_BYTE) {
        Fail(Error::IllegalParameter);
        return kFailed;
    }
    std::lock_guard lock(channel->mutex);
    const std::int64_t frames = channel->LengthFrames();
    if (frames < 0) {
        Fail(Error::NotAvailable);
        return kFailed;
    }
    lastError = BASS_OK;
    return static_cast<QWORD>(frames) * kMixFrameBytes;
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    auto channel = FindChannel(handle);
    if (!channel) {
        return kFailed;
    }
    if (mode != BASS_POS_BYTE) {
        Fail(Error::IllegalParameter);
        return kFailed;
    }
    std::lock_guard lock(channel->mutex);
    lastError = BASS_OK;
    return channel->PositionFrames() * kMixFrameBytes;
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    if (!FindChannel(handle) || pos == kFailed) {
        if (pos == kFailed) {
            lastError = BASS_ERROR_ILLPARAM;
        }
        return -1.0;
    }
    lastError = BASS_OK;
    return static_cast<double>(pos / kMixFrameBytes) / Output::Instance().Rate();
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos) {
    if (!FindChannel(handle)) {
        return kFailed;
    }
    if (!(pos >= 0.0)) {
        Fail(Error::IllegalParameter);
        return kFailed;
    }
    lastError = BASS_OK;
    return static_cast<QWORD>(pos * Output::Instance().Rate()) * kMixFrameBytes;
}

DWORD BASS_RenderOutput(void* buffer, DWORD length) {
    if (buffer == nullptr || length % kMixFrameBytes != 0) {
        Fail(Error::IllegalParameter);
        return static_cast<DWORD>(-1);
    }
    const Error error =
        Output::Instance().Render(static_cast<float*>(buffer), length / kMixFrameBytes);
    if (error != Error::Ok) {
        Fail(error);
        return static_cast<DWORD>(-1);
    }
    lastError = BASS_OK;
    return length;
}

} // extern "C"
