#include "EspeakSynthesis.h"
#include "FrontEndVoice.h"
#include "SpVoice.h"
#include "SpeechSource.h"

#include <algorithm>

namespace sonvela {

namespace {

// The voice list as the engine gives it, to let the front-end decide the
// dialect by the chosen voice just as it does for live speech. It says
// nothing itself.
class VoiceCatalogue final : public SpeechVoice {
public:
    explicit VoiceCatalogue(std::vector<VoiceInfo> voices) : voices_(std::move(voices)) {}
    std::vector<VoiceInfo> GetVoices() override { return voices_; }
    void SetVoice(int index) override {
        if (index < 0 || index >= static_cast<int>(voices_.size()))
            throw SpeechError("There is no speech voice number " + std::to_string(index) + ".");
    }
    int Rate() override { return 0; }
    void SetRate(int) override {}
    void SetVolume(int) override {}
    void SpeakPurgeAndWait(const std::u16string&) override {}
    void SpeakAsync(const std::u16string&) override {}
    void CutOff() override {}

private:
    std::vector<VoiceInfo> voices_;
};

class EspeakSpeech final : public SpeechSource {
public:
    EspeakSpeech(int voiceIndex, int rate, int volume, const frontend::FrontEnd& frontEnd)
        : catalogue_(Voices()), voice_(catalogue_, frontEnd),
          wordsPerMinute_(SpVoice::WordsPerMinute(rate)),
          gain_(static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f) {
        voice_.SetVoice(voiceIndex);
        voiceId_ = catalogue_.GetVoices()[static_cast<std::size_t>(voiceIndex)].id;
    }

    int SampleRate() const override { return espeak::Start().sampleRate; }

    std::string KeyOf(const GbkString& segment) const override { return segment; }

    std::vector<short> Say(const GbkString& segment) override {
        // The same steps as a live segment: GBK to UTF-16 for the voice, the
        // front-end, then through GB18030 to the engine's UTF-8.
        const std::u16string prepared = voice_.Prepare(GbkToUtf16(segment));
        const std::string utf8 = GbkToUtf8(Utf16ToGbk(prepared));
        std::vector<short> pcm;
        if (utf8.empty())
            return pcm;
        std::vector<short> scaled;
        // Live speech has the engine first: a reading going on meanwhile
        // keeps its timing, and this text waits or starts again.
        const espeak::SynthOutcome outcome = espeak::SynthesiseInBackground(
            utf8, voiceId_, wordsPerMinute_,
            [&](const short* wav, int count) {
                if (gain_ != 1.0f) {
                    espeak::ApplyGain(wav, count, gain_, scaled);
                    pcm.insert(pcm.end(), scaled.begin(), scaled.end());
                } else {
                    pcm.insert(pcm.end(), wav, wav + count);
                }
                return false;
            },
            [&] { pcm.clear(); });
        if (!outcome.voiceError.empty())
            throw SpeechError(outcome.voiceError);
        if (outcome.result != 0)
            throw SpeechError("The speech engine failed to speak the text (espeak-ng error " +
                              std::to_string(outcome.result) + ").");
        return pcm;
    }

private:
    static std::vector<VoiceInfo> Voices() {
        const espeak::EngineInfo& engine = espeak::Start();
        if (!engine.error.empty())
            throw SpeechError(engine.error);
        return engine.voices;
    }

    VoiceCatalogue catalogue_;
    FrontEndVoice voice_;
    std::string voiceId_;
    int wordsPerMinute_;
    float gain_;
};

} // namespace

std::unique_ptr<SpeechSource> MakeEspeakSpeech(int voiceIndex, int rate, int volume,
                                               const frontend::FrontEnd& frontEnd) {
    return std::make_unique<EspeakSpeech>(voiceIndex, rate, volume, frontEnd);
}

} // namespace sonvela
