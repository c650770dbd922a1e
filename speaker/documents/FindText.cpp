#include "FindText.h"

#include <algorithm>
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

SearchRun::SearchRun(std::int64_t base, GbkString f, const FindOptions& options)
    : f_(std::move(f)), options_(options), position_(base) {}

int SearchRun::Advance(const FindTarget& target, int windows) {
    int searched = 0;
    const std::int64_t size = target.TextSize();
    while (!done_ && searched < windows) {
        std::int64_t start = 0;
        std::int64_t length = 0;
        if (!options_.upwards) {
            if (position_ > size + kDownSlack) {
                done_ = true;
                break;
            }
            start = position_;
            length = start < size ? kWindow : 0;
        } else {
            if (position_ < -kUpSlack) {
                done_ = true;
                break;
            }
            const std::int64_t end = position_;
            start = end >= 0 ? std::max<std::int64_t>(0, end - kWindow) : end;
            length = end - start;
        }
        const std::string padded = Padded(target, start, length, !options_.matchCase);
        const std::size_t at = options_.upwards ? LastIn(padded, f_, options_.wholeWords)
                                                : FirstIn(padded, f_, options_.wholeWords);
        ++searched;
        if (at != std::string::npos) {
            found_ = true;
            done_ = true;
            match_ =
                start + static_cast<std::int64_t>(at) - static_cast<std::int64_t>(kPadding.size());
            break;
        }
        position_ += options_.upwards ? -kStride : kStride;
    }
    return searched;
}

std::int64_t SearchDown(const FindTarget& target, std::int64_t base, std::string_view f,
                        const FindOptions& options) {
    FindOptions down = options;
    down.upwards = false;
    SearchRun run(base, GbkString(f), down);
    while (!run.Done())
        run.Advance(target, 1024);
    return run.Found() ? run.Match() : -1;
}

std::int64_t SearchUp(const FindTarget& target, std::int64_t base, std::string_view f,
                      const FindOptions& options, bool& found) {
    FindOptions up = options;
    up.upwards = true;
    SearchRun run(base, GbkString(f), up);
    while (!run.Done())
        run.Advance(target, 1024);
    found = run.Found();
    return run.Found() ? run.Match() : -1;
}

bool FindSession::SelectionIsLastMatch(const FindTarget& target) const {
    return lastMatch_ >= 0 && target.SelectionStart() == lastSelectionStart_ &&
           target.SelectedText() == lastSelectedText_;
}

SearchRun FindSession::Begin(FindTarget& target, std::string_view search,
                             std::string_view replacement, FindOptions& options, FindStep& step) {
    if (options.fromTop) {
        target.Select(0, 0);
        options.fromTop = false;
        lastMatch_ = -1;
    }
    GbkString f = options.matchCase ? GbkString(search) : LowerAscii(search);
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

    if (options.upwards) {
        const std::int64_t base = insertedAt >= 0 ? insertedAt : target.SelectionStart();
        return SearchRun(base, std::move(f), options);
    }
    std::int64_t base = target.SelectionStart();
    if (SameText(target.SelectedText(), f, options.matchCase)) {
        base += length;
        target.Select(base, 0);
    } else if (SelectionIsLastMatch(target)) {
        base = lastMatch_ + length;
    }
    return SearchRun(base, std::move(f), options);
}

FindStep FindSession::Finish(FindTarget& target, const SearchRun& search, FindStep step) {
    // Downwards a match at -1 (a blank of F on the padding before the text)
    // reads as nothing found, as it always has.
    const bool found = search.Found() && (search.Upwards() || search.Match() != -1);
    if (!found) {
        replaceall = false;
        lastMatch_ = -1;
        target.Focus();
        step.message = NotFound(search.Text(), search.Upwards());
        return step;
    }
    const std::int64_t match = search.Match();
    target.Select(match, static_cast<std::int64_t>(search.Text().size()));
    step.match = match;
    lastMatch_ = match;
    lastSelectionStart_ = target.SelectionStart();
    lastSelectedText_ = target.SelectedText();
    step.found = true;
    return step;
}

FindStep FindSession::Find(FindTarget& target, std::string_view search,
                           std::string_view replacement, FindOptions& options) {
    FindRun run(*this, target, search, replacement, options, false);
    while (!run.Advance(1024)) {
    }
    options = run.Options();
    return run.Step();
}

FindStep FindSession::ReplaceAll(FindTarget& target, std::string_view search,
                                 std::string_view replacement, FindOptions& options) {
    FindRun run(*this, target, search, replacement, options, true);
    while (!run.Advance(1024)) {
    }
    options = run.Options();
    return run.Step();
}

namespace {
// What a find step's own work (the replacement, the selection) counts for
// against a share of windows.
constexpr int kStepCost = 4;
} // namespace

FindRun::FindRun(FindSession& session, FindTarget& target, std::string_view search,
                 std::string_view replacement, const FindOptions& options, bool replaceAll)
    : session_(session), target_(target), search_(search), replacement_(replacement),
      options_(options), replaceAll_(replaceAll) {
    if (replaceAll_)
        session_.replaceall = true;
}

bool FindRun::Advance(int windows) {
    while (!done_ && windows > 0) {
        if (!run_) {
            // "替换以下" goes on while the session's flag stays up.
            if (replaceAll_ && !session_.replaceall) {
                done_ = true;
                break;
            }
            step_ = FindStep{};
            run_.emplace(session_.Begin(target_, search_, replacement_, options_, step_));
            windows -= kStepCost;
        }
        windows -= run_->Advance(target_, std::max(windows, 1));
        if (!run_->Done())
            break;
        step_ = session_.Finish(target_, *run_, step_);
        run_.reset();
        if (!replaceAll_ || !step_.found) {
            done_ = true;
            break;
        }
        // Every match must lie beyond the last one (or beyond the text just
        // inserted) in the search's direction. A search text with blanks can
        // match the padding behind the caret instead, and then the steps
        // would go back and forth for ever: that ends the command.
        if (previous_) {
            const bool progressed =
                options_.upwards ? step_.match < (step_.replaced ? step_.insertedAt : *previous_)
                : step_.replaced ? step_.match >= step_.insertedAt + step_.insertedLength
                                 : step_.match > *previous_;
            if (!progressed) {
                session_.replaceall = false;
                step_.message =
                    NotFound(options_.matchCase ? search_ : LowerAscii(search_), options_.upwards);
                done_ = true;
                break;
            }
        }
        previous_ = step_.match;
    }
    return done_;
}

int FindRun::Percent() const {
    if (done_)
        return 100;
    const std::int64_t size = std::max<std::int64_t>(1, target_.TextSize());
    std::int64_t at = 0;
    if (run_)
        at = run_->Position();
    else if (previous_)
        at = *previous_;
    else
        return 0;
    at = std::clamp<std::int64_t>(at, 0, size);
    return static_cast<int>((options_.upwards ? size - at : at) * 100 / size);
}

} // namespace sonvela
