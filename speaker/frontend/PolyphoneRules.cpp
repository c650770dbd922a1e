#include "PolyphoneRules.h"

namespace sonvela::frontend {

namespace {

constexpr std::u32string_view kChineseDigits = U"〇零一二三四五六七八九十两";

bool In(std::u32string_view set, char32_t c) {
    return c != 0 && set.find(c) != std::u32string_view::npos;
}

bool IsHan(char32_t c) {
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0x20000 && c <= 0x2FFFF) ||
           (c >= 0xF900 && c <= 0xFAFF);
}

// A single polyphone's reading when its neighbour is one of a few characters.
// Each rule is the reading the voice gets wrong in shop, bank and station
// text; outside these neighbours the voice's own reading is the common one.
struct NeighbourRule {
    char32_t character;
    bool lookBack; // the neighbour before (else the one after)
    std::u32string_view neighbours;
    std::string_view reading;
};

constexpr NeighbourRule kNeighbourRules[] = {
    {U'还', false, U"钱书款给贷债清车回账帐", "huan2"},
    {U'长', false, U"大高胖得出满", "zhang3"},
    {U'重', false, U"新复启来做写试装建播组办置设修选拨输印拍排审发开订申", "chong2"},
    // Bank names shortened to their first character: 工行, 建行, 本行 ...
    {U'行', true, U"工建农中交招我本该总支分银", "hang2"},
    {U'教', false, U"你我他她您们大孩小学书课人", "jiao1"},
    // "must": 我得走, 还得排队; after any other word 得 is the particle.
    {U'得', true, U"我你他她您们就还也都总又才", "dei3"},
    {U'着', true, U"睡找猜", "zhao2"},
    {U'数', false, U"一钱到不清着了过", "shu3"},
    {U'调', false, U"好高低至成到价大小直", "tiao2"},
    {U'种', false, U"树地菜花田草", "zhong4"},
    {U'只', true, U"一两二三四五六七八九十几这那每半某", "zhi1"},
    {U'觉', true, U"一个午睡好", "jiao4"},
    {U'量', false, U"体血", "liang2"},
};

// The reading of a lone polyphone whatever its neighbours: the voice reads
// a lone 着 as zhuo, where text almost always means the particle.
struct LoneRule {
    char32_t character;
    std::string_view reading;
};

constexpr LoneRule kLoneRules[] = {
    {U'着', "zhe5"},
};

char32_t Before(const std::vector<Syllable>& syllables, std::size_t i,
                const SyllableContext& context) {
    return i > 0 ? syllables[i - 1].character : context.before;
}

char32_t After(const std::vector<Syllable>& syllables, std::size_t i,
               const SyllableContext& context) {
    return i + 1 < syllables.size() ? syllables[i + 1].character : context.after;
}

int ToneAfter(const std::vector<Syllable>& syllables, std::size_t i,
              const SyllableContext& context) {
    return i + 1 < syllables.size() ? syllables[i + 1].tone : context.afterTone;
}

// Nothing Chinese follows: a stop, a line end, the end of the text. A
// neighbouring final piece of pinyin is Latin but still a syllable.
bool AtClauseEnd(const std::vector<Syllable>& syllables, std::size_t i,
                 const SyllableContext& context) {
    if (i + 1 < syllables.size())
        return !IsHan(syllables[i + 1].character);
    return !IsHan(context.after) && context.afterTone == 0;
}

bool IsAsciiDigitOrCapital(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z');
}

// A number as the normaliser spells it in pinyin: "yi4" of "yi4百".
bool IsNumberSyllable(std::string_view syllable) {
    const std::size_t letters = syllable.find_first_not_of("abcdefghijklmnopqrstuvwxyz");
    const std::string_view bare = syllable.substr(0, letters);
    constexpr std::string_view kNumbers[] = {"ling", "yi",  "er",    "san", "si",  "wu",
                                             "liu",  "qi",  "ba",    "jiu", "shi", "bai",
                                             "qian", "wan", "liang", "yao", "fu"};
    for (const std::string_view number : kNumbers)
        if (bare == number)
            return true;
    return false;
}

// 为 reads wei2 ("is") before an amount, a code or a number however the
// stage before has written it: 余额为负三十五点六元, 号码为幺八六…, 为yi4百,
// 车牌号为京A一二三. After 已, 将, 曾… it is wei4 ("for"): 本店已为三千位顾客.
bool IsBeforeNumber(const std::vector<Syllable>& syllables, std::size_t i,
                    const SyllableContext& context) {
    constexpr std::u32string_view kForAfter = U"已将曾正特专来去";
    if (In(kForAfter, Before(syllables, i, context)))
        return false;
    const char32_t after = After(syllables, i, context);
    if (In(U"〇零一二三四五六七八九十两百千万幺负几每约止", after) || IsAsciiDigitOrCapital(after))
        return true;
    if (i + 1 == syllables.size())
        return IsNumberSyllable(context.afterPinyin);
    // A plate or code led by one character: 京A, 沪B, whose letter may
    // already sit in the next piece.
    if (!IsHan(after))
        return false;
    return IsAsciiDigitOrCapital(i + 2 < syllables.size() ? syllables[i + 2].character
                                                          : context.after);
}

void Pin(Syllable& syllable, std::string_view reading) {
    syllable.pinyin = reading;
    syllable.tone = ToneOf(reading);
}

// 一 keeps its own first tone where it is a number rather than "a": counting
// (一二三, 十一), ordinals (第一, 一月, 一号线, 一楼, 地下一层, 负一楼, 一等座),
// at the end of a word (统一, 唯一) and before anything not Chinese.
bool KeepsFirstTone(const std::vector<Syllable>& syllables, std::size_t i,
                    const SyllableContext& context) {
    const char32_t before = Before(syllables, i, context);
    const char32_t after = After(syllables, i, context);
    if (before == U'第' || before == U'初' || before == U'负' || In(kChineseDigits, before))
        return true;
    if (In(kChineseDigits, after) || In(U"月号楼层等", after))
        return true;
    if (syllables[i].wordEnd)
        return true;
    if (after == U'年' && i + 2 < syllables.size() && syllables[i + 2].character == U'级')
        return true;
    // A pinned neighbour piece ("yin2 hang2") is not Chinese characters but
    // still has a tone to follow.
    if (!IsHan(after))
        return i + 1 < syllables.size() || context.afterTone == 0;
    return false;
}

// The tone that decides: a neutral next syllable counts by its character's
// everyday tone (一个 is yi2 ge5, as ge4 would have it).
int DecidingTone(int tone, int fallback) {
    return tone >= 1 && tone <= 4 ? tone : fallback;
}

} // namespace

