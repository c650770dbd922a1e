#include "SpVoice.h"

#include "EspeakSynthesis.h"
#include "GbkText.h"
#include "bass.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <espeak-ng/speak_lib.h>
#include <mutex>
#include <string>
#include <thread>

namespace sonvela {

namespace {

using Clock = std::chrono::steady_clock;

// The synthesiser runs far ahead of real time; once this much sound is
// queued in the output it waits until half of it has played, which bounds
// memory for long texts without waking it for every buffer.
constexpr double kQueueAheadSeconds = 1.0;
// The output is considered dead when it has queued sound but has not played
// any of it for this long (a stalled device would otherwise hang a caller).
constexpr auto kStallLimit = std::chrono::seconds(5);
constexpr auto kPollStep = std::chrono::milliseconds(50);

struct Utterance {
    enum class State { Queued, Speaking, Synthesised, Purged, Failed };

    std::string utf8;
    std::string voiceId;
    int wordsPerMinute = espeakRATE_NORMAL;
    float gain = 1.0f;
    std::uint64_t generation = 0;

    // Under the engine's mutex once queued.
    State state = State::Queued;
    HSTREAM stream = 0;
    QWORD end = 0;
    std::string error;
    // Engine thread only: how far synthesis may run ahead of playback.
    QWORD aheadBytes = 0;
};

std::string BassError(const char* what) {
    return std::string(what) + " (audio library error " + std::to_string(BASS_ErrorGetCode()) + ")";
}

} // namespace

class SpVoice::Engine {
public:
    Engine() : worker_([this] { Run(); }) {}

    ~Engine() {
        Purge();
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        worker_.join();
        std::lock_guard push(pushMutex_);
        if (stream_ != 0) {
            BASS_StreamFree(stream_);
        }
    }

    std::vector<VoiceInfo> Voices() {
        WaitReady();
        std::lock_guard lock(mutex_);
        return voices_;
    }

    void SetVoice(int index) {
        WaitReady();
        std::lock_guard lock(mutex_);
        if (index < 0 || index >= static_cast<int>(voices_.size())) {
            throw SpeechError("There is no speech voice number " + std::to_string(index) + ".");
        }
        voice_ = index;
    }

    int Rate() {
        std::lock_guard lock(mutex_);
        return rate_;
    }

    void SetRate(int rate) {
        std::lock_guard lock(mutex_);
        rate_ = std::clamp(rate, kSlowestRate, kFastestRate);
    }

    void SetVolume(int volume) {
        std::lock_guard lock(mutex_);
        volume_ = std::clamp(volume, 0, 100);
    }

    void SpeakPurgeAndWait(const std::u16string& text) {
        WaitReady();
        EnsureStream();
        if (text.empty()) {
            Purge();
            return;
        }
        const auto utterance = PurgeAndEnqueue(text);
        WaitPlayed(*utterance);
    }

    void SpeakAsync(const std::u16string& text) {
        WaitReady();
        EnsureStream();
        if (!text.empty()) {
            Enqueue(text);
        }
    }

    // Drops queued texts, stops synthesis within one buffer and the output
    // at once. Never waits for the engine thread.
    void Purge() {
        {
            std::lock_guard push(pushMutex_);
            std::lock_guard lock(mutex_);
            PurgeLocked();
        }
        done_.notify_all();
    }

    int OnAudio(Utterance& utterance, const short* wav, int samples);

    void SetObserver(std::function<void(const std::string&)> observer) {
        std::lock_guard lock(mutex_);
        observer_ = std::move(observer);
    }

private:
    void Run();
    void Synthesise(Utterance& utterance);
    void WaitReady();
    void EnsureStream();
    std::shared_ptr<Utterance> Enqueue(const std::u16string& text);
    // Purge and enqueue as one step: a text another thread queues meanwhile
    // lands either before the purge (and is dropped) or after this text,
    // never between them, where it would survive and play first.
    std::shared_ptr<Utterance> PurgeAndEnqueue(const std::u16string& text);
    // With pushMutex_ and mutex_ held, in that order.
    void PurgeLocked();
    std::shared_ptr<Utterance> MakeUtterance(const std::u16string& text) const;
    // With mutex_ held.
    void QueueLocked(const std::shared_ptr<Utterance>& utterance);
    void WaitPlayed(Utterance& utterance);
    // Waits until `stream` has played up to `position`, the utterance's
    // generation is purged, or the output fails (false, with `error`).
    bool WaitForPosition(HSTREAM stream, QWORD position, std::uint64_t generation,
                         std::string& error);
    bool Current(std::uint64_t generation) const { return generation_.load() == generation; }

