#include "ExportCommand.h"

#include "AnnouncementExport.h"
#include "EspeakSynthesis.h"
#include "FrontEnd.h"
#include "GbkText.h"
#include "MusicFolder.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"
#include "SpeechSource.h"
#include "StoredReadingLists.h"
#include "TextFileCodec.h"
#include "TraditionalChinese.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <csignal>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace sonvela {
namespace {

constexpr std::string_view kUsage =
    "用法: speaker --export 文本文件 输出文件.(wav|mp3|opus|flac)\n"
    "              [--voice mandarin|cantonese] [--loops 次数 --interval 秒数]\n"
    "              [--music 音乐文件夹]\n";

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

struct Request {
    std::string input;
    std::string output;
    bool cantonese = false;
    std::optional<long long> loops;
    std::optional<long long> interval;
    std::optional<std::string> musicFolder;
};

std::optional<long long> WholeNumber(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The request, or a message saying what is wrong with the command line.
std::optional<Request> ParseRequest(const std::vector<std::string>& arguments, std::ostream& err) {
    Request request;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--voice" && hasValue) {
            const std::string& voice = arguments[++i];
            if (voice != "cantonese" && voice != "mandarin") {
                err << "未知的语音: " << voice << '\n' << kUsage;
                return std::nullopt;
            }
            request.cantonese = voice == "cantonese";
        } else if ((argument == "--loops" || argument == "--interval") && hasValue) {
            const std::string& text = arguments[++i];
            const auto value = WholeNumber(text);
            const bool loops = argument == "--loops";
            if (!value || *value < (loops ? 1 : 0) || *value > (loops ? 1000000 : 10000000)) {
                err << (loops ? "循环次数" : "间隔秒数") << "不正确: " << text
                    << (loops ? "（应为 1 到 1000000 的整数）" : "（应为 0 到 10000000 的整数）")
                    << '\n';
                return std::nullopt;
            }
            (loops ? request.loops : request.interval) = *value;
        } else if (argument == "--music" && hasValue) {
            request.musicFolder = arguments[++i];
        } else if (!argument.starts_with("--")) {
            files.push_back(argument);
        } else {
            err << kUsage;
            return std::nullopt;
        }
    }
    if (files.size() != 2) {
        err << kUsage;
        return std::nullopt;
    }
    request.input = files[0];
    request.output = files[1];
    return request;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int VoiceIndex(bool cantonese) {
    const auto& voices = espeak::Start().voices;
    for (std::size_t i = 0; i < voices.size(); ++i) {
        const bool isCantonese = IsCantoneseVoice(voices[i]);
        const bool isMandarin = voices[i].language.starts_with("cmn");
        if (cantonese ? isCantonese : isMandarin)
            return static_cast<int>(i);
    }
    return -1;
}

std::string Seconds(double seconds) {
    std::ostringstream text;
    text << static_cast<long long>(std::lround(seconds));
    return text.str();
}

} // namespace

