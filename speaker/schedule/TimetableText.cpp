#include "TimetableText.h"

#include "ScheduledTask.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace sonvela {
namespace {

constexpr std::array<const char*, 7> kDayNames{"周一", "周二", "周三", "周四",
                                               "周五", "周六", "周日"};
constexpr int kWeekend = DayBit(6) | DayBit(7);

std::string LowerExtension(const std::string& fileName) {
    const auto dot = fileName.find_last_of('.');
    const auto slash = fileName.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string BaseName(const std::string& fileName) {
    const auto slash = fileName.find_last_of('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

} // namespace

std::string DaysText(int days) {
    days &= kEveryDay;
    if (days == kEveryDay)
        return "每天";
    if (days == kWeekdays)
        return "工作日";
    if (days == kWeekend)
        return "周末";
    if (days == 0)
        return "从不";
    std::string text;
    for (int day = 1; day <= 7; ++day) {
        if ((days & DayBit(day)) == 0)
            continue;
        if (!text.empty())
            text += "、";
        text += kDayNames[static_cast<std::size_t>(day - 1)];
    }
    return text;
}

std::string NextEntryPanelText(const std::optional<NextEntry>& next, const LocalMoment& now,
                               const std::string& title) {
    if (!next)
        return "无定时播报";
    const std::int64_t today = LocalSeconds({now.year, now.month, now.day, 1, 0, 0, 0});
    const std::int64_t day =
        LocalSeconds({next->when.year, next->when.month, next->when.day, 1, 0, 0, 0});
    const std::int64_t daysAhead = (day - today) / (24 * 60 * 60);
    std::string when = daysAhead == 0 ? "今天"
                       : daysAhead == 1
                           ? "明天"
                           : kDayNames[static_cast<std::size_t>(next->when.dayOfWeek - 1)];
    std::string text = "下一条定时播报：" + when + " " + TimeOfDayText(next->when);
    if (!title.empty())
        text += " " + title;
    return text;
}

std::optional<std::string> EntryProblem(const TimetableRow& entry) {
    if (entry.stime.size() != 8 || !ParseTimeOfDay(entry.stime))
        return "时间应写成 时:分:秒，例如 08:55:00";
    if ((entry.days & kEveryDay) == 0)
        return "请至少选择一天";
    if (!entry.draftId) {
        if (entry.fileName.empty())
            return "请选择要读的文稿或声音文件";
        const std::string extension = LowerExtension(entry.fileName);
        if (extension != "mp3" && extension != "wav")
            return "声音文件只能是 MP3 或 WAV 文件";
    }
    if (entry.passes < 1 || entry.passes > kMostPasses)
        return "播放遍数应在 1 到 " + std::to_string(kMostPasses) + " 之间";
    if (entry.intervalSeconds < 0 || entry.intervalSeconds > kLongestInterval)
        return "间隔应在 0 到 " + std::to_string(kLongestInterval) + " 秒之间";
    return std::nullopt;
}

EntryListing ListEntry(const TimetableRow& entry, const EntryLookups& lookups) {
    EntryListing line;
    line.time = entry.stime;
    line.days = DaysText(entry.days);
    if (entry.draftId) {
        const auto name = lookups.draftName(*entry.draftId);
        line.source = name ? *name : "（文稿已删除）";
        if (!name)
            line.problem = "要读的文稿已被删除，到时将跳过这一条";
    } else {
        line.source = BaseName(entry.fileName);
        if (!lookups.fileExists(entry.fileName))
            line.problem = "找不到声音文件 " + entry.fileName + "，到时将跳过这一条";
    }
    line.passes = std::to_string(entry.passes) + " 遍";
    line.interval = entry.passes > 1 ? std::to_string(entry.intervalSeconds) + " 秒" : "—";
    if (entry.voice.empty()) {
        line.voice = "主窗口的语音";
    } else {
        const auto shown = lookups.voiceShown(entry.voice);
        // An uninstalled voice is named as stored: the entry keeps it, and
        // it is used again once the voice is back.
        line.voice = shown ? *shown : entry.voice + "（未安装）";
    }
    return line;
}

std::optional<std::string> EntryProblem(const TimetableRow& entry, const EntryLookups& lookups) {
    if (auto problem = EntryProblem(entry))
        return problem;
    if (entry.draftId && !lookups.draftName(*entry.draftId))
        return "所选的文稿已被删除，请另选一篇文稿";
    if (!entry.draftId && !lookups.fileExists(entry.fileName))
        return "找不到声音文件 " + entry.fileName;
    return std::nullopt;
}

} // namespace sonvela
