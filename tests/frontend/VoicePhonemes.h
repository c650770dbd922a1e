// What the Mandarin voice makes of a text, as espeak-ng's own phoneme
// string: the judge of whether two texts are read the same.
#pragma once

#include <string>

namespace sonvela::frontend::corpus {

class VoicePhonemes {
public:
    // espeak-ng keeps one global state per process, so every caller shares
    // the one phonemiser. Throws std::runtime_error when the library or the
    // Mandarin pinyin voice is missing.
    static VoicePhonemes& Mandarin();

    // The phonemes the voice says for `utf8`, pauses left out (see
    // WithoutPauses). Not thread-safe, like the library itself.
    std::string Of(const std::string& utf8);

    VoicePhonemes(const VoicePhonemes&) = delete;
    VoicePhonemes& operator=(const VoicePhonemes&) = delete;

private:
    VoicePhonemes();
    ~VoicePhonemes();
};

// Joins the phoneme strings of a text's clauses and removes what only
// punctuation decides: the clause breaks themselves, the long pauses "_:"
// that dashes, quotes and brackets add, and the spacing around them.
// Everything else stays: the syllables, their tones (a neutral "de5" is
// t'@11, a full "de2" t'@35) and the voice's own word grouping and stress.
// Characters and pinyin of the same reading give identical phonemes in this
// voice, so stress marks need no allowance; where they differ, the voice
// really does read differently (its dictionary reads 恭喜您 with one 喜 too
// many).
std::string WithoutPauses(const std::string& phonemes);

} // namespace sonvela::frontend::corpus
