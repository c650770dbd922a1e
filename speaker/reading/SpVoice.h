// The speech voice over espeak-ng, played through the audio library.
//
// One engine thread owns espeak-ng (it is not re-entrant, and initialising
// it a second time in a process hangs, so it is initialised once and never
// terminated). Callers on any thread hand texts to that thread through a
// queue; the PCM goes into one push stream of the audio output. A purge
// bumps a generation counter that the synthesis callback checks on every
// buffer, so synthesis stops within one buffer, and drops the stream's
// queued audio at once.
//
// The audio library must be initialised (BASS_Init) before the first text
// is spoken; listing and choosing voices do not need it.
#pragma once

#include "SpeechVoice.h"

#include <functional>
#include <memory>
#include <string>

namespace sonvela {

class SpVoice final : public SpeechVoice {
public:
    // Starts the engine thread. Engine failures surface as SpeechError from
    // the calls that need the engine.
    SpVoice();
    // Cuts off speech and joins the engine thread.
    ~SpVoice() override;
    SpVoice(const SpVoice&) = delete;
    SpVoice& operator=(const SpVoice&) = delete;

    // Mandarin (cmn-latn-pinyin) and Cantonese (yue) first, then the rest in
    // the engine's order. Espeak-ng's plain "cmn" voice, which reads pinyin
    // as English, is left out.
    std::vector<VoiceInfo> GetVoices() override;
    void SetVoice(int index) override;
    int Rate() override;
    void SetRate(int rate) override;
    void SetVolume(int volume) override;
    void SpeakPurgeAndWait(const std::u16string& text) override;
    void SpeakAsync(const std::u16string& text) override;
    void CutOff() override;

    // Told, on the engine thread, of each text whose synthesis ran to its end
    // (not purged), in the order the sound goes out; and, with an empty text
    // on the purging thread, of each purge at the moment it takes effect.
    // For diagnostics and tests; the observer must not call back into the
    // voice.
    void SetSynthesisObserver(std::function<void(const std::string& utf8)> observer);

    // The rates the reading speed slider offers; others are clamped.
    static constexpr int kSlowestRate = -10;
    static constexpr int kFastestRate = 15;

    // The espeak-ng speed setting (words per minute) a rate stands for: 175
    // at 0, the engine's slowest (80) at -10, its fastest plain synthesis
    // (449) at +10, time-stretched 600 to 900 from +11 to +15. Every rate
    // speaks faster than the one below it.
    static int WordsPerMinute(int rate);

private:
    class Engine;
    std::unique_ptr<Engine> engine_;
};

} // namespace sonvela