    std::mutex mutex_;
    std::condition_variable wake_; // the engine thread: work or quit
    std::condition_variable done_; // callers: an utterance changed state
    std::deque<std::shared_ptr<Utterance>> queue_;
    bool ready_ = false;
    bool quit_ = false;
    std::string initError_;
    std::vector<VoiceInfo> voices_;
    int voice_ = 0;
    int rate_ = 0;
    int volume_ = 100;
    int sampleRate_ = 22050;
    std::function<void(const std::string&)> observer_;

    // A purge and a push of sound exclude each other, so no sound of a
    // purged utterance can slip into the stream after the purge.
    std::mutex pushMutex_;
    HSTREAM stream_ = 0;
    std::atomic<std::uint64_t> generation_{0};

    // Engine thread only.
    std::vector<short> scaled_;

    std::thread worker_;
};

void SpVoice::Engine::Run() {
    {
        const espeak::EngineInfo& engine = espeak::Start();
        std::lock_guard lock(mutex_);
        initError_ = engine.error;
        if (initError_.empty()) {
            voices_ = engine.voices;
            sampleRate_ = engine.sampleRate;
        }
        ready_ = true;
    }
    done_.notify_all();

    for (;;) {
        std::shared_ptr<Utterance> utterance;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || !queue_.empty(); });
            if (quit_) {
                return;
            }
            utterance = queue_.front();
            queue_.pop_front();
            utterance->state = Utterance::State::Speaking;
        }
        Synthesise(*utterance);
        done_.notify_all();
    }
}

void SpVoice::Engine::Synthesise(Utterance& utterance) {
    std::string error;
    bool finished = false;
    const espeak::SynthOutcome outcome =
        espeak::Synthesise(utterance.utf8, utterance.voiceId, utterance.wordsPerMinute,
                           [this, &utterance](const short* wav, int samples) {
                               return OnAudio(utterance, wav, samples) != 0;
                           });
    if (!outcome.voiceError.empty()) {
        error = outcome.voiceError;
    } else {
        finished = outcome.result == EE_OK;
        {
            std::lock_guard lock(mutex_);
            error.swap(utterance.error); // set when the output refused the sound
        }
        if (error.empty() && !finished && Current(utterance.generation)) {
            error = "The speech engine failed to speak the text (espeak-ng error " +
                    std::to_string(outcome.result) + ").";
        }
    }

    QWORD end = 0;
    HSTREAM stream = 0;
    bool purged = !Current(utterance.generation);
    if (error.empty() && !purged) {
        std::lock_guard push(pushMutex_);
        if (Current(utterance.generation)) {
            stream = stream_;
            // Flush the converter so the last syllable is heard whole.
            if (BASS_StreamPutData(stream, nullptr, BASS_STREAMPROC_END) ==
                static_cast<DWORD>(-1)) {
                error = BassError("The audio output refused the speech");
            }
            end = BASS_StreamGetWritePosition(stream);
        }
        purged = !Current(utterance.generation);
    }

    std::lock_guard lock(mutex_);
    if (!error.empty()) {
        utterance.state = Utterance::State::Failed;
        utterance.error = error;
    } else if (purged || !finished) {
        utterance.state = Utterance::State::Purged;
    } else {
        utterance.state = Utterance::State::Synthesised;
        utterance.stream = stream;
        utterance.end = end;
        if (observer_) {
            observer_(utterance.utf8);
        }
    }
}

