#include "VoicePhonemes.h"

#include <espeak-ng/speak_lib.h>
#include <sstream>
#include <stdexcept>

namespace sonvela::frontend::corpus {

VoicePhonemes& VoicePhonemes::Mandarin() {
    static VoicePhonemes phonemes;
    return phonemes;
}

VoicePhonemes::VoicePhonemes() {
    // Without DONT_EXIT a missing data folder ends the whole test process.
    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) < 0)
        throw std::runtime_error("espeak-ng cannot start");
    if (espeak_SetVoiceByName("cmn-latn-pinyin") != EE_OK) {
        espeak_Terminate();
        throw std::runtime_error("espeak-ng has no cmn-latn-pinyin voice");
    }
}

VoicePhonemes::~VoicePhonemes() {
    espeak_Terminate();
}

std::string VoicePhonemes::Of(const std::string& utf8) {
    std::string clauses;
    const void* next = utf8.c_str();
    // One call phonemises one clause and moves `next` on; it becomes null
    // at the end of the text.
    while (next != nullptr) {
        const char* clause = espeak_TextToPhonemes(&next, espeakCHARS_UTF8, 0);
        if (clause != nullptr) {
            clauses += clause;
            clauses += ' ';
        }
    }
    return WithoutPauses(clauses);
}

std::string WithoutPauses(const std::string& phonemes) {
    std::string kept;
    for (std::string::size_type i = 0; i < phonemes.size(); ++i) {
        if (phonemes.compare(i, 2, "_:") == 0) {
            ++i;
            continue;
        }
        kept += phonemes[i];
    }
    std::istringstream words(kept);
    std::string joined;
    for (std::string word; words >> word;) {
        if (!joined.empty())
            joined += ' ';
        joined += word;
    }
    return joined;
}

} // namespace sonvela::frontend::corpus
