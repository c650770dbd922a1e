// How numbers are read. Where Chinese has two accepted readings, the one a
// shop or station announcer uses is taken, and kept everywhere:
//
// - Prices read as decimals with 元 after them: 3.5元 三点五元, ¥12.50 十二点五元
//   (trailing zeros of a price dropped; 12.00元 十二元), not 十二元五角.
// - Ranges use 到: 3~5天 三到五天, 9:00-18:00 九点到十八点, 2026-2027 二零二六到二零二七.
//   A '-' between a larger and a smaller number, or in a sum with '=', is 减.
// - Times: 9:30 九点三十分 (not 九点半), 9:05 九点零五分, 13:00 十三点, 13:00正 and 零点正
//   十三点整 and 零点整 (the whole hour said as a clock does),
//   13:00:15 十三点零分十五秒; 2:00 两点. "零点30" (a written hour, digit
//   minutes) reads 零点三十分. 9:00am 上午九点, 3:00pm 下午三点.
// - Temperatures: ℃ and °C are 摄氏度; below zero is 零下 (-5℃ 零下五摄氏度).
//   Other negatives are 负.
// - Units: kg 公斤 (not 千克), km 公里, m 米, L 升, km/h 公里每小时; "元/斤" 元每斤.
// - 两 for a count (2个 两个, 2斤 两斤, 2元 两元, 2点 两点) and for a leading 2 before
//   百/千/万/亿 (200 两百); 二 for ordinals, dates, digits and the 2 of 十二.
// - Digits one by one: phone numbers (grouped 3-4-4 as they are spoken),
//   codes after Latin letters (G1234 G幺二三四), room numbers (302室 三零二室),
//   numbers of five or more digits with no unit and numbers with leading
//   zeros. In Mandarin these say 幺 for 1, as announcers do; years do not
//   (一九九八年). Cantonese says 一 throughout: its voice has no 幺.
// - Years are read digit by digit (二零二六年); 3月5日 三月五日, 5号 五号.
// - In Mandarin, a 一 that is not said in tone 1 is written as numbered
//   pinyin: yi4百, yi4千, yi2万, yi2亿, 1个 yi2个, 1斤 yi4斤. It stays 一 where it
//   keeps tone 1: digits, 十一, 第一, 一点五, 1点 (the hour), 1号.
// - A date written M/D is read as a date only where the text around says
//   it is one (日期, 截止, 星期…); otherwise it is a fraction (3/4 四分之三).
//
// The words written out become final pieces so that the later stages leave
// them alone; the text around them, including measure words such as 个 and
// 元 that stay as written, remains open.
#include "TextNormalizer.h"

#include "MeasureWords.h"
#include "NumberText.h"
#include "NumberWords.h"

#include <cassert>
#include <vector>

namespace sonvela::frontend {

namespace {

bool IsHanNumeral(char32_t c) {
    return std::u32string_view(U"零〇一二两兩三四五六七八九十").find(c) !=
           std::u32string_view::npos;
}

bool IsHourMark(char32_t c) {
    return c == U'点' || c == U'點';
}

bool IsRangeMark(char32_t c) {
    return c == U'~' || c == U'-' || c == U'–' || c == U'—';
}

// Five or more digits with nothing after them are an order number or a code
// (123456 幺二三四五六), unless they are round like an amount (20000 两万).
bool LooksLikeCode(std::string_view digits) {
    constexpr std::size_t kShortestCode = 5, kLongestAmount = 9;
    return digits.size() >= kShortestCode &&
           (!digits.ends_with("00") || digits.size() > kLongestAmount);
}

std::string_view TrimTrailingZeros(std::string_view fraction) {
    const std::size_t last = fraction.find_last_not_of('0');
    return last == std::string_view::npos ? std::string_view() : fraction.substr(0, last + 1);
}

int ToInt(std::string_view digits) {
    int value = 0;
    for (char c : digits.substr(0, 9))
        value = value * 10 + (c - '0');
    return value;
}

enum class Kind {
    Plain,      // nothing said after it
    Percent,    // 百分之…
    Permille,   // 千分之…
    Unit,       // kg, ℃ … written out
    Multiplier, // 万, 亿 follow
    Money,      // 元 or 块 follow, or a currency sign leads
    Year,       // digits, then 年
    Calendar,   // month or day: no 两
    Hour,       // 点 follows, maybe minutes
    Measure,    // a measure word follows
    Room,       // digits one by one
};

struct Quantity {
    std::size_t begin = 0;     // the sign or currency sign if any, else the first digit
    std::size_t end = 0;       // past what the words written out cover
    std::size_t suffixEnd = 0; // past a suffix that stays open (元, 个)
    std::string whole;
    std::string fraction;
    bool grouped = false;
    bool negative = false;
    bool ordinal = false;
    Kind kind = Kind::Plain;
    const Unit* unit = nullptr;
    bool counts = false;
    int nextTone = 0;
    std::string tail; // words written after the number (公斤, 万, 点三十分, 元)
    bool currency = false;
};

struct Operand {
    Quantity quantity;
    std::string_view joinAfter; // 到, 加 … before the next operand
    bool rangeAfter = false;
};

class Normalizer {
public:
    Normalizer(std::string_view bytes, Dialect dialect, Pieces& out)
        : text_(bytes), dialect_(dialect), out_(out) {}

