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
//   numbers named as dialled (急救电话120, 请拨打12315) or as codes
//   (验证码是4096, 订单号8826), codes after Latin letters (G1234 G一二三四),
//   room numbers (302室 三零二室, 307教室), numbers of five or more digits
//   with no unit and numbers with leading zeros. In Mandarin only numbers
//   dialled say 幺 for 1, as announcers do; codes, rooms and years say 一
//   (G一二三四, 一九九八年). Cantonese says 一 throughout: its voice has no 幺.
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

#include "ClockAndDateReadings.h"
#include "DigitStringReadings.h"
#include "PieceRewriter.h"
#include "QuantityReadings.h"

namespace sonvela::frontend {

namespace {

// A run of digits at `i`; `begin` is where its minus sign starts. The kinds
// that read the most particular shapes go first; a plain quantity reads
// whatever is left, so a run of digits is always read whole.
std::size_t ReadFromDigit(PieceRewriter& rewriter, std::size_t i, std::size_t begin,
                          bool negative) {
    if (!negative) {
        for (auto* read : {&ReadCode, &ReadNumericDate, &ReadNamedNumber, &ReadPhoneNumber,
                           &ReadClock, &ReadMinutesAfterWrittenHour})
            if (const std::size_t end = read(rewriter, i))
                return end;
    }
    if (const std::size_t end = ReadFractionOrDate(rewriter, i, begin, negative))
        return end;
    return ReadQuantity(rewriter, begin, negative);
}

// Reads what starts at `i`; returns the index past it, or 0 when nothing
// starts there.
std::size_t ReadAt(PieceRewriter& rewriter, std::size_t i) {
    const NumberText& text = rewriter.Text();
    const char32_t c = text.At(i);
    const char32_t before = text.At(i - 1);
    if (IsDigit(c))
        return ReadFromDigit(rewriter, i, i, false);
    if (c == U'-' && IsDigit(text.At(i + 1)) && !IsDigit(before) && !IsAsciiLetter(before) &&
        before != U'.')
        return ReadFromDigit(rewriter, i + 1, i, true);
    if (!CurrencyWord(c).empty() && IsDigit(text.At(i + 1)))
        return ReadQuantity(rewriter, i, false);
    if (c == U'+' && IsDigit(text.At(i + 1)) && !IsDigit(before))
        return ReadCountryCode(rewriter, i);
    if (c == U'正')
        return ReadWrittenWholeHour(rewriter, i);
    return 0;
}

} // namespace

Pieces NormalizeText(const Pieces& pieces, Dialect dialect) {
    Pieces out;
    out.reserve(pieces.size());
    bool rewrote = false;
    for (const Piece& piece : pieces) {
        if (piece.final || !MayHoldNumber(piece.text)) {
            AppendPiece(out, piece.text, piece.final);
            continue;
        }
        PieceRewriter rewriter(piece.text, dialect, out);
        for (std::size_t i = 0; i < rewriter.Text().size();) {
            const std::size_t next = ReadAt(rewriter, i);
            i = next > i ? next : i + 1;
        }
        if (rewriter.Finish())
            rewrote = true;
        else
            AppendPiece(out, piece.text, false);
    }
    // Untouched text comes back exactly as it came, empty pieces and all.
    return rewrote ? out : pieces;
}

std::string NormalizeText(std::string_view utf8, Dialect dialect) {
    return JoinPieces(NormalizeText(Pieces{{std::string(utf8), false}}, dialect));
}

} // namespace sonvela::frontend
