#include "DatePlaceholder.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <string>

namespace sonvela {
namespace {

// The Chinese (China) locale's names, fixed here so that the spoken date does
// not depend on the machine's locale.
constexpr std::array<std::string_view, 7> kShortDayNames = {"周日", "周一", "周二", "周三",
                                                            "周四", "周五", "周六"};
constexpr std::array<std::string_view, 7> kLongDayNames = {"星期日", "星期一", "星期二", "星期三",
                                                           "星期四", "星期五", "星期六"};
constexpr std::array<std::string_view, 12> kLongMonthNames = {"一月", "二月", "三月",   "四月",
                                                              "五月", "六月", "七月",   "八月",
                                                              "九月", "十月", "十一月", "十二月"};

std::string_view Pick(const auto& names, int index) {
    const auto size = static_cast<int>(names.size());
    return names[static_cast<std::size_t>(((index % size) + size) % size)];
}

template <typename... Args> std::string Printf(const char* format, Args... args) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

LocalDateTime CurrentLocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
            local.tm_min,         local.tm_sec,     local.tm_wday};
}

std::optional<GbkString> FormatDateTime(int type, const LocalDateTime& t) {
    const std::string date = Printf("%04d-%02d-%02d", t.year, t.month, t.day);
    std::string utf8;
    switch (type) {
    case 1:
        utf8 = date;
        break;
    case 2:
        utf8 = Printf("%d:%02d:%02d", t.hour, t.minute, t.second);
        break;
    case 3: // the locale's short time: 24 hours, no leading zero on the hour
        utf8 = Printf("%d:%02d", t.hour, t.minute);
        break;
    case 4:
        utf8 = Printf("%02d月%02d日", t.month, t.day);
        break;
    case 5:
        utf8 = date + Printf(" %02d:%02d", t.hour, t.minute);
        break;
    case 6:
        utf8 = Pick(kShortDayNames, t.weekday);
        break;
    case 7:
        utf8 = Pick(kLongMonthNames, t.month - 1);
        break;
    case 8:
        utf8 = Printf("%04d年%02d月%02d日 ", t.year, t.month, t.day);
        utf8 += Pick(kLongDayNames, t.weekday);
        break;
    default:
        return std::nullopt;
    }
    return Utf8ToGbk(utf8);
}

GbkString ExpandDatePlaceholder(std::string_view segment, int type, const LocalClock& clock) {
    if (type < kFirstDateFormatType || type > kLastDateFormatType ||
        segment.find(kDatePlaceholder) == std::string_view::npos)
        return GbkString(segment);
    const GbkString moment = FormatDateTime(type, clock()).value_or(GbkString(kDatePlaceholder));
    // "%" is a one-byte character in GBK (it is neither a lead nor a trail
    // byte), so a match that starts at "%" always starts on a character.
    GbkString spoken;
    spoken.reserve(segment.size() + moment.size());
    std::size_t pos = 0;
    while (pos < segment.size()) {
        if (EqualsIgnoringAsciiCase(segment.substr(pos, kDatePlaceholder.size()),
                                    kDatePlaceholder)) {
            spoken += moment;
            pos += kDatePlaceholder.size();
        } else {
            const std::size_t len = GbkCharLength(segment, pos);
            spoken.append(segment.substr(pos, len));
            pos += len;
        }
    }
    return spoken;
}

bool HoldsDelaySign(std::string_view text) {
    for (GbkCharWalker walker(text); !walker.AtEnd(); walker.Advance())
        if (walker.Current() == kDelaySign)
            return true;
    return false;
}

GbkString RemoveDelaySigns(std::string_view text) {
    GbkString kept;
    kept.reserve(text.size());
    for (GbkCharWalker walker(text); !walker.AtEnd(); walker.Advance())
        if (walker.Current() != kDelaySign)
            kept.append(walker.Current());
    return kept;
}

} // namespace sonvela