    // Returns whether anything was written out.
    bool Run() {
        std::size_t i = 0;
        while (i < text_.size()) {
            const std::size_t next = TryAt(i);
            i = next > i ? next : i + 1;
        }
        if (!rewrote_)
            return false;
        AppendPiece(out_, std::string(text_.Bytes(openFrom_, text_.size())), false);
        return true;
    }

private:
    char32_t At(std::size_t i) const { return text_.At(i); }
    bool DigitAt(std::size_t i) const { return IsDigit(text_.At(i)); }

    // Writes `words` (final) in place of [begin, end).
    void Replace(std::size_t begin, std::size_t end, std::string words) {
        assert(openFrom_ <= begin && begin <= end && end <= text_.size());
        AppendPiece(out_, std::string(text_.Bytes(openFrom_, begin)), false);
        AppendPiece(out_, std::move(words), true);
        openFrom_ = end;
        rewrote_ = true;
    }

    std::size_t TryAt(std::size_t i) {
        const char32_t c = At(i);
        if (IsDigit(c))
            return FromDigit(i, i, false);
        if ((c == U'-') && DigitAt(i + 1) && !IsDigit(At(i - 1)) && !IsAsciiLetter(At(i - 1)) &&
            At(i - 1) != U'.')
            return FromDigit(i + 1, i, true);
        if (!CurrencyWord(c).empty() && DigitAt(i + 1))
            return Chain(i, false);
        if (c == U'+' && DigitAt(i + 1) && !IsDigit(At(i - 1)))
            return TryCountryCode(i);
        if (c == U'正' && i >= 2 && IsHourMark(At(i - 1)) && IsHanNumeral(At(i - 2)) &&
            !IsHan(At(i + 1))) {
            // 零点正 is 零点整 (but 一点正确 is left alone).
            Replace(i, i + 1, "整");
            return i + 1;
        }
        return 0;
    }

    // +86 138…: the country code of a phone number, 加八六.
    std::size_t TryCountryCode(std::size_t plus) {
        const std::size_t end = text_.DigitRunEnd(plus + 1);
        if (end - plus - 1 > 3 || (At(end) != U' ' && At(end) != U'-') || !DigitAt(end + 1))
            return 0;
        Replace(plus, end, "加" + DigitWords(text_.Digits(plus + 1, end), dialect_, true));
        return end;
    }

    static std::string_view CurrencyWord(char32_t c) {
        switch (c) {
        case U'¥':
        case U'￥':
            return "元";
        case U'$':
            return "美元";
        case U'€':
            return "欧元";
        case U'£':
            return "英镑";
        default:
            return {};
        }
    }

    // A run of digits at `i`; `begin` is where its sign starts.
    std::size_t FromDigit(std::size_t i, std::size_t begin, bool negative) {
        if (!negative) {
            if (std::size_t end = TryCode(i))
                return end;
            if (std::size_t end = TryNumericDate(i))
                return end;
            if (std::size_t end = TryPhone(i))
                return end;
            if (std::size_t end = TryClock(i))
                return end;
            if (std::size_t end = TryMinutesAfterWrittenHour(i))
                return end;
        }
        if (std::size_t end = TryFraction(i, begin, negative))
            return end;
        return Chain(begin, negative);
    }

    // Digits right after Latin capitals are a code: A023, G1234, B2.
    std::size_t TryCode(std::size_t i) {
        std::size_t letters = 0;
        bool capitals = true;
        while (letters < i && IsAsciiLetter(At(i - letters - 1))) {
            capitals = capitals && At(i - letters - 1) <= U'Z';
            ++letters;
        }
        if (letters == 0 || (letters > 1 && (!capitals || letters > 3)))
            return 0;
        const std::size_t end = text_.DigitRunEnd(i);
        Replace(i, end, DigitWords(text_.Digits(i, end), dialect_, true));
        return end;
    }

