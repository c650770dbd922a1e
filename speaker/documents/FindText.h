// Find and replace over the editor's text, in GBK bytes.
//
// The search walks the text in windows of 250 bytes that start 225 bytes
// apart, each padded with two blanks on either side. The scheme decides what
// is found, and operators rely on it: an occurrence of up to 25 bytes is
// always found, a longer one straddling two windows is passed over, and a
// search text with blanks at its ends can match the padding. Comparisons are
// byte by byte; without match case only ASCII capitals are lowered, so a
// Latin letter can match the second byte of a Chinese character.
//
// The editor keeps a line break as one LF byte where a saved file has CR LF,
// so the whole-word patterns that the file's CR would close end in LF here:
// a word at a line's end is followed by that LF.
//
// Each step asks the editor only for the windows it searches, never for the
// whole text: replacing every match in a long text costs in proportion to
// the text, not to the text times the matches.
#pragma once

#include "GbkText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sonvela {

// The editor as the search sees it; offsets and lengths in GBK bytes.
class FindTarget {
public:
    virtual ~FindTarget() = default;
    virtual std::int64_t TextSize() const = 0;
    // The bytes [offset, offset + length) that exist.
    virtual GbkString Window(std::int64_t offset, std::int64_t length) const = 0;
    virtual std::int64_t SelectionStart() const = 0;
    virtual GbkString SelectedText() const = 0;
    // Selects the bytes, gives the editor the focus and brings the caret
    // into view.
    virtual void Select(std::int64_t start, std::int64_t length) = 0;
    // Replaces the selection with `text`; the caret ends just after it.
    virtual void ReplaceSelection(const GbkString& text) = 0;
    virtual void Focus() = 0;
};

struct FindOptions {
    bool matchCase = false;  // "区分大小写"
    bool wholeWords = false; // "全部"
    bool fromTop = false;    // "从顶部开始": acts once, then is cleared
    bool upwards = false;    // "向上查找"
};

struct FindStep {
    bool found = false;
    bool replaced = false;
    std::int64_t match = -1;      // where the selected match begins
    std::int64_t insertedAt = -1; // where a replacement was inserted
    std::int64_t insertedLength = 0;
    // The not-found message (UTF-8); empty when something was found.
    std::string message;
};

// Lowers ASCII capitals only, byte by byte.
GbkString LowerAscii(std::string_view text);

// Where F first occurs in the windows from `base` downwards, or -1.
std::int64_t SearchDown(const FindTarget& target, std::int64_t base, std::string_view f,
                        const FindOptions& options);
// Where the occurrence nearest before `base` (window by window) begins, or -1.
// Sets `found` since a match may begin before the text's start when F begins
// with blanks that match the padding.
std::int64_t SearchUp(const FindTarget& target, std::int64_t base, std::string_view f,
                      const FindOptions& options, bool& found);

// One search, window by window, that can stop after any number of windows
// and go on later: a long text is searched a part at a time, so that the
// window answers in between. Searches F (already lowered when the case does
// not matter) from `base` down, or up.
class SearchRun {
public:
    SearchRun(std::int64_t base, GbkString f, const FindOptions& options);

    // Searches at most `windows` more windows; returns how many it searched.
    int Advance(const FindTarget& target, int windows);
    bool Done() const { return done_; }
    bool Found() const { return found_; }
    // Where the match begins (it may lie before the text when F begins with
    // blanks that matched the padding); -1 when nothing was found.
    std::int64_t Match() const { return match_; }
    // The next window's start (down) or end (up).
    std::int64_t Position() const { return position_; }
    const GbkString& Text() const { return f_; }
    bool Upwards() const { return options_.upwards; }

private:
    GbkString f_;
    FindOptions options_;
    std::int64_t position_;
    std::int64_t match_ = -1;
    bool found_ = false;
    bool done_ = false;
};

class FindSession;

// A find command ("查找", "查找与替换" or "替换以下") carried out in parts.
// Each Advance does a bounded share of the work; the selection and the text
// change only inside Advance, and only as the command would change them in
// one go. `session` and `target` must outlive the run.
class FindRun {
public:
    FindRun(FindSession& session, FindTarget& target, std::string_view search,
            std::string_view replacement, const FindOptions& options, bool replaceAll);

    // Goes on for about `windows` windows of search (a replacement counts as
    // a few); returns true once the command has ended.
    bool Advance(int windows);
    bool Done() const { return done_; }
    // The command's last step, whose message is the one to show.
    const FindStep& Step() const { return step_; }
    // The options as the command leaves them ("从顶部开始" cleared).
    const FindOptions& Options() const { return options_; }
    // How far through the text the command has come, 0 to 100.
    int Percent() const;

private:
    FindSession& session_;
    FindTarget& target_;
    GbkString search_;
    GbkString replacement_;
    FindOptions options_;
    bool replaceAll_;
    std::optional<SearchRun> run_;
    std::optional<std::int64_t> previous_;
    FindStep step_;
    bool done_ = false;
};

class FindSession {
public:
    // One search step ("查找" with an empty replacement, "查找与替换" with
    // the replacement). Clears options.fromTop once it has acted.
    FindStep Find(FindTarget& target, std::string_view search, std::string_view replacement,
                  FindOptions& options);
    // "替换以下": repeats the step until one finds nothing. Returns that last
    // step, whose message is the one to show.
    FindStep ReplaceAll(FindTarget& target, std::string_view search, std::string_view replacement,
                        FindOptions& options);
    bool replaceall = false;

private:
    friend class FindRun;
    // A find step in two parts around its search: Begin acts on the
    // selection ("从顶部开始", the replacement) and returns the search to
    // run; Finish selects what it found or gives the not-found message.
    SearchRun Begin(FindTarget& target, std::string_view search, std::string_view replacement,
                    FindOptions& options, FindStep& step);
    FindStep Finish(FindTarget& target, const SearchRun& search, FindStep step);
    bool SelectionIsLastMatch(const FindTarget& target) const;

    // The match the last step selected. A match that begins inside a Chinese
    // character cannot be selected exactly (the editor selects whole
    // characters), so the next step recognises the selection it made and
    // passes over the match instead of finding it again and again.
    std::int64_t lastMatch_ = -1;
    std::int64_t lastSelectionStart_ = -1;
    GbkString lastSelectedText_;
};

} // namespace sonvela
