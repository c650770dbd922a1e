#include "EntrySound.h"

#include "ChimePlayer.h"
#include "bass.h"

#include <fstream>
#include <iterator>

namespace sonvela {
namespace {

constexpr std::uint32_t kFirstStream = 45;

bool EndsWithWav(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".wav";
}

} // namespace

EntrySound::~EntrySound() {
    Stop();
}

void EntrySound::Stop() {
    if (stream_ >= kFirstStream)
        BASS_StreamFree(stream_);
    stream_ = 0;
}

bool EntrySound::Playing() const {
    return stream_ >= kFirstStream && BASS_ChannelIsActive(stream_) == BASS_ACTIVE_PLAYING;
}

std::optional<std::string> EntrySound::Play(const std::string& path) {
    Stop();
    if (!EndsWithWav(path)) {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
        if (stream < kFirstStream) {
            return BASS_ErrorGetCode() == BASS_ERROR_FILEOPEN ? "无法打开声音文件：" + path
                                                              : "不是可以播放的声音文件：" + path;
        }
        stream_ = stream;
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return "无法打开声音文件：" + path;
        const std::string bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        const std::optional<WavSound> sound = ParseWav(bytes);
        if (!sound || sound->samples.empty())
            return "不是可以播放的声音文件（只播放16位PCM的WAV）：" + path;
        const HSTREAM stream = BASS_StreamCreatePush(sound->rate, sound->channels, 0);
        if (stream < kFirstStream)
            return std::string("声音设备无法播放");
        stream_ = stream;
        const auto size = static_cast<DWORD>(sound->samples.size() * sizeof(std::int16_t));
        if (BASS_StreamPutData(stream, sound->samples.data(), size | BASS_STREAMPROC_END) ==
            static_cast<DWORD>(-1)) {
            Stop();
            return std::string("声音设备无法播放");
        }
    }
    if (!BASS_ChannelPlay(stream_, FALSE)) {
        Stop();
        return std::string("声音设备无法播放");
    }
    return std::nullopt;
}

} // namespace sonvela