int ToneOf(std::string_view syllable) {
    if (syllable.empty())
        return 0;
    const char last = syllable.back();
    return last >= '1' && last <= '5' ? last - '0' : 0;
}

void ApplyContextRules(std::vector<Syllable>& syllables, const SyllableContext& context) {
    for (std::size_t i = 0; i < syllables.size(); ++i) {
        Syllable& syllable = syllables[i];
        if (syllable.wordLength > 1 || !syllable.pinyin.empty())
            continue;
        bool pinned = false;
        for (const NeighbourRule& rule : kNeighbourRules) {
            if (rule.character != syllable.character)
                continue;
            const char32_t neighbour =
                rule.lookBack ? Before(syllables, i, context) : After(syllables, i, context);
            if (In(rule.neighbours, neighbour)) {
                Pin(syllable, rule.reading);
                pinned = true;
                break;
            }
        }
        if (!pinned && syllable.character == U'为' && IsBeforeNumber(syllables, i, context)) {
            Pin(syllable, "wei2");
            pinned = true;
        }
        // 还 as "still" never ends a clause; 请稍后再还 means give back.
        if (!pinned && syllable.character == U'还' && AtClauseEnd(syllables, i, context)) {
            Pin(syllable, "huan2");
            pinned = true;
        }
        // The particle 地 always has a verb after it; before a stop or at the
        // end it is the ground (这块地。), which the voice reads de5.
        if (!pinned && syllable.character == U'地' && IsHan(Before(syllables, i, context)) &&
            AtClauseEnd(syllables, i, context)) {
            Pin(syllable, "di4");
            pinned = true;
        }
        for (const LoneRule& rule : kLoneRules)
            if (!pinned && rule.character == syllable.character)
                Pin(syllable, rule.reading);
    }
}

void ApplyToneChanges(std::vector<Syllable>& syllables, const SyllableContext& context) {
    // Right to left, so the syllable after has its final tone: 不一定 is
    // bu4 yi2 ding4, decided by yi2.
    for (std::size_t i = syllables.size(); i-- > 0;) {
        Syllable& syllable = syllables[i];
        const bool one = syllable.character == U'一';
        if (!one && syllable.character != U'不')
            continue;
        // A table word that already reads it neutral (对不起) knows better.
        if (ToneOf(syllable.pinyin) == 5)
            continue;
        const char32_t before = Before(syllables, i, context);
        const char32_t after = After(syllables, i, context);
        const bool last = i + 1 == syllables.size();
        const int next = ToneAfter(syllables, i, context);
        const int deciding = DecidingTone(next, last ? 0 : syllables[i + 1].characterTone);
        std::string_view reading;
        // A verb doubled round 一 or 不 (看一看, 要不要) reads it neutral; a
        // measure doubled (一位一位) is no such verb.
        const bool doubled = IsHan(before) && before == after && before != U'一' &&
                             before != U'不' && (i < 2 || syllables[i - 2].character != U'一');
        if (doubled && one) {
            reading = "yi5";
            // The second 数 of 数一数 reads as the first.
            if (i > 0 && i + 1 < syllables.size() && !syllables[i - 1].pinyin.empty() &&
                syllables[i + 1].wordLength == 1)
                Pin(syllables[i + 1], syllables[i - 1].pinyin);
        } else if (doubled) {
            reading = "bu5";
        } else if (one) {
            if (KeepsFirstTone(syllables, i, context) || deciding == 0)
                reading = "yi1";
            else
                reading = deciding == 4 ? "yi2" : "yi4";
        } else {
            reading = deciding == 4 ? "bu2" : "bu4";
        }
        // The voice reads 一 as yi1 and 不 as bu4 by itself: pin only a change
        // (or keep the pin of a table word, now with its tone right).
        if (!syllable.pinyin.empty() || (reading != "yi1" && reading != "bu4"))
            Pin(syllable, reading);
        else
            syllable.tone = ToneOf(reading);
    }
}

} // namespace sonvela::frontend
