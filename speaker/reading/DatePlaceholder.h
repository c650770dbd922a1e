// The two inline controls of a text: the date placeholder "%Date%", spoken as
// the current date or time in one of eight formats, and the delay sign "※",
// which makes the reader pause before the passage that holds it.
#pragma once

#include "GbkText.h"

#include <functional>
#include <optional>
#include <string_view>

namespace sonvela {

inline constexpr std::string_view kDatePlaceholder = "%Date%";
// "※" in GBK.
inline constexpr std::string_view kDelaySign = "\xA1\xF9";

inline constexpr int kFirstDateFormatType = 1;
inline constexpr int kLastDateFormatType = 8;

// A moment of the local clock.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;  // 0-23
    int minute = 0;
    int second = 0;
    int weekday = 6; // 0 = Sunday
};

LocalDateTime CurrentLocalDateTime();

using LocalClock = std::function<LocalDateTime()>;

// The moment in format type 1-8, as GBK text; nothing for any other type.
// Names and the short time are those of the Chinese (China) locale whatever
// the machine's locale is, because the program speaks Chinese:
//   1 2014-04-07            5 2014-04-07 09:05
//   2 9:05:03               6 周一
//   3 9:05                  7 四月
//   4 04月07日              8 2014年04月07日 星期一
std::optional<GbkString> FormatDateTime(int type, const LocalDateTime& moment);

// A segment as it is spoken: when it holds "%Date%" in exactly that case and
// `type` is a format type, the clock is read once and every "%Date%" in any
// letter case is replaced by that one formatted moment. Otherwise the segment
// is returned unchanged, "%date%" and all.
GbkString ExpandDatePlaceholder(std::string_view segment, int type, const LocalClock& clock);

// Whole characters are compared, so the bytes A1 F9 formed by the end of one
// character and the start of the next are not a delay sign.
bool HoldsDelaySign(std::string_view text);
GbkString RemoveDelaySigns(std::string_view text);

} // namespace sonvela
