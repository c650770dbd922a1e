#include "ClockAndDateReadings.h"

#include "NumberWords.h"

#include <algorithm>

namespace sonvela::frontend {

namespace {

class ClockAndDateReader : NumberReader {
public:
    explicit ClockAndDateReader(PieceRewriter& rewriter) : NumberReader(rewriter) {}

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
        return RangeMarkToNext(end, &ClockAndDateReader::IsNumericDateAt);
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
        return RangeMarkToNext(end, &ClockAndDateReader::IsClockAt);
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

private:
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
    std::size_t RangeMarkToNext(std::size_t end,
                                bool (ClockAndDateReader::*isNext)(std::size_t) const) {
        if (IsRangeMark(At(end)) && DigitAt(end + 1) && (this->*isNext)(end + 1)) {
            Replace(end, end + 1, "到");
            return end + 1;
        }
        return end;
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
};

} // namespace

std::size_t ReadNumericDate(PieceRewriter& rewriter, std::size_t i) {
    return ClockAndDateReader(rewriter).TryNumericDate(i);
}

std::size_t ReadClock(PieceRewriter& rewriter, std::size_t i) {
    return ClockAndDateReader(rewriter).TryClock(i);
}

std::size_t ReadMinutesAfterWrittenHour(PieceRewriter& rewriter, std::size_t i) {
    return ClockAndDateReader(rewriter).TryMinutesAfterWrittenHour(i);
}

std::size_t ReadFractionOrDate(PieceRewriter& rewriter, std::size_t i, std::size_t begin,
                               bool negative) {
    return ClockAndDateReader(rewriter).TryFraction(i, begin, negative);
}

std::size_t ReadWrittenWholeHour(PieceRewriter& rewriter, std::size_t i) {
    const NumberText& text = rewriter.Text();
    // 零点正 is 零点整, but 一点正确 is left alone.
    if (i < 2 || !IsHourMark(text.At(i - 1)) || !IsHanNumeral(text.At(i - 2)) ||
        IsHan(text.At(i + 1)))
        return 0;
    rewriter.Replace(i, i + 1, "整");
    return i + 1;
}

} // namespace sonvela::frontend