    // 2026-03-05, 2026/3/5, 2026.3.5, 2026-03: 二零二六年三月五日.
    std::size_t TryNumericDate(std::size_t i) {
        const std::size_t yearEnd = text_.DigitRunEnd(i);
        const char32_t mark = At(yearEnd);
        if (yearEnd - i != 4 || (mark != U'-' && mark != U'/' && mark != U'.'))
            return 0;
        const int year = ToInt(text_.Digits(i, yearEnd));
        const std::size_t monthEnd = text_.DigitRunEnd(yearEnd + 1);
        const std::size_t monthSize = monthEnd - yearEnd - 1;
        if (year < 1000 || year > 2999 || monthSize < 1 || monthSize > 2)
            return 0;
        const int month = ToInt(text_.Digits(yearEnd + 1, monthEnd));
        if (month < 1 || month > 12)
            return 0;
        std::string words = DigitWords(text_.Digits(i, yearEnd), dialect_, false) + "年" +
                            CalendarWords(text_.Digits(yearEnd + 1, monthEnd)) + "月";
        std::size_t end = monthEnd;
        if (At(monthEnd) == mark && DigitAt(monthEnd + 1)) {
            const std::size_t dayEnd = text_.DigitRunEnd(monthEnd + 1);
            const int day = ToInt(text_.Digits(monthEnd + 1, dayEnd));
            if (dayEnd - monthEnd - 1 > 2 || day < 1 || day > 31)
                return 0;
            words += CalendarWords(text_.Digits(monthEnd + 1, dayEnd)) + "日";
            end = dayEnd;
        } else if (monthSize != 2 || mark == U'.' || DigitAt(monthEnd + 1)) {
            return 0; // 2026-5 or 2026.5: not clearly a year and month
        }
        Replace(i, end, std::move(words));
        return RangeMarkToNext(end, &Normalizer::IsNumericDateAt);
    }

    bool IsNumericDateAt(std::size_t i) const {
        const std::size_t yearEnd = text_.DigitRunEnd(i);
        const char32_t mark = At(yearEnd);
        return yearEnd - i == 4 && (mark == U'-' || mark == U'/' || mark == U'.') &&
               DigitAt(yearEnd + 1);
    }

    bool IsClockAt(std::size_t i) const {
        const std::size_t hourEnd = text_.DigitRunEnd(i);
        return hourEnd > i && hourEnd - i <= 2 && At(hourEnd) == U':' &&
               text_.DigitRunEnd(hourEnd + 1) == hourEnd + 3;
    }

    // After a date or a time: a range mark before another one reads 到.
    std::size_t RangeMarkToNext(std::size_t end, bool (Normalizer::*isNext)(std::size_t) const) {
        if (IsRangeMark(At(end)) && DigitAt(end + 1) && (this->*isNext)(end + 1)) {
            Replace(end, end + 1, "到");
            return end + 1;
        }
        return end;
    }

    std::string CalendarWords(std::string_view digits) const {
        return CardinalWords(digits, dialect_, {.leadingLiang = false});
    }

    // Mobiles (13800138000, 138 0013 8000), landlines (010-12345678) and
    // service numbers (400-800-1234), digit by digit in their groups.
    std::size_t TryPhone(std::size_t i) {
        std::vector<std::pair<std::size_t, std::size_t>> groups{{i, text_.DigitRunEnd(i)}};
        const char32_t mark = At(groups[0].second);
        while (groups.size() < 4 && (mark == U'-' || mark == U' ') &&
               At(groups.back().second) == mark && DigitAt(groups.back().second + 1)) {
            const std::size_t start = groups.back().second + 1;
            groups.emplace_back(start, text_.DigitRunEnd(start));
        }
        std::vector<std::string> digits;
        for (const auto& [begin, end] : groups)
            digits.push_back(text_.Digits(begin, end));
        const auto sizeIs = [&](std::size_t k, std::size_t n) {
            return k < digits.size() && digits[k].size() == n;
        };
        const bool serviceNumber = sizeIs(0, 3) && (digits[0] == "400" || digits[0] == "800");
        std::size_t used = 0;
        if (digits[0].size() == 11 && digits[0][0] == '1' && digits[0][1] >= '3') {
            digits = {digits[0].substr(0, 3), digits[0].substr(3, 4), digits[0].substr(7)};
            used = 1;
        } else if (sizeIs(0, 3) && digits[0][0] == '1' && sizeIs(1, 4) && sizeIs(2, 4)) {
            used = 3;
        } else if (serviceNumber && sizeIs(1, 3) && sizeIs(2, 4)) {
            used = 3;
        } else if (mark == U'-' && serviceNumber && sizeIs(1, 7)) {
            used = 2;
        } else if (mark == U'-' && digits[0][0] == '0' && digits[0].size() >= 3 &&
                   digits[0].size() <= 4 && digits.size() >= 2 && digits[1].size() >= 7 &&
                   digits[1].size() <= 8) {
            used = digits.size() >= 3 && digits[2].size() <= 4 ? 3 : 2; // with an extension
        }
        if (used == 0)
            return 0;
        std::string words;
        const std::size_t spoken = used == 1 ? digits.size() : used;
        for (std::size_t k = 0; k < spoken; ++k) {
            if (k > 0)
                words += ' ';
            words += DigitWords(digits[k], dialect_, true);
        }
        const std::size_t end = groups[used - 1].second;
        Replace(i, end, std::move(words));
        return end;
    }

