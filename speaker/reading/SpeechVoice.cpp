#include "SpeechVoice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace sonvela {

namespace {

// The description marker of the known Cantonese voice.
constexpr std::string_view kCantoneseMarker = "Sin-Ji_Full_22kHz";

std::string NormalisedTag(std::string_view tag) {
    std::string out(tag);
    for (char& c : out) {
        c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace

bool IsCantoneseVoice(const VoiceInfo& voice) {
    if (voice.description.find(kCantoneseMarker) != std::string::npos) {
        return true;
    }
    // A language tag counts when it is one of these or one of them with
    // further subtags ("yue-latn-jyutping", "zh-hk-x").
    const std::string language = NormalisedTag(voice.language);
    constexpr std::array<std::string_view, 3> cantonese = {"yue", "zh-yue", "zh-hk"};
    return std::any_of(cantonese.begin(), cantonese.end(), [&](std::string_view tag) {
        return language == tag || (language.size() > tag.size() && language.starts_with(tag) &&
                                   language[tag.size()] == '-');
    });
}

} // namespace sonvela
