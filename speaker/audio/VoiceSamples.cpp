#include "VoiceSamples.h"

#include "AtomicFile.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace sonvela {
namespace {

constexpr float kSampleVolume = 0.8f;

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

const std::array<KnownVoice, 6>& KnownVoices() {
    static const std::array<KnownVoice, 6> voices = {{
        {"liang", "中文男声Liang                 是否安装", "VW Liang", "chk_liang", "sb_liang",
         "liang1.mp3", "liang_mp3"},
        {"Label9", "中文女声Hui                     是否安装", "VW Hui", "chk_hui", "sb_hui",
         "hui1.mp3", "hui_mp3"},
        {"Label10", "中文女声Lily                     是否安装", "VW Lily", "chk_lily", "sb_lily",
         "lily1.mp3", "lily_mp3"},
        {"Label8", "微软普通话HuiHui        是否安装", "TTS_MS_zh-CN_HuiHui_11.0", "chk_huihui",
         "sb_huihui", "huihui1.mp3", "huihui_mp3"},
        {"Label12", "微软香港话HunYee     是否安装", "TTS_MS_zh-HK_HunYee_11.0", "chk_hunyee",
         "sb_hunyee", "hunyee1.mp3", "hunyee_mp3"},
        {"Label13", "微软台湾话HanHan     是否安装", "TTS_MS_zh-TW_HanHan_11.0", "chk_hanhan",
         "sb_hanhan", "hanhan1.mp3", "hanhan_mp3"},
    }};
    return voices;
}

bool VoiceInstalled(std::string_view keyName, const std::vector<VoiceName>& voices) {
    for (const VoiceName& voice : voices) {
        if (voice.name.find(keyName) != std::string::npos ||
            voice.description.find(keyName) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string EnsureSampleCopy(const std::string& tempFolder, const std::string& sampleFile,
                             const std::function<std::string()>& resourceBytes) {
    const std::string path = tempFolder + sampleFile;
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        return path;
    }
    // Written whole or not at all: a half-written copy would otherwise be
    // taken for an operator's own recording by every later click.
    WriteFileAtomically(path, resourceBytes());
    return path;
}

void SamplePlayer::Stop() {
    if (StreamExists(stream_)) {
        library_.ChannelStop(stream_);
        library_.StreamFree(stream_);
    }
}

void SamplePlayer::Play(const std::string& path) {
    Stop();
    if (IsBlank(path)) {
        return;
    }
    Stop(); // no effect on a released handle
    stream_ = library_.StreamCreateFile(path);
    if (StreamExists(stream_)) {
        library_.SetVolume(stream_, kSampleVolume);
        library_.ChannelPlay(stream_);
    }
}

} // namespace sonvela