    // 13:00, 9:05, 13:00:15, 13:00正, 9:00-18:00, 9:00am; 3:2 is a score.
    std::size_t TryClock(std::size_t i) {
        const std::size_t hourEnd = text_.DigitRunEnd(i);
        if (hourEnd - i > 2 || At(hourEnd) != U':' || !DigitAt(hourEnd + 1))
            return 0;
        const std::size_t minuteEnd = text_.DigitRunEnd(hourEnd + 1);
        const std::string hourDigits = text_.Digits(i, hourEnd);
        const std::string minuteDigits = text_.Digits(hourEnd + 1, minuteEnd);
        int hour = ToInt(hourDigits);
        const int minute = ToInt(minuteDigits);
        if (minuteDigits.size() != 2 || hour > 24 || minute > 59) {
            if (minuteDigits.size() > 6)
                return 0;
            Replace(i, minuteEnd, CalendarWords(hourDigits) + "比" + CalendarWords(minuteDigits));
            return minuteEnd;
        }
        std::size_t end = minuteEnd;
        int second = 0;
        if (At(end) == U':' && text_.DigitRunEnd(end + 1) == end + 3) {
            second = ToInt(text_.Digits(end + 1, end + 3));
            if (second > 59)
                return 0;
            end += 3;
        }
        std::string words;
        const std::size_t periodEnd = DayPeriodEnd(end);
        if (periodEnd != end && hour >= 1 && hour <= 12) {
            const bool afternoon = At(periodEnd - 1) == U'm' || At(periodEnd - 1) == U'M'
                                       ? At(periodEnd - 2) == U'p' || At(periodEnd - 2) == U'P'
                                       : At(periodEnd - 3) == U'p' || At(periodEnd - 3) == U'P';
            words = afternoon ? (hour == 12 ? "中午" : "下午") : "上午";
            if (!afternoon && hour == 12)
                hour = 0;
            end = periodEnd;
        }
        words += hour == 2 ? std::string("两") : CalendarWords(std::to_string(hour));
        words += "点";
        if (minute > 0 || second > 0)
            words += MinuteWords(minuteDigits, "分");
        if (second > 0)
            words += MinuteWords(text_.Digits(minuteEnd + 1, minuteEnd + 3), "秒");
        if (minute == 0 && second == 0 && (At(end) == U'正' || At(end) == U'整')) {
            words += "整";
            ++end;
        }
        Replace(i, end, std::move(words));
        return RangeMarkToNext(end, &Normalizer::IsClockAt);
    }

    // "am", "a.m.", "PM" after a time, maybe after one space; returns the
    // index past it, or `end` when there is none.
    std::size_t DayPeriodEnd(std::size_t end) const {
        std::size_t p = At(end) == U' ' ? end + 1 : end;
        const char32_t first = At(p);
        if (first != U'a' && first != U'A' && first != U'p' && first != U'P')
            return end;
        if (At(p + 1) == U'm' || At(p + 1) == U'M')
            p += 2;
        else if (At(p + 1) == U'.' && (At(p + 2) == U'm' || At(p + 2) == U'M') && At(p + 3) == U'.')
            p += 4;
        else
            return end;
        return IsAsciiLetter(At(p)) ? end : p;
    }

