#include "FileChannel.h"

#include "SdlLibrary.h"

#include <algorithm>
#include <mpg123.h>
#include <mutex>

namespace sonvela::audio {

namespace {

constexpr int kMixChannels = 2;
// As for the push stream: SDL's resampler keeps its last frames back until
// it sees more input, so the end of a file is followed by silence before
// the flush.
constexpr std::size_t kFlushPadFrames = 1024;

void InitialiseDecoderLibrary() {
    // A no-op since mpg123 1.27, but older libraries need it once.
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

} // namespace

FileChannel::FileChannel(const std::string& path, int mixRate) : mixRate_(mixRate) {
    InitialiseDecoderLibrary();
    if (!OpenDecoder(path)) {
        return;
    }
    if (!OpenConverter()) {
        fault_ = FileFault::Memory;
    }
}

FileChannel::~FileChannel() {
    if (decoder_ != nullptr) {
        mpg123_close(decoder_);
        mpg123_delete(decoder_);
    }
    if (converter_ != nullptr) {
        Sdl().SDL_FreeAudioStream(converter_);
    }
}

bool FileChannel::OpenDecoder(const std::string& path) {
    int error = MPG123_OK;
    decoder_ = mpg123_new(nullptr, &error);
    if (decoder_ == nullptr) {
        fault_ = FileFault::Memory;
        return false;
    }
    // Float stereo whatever the file holds: the mixer's own format, so only
    // the rate may still need converting. Quiet: a damaged file is the
    // caller's failure to report, not a line on the terminal.
    mpg123_param(decoder_, MPG123_ADD_FLAGS,
                 MPG123_FORCE_FLOAT | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    if (mpg123_open(decoder_, path.c_str()) != MPG123_OK) {
        // mpg123 opens lazily: this fails only when the file cannot be read.
        fault_ = FileFault::Open;
        return false;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    // mpg123 accepts any file at open; only the format of a first decodable
    // frame tells an MP3 from something else.
    if (mpg123_getformat(decoder_, &rate, &channels, &encoding) != MPG123_OK ||
        encoding != MPG123_ENC_FLOAT_32 || channels != kMixChannels || rate <= 0) {
        fault_ = FileFault::Format;
        return false;
    }
    // The exact length needs a pass over the frame headers (cheap: nothing
    // is decoded) before anything plays.
    if (mpg123_scan(decoder_) != MPG123_OK) {
        fault_ = FileFault::Format;
        return false;
    }
    const off_t samples = mpg123_length(decoder_);
    if (samples <= 0) {
        fault_ = FileFault::Format;
        return false;
    }
    sourceRate_ = rate;
    length_ = static_cast<std::int64_t>(samples) * mixRate_ / rate;
    block_.resize(mpg123_outblock(decoder_));
    return true;
}

bool FileChannel::OpenConverter() {
    if (sourceRate_ == mixRate_) {
        return true;
    }
    converter_ = Sdl().SDL_NewAudioStream(AUDIO_F32SYS, kMixChannels, static_cast<int>(sourceRate_),
                                          AUDIO_F32SYS, kMixChannels, mixRate_);
    return converter_ != nullptr;
}

void FileChannel::Rewind() {
    rewind_ = true;
    position_ = 0;
}

void FileChannel::RestartDecoding() {
    mpg123_seek(decoder_, 0, SEEK_SET);
    if (converter_ != nullptr) {
        Sdl().SDL_AudioStreamClear(converter_);
    }
    ready_.clear();
    readyHead_ = 0;
    decoderDone_ = false;
}

void FileChannel::Append(const float* samples, std::size_t count) {
    if (readyHead_ > 0 && readyHead_ * 2 >= ready_.size()) {
        ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(readyHead_));
        readyHead_ = 0;
    }
    ready_.insert(ready_.end(), samples, samples + count);
}

void FileChannel::Fill(std::size_t frames) {
    const std::size_t wanted = frames * kMixChannels;
    while (ready_.size() - readyHead_ < wanted && !decoderDone_) {
        std::size_t done = 0;
        const int result = mpg123_read(decoder_, block_.data(), block_.size(), &done);
        const auto* samples = reinterpret_cast<const float*>(block_.data());
        const std::size_t count = done / sizeof(float);
        if (converter_ == nullptr) {
            Append(samples, count);
        } else if (count > 0) {
            Sdl().SDL_AudioStreamPut(converter_, samples, static_cast<int>(done));
        }
        // Any failure mid-file (a damaged frame mpg123 cannot skip) ends the
        // track early; the position still runs on to the length in silence.
        const bool finished = result != MPG123_OK && result != MPG123_NEW_FORMAT;
        if (finished) {
            decoderDone_ = true;
            if (converter_ != nullptr) {
                const std::vector<float> silence(kFlushPadFrames * kMixChannels, 0.0f);
                Sdl().SDL_AudioStreamPut(converter_, silence.data(),
                                         static_cast<int>(silence.size() * sizeof(float)));
                Sdl().SDL_AudioStreamFlush(converter_);
            }
        }
        if (converter_ != nullptr) {
            const int available = Sdl().SDL_AudioStreamAvailable(converter_);
            if (available > 0) {
                converted_.resize(static_cast<std::size_t>(available) / sizeof(float));
                const int got = Sdl().SDL_AudioStreamGet(converter_, converted_.data(), available);
                if (got > 0) {
                    Append(converted_.data(), static_cast<std::size_t>(got) / sizeof(float));
                }
            }
        }
    }
}

bool FileChannel::MixInto(float* mix, std::size_t frames) {
    std::size_t count = 0;
    float gain = 0.0f;
    {
        std::lock_guard lock(mutex);
        if (!playing) {
            return false;
        }
        if (rewind_) {
            rewind_ = false;
            RestartDecoding();
        }
        count = static_cast<std::size_t>(
            std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(length_) - position_));
        gain = volume;
    }
    // Decoding runs without the lock: the program's calls on this stream
    // never wait for the decoder. Only the mixer touches it.
    Fill(count);
    const std::size_t available = (ready_.size() - readyHead_) / kMixChannels;
    const std::size_t mixed = std::min(count, available);
    AddScaled(mix, ready_.data() + readyHead_, mixed * kMixChannels, gain);
    readyHead_ += mixed * kMixChannels;
    std::lock_guard lock(mutex);
    if (rewind_) {
        return true; // rewound meanwhile: the position was already reset
    }
    // Frames the resampler rounded away are played as silence, so the
    // position always reaches the length it was announced with.
    position_ += count;
    if (Ended()) {
        playing = false;
    }
    return count > 0;
}

} // namespace sonvela::audio
