#include "RateConverter.h"

#include "SdlLibrary.h"

#include <stdexcept>
#include <string>

namespace sonvela {

namespace {

// SDL's resampler keeps the last few milliseconds back even through a
// flush; silence this long lets them out.
constexpr std::size_t kFlushPadFrames = 1024;

} // namespace

RateConverter::RateConverter(int fromRate, int toRate, int channels)
    : from_(fromRate), to_(toRate), channels_(channels) {
    stream_ = audio::Sdl().SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(channels_), fromRate,
                                              AUDIO_F32SYS, static_cast<Uint8>(channels_), toRate);
    if (stream_ == nullptr)
        throw std::runtime_error(std::string("SDL_NewAudioStream: ") + audio::Sdl().SDL_GetError());
}

RateConverter::~RateConverter() {
    if (stream_ != nullptr)
        audio::Sdl().SDL_FreeAudioStream(stream_);
}

bool RateConverter::Take(std::vector<float>& out) {
    const int available = audio::Sdl().SDL_AudioStreamAvailable(stream_);
    if (available <= 0)
        return true;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(available) / sizeof(float));
    const int got = audio::Sdl().SDL_AudioStreamGet(stream_, out.data() + start, available);
    if (got < 0)
        return false;
    out.resize(start + static_cast<std::size_t>(got) / sizeof(float));
    out_ += static_cast<std::size_t>(got) / sizeof(float) / static_cast<std::size_t>(channels_);
    return true;
}

bool RateConverter::Put(const float* frames, std::size_t count, std::vector<float>& out) {
    in_ += count;
    if (audio::Sdl().SDL_AudioStreamPut(
            stream_, frames,
            static_cast<int>(count * static_cast<std::size_t>(channels_) * sizeof(float))) != 0)
        return false;
    return Take(out);
}

bool RateConverter::Finish(std::vector<float>& out) {
    const std::vector<float> silence(kFlushPadFrames * static_cast<std::size_t>(channels_), 0.0f);
    if (audio::Sdl().SDL_AudioStreamPut(stream_, silence.data(),
                                        static_cast<int>(silence.size() * sizeof(float))) != 0 ||
        audio::Sdl().SDL_AudioStreamFlush(stream_) != 0)
        return false;
    const std::uint64_t due =
        (in_ * static_cast<std::uint64_t>(to_) + from_ / 2) / static_cast<std::uint64_t>(from_);
    const std::size_t start = out.size();
    const std::uint64_t before = out_;
    if (!Take(out))
        return false;
    // Cut the padding's output, or fill a frame or two the resampler
    // rounded away.
    const std::uint64_t wanted = due > before ? due - before : 0;
    out.resize(start + static_cast<std::size_t>(wanted) * static_cast<std::size_t>(channels_),
               0.0f);
    out_ = due;
    return true;
}

} // namespace sonvela