    // 05 零五分, 30 三十分; 00 零分 (only said before seconds).
    std::string MinuteWords(std::string_view twoDigits, std::string_view unit) const {
        std::string words;
        if (twoDigits[0] == '0')
            words = "零";
        words += twoDigits == "00" ? "" : CalendarWords(twoDigits);
        words += unit;
        return words;
    }

    // 零点30, 九點05: minutes written in digits after an hour written in words.
    std::size_t TryMinutesAfterWrittenHour(std::size_t i) {
        const std::size_t end = text_.DigitRunEnd(i);
        if (i < 2 || !IsHourMark(At(i - 1)) || !IsHanNumeral(At(i - 2)) || end - i != 2)
            return 0;
        const std::string digits = text_.Digits(i, end);
        if (ToInt(digits) > 59 || digits == "00")
            return 0;
        const bool unitWritten = At(end) == U'分';
        Replace(i, unitWritten ? end + 1 : end, MinuteWords(digits, "分"));
        return unitWritten ? end + 1 : end;
    }

    // 3/4 四分之三; 12/25 十二月二十五日 where the text says it is a date.
    std::size_t TryFraction(std::size_t i, std::size_t begin, bool negative) {
        const std::size_t numeratorEnd = text_.DigitRunEnd(i);
        if (At(numeratorEnd) != U'/' || !DigitAt(numeratorEnd + 1))
            return 0;
        const std::size_t end = text_.DigitRunEnd(numeratorEnd + 1);
        const std::string numerator = text_.Digits(i, numeratorEnd);
        const std::string denominator = text_.Digits(numeratorEnd + 1, end);
        if (numerator.size() > 4 || denominator.size() > 4 || ToInt(denominator) == 0 ||
            At(end) == U'/' || At(end) == U'.')
            return 0;
        const int month = ToInt(numerator), day = ToInt(denominator);
        if (!negative && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
            InDateContext(i, end)) {
            Replace(i, end, CalendarWords(numerator) + "月" + CalendarWords(denominator) + "日");
            return end;
        }
        Replace(begin, end,
                std::string(negative ? "负" : "") + CalendarWords(denominator) + "分之" +
                    CalendarWords(numerator));
        return end;
    }

    bool InDateContext(std::size_t begin, std::size_t end) const {
        static constexpr std::u32string_view kBefore[] = {U"日期", U"截止", U"期限", U"有效期"};
        static constexpr std::u32string_view kAfter[] = {U"星期", U"周", U"週", U"礼拜",
                                                         U"禮拜", U"前", U"起"};
        const std::size_t windowStart = begin > 12 ? begin - 12 : 0;
        const std::u32string_view before = text_.View(windowStart, begin);
        for (std::u32string_view word : kBefore)
            if (before.find(word) != std::u32string_view::npos)
                return true;
        std::size_t p = end;
        while (At(p) == U' ' || At(p) == U'(' || At(p) == U'（')
            ++p;
        const std::u32string_view after = text_.From(p);
        for (std::u32string_view word : kAfter)
            if (after.starts_with(word))
                return true;
        return false;
    }

    // A number with what follows it, then any range or sum it starts:
    // 3~5天, -5~3℃, 3+5=8, ¥3-5.
    std::size_t Chain(std::size_t begin, bool negative) {
        std::vector<Operand> operands;
        operands.push_back({ParseQuantity(begin, negative), {}, false});
        const bool sum = ChainHasEquals(operands.back().quantity.end);
        while (operands.size() < 16) {
            Operand& last = operands.back();
            const Quantity& q = last.quantity;
            if (q.kind == Kind::Hour || q.kind == Kind::Year || q.kind == Kind::Calendar ||
                q.kind == Kind::Room || q.end != q.suffixEnd)
                break;
            std::size_t p = SkipSpaces(q.end);
            const char32_t op = At(p);
            std::size_t next = SkipSpaces(p + 1);
            bool nextNegative = false;
            if (At(next) == U'-' && DigitAt(next + 1) && op != U'-') {
                nextNegative = true;
                ++next;
            }
            if (!(DigitAt(next) || (CurrencyWord(At(next)).size() && DigitAt(next + 1))))
                break;
            if (op == U'x' || op == U'X') {
                if (p != q.end || next != p + 1) // 3x4, not "3 x"
                    break;
            }
            Quantity following = ParseQuantity(nextNegative ? next - 1 : next, nextNegative);
            if (op == U'~' || op == U'–' || op == U'—' ||
                (op == U'-' && !sum && Ascending(q, following))) {
                last.rangeAfter = true;
                last.joinAfter = "到";
            } else if (std::string_view word = OperatorWord(op, sum); !word.empty()) {
                last.joinAfter = word;
            } else {
                break;
            }
            operands.push_back({std::move(following), {}, false});
        }
        return EmitChain(operands);
    }