int SpVoice::Engine::OnAudio(Utterance& utterance, const short* wav, int samples) {
    if (!Current(utterance.generation)) {
        return 1; // purged: espeak stops synthesising
    }
    if (wav == nullptr || samples <= 0) {
        return 0;
    }
    const short* pcm = wav;
    if (utterance.gain != 1.0f) {
        espeak::ApplyGain(wav, samples, utterance.gain, scaled_);
        pcm = scaled_.data();
    }

    HSTREAM stream = 0;
    DWORD queued = 0;
    {
        std::lock_guard push(pushMutex_);
        if (!Current(utterance.generation)) {
            return 1;
        }
        stream = stream_;
        queued = BASS_StreamPutData(stream, pcm, static_cast<DWORD>(samples * sizeof(short)));
        if (queued == static_cast<DWORD>(-1)) {
            std::lock_guard lock(mutex_);
            utterance.error = BassError("The audio output refused the speech");
            return 1;
        }
    }

    // Hold the synthesiser back while plenty is queued.
    if (utterance.aheadBytes == 0) {
        utterance.aheadBytes = BASS_ChannelSeconds2Bytes(stream, kQueueAheadSeconds);
    }
    if (queued > utterance.aheadBytes) {
        const QWORD written = BASS_StreamGetWritePosition(stream);
        std::string error;
        if (written == static_cast<QWORD>(-1) ||
            !WaitForPosition(stream, written - utterance.aheadBytes / 2, utterance.generation,
                             error)) {
            if (!error.empty()) {
                std::lock_guard lock(mutex_);
                utterance.error = error;
            }
            return 1;
        }
    }
    return 0;
}

bool SpVoice::Engine::WaitForPosition(HSTREAM stream, QWORD position, std::uint64_t generation,
                                      std::string& error) {
    QWORD lastPosition = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    auto lastMove = Clock::now();
    for (;;) {
        if (!Current(generation)) {
            return false;
        }
        const auto step = static_cast<DWORD>(kPollStep.count());
        if (BASS_StreamWaitPosition(stream, position, step)) {
            return true;
        }
        if (BASS_ErrorGetCode() != BASS_ERROR_TIMEOUT) {
            if (Current(generation)) {
                error = BassError("The audio output closed while speaking");
            }
            return false;
        }
        const QWORD now = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        if (now != lastPosition) {
            lastPosition = now;
            lastMove = Clock::now();
        } else if (Clock::now() - lastMove > kStallLimit) {
            error = "The audio output has stopped playing.";
            return false;
        }
    }
}

void SpVoice::Engine::WaitReady() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return ready_; });
    if (!initError_.empty()) {
        throw SpeechError(initError_);
    }
}

void SpVoice::Engine::EnsureStream() {
    std::lock_guard push(pushMutex_);
    // The output may have been closed and opened again since: a dead handle
    // is replaced.
    if (stream_ != 0 && BASS_ChannelGetPosition(stream_, BASS_POS_BYTE) != static_cast<QWORD>(-1)) {
        return;
    }
    std::uint32_t rate = 0;
    {
        std::lock_guard lock(mutex_);
        rate = static_cast<std::uint32_t>(sampleRate_);
    }
    const HSTREAM stream = BASS_StreamCreatePush(rate, 1, 0);
    if (stream == 0) {
        throw SpeechError(BassError("There is no audio output for speech"));
    }
    BASS_ChannelPlay(stream, FALSE);
    stream_ = stream;
}

std::shared_ptr<Utterance> SpVoice::Engine::MakeUtterance(const std::u16string& text) const {
    auto utterance = std::make_shared<Utterance>();
    // Through GB18030, which holds every character: the engine wants UTF-8.
    utterance->utf8 = GbkToUtf8(Utf16ToGbk(text));
    return utterance;
}

void SpVoice::Engine::QueueLocked(const std::shared_ptr<Utterance>& utterance) {
    utterance->voiceId = voices_.empty() ? std::string() : voices_[voice_].id;
    utterance->wordsPerMinute = WordsPerMinute(rate_);
    utterance->gain = static_cast<float>(volume_) / 100.0f;
    utterance->generation = generation_.load();
    queue_.push_back(utterance);
}

void SpVoice::Engine::PurgeLocked() {
    ++generation_;
    if (observer_) {
        observer_(std::string());
    }
    if (stream_ != 0) {
        BASS_StreamPurge(stream_);
    }
    for (auto& utterance : queue_) {
        utterance->state = Utterance::State::Purged;
    }
    queue_.clear();
}

