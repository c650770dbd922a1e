#include "QuantityReadings.h"

#include "MeasureWords.h"
#include "NumberContext.h"
#include "NumberWords.h"

#include <string>
#include <vector>

namespace sonvela::frontend {

namespace {

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
    Identifier, // a room or a train: digits one by one
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

class QuantityReader : NumberReader {
public:
    explicit QuantityReader(PieceRewriter& rewriter) : NumberReader(rewriter) {}

    // A number with what follows it, then any range or sum it starts:
    // 3~5天, -5~3℃, 3+5=8, ¥3-5.
    std::size_t Chain(std::size_t begin, bool negative) {
        std::vector<Operand> operands;
        operands.push_back({ParseQuantity(begin, negative), {}, false});
        const bool sum = ChainHasEquals(operands.back().quantity.end);
        while (operands.size() < 16) {
            Operand& last = operands.back();
            const Quantity& q = last.quantity;
            if (q.kind == Kind::Year || q.kind == Kind::Calendar || q.kind == Kind::Identifier ||
                q.end != q.suffixEnd)
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

private:
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
                // 1-2天 is 一到两天: 到 follows the 一, said in tone 1.
                q.nextTone = 0;
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
        if (integer && digits >= 3 && !q.ordinal && !q.currency &&
            (RoomNamed(q.begin, rest) || TrainWordsAt(rest))) {
            q.kind = Kind::Identifier;
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
            if (after == U'元' || after == U'块' || after == U'塊') {
                q.suffixEnd = p + 2;
                q.kind = Kind::Money;
            }
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

    // 302室, 307教室, 1208号房间, 房间302, Room 302.
    bool RoomNamed(std::size_t begin, std::u32string_view rest) const {
        return RoomWordAt(rest) ||
               ((rest.starts_with(U'号') || rest.starts_with(U'號')) &&
                RoomWordAt(rest.substr(1))) ||
               RoomBefore(begin);
    }

    // 房间302, 室 302, Room 302, 2单元1101.
    bool RoomBefore(std::size_t begin) const {
        std::size_t p = begin;
        if (At(p - 1) == U' ')
            --p;
        if (p >= 4 && !IsAsciiLetter(At(p - 5))) {
            std::u32string word(text_.View(p - 4, p));
            for (char32_t& c : word)
                c = c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
            if (word == U"room")
                return true;
        }
        if (At(p - 1) == U'元' && (At(p - 2) == U'单' || At(p - 2) == U'單'))
            return true; // 2单元1101
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
        // Three digits or more led by a zero are never a count or a day,
        // whatever follows (0125号柜员, 第007号): a code, said digit by digit.
        const bool zeroLedCode = integer && !q.grouped && q.whole.size() >= 3 && q.whole[0] == '0';
        if (q.kind == Kind::Year) {
            words += DigitWords(q.whole, dialect_, false);
        } else if (q.kind == Kind::Identifier || zeroLedCode ||
                   (integer && !q.grouped && !q.ordinal &&
                    ((q.kind == Kind::Plain && LooksLikeCode(q.whole)) ||
                     (leadingZero && (q.kind == Kind::Plain || q.kind == Kind::Money ||
                                      q.kind == Kind::Measure))))) {
            // Rooms and codes say 一: 幺 belongs to numbers dialled.
            words += DigitWords(q.whole, dialect_, false);
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
};

} // namespace

std::string_view CurrencyWord(char32_t c) {
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

std::size_t ReadQuantity(PieceRewriter& rewriter, std::size_t begin, bool negative) {
    return QuantityReader(rewriter).Chain(begin, negative);
}

} // namespace sonvela::frontend