    static std::string_view OperatorWord(char32_t op, bool sum) {
        switch (op) {
        case U'+':
            return "加";
        case U'-':
            return "减";
        case U'×':
        case U'*':
        case U'x':
        case U'X':
            return "乘";
        case U'÷':
            return "除以";
        case U'=':
            return sum ? "等于" : "";
        default:
            return {};
        }
    }

    // A range runs upwards; "2026-2027" is a range of years, "10-5" a
    // difference.
    static bool Ascending(const Quantity& low, const Quantity& high) {
        if (low.negative != high.negative)
            return low.negative;
        if (low.whole.size() > 9 || high.whole.size() > 9)
            return true;
        const double a = std::stod(low.whole + "." + low.fraction + "0");
        const double b = std::stod(high.whole + "." + high.fraction + "0");
        return low.negative ? a > b : a < b;
    }

    // Whether the run of numbers and operators from `p` holds '=': then '-'
    // is 减, not a range.
    bool ChainHasEquals(std::size_t p) const {
        for (std::size_t steps = 0; p < text_.size() && steps < 200; ++p, ++steps) {
            const char32_t c = At(p);
            if (c == U'=')
                return true;
            if (!IsDigit(c) &&
                std::u32string_view(U" .+-×*÷xX").find(c) == std::u32string_view::npos)
                return false;
        }
        return false;
    }

    std::size_t SkipSpaces(std::size_t p) const {
        while (At(p) == U' ')
            ++p;
        return p;
    }

    std::size_t EmitChain(std::vector<Operand>& operands) {
        // A bare number before a range mark is read like the one after it:
        // 3-5% 百分之三到百分之五, -5~3℃ 零下五到三摄氏度, 2026-2027年.
        for (std::size_t k = operands.size() - 1; k-- > 0;) {
            Quantity& q = operands[k].quantity;
            Quantity& following = operands[k + 1].quantity;
            if (!operands[k].rangeAfter)
                continue;
            if (q.currency && !following.currency) {
                following.tail += q.tail;
                following.currency = true;
                q.tail.clear();
            }
            if (q.kind == Kind::Plain && !q.currency) {
                q.kind = following.kind;
                q.unit = following.unit;
                q.counts = following.counts;
                q.nextTone = following.nextTone;
            }
        }
        if (operands.size() == 2 && operands[0].rangeAfter && IsYearRange(operands))
            operands[0].quantity.kind = operands[1].quantity.kind = Kind::Year;
        std::string words;
        for (const Operand& operand : operands) {
            words += Words(operand.quantity);
            words += operand.joinAfter;
        }
        const Quantity& last = operands.back().quantity;
        Replace(operands.front().quantity.begin, last.end, std::move(words));
        return AfterSuffix(last);
    }

    static bool IsYearRange(const std::vector<Operand>& operands) {
        const Quantity& a = operands[0].quantity;
        const Quantity& b = operands[1].quantity;
        const auto yearLike = [](const Quantity& q) {
            return q.kind == Kind::Plain && !q.negative && q.fraction.empty() &&
                   q.whole.size() == 4 && q.whole >= "1000" && q.whole <= "2999";
        };
        return yearLike(a) && (yearLike(b) || b.kind == Kind::Year);
    }

    // Past a suffix left open: "元/斤" says 每斤, "3元~5元" says 到.
    std::size_t AfterSuffix(const Quantity& q) {
        std::size_t p = q.suffixEnd;
        if (At(p) == U'/' && (q.kind == Kind::Money || q.kind == Kind::Unit || q.currency ||
                              q.kind == Kind::Measure)) {
            if (const Unit* unit = UnitAt(text_.From(p + 1))) {
                Replace(p, p + 1 + unit->symbol.size(), "每" + std::string(unit->words));
                return p + 1 + unit->symbol.size();
            }
            if (IsHan(At(p + 1))) {
                Replace(p, p + 1, "每");
                return p + 1;
            }
        }
        if (q.suffixEnd != q.end && (At(p) == U'~' || At(p) == U'-') && DigitAt(p + 1)) {
            Replace(p, p + 1, "到");
            return p + 1;
        }
        return q.end;
    }

