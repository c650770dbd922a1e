#include "TestSpeechVoice.h"

#include <utility>

namespace sonvela {

TestSpeechVoice::TestSpeechVoice(std::chrono::microseconds perByte, std::vector<VoiceInfo> voices)
    : perByte_(perByte), voices_(std::move(voices)) {}

std::vector<VoiceInfo> TestSpeechVoice::DefaultVoices() {
    return {{"test-cmn", "Test Mandarin", "cmn"},
            {"test-yue", "Test Cantonese", "yue"},
            {"test-en", "Test English", "en"}};
}

void TestSpeechVoice::SetSpeakHook(std::function<void(const GbkString&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

void TestSpeechVoice::FailSpeakNumber(int n, std::string message) {
    std::lock_guard lock(mutex_);
    failCountdown_ = n;
    failMessage_ = std::move(message);
}

void TestSpeechVoice::SetRecording(bool on) {
    std::lock_guard lock(mutex_);
    recording_ = on;
}

void TestSpeechVoice::SetTimePerByte(std::chrono::microseconds perByte) {
    std::lock_guard lock(mutex_);
    perByte_ = perByte;
}

int TestSpeechVoice::SpeakStarts() const {
    std::lock_guard lock(mutex_);
    return speakStarts_;
}

bool TestSpeechVoice::WaitForSpeakStarts(int n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return started_.wait_for(lock, timeout, [&] { return speakStarts_ >= n; });
}

std::vector<TestSpeechVoice::Call> TestSpeechVoice::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<TestSpeechVoice::Call> TestSpeechVoice::Spoken() const {
    std::vector<Call> spoken;
    for (Call& call : Calls())
        if (call.kind == CallKind::SpeakPurgeAndWait)
            spoken.push_back(std::move(call));
    return spoken;
}

std::vector<GbkString> TestSpeechVoice::SpokenTexts() const {
    std::vector<GbkString> texts;
    for (const Call& call : Spoken())
        texts.push_back(call.text);
    return texts;
}

int TestSpeechVoice::CurrentVoice() const {
    std::lock_guard lock(mutex_);
    return voice_;
}

void TestSpeechVoice::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

std::vector<VoiceInfo> TestSpeechVoice::GetVoices() {
    std::lock_guard lock(mutex_);
    return voices_;
}

void TestSpeechVoice::SetVoice(int index) {
    {
        std::lock_guard lock(mutex_);
        voice_ = index;
    }
    Record({CallKind::SetVoice, {}, index, Clock::now(), Clock::now(), false});
}

void TestSpeechVoice::SetRate(int rate) {
    Record({CallKind::SetRate, {}, rate, Clock::now(), Clock::now(), false});
}

void TestSpeechVoice::SetVolume(int volume) {
    Record({CallKind::SetVolume, {}, volume, Clock::now(), Clock::now(), false});
}

void TestSpeechVoice::SpeakPurgeAndWait(const std::u16string& text) {
    const auto start = Clock::now();
    GbkString gbk = Utf16ToGbk(text);
    std::function<void(const GbkString&)> hook;
    std::chrono::microseconds perByte{};
    std::uint64_t myPurge = 0;
    {
        std::lock_guard lock(mutex_);
        hook = hook_;
        perByte = perByte_;
        if (failCountdown_ > 0 && --failCountdown_ == 0)
            throw SpeechError(failMessage_);
        // This call purges whatever else was speaking.
        myPurge = ++purgeCount_;
        ++speakStarts_;
    }
    purged_.notify_all();
    started_.notify_all();
    if (hook)
        hook(gbk);

    const auto deadline = start + perByte * static_cast<std::int64_t>(gbk.size());
    bool cutShort = false;
    {
        std::unique_lock lock(mutex_);
        cutShort = purged_.wait_until(lock, deadline, [&] { return purgeCount_ != myPurge; });
    }
    Record({CallKind::SpeakPurgeAndWait, std::move(gbk), 0, start, Clock::now(), cutShort});
}

void TestSpeechVoice::SpeakAsync(const std::u16string& text) {
    Record({CallKind::SpeakAsync, Utf16ToGbk(text), 0, Clock::now(), Clock::now(), false});
}

void TestSpeechVoice::CutOff() {
    {
        std::lock_guard lock(mutex_);
        ++purgeCount_;
    }
    purged_.notify_all();
    Record({CallKind::CutOff, {}, 0, Clock::now(), Clock::now(), false});
}

void TestSpeechVoice::Record(Call call) {
    std::lock_guard lock(mutex_);
    if (!recording_)
        return;
    calls_.push_back(std::move(call));
}

} // namespace sonvela