std::shared_ptr<Utterance> SpVoice::Engine::Enqueue(const std::u16string& text) {
    auto utterance = MakeUtterance(text);
    {
        std::lock_guard lock(mutex_);
        QueueLocked(utterance);
    }
    wake_.notify_all();
    return utterance;
}

std::shared_ptr<Utterance> SpVoice::Engine::PurgeAndEnqueue(const std::u16string& text) {
    std::shared_ptr<Utterance> utterance;
    {
        std::lock_guard push(pushMutex_);
        std::lock_guard lock(mutex_);
        // Made under the locks (a reader's segment is short): whatever the
        // other side queues while this call runs is then either dropped by
        // this purge or queued behind this text.
        utterance = MakeUtterance(text);
        PurgeLocked();
        QueueLocked(utterance);
    }
    done_.notify_all();
    wake_.notify_all();
    return utterance;
}

void SpVoice::Engine::WaitPlayed(Utterance& utterance) {
    HSTREAM stream = 0;
    QWORD end = 0;
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] {
            return (utterance.state != Utterance::State::Queued &&
                    utterance.state != Utterance::State::Speaking) ||
                   !Current(utterance.generation);
        });
        if (utterance.state == Utterance::State::Failed) {
            throw SpeechError(utterance.error);
        }
        if (utterance.state != Utterance::State::Synthesised) {
            return; // purged by another caller (or still being cut off)
        }
        stream = utterance.stream;
        end = utterance.end;
    }
    // Synthesis is done; the sound is played once the output's position
    // reaches the end of this utterance. A purge moves the position there at
    // once, so the wait ends for that too.
    std::string error;
    if (!WaitForPosition(stream, end, utterance.generation, error) && !error.empty()) {
        throw SpeechError(error);
    }
}

SpVoice::SpVoice() : engine_(std::make_unique<Engine>()) {}

SpVoice::~SpVoice() = default;

std::vector<VoiceInfo> SpVoice::GetVoices() {
    return engine_->Voices();
}

void SpVoice::SetVoice(int index) {
    engine_->SetVoice(index);
}

int SpVoice::Rate() {
    return engine_->Rate();
}

void SpVoice::SetRate(int rate) {
    engine_->SetRate(rate);
}

void SpVoice::SetVolume(int volume) {
    engine_->SetVolume(volume);
}

void SpVoice::SpeakPurgeAndWait(const std::u16string& text) {
    engine_->SpeakPurgeAndWait(text);
}

void SpVoice::SpeakAsync(const std::u16string& text) {
    engine_->SpeakAsync(text);
}

void SpVoice::CutOff() {
    engine_->Purge();
}

void SpVoice::SetSynthesisObserver(std::function<void(const std::string& utf8)> observer) {
    engine_->SetObserver(std::move(observer));
}

int SpVoice::WordsPerMinute(int rate) {
    rate = std::clamp(rate, kSlowestRate, kFastestRate);
    // Geometric steps, so each step of the slider sounds like the same
    // change. Downwards they reach espeak-ng's slowest speed at -10 (below
    // it the engine clamps, and the last steps would sound alike).
    if (rate <= 0) {
        return static_cast<int>(std::lround(
            espeakRATE_NORMAL *
            std::pow(static_cast<double>(espeakRATE_MINIMUM) / espeakRATE_NORMAL, -rate / 10.0)));
    }
    // Upwards they reach the engine's fastest plain synthesis at +10.
    constexpr double kFastestPlain = espeakRATE_MAXIMUM - 1;
    if (rate <= 10) {
        return static_cast<int>(std::lround(
            espeakRATE_NORMAL * std::pow(kFastestPlain / espeakRATE_NORMAL, rate / 10.0)));
    }
    // From 450 on espeak-ng synthesises at the normal speed and time-
    // stretches the sound, which speaks slower than its plain 449 until
    // about 540: the slider's last five steps start above that, at 600,
    // and keep the same ratio per step up to 900.
    constexpr double kFirstStretched = 600;
    constexpr double kFastest = 900;
    return static_cast<int>(
        std::lround(kFirstStretched * std::pow(kFastest / kFirstStretched, (rate - 11) / 4.0)));
}

} // namespace sonvela
