#include "NumberWords.h"

#include <array>
#include <cstdint>

namespace sonvela::frontend {

namespace {

constexpr std::array<std::string_view, 10> kDigit = {"零", "一", "二", "三", "四",
                                                     "五", "六", "七", "八", "九"};

constexpr std::uint64_t kWan = 10'000;
constexpr std::uint64_t kYi = 100'000'000;
// 万亿 is as far as an announcer counts; longer numbers are codes.
constexpr std::size_t kMaxCardinalDigits = 16;

constexpr int kToneOfBai = 3;
constexpr int kToneOfQian = 1;
constexpr int kToneOfWanAndYi = 4;

class CardinalWriter {
public:
    CardinalWriter(Dialect dialect, bool leadingLiang)
        : dialect_(dialect), leadingLiang_(leadingLiang) {}

    // n < 10^16. `leading`: nothing has been said before this part.
    std::string Below10To16(std::uint64_t n, bool leading) const {
        if (n < kYi)
            return Below10To8(n, leading);
        std::string out = Multiplied(n / kYi, leading, "亿");
        const std::uint64_t rest = n % kYi;
        if (rest != 0) {
            if (rest < kYi / 10)
                out += "零";
            out += Below10To8(rest, false);
        }
        return out;
    }

private:
    std::string Below10To8(std::uint64_t n, bool leading) const {
        if (n < kWan)
            return Below10To4(static_cast<int>(n), leading);
        std::string out = Multiplied(n / kWan, leading, "万");
        const std::uint64_t rest = n % kWan;
        if (rest != 0) {
            if (rest < kWan / 10)
                out += "零";
            out += Below10To4(static_cast<int>(rest), false);
        }
        return out;
    }

    // The count before 万 or 亿: a lone 1 or 2 there is yi2 or 两.
    std::string Multiplied(std::uint64_t count, bool leading, std::string_view unit) const {
        std::string out;
        if (count == 1)
            out = YiBefore(kToneOfWanAndYi, dialect_);
        else if (count == 2 && leading && leadingLiang_)
            out = "两";
        else
            out = Below10To16(count, leading);
        out += unit;
        return out;
    }

    std::string Below10To4(int n, bool leading) const {
        static constexpr std::array<std::string_view, 4> kPlace = {"千", "百", "十", ""};
        static constexpr std::array<int, 4> kPlaceValue = {1000, 100, 10, 1};
        std::string out;
        bool zeroPending = false;
        bool said = false;
        for (std::size_t place = 0; place < kPlace.size(); ++place) {
            const int digit = n / kPlaceValue[place] % 10;
            if (digit == 0) {
                zeroPending = said;
                continue;
            }
            if (zeroPending)
                out += "零";
            zeroPending = false;
            const bool first = leading && !said;
            out += DigitBefore(digit, place, first);
            out += kPlace[place];
            said = true;
        }
        return out;
    }

    std::string_view DigitBefore(int digit, std::size_t place, bool first) const {
        constexpr std::size_t kThousands = 0, kHundreds = 1, kTens = 2;
        if (place == kTens && digit == 1 && first)
            return ""; // 十五, not 一十五
        if (digit == 1 && place == kThousands)
            return YiBefore(kToneOfQian, dialect_);
        if (digit == 1 && place == kHundreds)
            return YiBefore(kToneOfBai, dialect_);
        if (digit == 2 && first && leadingLiang_ && (place == kThousands || place == kHundreds))
            return "两";
        return kDigit[static_cast<std::size_t>(digit)];
    }

    Dialect dialect_;
    bool leadingLiang_;
};

std::string_view StripLeadingZeros(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

} // namespace

std::string_view YiBefore(int nextTone, Dialect dialect) {
    if (dialect != Dialect::Mandarin || nextTone < 1 || nextTone > 4)
        return "一";
    return nextTone == 4 ? "yi2" : "yi4";
}

std::string CardinalWords(std::string_view digits, Dialect dialect,
                          const CardinalOptions& options) {
    const std::string_view significant = StripLeadingZeros(digits);
    if (significant.empty())
        return "零";
    if (significant.size() > kMaxCardinalDigits)
        return DigitWords(digits, dialect, false);
    std::uint64_t value = 0;
    for (char c : significant)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (options.counts && value == 1)
        return std::string(YiBefore(options.nextTone, dialect));
    if (options.counts && value == 2)
        return "两";
    return CardinalWriter(dialect, options.leadingLiang).Below10To16(value, true);
}

std::string DigitWords(std::string_view digits, Dialect dialect, bool yao) {
    std::string out;
    out.reserve(digits.size() * 3);
    for (char c : digits) {
        if (c < '0' || c > '9')
            continue;
        if (c == '1' && yao && dialect == Dialect::Mandarin)
            out += "幺";
        else
            out += kDigit[static_cast<std::size_t>(c - '0')];
    }
    return out;
}

std::string DecimalWords(std::string_view whole, std::string_view fraction, Dialect dialect,
                         const CardinalOptions& options) {
    CardinalOptions wholeOptions = options;
    wholeOptions.counts = false; // 2.5个 is 二点五个
    std::string out = CardinalWords(whole, dialect, wholeOptions);
    if (!fraction.empty()) {
        out += "点";
        out += DigitWords(fraction, dialect, false);
    }
    return out;
}

} // namespace sonvela::frontend
