#include "DigitStringReadings.h"

#include "MeasureWords.h"
#include "NumberContext.h"
#include "NumberWords.h"

#include <utility>
#include <vector>

namespace sonvela::frontend {

namespace {

class DigitStringReader : NumberReader {
public:
    explicit DigitStringReader(PieceRewriter& rewriter) : NumberReader(rewriter) {}

    // Digits right after Latin capitals are a code: A023, G1234, B2. Codes
    // say 一, not the 幺 of a number dialled.
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
        Replace(i, end, DigitWords(text_.Digits(i, end), dialect_, false));
        return end;
    }

    // A number the words around it name as one to dial (急救电话120, 请拨打
    // 12315, 12345热线) or as a code (验证码是4096, 订单号8826): digit by digit, with
    // 幺 only for the one dialled. Groups split by '-' or spaces are read as
    // written (卡号 6222 0212).
    std::size_t TryNamed(std::size_t i) {
        NumberName name = NumberNameBefore(text_, i);
        if (name == NumberName::None && DialledWordsAt(text_.From(text_.DigitRunEnd(i))))
            name = NumberName::Dialled;
        if (name == NumberName::None)
            return 0;
        // A phone number dialled keeps the groups it is spoken in.
        if (name == NumberName::Dialled)
            if (const std::size_t end = TryPhone(i))
                return end;
        std::size_t end = text_.DigitRunEnd(i);
        // Service numbers have three digits at least; 拨打3次 is a count.
        constexpr std::size_t kShortestDialled = 3;
        // 车次1461次, 1461次列车: the 次 of a train, not a count.
        const bool train =
            At(end) == U'次' && (name == NumberName::Code || TrainWordsAt(text_.From(end)));
        if ((name == NumberName::Dialled && end - i < kShortestDialled) ||
            (QuantityFollows(end) && !train))
            return 0;
        const bool yao = name == NumberName::Dialled;
        std::string words = DigitWords(text_.Digits(i, end), dialect_, yao);
        while ((At(end) == U'-' || At(end) == U' ') && DigitAt(end + 1)) {
            const std::size_t groupEnd = text_.DigitRunEnd(end + 1);
            if (groupEnd - end - 1 < 2 || QuantityFollows(groupEnd))
                break;
            words += ' ';
            words += DigitWords(text_.Digits(end + 1, groupEnd), dialect_, yao);
            end = groupEnd;
        }
        Replace(i, end, std::move(words));
        return end;
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

    // +86 138…: the country code of a phone number, 加八六.
    std::size_t TryCountryCode(std::size_t plus) {
        const std::size_t end = text_.DigitRunEnd(plus + 1);
        if (end - plus - 1 > 3 || (At(end) != U' ' && At(end) != U'-') || !DigitAt(end + 1))
            return 0;
        Replace(plus, end, "加" + DigitWords(text_.Digits(plus + 1, end), dialect_, true));
        return end;
    }

private:
    // What makes the digits before `p` an amount, a time or a date, not
    // something named: 验证码10分钟内有效, 下拨100万.
    bool QuantityFollows(std::size_t p) const {
        const char32_t c = At(p);
        if ((c == U'.' || c == U',' || c == U':' || c == U'/') && DigitAt(p + 1))
            return true;
        if (std::u32string_view(U"%‰万萬亿億千百多年月日号號点點时時").find(c) !=
            std::u32string_view::npos)
            return true;
        const std::u32string_view rest = text_.From(p);
        return MeasureWordAt(rest) || UnitAt(rest);
    }
};

} // namespace

std::size_t ReadCode(PieceRewriter& rewriter, std::size_t i) {
    return DigitStringReader(rewriter).TryCode(i);
}

std::size_t ReadNamedNumber(PieceRewriter& rewriter, std::size_t i) {
    return DigitStringReader(rewriter).TryNamed(i);
}

std::size_t ReadPhoneNumber(PieceRewriter& rewriter, std::size_t i) {
    return DigitStringReader(rewriter).TryPhone(i);
}

std::size_t ReadCountryCode(PieceRewriter& rewriter, std::size_t plus) {
    return DigitStringReader(rewriter).TryCountryCode(plus);
}

} // namespace sonvela::frontend
