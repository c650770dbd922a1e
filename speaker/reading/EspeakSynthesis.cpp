#include "EspeakSynthesis.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <mutex>
#include <thread>

namespace sonvela::espeak {

namespace {

constexpr std::string_view kMandarinId = "sit/cmn-Latn-pinyin";
constexpr std::string_view kCantoneseId = "sit/yue";
// Reads pinyin as English: never offered.
constexpr std::string_view kBrokenMandarinId = "sit/cmn";
// Milliseconds of sound per synthesis callback: small buffers make the
// first sound and a purge quick.
constexpr int kSynthBufferMs = 50;

std::mutex espeakMutex;
// Live callers waiting for the engine or using it: background work keeps
// off while there are any.
std::atomic<int> liveCallers{0};
// Under espeakMutex.
std::string currentVoiceId;
const PcmSink* currentSink = nullptr;

int SynthCallback(short* wav, int samples, espeak_EVENT*) {
    if (currentSink == nullptr) {
        return 1;
    }
    if (wav == nullptr || samples <= 0) {
        return 0;
    }
    return (*currentSink)(wav, samples) ? 1 : 0;
}

std::string StatusMessage(espeak_ng_STATUS status) {
    char text[256] = {};
    espeak_ng_GetStatusCodeMessage(status, text, sizeof text);
    return text;
}

std::vector<VoiceInfo> ListVoices() {
    std::vector<VoiceInfo> first(2);
    std::vector<VoiceInfo> rest;
    const espeak_VOICE** voices = espeak_ListVoices(nullptr);
    for (int i = 0; voices != nullptr && voices[i] != nullptr; ++i) {
        const espeak_VOICE& voice = *voices[i];
        const std::string id = voice.identifier != nullptr ? voice.identifier : "";
        // mbrola voices need an outside program and data we do not ship.
        if (id.empty() || id == kBrokenMandarinId || id.starts_with("mb/")) {
            continue;
        }
        VoiceInfo info;
        info.id = id;
        // languages: a priority byte, then the language name, repeated.
        info.language = voice.languages != nullptr && voice.languages[0] != 0
                            ? std::string(voice.languages + 1)
                            : std::string();
        const std::string name = voice.name != nullptr ? voice.name : id;
        if (id == kMandarinId) {
            info.description = "Chinese Mandarin (espeak-ng)";
            first[0] = std::move(info);
        } else if (id == kCantoneseId) {
            info.description = "Chinese Cantonese (espeak-ng)";
            first[1] = std::move(info);
        } else {
            info.description = name + " (espeak-ng)";
            std::replace(info.description.begin(), info.description.end(), '_', ' ');
            rest.push_back(std::move(info));
        }
    }
    std::erase_if(first, [](const VoiceInfo& voice) { return voice.id.empty(); });
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

EngineInfo Initialise() {
    EngineInfo info;
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status == ENS_OK) {
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kSynthBufferMs, nullptr);
    }
    if (status != ENS_OK) {
        info.error = "The speech engine espeak-ng could not start: " + StatusMessage(status);
        return info;
    }
    info.sampleRate = espeak_ng_GetSampleRate();
    espeak_SetSynthCallback(&SynthCallback);
    info.voices = ListVoices();
    return info;
}

// With espeakMutex held.
SynthOutcome SynthesiseLocked(const std::string& utf8, const std::string& voiceId,
                              int wordsPerMinute, const PcmSink& sink) {
    SynthOutcome outcome;
    if (voiceId != currentVoiceId) {
        // Loading a voice reads its dictionary: only when it changes.
        const espeak_ERROR result = espeak_SetVoiceByName(voiceId.c_str());
        currentVoiceId = result == EE_OK ? voiceId : std::string();
        if (result != EE_OK) {
            outcome.voiceError = "The speech engine cannot load the voice " + voiceId + ".";
            return outcome;
        }
    }
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);
    currentSink = &sink;
    outcome.result = static_cast<int>(espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER,
                                                   0, espeakCHARS_UTF8, nullptr, nullptr));
    currentSink = nullptr;
    return outcome;
}

} // namespace

const EngineInfo& Start() {
    // Only the first call takes the engine's lock: later ones must not wait
    // for a synthesis in progress.
    static const EngineInfo info = [] {
        std::lock_guard lock(espeakMutex);
        return Initialise();
    }();
    return info;
}

SynthOutcome Synthesise(const std::string& utf8, const std::string& voiceId, int wordsPerMinute,
                        const PcmSink& sink) {
    Start();
    ++liveCallers;
    std::lock_guard lock(espeakMutex);
    SynthOutcome outcome = SynthesiseLocked(utf8, voiceId, wordsPerMinute, sink);
    --liveCallers;
    return outcome;
}

SynthOutcome SynthesiseInBackground(const std::string& utf8, const std::string& voiceId,
                                    int wordsPerMinute, const PcmSink& sink,
                                    const std::function<void()>& restart) {
    Start();
    for (;;) {
        while (liveCallers.load() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::unique_lock lock(espeakMutex);
        if (liveCallers.load() > 0)
            continue; // a live caller came first: let it have the engine
        bool yielded = false;
        const PcmSink yielding = [&](const short* samples, int count) {
            if (liveCallers.load() > 0) {
                yielded = true;
                return true;
            }
            return sink(samples, count);
        };
        restart();
        SynthOutcome outcome = SynthesiseLocked(utf8, voiceId, wordsPerMinute, yielding);
        if (!yielded)
            return outcome;
    }
}

void ApplyGain(const short* samples, int count, float gain, std::vector<short>& out) {
    out.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        out[static_cast<std::size_t>(i)] = static_cast<short>(std::lround(samples[i] * gain));
    }
}

} // namespace sonvela::espeak
