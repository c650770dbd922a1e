#include "FrontEndVoice.h"

#include "Utf8.h"

namespace sonvela {

FrontEndVoice::FrontEndVoice(SpeechVoice& engine, const frontend::FrontEnd& frontEnd)
    : engine_(engine), frontEnd_(frontEnd) {}

std::vector<VoiceInfo> FrontEndVoice::GetVoices() {
    const std::lock_guard lock(voicesMutex_);
    if (!voicesKnown_) {
        voices_ = engine_.GetVoices();
        voicesKnown_ = true;
    }
    return voices_;
}

FrontEndVoice::Language FrontEndVoice::LanguageOf(const VoiceInfo& voice) {
    if (IsCantoneseVoice(voice))
        return Language::Cantonese;
    const std::string& language = voice.language;
    if (language == "cmn" || language.starts_with("cmn-") || language == "zh" ||
        language.starts_with("zh-"))
        return Language::Mandarin;
    return Language::Other;
}

void FrontEndVoice::SetVoice(int index) {
    // The engine decides what a bad index means (it throws); the language
    // changes only once the engine has taken the voice.
    engine_.SetVoice(index);
    const auto voices = GetVoices();
    if (index >= 0 && static_cast<std::size_t>(index) < voices.size())
        language_ = LanguageOf(voices[static_cast<std::size_t>(index)]);
}

std::u16string FrontEndVoice::Prepare(const std::u16string& text,
                                      const frontend::PronunciationList* first) const {
    const std::string utf8 = frontend::Utf16ToUtf8(text);
    switch (language_.load()) {
    case Language::Mandarin:
        return frontend::Utf8ToUtf16(frontEnd_.Prepare(utf8, frontend::Dialect::Mandarin, first));
    case Language::Cantonese:
        return frontend::Utf8ToUtf16(frontEnd_.Prepare(utf8, frontend::Dialect::Cantonese, first));
    case Language::Other:
        break;
    }
    // Chinese number words mean nothing to an English voice: only the
    // operator's own replacements apply.
    frontend::Pieces pieces{{utf8, false}};
    if (first)
        pieces = first->Apply(pieces, frontend::Dialect::Cantonese);
    pieces = frontEnd_.Pronunciations()->Apply(pieces, frontend::Dialect::Cantonese);
    return frontend::Utf8ToUtf16(frontend::JoinPieces(pieces));
}

void FrontEndVoice::SpeakPurgeAndWait(const std::u16string& text) {
    engine_.SpeakPurgeAndWait(Prepare(text));
}

void FrontEndVoice::SpeakAsync(const std::u16string& text) {
    engine_.SpeakAsync(Prepare(text));
}

} // namespace sonvela