    // The number at `begin` (after its sign or currency sign) and what
    // follows it.
    Quantity ParseQuantity(std::size_t begin, bool negative) {
        Quantity q;
        q.begin = begin;
        q.negative = negative;
        std::size_t i = negative ? begin + 1 : begin;
        std::string_view currency = CurrencyWord(At(i));
        if (!currency.empty()) {
            ++i;
            q.currency = true;
            q.kind = Kind::Money;
            q.counts = true;
            q.nextTone = 2;
        }
        q.ordinal = i > 0 && (At(i - 1) == U'第');
        std::size_t end = text_.DigitRunEnd(i);
        q.whole = text_.Digits(i, end);
        // 1,000,000: groups of three after at most three digits.
        while (q.whole.size() <= 3 + 4 * 3 && At(end) == U',' &&
               text_.DigitRunEnd(end + 1) == end + 4 && (q.grouped || end - i <= 3)) {
            q.whole += text_.Digits(end + 1, end + 4);
            q.grouped = true;
            end += 4;
        }
        if (At(end) == U'.' && DigitAt(end + 1)) {
            const std::size_t fractionEnd = text_.DigitRunEnd(end + 1);
            q.fraction = text_.Digits(end + 1, fractionEnd);
            end = fractionEnd;
        }
        q.end = q.suffixEnd = end;
        ReadSuffix(q);
        if (q.currency)
            q.tail += currency;
        return q;
    }

    void ReadSuffix(Quantity& q) {
        const std::size_t p = q.end;
        const char32_t c = At(p);
        const bool integer = q.fraction.empty() && !q.grouped;
        const auto consume = [&](Kind kind, std::size_t size, std::string tail) {
            q.kind = kind;
            q.end = q.suffixEnd = p + size;
            q.tail = std::move(tail);
        };
        const auto openSuffix = [&](Kind kind, std::size_t size) {
            q.kind = kind;
            q.suffixEnd = p + size;
        };
        if (c == U'%') {
            consume(Kind::Percent, 1, "");
            return;
        }
        if (c == U'‰') {
            consume(Kind::Permille, 1, "");
            return;
        }
        const std::u32string_view rest = text_.From(p);
        const Unit* unit = UnitAt(rest);
        std::size_t gap = 0;
        if (!unit && c == U' ' && !q.currency) {
            unit = UnitAt(rest.substr(1));
            gap = unit && IsAsciiLetter(unit->symbol.front()) ? 1 : 0;
            unit = gap ? unit : nullptr;
        }
        if (unit && !q.currency) {
            consume(Kind::Unit, gap + unit->symbol.size(), std::string(unit->words));
            q.unit = unit;
            q.counts = unit->counts;
            q.nextTone = unit->tone;
            return;
        }
        const std::size_t digits = q.whole.size();
        if (integer && digits >= 3 && (c == U'室' || c == U'房' || RoomBefore(q.begin))) {
            q.kind = Kind::Room;
            return;
        }
        if (integer && c == U'年' &&
            (digits >= 3 || (digits == 2 && DigitAt(p + 1) && MonthFollows(p + 1)))) {
            openSuffix(Kind::Year, 1);
            return;
        }
        if (integer && c == U'月' && ToInt(q.whole) >= 1 && ToInt(q.whole) <= 12 && digits <= 2) {
            openSuffix(Kind::Calendar, 1);
            return;
        }
        if (integer && (c == U'日' || c == U'号' || c == U'號')) {
            openSuffix(Kind::Calendar, 1);
            return;
        }
        if (integer && IsHourMark(c) && digits <= 2 && ToInt(q.whole) <= 24) {
            ReadHour(q, p);
            return;
        }
        if (const MeasureWord* measure = MeasureWordAt(rest)) {
            openSuffix(q.currency ? Kind::Money : Kind::Measure, measure->word.size());
            if (!q.currency) {
                q.counts = measure->counts;
                q.nextTone = measure->tone;
            }
            if (c == U'元' || c == U'块' || c == U'塊')
                q.kind = Kind::Money;
            return;
        }
        if (c == U'万' || c == U'萬' || c == U'亿' || c == U'億' || c == U'千' || c == U'百') {
            consume(Kind::Multiplier, 1, std::string(MultiplierWord(c)));
            q.counts = true;
            q.nextTone = c == U'千' ? 1 : c == U'百' ? 3 : 4;
            const char32_t after = At(p + 1);
            if (after == U'元' || after == U'块' || after == U'塊')
                q.suffixEnd = p + 2, q.kind = Kind::Money;
            return;
        }
        if (c == U'圆' || c == U'圓')
            openSuffix(Kind::Money, 1);
    }