int RunExportCommand(const std::vector<std::string>& arguments,
                     const std::string& programFolderWithSeparator, std::ostream& err) {
    const auto request = ParseRequest(arguments, err);
    if (!request)
        return 2;
    const auto format = ExportFormatOfPath(request->output);
    if (!format) {
        err << "无法识别输出文件的格式: " << request->output
            << "（可用的扩展名: .wav .mp3 .opus .flac）\n";
        return 2;
    }
    const auto bytes = ReadFileBytes(request->input);
    if (!bytes) {
        err << "无法读取文本文件: " << request->input << '\n';
        return 2;
    }
    const std::string outputFolder = FolderOf(request->output);
    if (!IsFolder(outputFolder)) {
        err << "输出文件夹不存在: " << outputFolder << '\n';
        return 2;
    }
    if (access(outputFolder.c_str(), W_OK) != 0) {
        err << "没有写入输出文件夹的权限: " << outputFolder << '\n';
        return 2;
    }

    const auto settingsFile = SettingsFile::InFolder(programFolderWithSeparator);
    namespace sys = settings::System;
    namespace spk = settings::Speaker;
    AnnouncementSettings announcement;
    announcement.text = Utf16ToGbk(DecodeTextFile(*bytes).text);
    if (IsBlank(announcement.text)) {
        err << "文本文件中没有可朗读的文字: " << request->input << '\n';
        return 2;
    }
    // The Cantonese voice reads the traditional-character copy.
    if (request->cantonese)
        announcement.text = TraditionalForm(announcement.text);
    announcement.passes = static_cast<int>(request->loops.value_or(1));
    announcement.loop = request->loops.has_value();
    announcement.intervalSeconds = static_cast<int>(request->interval.value_or(
        settingsFile.ReadInteger(sys::kSection, sys::Intervaltime, sys::kIntervaltimeDefault)));
    announcement.signdelay =
        settingsFile.ReadInteger(sys::kSection, sys::Delay2, sys::kDelay2Default);
    announcement.datetimetype =
        settingsFile.ReadInteger(spk::kSection, spk::Datetimetype, spk::kDatetimetypeDefault);
    if (request->musicFolder) {
        if (!IsFolder(*request->musicFolder)) {
            err << "音乐文件夹不存在: " << *request->musicFolder << '\n';
            return 2;
        }
        for (const std::string& name : ListMusicFiles(*request->musicFolder))
            announcement.music.files.push_back(*request->musicFolder + "/" + name);
        if (announcement.music.files.empty()) {
            err << "音乐文件夹中没有 MP3 文件: " << *request->musicFolder << '\n';
            return 2;
        }
        announcement.withMusic = true;
        announcement.music.musicVolume =
            std::clamp(settingsFile.ReadInteger(sys::kSection, sys::default_volume,
                                                sys::kDefaultVolumeDefault),
                       0, 100);
        announcement.music.readingVolume =
            std::clamp(settingsFile.ReadInteger(sys::kSection, sys::default_volume1,
                                                sys::kDefaultVolume1Default),
                       0, 100);
    }

    const StoredLists lists = ReadStoredLists(programFolderWithSeparator, err);
    announcement.symbols = DelaySymbols::FromRows(lists.delayRows);
    frontend::FrontEnd frontEnd;
    frontEnd.SetPronunciations(frontend::PronunciationList(lists.pronunciations));

    if (!espeak::Start().error.empty()) {
        err << "语音引擎无法启动: " << espeak::Start().error << '\n';
        return 1;
    }
    const int voice = VoiceIndex(request->cantonese);
    if (voice < 0) {
        err << (request->cantonese ? "没有安装粤语语音。" : "没有安装普通话语音。") << '\n';
        return 1;
    }
    const int rate = settingsFile.ReadInteger(spk::kSection, spk::Rate, spk::kRateDefault);
    const int volume = std::clamp(
        settingsFile.ReadInteger(spk::kSection, spk::Volume, spk::kVolumeDefault), 0, 100);
    const auto speech = MakeEspeakSpeech(voice, rate, volume, frontEnd);

    interrupted = false;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    int lastPercent = -1;
    const ExportResult result =
        ExportAnnouncement(announcement, *speech, request->output, *format, interrupted,
                           [&](const ExportProgress& progress) {
                               const int percent = static_cast<int>(progress.fraction * 100);
                               if (percent == lastPercent)
                                   return;
                               lastPercent = percent;
                               err << "导出 " << percent << "%";
                               if (progress.remainingSeconds >= 0)
                                   err << "，剩余约 " << Seconds(progress.remainingSeconds)
                                       << " 秒";
                               err << '\n' << std::flush;
                           });
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);

    for (const std::string& path : result.unplayableMusic)
        err << "无法播放的音乐文件，已跳过: " << path << '\n';
    if (!result.ok) {
        err << (result.cancelled ? "" : "导出失败: ") << result.message << '\n';
        return 1;
    }
    err << "已导出 " << request->output << "（" << Seconds(result.audioSeconds) << " 秒）\n";
    return 0;
}

} // namespace sonvela
