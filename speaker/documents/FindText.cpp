#include "FindText.h"

#include <array>
#include <optional>

namespace sonvela {
namespace {

constexpr std::int64_t kWindow = 250;
constexpr std::int64_t kStride = 225;
// How far beyond the text's end (downwards) and before its start (upwards)
// windows are still tried.
constexpr std::int64_t kDownSlack = 222;
constexpr std::int64_t kUpSlack = 251;
constexpr std::string_view kPadding = "  ";

// Whole-word patterns: the byte before and the byte after the word.
struct WordPattern {
    char before;
    char after;
};
constexpr std::array<WordPattern, 4> kDownPatterns{
    {{' ', ' '}, {'\n', ' '}, {'\n', '\n'}, {' ', '\n'}}};

std::string Padded(const FindTarget& target, std::int64_t start, std::int64_t length, bool lower) {
    GbkString window = length > 0 ? target.Window(start, length) : GbkString();
    if (lower)
        window = LowerAscii(window);
    std::string padded;
    padded.reserve(window.size() + 4);
    padded += kPadding;
    padded += window;
    padded += kPadding;
    return padded;
}

// Position of F's first byte within the padded window, or npos.
std::size_t FirstIn(const std::string& padded, std::string_view f, bool wholeWords) {
    if (!wholeWords)
        return padded.find(f);
    std::size_t best = std::string::npos;
    for (const WordPattern& pattern : kDownPatterns) {
        const std::string word = pattern.before + std::string(f) + pattern.after;
        const std::size_t at = padded.find(word);
        if (at != std::string::npos && (best == std::string::npos || at + 1 < best))
            best = at + 1;
    }
    return best;
}

std::size_t LastIn(const std::string& padded, std::string_view f, bool wholeWords) {
    if (!wholeWords)
        return padded.rfind(f);
    std::size_t best = std::string::npos;
    for (const WordPattern& pattern : kDownPatterns) {
        const std::string word = pattern.before + std::string(f) + pattern.after;
        const std::size_t at = padded.rfind(word);
        if (at != std::string::npos && (best == std::string::npos || at + 1 > best))
            best = at + 1;
    }
    return best;
}

bool SameText(std::string_view selected, std::string_view f, bool matchCase) {
    return matchCase ? selected == f : LowerAscii(selected) == f;
}

std::string NotFound(std::string_view f, bool upwards) {
    return "\"" + GbkToUtf8(f) + (upwards ? "\"" : "\" ") + "没有找到。";
}

} // namespace

GbkString LowerAscii(std::string_view text) {
    GbkString out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::int64_t SearchDown(const FindTarget& target, std::int64_t base, std::string_view f,
                        const FindOptions& options) {
    const std::int64_t size = target.TextSize();
    for (std::int64_t start = base; start <= size + kDownSlack; start += kStride) {
        const std::int64_t length = start < size ? kWindow : 0;
        const std::string padded = Padded(target, start, length, !options.matchCase);
        const std::size_t at = FirstIn(padded, f, options.wholeWords);
        if (at != std::string::npos)
            return start + static_cast<std::int64_t>(at) -
                   static_cast<std::int64_t>(kPadding.size());
    }
    return -1;
}

std::int64_t SearchUp(const FindTarget& target, std::int64_t base, std::string_view f,
                      const FindOptions& options, bool& found) {
    found = false;
    for (std::int64_t end = base; end >= -kUpSlack; end -= kStride) {
        const std::int64_t start = end >= 0 ? std::max<std::int64_t>(0, end - kWindow) : end;
        const std::string padded = Padded(target, start, end - start, !options.matchCase);
        const std::size_t at = LastIn(padded, f, options.wholeWords);
        if (at != std::string::npos) {
            found = true;
            return start + static_cast<std::int64_t>(at) -
                   static_cast<std::int64_t>(kPadding.size());
        }
    }
    return -1;
}

bool FindSession::SelectionIsLastMatch(const FindTarget& target) const {
    return lastMatch_ >= 0 && target.SelectionStart() == lastSelectionStart_ &&
           target.SelectedText() == lastSelectedText_;
}

FindStep FindSession::Find(FindTarget& target, std::string_view search,
                           std::string_view replacement, FindOptions& options) {
    FindStep step;
    if (options.fromTop) {
        target.Select(0, 0);
        options.fromTop = false;
        lastMatch_ = -1;
    }
    const GbkString f = options.matchCase ? GbkString(search) : LowerAscii(search);
    const auto length = static_cast<std::int64_t>(f.size());

    std::int64_t insertedAt = -1;
    if (!replacement.empty() && SameText(target.SelectedText(), f, options.matchCase)) {
        insertedAt = target.SelectionStart();
        target.ReplaceSelection(GbkString(replacement));
        step.replaced = true;
        step.insertedAt = insertedAt;
        step.insertedLength = static_cast<std::int64_t>(replacement.size());
        lastMatch_ = -1;
    }

    std::int64_t match = -1;
    bool found = false;
    if (!options.upwards) {
        std::int64_t base = target.SelectionStart();
        if (SameText(target.SelectedText(), f, options.matchCase)) {
            base += length;
            target.Select(base, 0);
        } else if (SelectionIsLastMatch(target)) {
            base = lastMatch_ + length;
        }
        match = SearchDown(target, base, f, options);
        found = match != -1;
    } else {
        const std::int64_t base = insertedAt >= 0 ? insertedAt : target.SelectionStart();
        match = SearchUp(target, base, f, options, found);
    }

    if (!found) {
        replaceall = false;
        lastMatch_ = -1;
        target.Focus();
        step.message = NotFound(f, options.upwards);
        return step;
    }
    target.Select(match, length);
    step.match = match;
    lastMatch_ = match;
    lastSelectionStart_ = target.SelectionStart();
    lastSelectedText_ = target.SelectedText();
    step.found = true;
    return step;
}

FindStep FindSession::ReplaceAll(FindTarget& target, std::string_view search,
                                 std::string_view replacement, FindOptions& options) {
    replaceall = true;
    FindStep step;
    std::optional<std::int64_t> previous;
    while (replaceall) {
        step = Find(target, search, replacement, options);
        if (!step.found)
            break;
        // Every match must lie beyond the last one (or beyond the text just
        // inserted) in the search's direction. A search text with blanks can
        // match the padding behind the caret instead, and then the steps
        // would go back and forth for ever: that ends the command.
        if (previous) {
            const bool progressed =
                options.upwards ? step.match < (step.replaced ? step.insertedAt : *previous)
                : step.replaced ? step.match >= step.insertedAt + step.insertedLength
                                : step.match > *previous;
            if (!progressed) {
                replaceall = false;
                step.message = NotFound(options.matchCase ? GbkString(search) : LowerAscii(search),
                                        options.upwards);
                break;
            }
        }
        previous = step.match;
    }
    return step;
}

} // namespace sonvela