    static std::string_view MultiplierWord(char32_t c) {
        switch (c) {
        case U'万':
        case U'萬':
            return "万";
        case U'亿':
        case U'億':
            return "亿";
        case U'千':
            return "千";
        default:
            return "百";
        }
    }

    bool MonthFollows(std::size_t i) const {
        const std::size_t end = text_.DigitRunEnd(i);
        return end - i <= 2 && At(end) == U'月';
    }

    bool RoomBefore(std::size_t begin) const {
        std::size_t p = begin;
        if (At(p - 1) == U' ')
            --p;
        return At(p - 1) == U'室' || At(p - 1) == U'房' ||
               (p >= 2 && (At(p - 2) == U'房') &&
                (At(p - 1) == U'间' || At(p - 1) == U'間' || At(p - 1) == U'号' ||
                 At(p - 1) == U'號'));
    }

    // 2点 两点, 9点30分 九点三十分, 9点05 九点零五分.
    void ReadHour(Quantity& q, std::size_t mark) {
        q.kind = Kind::Hour;
        q.counts = true; // 两点; the 一 of 1点 keeps tone 1
        q.tail = "点";
        std::size_t end = mark + 1;
        const std::size_t minuteEnd = text_.DigitRunEnd(end);
        const std::size_t size = minuteEnd - end;
        const bool unitWritten = At(minuteEnd) == U'分';
        if ((size == 2 || (size == 1 && unitWritten)) &&
            ToInt(text_.Digits(end, minuteEnd)) <= 59) {
            std::string minutes = text_.Digits(end, minuteEnd);
            if (minutes.size() == 1)
                minutes.insert(0, "0");
            if (minutes != "00")
                q.tail += MinuteWords(minutes, "分");
            end = unitWritten ? minuteEnd + 1 : minuteEnd;
        }
        q.end = q.suffixEnd = end;
    }

    std::string Words(const Quantity& q) const {
        const bool calendar = q.kind == Kind::Calendar || q.ordinal;
        CardinalOptions options{.leadingLiang = !calendar && q.kind != Kind::Percent &&
                                                q.kind != Kind::Permille,
                                .counts = q.counts && !calendar,
                                .nextTone = q.kind == Kind::Hour ? 0 : q.nextTone};
        std::string words;
        if (q.negative)
            words += q.unit && q.unit->temperature ? "零下" : "负";
        if (q.kind == Kind::Percent)
            words += "百分之";
        else if (q.kind == Kind::Permille)
            words += "千分之";
        const bool integer = q.fraction.empty();
        const bool leadingZero = q.whole.size() >= 2 && q.whole[0] == '0';
        if (q.kind == Kind::Year) {
            words += DigitWords(q.whole, dialect_, false);
        } else if (q.kind == Kind::Room ||
                   (integer && !q.grouped && !q.ordinal &&
                    ((q.kind == Kind::Plain && LooksLikeCode(q.whole)) ||
                     (leadingZero && (q.kind == Kind::Plain || q.kind == Kind::Money ||
                                      q.kind == Kind::Measure))))) {
            words += DigitWords(q.whole, dialect_, true);
        } else if (!integer) {
            const bool money = q.kind == Kind::Money || q.currency;
            words += DecimalWords(q.whole, money ? TrimTrailingZeros(q.fraction) : q.fraction,
                                  dialect_, options);
        } else {
            words += CardinalWords(q.whole, dialect_, options);
        }
        words += q.tail;
        return words;
    }

    NumberText text_;
    Dialect dialect_;
    Pieces& out_;
    std::size_t openFrom_ = 0;
    bool rewrote_ = false;
};

} // namespace

Pieces NormalizeText(const Pieces& pieces, Dialect dialect) {
    Pieces out;
    out.reserve(pieces.size());
    bool rewrote = false;
    for (const Piece& piece : pieces) {
        if (!piece.final && MayHoldNumber(piece.text) && Normalizer(piece.text, dialect, out).Run())
            rewrote = true;
        else
            AppendPiece(out, piece.text, piece.final);
    }
    // Untouched text comes back exactly as it came, empty pieces and all.
    return rewrote ? out : pieces;
}

std::string NormalizeText(std::string_view utf8, Dialect dialect) {
    return JoinPieces(NormalizeText(Pieces{{std::string(utf8), false}}, dialect));
}

} // namespace sonvela::frontend
