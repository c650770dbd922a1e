// The speech voice as every caller sees it: each text passes the Chinese
// front-end on its way to the engine, so the reader's segments, the time
// announcement, the line and selection commands and the voice trials all
// say numbers, dates and polyphones the same, right way.
//
// The front-end's dialect follows the chosen voice: Mandarin voices get the
// whole front-end, Cantonese voices the written-out numbers without pinyin,
// other languages only the operator's plain replacements.
#pragma once

#include "FrontEnd.h"
#include "SpeechVoice.h"

#include <atomic>
#include <mutex>

namespace sonvela {

class FrontEndVoice final : public SpeechVoice {
public:
    FrontEndVoice(SpeechVoice& engine, const frontend::FrontEnd& frontEnd);

    std::vector<VoiceInfo> GetVoices() override;
    void SetVoice(int index) override;
    int Rate() override { return engine_.Rate(); }
    void SetRate(int rate) override { engine_.SetRate(rate); }
    void SetVolume(int volume) override { engine_.SetVolume(volume); }
    void SpeakPurgeAndWait(const std::u16string& text) override;
    void SpeakAsync(const std::u16string& text) override;
    void CutOff() override { engine_.CutOff(); }

    // What the engine is given for `text` with the voice chosen now;
    // `first`, when given, wins over the operator's list (trying a reading
    // out before it is stored).
    std::u16string Prepare(const std::u16string& text,
                           const frontend::PronunciationList* first = nullptr) const;

private:
    enum class Language { Mandarin, Cantonese, Other };
    static Language LanguageOf(const VoiceInfo& voice);

    SpeechVoice& engine_;
    const frontend::FrontEnd& frontEnd_;
    std::mutex voicesMutex_;
    std::vector<VoiceInfo> voices_; // the engine's list, asked once
    bool voicesKnown_ = false;
    std::atomic<Language> language_{Language::Mandarin};
};

} // namespace sonvela
