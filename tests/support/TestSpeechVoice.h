// A deterministic speech voice for tests: speaking takes a fixed time per
// GBK byte of the text, every call is recorded, and a fault can be injected.
#pragma once

#include "GbkText.h"
#include "SpeechVoice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace sonvela {

class TestSpeechVoice final : public SpeechVoice {
public:
    using Clock = std::chrono::steady_clock;

    enum class CallKind { SetVoice, SetRate, SetVolume, SpeakPurgeAndWait, SpeakAsync, CutOff };

    struct Call {
        CallKind kind = CallKind::CutOff;
        GbkString text; // speaking calls: the text, converted back to GBK
        int value = 0;  // SetVoice, SetRate, SetVolume
        Clock::time_point start;
        Clock::time_point end; // speak-and-wait: when it returned
        bool cutShort = false; // speak-and-wait ended by a purge or cut-off
    };

    explicit TestSpeechVoice(std::chrono::microseconds perByte = std::chrono::microseconds(20),
                             std::vector<VoiceInfo> voices = DefaultVoices());

    static std::vector<VoiceInfo> DefaultVoices();

    // Run at the start of every speak-and-wait, on the calling thread, with
    // the text in GBK, before the speaking time passes.
    void SetSpeakHook(std::function<void(const GbkString&)> hook);
    // The `n`th speak-and-wait from now on (1 = the next) throws SpeechError.
    void FailSpeakNumber(int n, std::string message = "The audio device failed");
    // Off: nothing is recorded (long soak runs would otherwise grow).
    void SetRecording(bool on);
    void SetTimePerByte(std::chrono::microseconds perByte);

    // Speak-and-wait calls begun so far (counted from construction).
    int SpeakStarts() const;
    // Waits until at least `n` speak-and-wait calls have begun.
    bool WaitForSpeakStarts(int n, std::chrono::milliseconds timeout);

    std::vector<Call> Calls() const;
    // The speak-and-wait calls only, in order.
    std::vector<Call> Spoken() const;
    std::vector<GbkString> SpokenTexts() const;
    int CurrentVoice() const;
    void ClearCalls();

    std::vector<VoiceInfo> GetVoices() override;
    void SetVoice(int index) override;
    int Rate() override { return 0; }
    void SetRate(int rate) override;
    void SetVolume(int volume) override;
    void SpeakPurgeAndWait(const std::u16string& text) override;
    void SpeakAsync(const std::u16string& text) override;
    void CutOff() override;

private:
    void Record(Call call);

    mutable std::mutex mutex_;
    std::condition_variable purged_;
    std::uint64_t purgeCount_ = 0;
    int speakStarts_ = 0;
    std::condition_variable started_;
    std::chrono::microseconds perByte_;
    std::vector<VoiceInfo> voices_;
    int voice_ = 0;
    std::function<void(const GbkString&)> hook_;
    int failCountdown_ = 0;
    std::string failMessage_;
    bool recording_ = true;
    std::vector<Call> calls_;
};

} // namespace sonvela
