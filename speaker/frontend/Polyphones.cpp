#include "Polyphones.h"

#include "PinyinDictionary.h"
#include "PolyphoneRules.h"
#include "Utf8.h"

#include <algorithm>
#include <vector>

namespace sonvela::frontend {

namespace {

bool StartsWithLatinLetter(std::string_view text) {
    return !text.empty() &&
           ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
}

int CharacterTone(const PinyinDictionary& dictionary, char32_t c) {
    const auto reading = dictionary.CharacterReading(c);
    return reading ? ToneOf(*reading) : 0;
}

char32_t FirstCharacter(std::string_view text) {
    const std::u32string decoded = DecodeUtf8(text.substr(0, 4));
    return decoded.empty() ? 0 : decoded.front();
}

char32_t LastCharacter(std::string_view text) {
    std::size_t start = text.size() > 0 ? text.size() - 1 : 0;
    while (start > 0 && text.size() - start < 4 &&
           (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    const std::u32string decoded = DecodeUtf8(text.substr(start));
    return decoded.empty() ? 0 : decoded.back();
}

// What the rules may read of the pieces around open piece `index`.
SyllableContext ContextAround(const PinyinDictionary& dictionary, const Pieces& pieces,
                              std::size_t index) {
    SyllableContext context;
    if (index > 0)
        context.before = LastCharacter(pieces[index - 1].text);
    if (index + 1 < pieces.size()) {
        const std::string& next = pieces[index + 1].text;
        context.after = FirstCharacter(next);
        if (pieces[index + 1].final && StartsWithLatinLetter(next)) {
            context.afterTone = ToneOf(next.substr(0, next.find(' ')));
            if (next[0] >= 'a' && next[0] <= 'z')
                context.afterPinyin = next.substr(0, next.find(' '));
        } else if (context.after != 0)
            context.afterTone = CharacterTone(dictionary, context.after);
    }
    return context;
}

// The longest match at the start of `text`, unless a far more common word
// starts on its last character: then the match gives that character up
// (本|店长|期 becomes 本|店|长期, as 长期 is read far more often than 店长).
// One more look-up a word keeps the cut linear in the text.
PinyinDictionary::Match WordAt(const PinyinDictionary& dictionary, std::u32string_view text) {
    // Commonness is in half decades: three of them is some thirty times.
    constexpr int kFarMoreCommon = 3;
    const PinyinDictionary::Match match = dictionary.LongestWordAt(text);
    if (match.length < 2 || match.length >= text.size())
        return match;
    const PinyinDictionary::Match overlapping =
        dictionary.LongestWordAt(text.substr(match.length - 1));
    if (overlapping.length < 2 || overlapping.commonness < match.commonness + kFarMoreCommon)
        return match;
    // What is left of the word: the longest word within it, or a character.
    return dictionary.LongestWordAt(text.substr(0, match.length - 1));
}

// The text cut by longest match into table words and single characters,
// each character with the reading the table pins, if any.
std::vector<Syllable> Segment(const PinyinDictionary& dictionary, std::u32string_view text) {
    std::vector<Syllable> syllables(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const PinyinDictionary::Match match = WordAt(dictionary, text.substr(i));
        const std::size_t length = match.length > 0 ? match.length : 1;
        std::string_view reading = match.reading;
        for (std::size_t k = 0; k < length; ++k) {
            Syllable& syllable = syllables[i + k];
            syllable.character = text[i + k];
            syllable.characterTone = CharacterTone(dictionary, syllable.character);
            syllable.wordLength = length;
            syllable.wordEnd = length > 1 && k + 1 == length;
            if (!reading.empty()) {
                const std::size_t space = reading.find(' ');
                syllable.pinyin = reading.substr(0, space);
                reading.remove_prefix(space == std::string_view::npos ? reading.size() : space + 1);
                syllable.tone = ToneOf(syllable.pinyin);
            } else {
                syllable.tone = syllable.characterTone;
            }
        }
        i += length;
    }
    return syllables;
}

// Characters the voice reads itself stay an open piece; pinned syllables
// become one final piece per run, spaced so they never run together.
void Emit(const std::vector<Syllable>& syllables, Pieces& out) {
    std::string open;
    std::string pinned;
    const auto flush = [&] {
        AppendPiece(out, std::move(open), false);
        if (!pinned.empty())
            out.push_back({std::move(pinned), true});
        open.clear();
        pinned.clear();
    };
    for (const Syllable& syllable : syllables) {
        if (syllable.pinyin.empty()) {
            if (!pinned.empty())
                flush();
            AppendUtf8(open, syllable.character);
        } else {
            if (!open.empty())
                flush();
            if (!pinned.empty())
                pinned += ' ';
            pinned += syllable.pinyin;
        }
    }
    flush();
}

// Where a long open text may be cut: after a line end or a Chinese clause
// mark, which no word spans and no rule looks across; a text with none is
// cut anyway every few thousand bytes, at a character's edge. The work then
// stays in step with the text however long it is.
std::size_t ClauseEnd(std::string_view text, std::size_t start) {
    constexpr std::size_t kLongest = 4096;
    constexpr std::string_view kMarks[] = {"。", "！", "？", "；", "，", "\n"};
    for (std::size_t i = start; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // Past the limit, rather before a character that is no Chinese
        // (whose UTF-8 starts below E3) than inside a word.
        if (i - start >= kLongest && (byte & 0xC0) != 0x80 &&
            (byte < 0xE3 || i - start >= 2 * kLongest))
            return i;
        for (const std::string_view mark : kMarks)
            if (text.substr(i, mark.size()) == mark)
                return i + mark.size();
    }
    return text.size();
}

void PinOpenText(const PinyinDictionary& dictionary, std::string_view text,
                 const SyllableContext& around, Pieces& out) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = ClauseEnd(text, start);
        const std::string_view clause = text.substr(start, end - start);
        SyllableContext context = around;
        if (start > 0)
            context.before = LastCharacter(text.substr(0, start));
        if (end < text.size()) {
            context.after = FirstCharacter(text.substr(end));
            context.afterTone = CharacterTone(dictionary, context.after);
            context.afterPinyin.clear();
        }
        std::vector<Syllable> syllables = Segment(dictionary, DecodeUtf8(clause));
        ApplyContextRules(syllables, context);
        ApplyToneChanges(syllables, context);
        const bool anyPinned = std::any_of(syllables.begin(), syllables.end(),
                                           [](const Syllable& s) { return !s.pinyin.empty(); });
        // Untouched text goes on byte for byte, not re-encoded.
        if (anyPinned)
            Emit(syllables, out);
        else
            AppendPiece(out, std::string(clause), false);
        start = end;
    }
}

} // namespace

Pieces PinPolyphones(const Pieces& pieces) {
    const PinyinDictionary& dictionary = PinyinDictionary::Builtin();
    Pieces out;
    out.reserve(pieces.size());
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        const Piece& piece = pieces[index];
        if (piece.final)
            out.push_back(piece);
        else
            PinOpenText(dictionary, piece.text, ContextAround(dictionary, pieces, index), out);
    }
    return out;
}

std::string PinPolyphones(std::string_view utf8) {
    return JoinPieces(PinPolyphones(Pieces{{std::string(utf8), false}}));
}

} // namespace sonvela::frontend
