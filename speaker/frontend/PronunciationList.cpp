#include "PronunciationList.h"

#include "Utf8.h"

#include <algorithm>
#include <cctype>

namespace sonvela::frontend {

bool IsNumberedPinyin(const std::string& reading) {
    bool any = false;
    std::size_t i = 0;
    while (i < reading.size()) {
        while (i < reading.size() && (reading[i] == ' ' || reading[i] == '\t'))
            ++i;
        if (i == reading.size())
            break;
        std::size_t letters = 0;
        while (i < reading.size() && std::isalpha(static_cast<unsigned char>(reading[i]))) {
            ++letters;
            ++i;
        }
        // ü is written "v", "u:" or "ü" in numbered pinyin.
        while (i + 1 < reading.size() && reading.compare(i, 2, "ü") == 0) {
            ++letters;
            i += 2;
            while (i < reading.size() && std::isalpha(static_cast<unsigned char>(reading[i]))) {
                ++letters;
                ++i;
            }
        }
        if (i < reading.size() && reading[i] == ':' && letters > 0)
            ++i;
        if (letters == 0 || i == reading.size() || reading[i] < '1' || reading[i] > '5')
            return false;
        ++i;
        if (i < reading.size() && reading[i] != ' ' && reading[i] != '\t')
            return false;
        any = true;
    }
    return any;
}

namespace {

// The voice reads ü only as "v": "lu:4" would come out as lu and a stray
// sound. "u:" and "ü" are the other ways people write it.
std::string VoiceSpelling(const std::string& pinyin) {
    std::string out;
    out.reserve(pinyin.size());
    for (std::size_t i = 0; i < pinyin.size(); ++i) {
        if (pinyin.compare(i, 2, "u:") == 0 || pinyin.compare(i, 2, "ü") == 0) {
            out += 'v';
            ++i;
        } else {
            out += pinyin[i];
        }
    }
    return out;
}

} // namespace

PronunciationList::PronunciationList(std::vector<Pronunciation> entries) {
    for (auto& entry : entries) {
        if (entry.word.empty())
            continue;
        if (IsNumberedPinyin(entry.reading))
            entry.reading = VoiceSpelling(entry.reading);
        entries_.push_back(std::move(entry));
    }
    // Longest word first, so "银行行长" wins over "银行" where both match.
    std::stable_sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return DecodeUtf8(a.word).size() > DecodeUtf8(b.word).size();
    });
}

Pieces PronunciationList::Apply(const Pieces& pieces, Dialect dialect) const {
    if (entries_.empty())
        return pieces;
    std::vector<std::u32string> words;
    std::vector<bool> pinyin;
    words.reserve(entries_.size());
    for (const auto& entry : entries_) {
        words.push_back(DecodeUtf8(entry.word));
        pinyin.push_back(IsNumberedPinyin(entry.reading));
    }
    Pieces out;
    for (const Piece& piece : pieces) {
        if (piece.final) {
            AppendPiece(out, piece.text, true);
            continue;
        }
        const std::u32string text = DecodeUtf8(piece.text);
        std::string pending;
        std::size_t i = 0;
        while (i < text.size()) {
            const std::u32string_view rest(text.data() + i, text.size() - i);
            std::size_t matched = entries_.size();
            for (std::size_t e = 0; e < words.size(); ++e)
                if ((dialect == Dialect::Mandarin || !pinyin[e]) && rest.starts_with(words[e])) {
                    matched = e;
                    break;
                }
            if (matched == entries_.size()) {
                AppendUtf8(pending, text[i]);
                ++i;
                continue;
            }
            AppendPiece(out, std::move(pending), false);
            pending.clear();
            AppendPiece(out, entries_[matched].reading, pinyin[matched]);
            i += words[matched].size();
        }
        AppendPiece(out, std::move(pending), false);
    }
    return out;
}

} // namespace sonvela::frontend
