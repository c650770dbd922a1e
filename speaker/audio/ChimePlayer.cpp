#include "ChimePlayer.h"

#include "bass.h"

#include <cstring>

namespace sonvela {
namespace {

std::uint32_t Little(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Stream handles below this value mean "no stream".
constexpr std::uint32_t kFirstStream = 45;

} // namespace

std::optional<WavSound> ParseWav(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    WavSound sound;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = Little(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body)
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            const std::uint32_t format = Little(bytes, body, 2);
            sound.channels = Little(bytes, body + 2, 2);
            sound.rate = Little(bytes, body + 4, 4);
            const std::uint32_t bits = Little(bytes, body + 14, 2);
            if (format != 1 || bits != 16 || sound.channels < 1 || sound.channels > 2 ||
                sound.rate == 0)
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            sound.samples.resize(size / 2);
            std::memcpy(sound.samples.data(), bytes.data() + body, sound.samples.size() * 2);
            return sound;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

ChimePlayer::~ChimePlayer() {
    if (stream_ >= kFirstStream)
        BASS_StreamFree(stream_);
}

bool ChimePlayer::Play() {
    if (stream_ >= kFirstStream) {
        BASS_StreamFree(stream_);
        stream_ = 0;
    }
    if (sound_.samples.empty())
        return false;
    const HSTREAM stream = BASS_StreamCreatePush(sound_.rate, sound_.channels, 0);
    if (stream < kFirstStream)
        return false;
    stream_ = stream;
    const auto bytes = static_cast<DWORD>(sound_.samples.size() * sizeof(std::int16_t));
    if (BASS_StreamPutData(stream, sound_.samples.data(), bytes | BASS_STREAMPROC_END) ==
            static_cast<DWORD>(-1) ||
        !BASS_ChannelPlay(stream, FALSE))
        return false;
    return true;
}

} // namespace sonvela
