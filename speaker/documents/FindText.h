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
