// espeak-ng as a process-wide synthesiser of PCM, shared by the live voice
// (which plays the sound) and by rendering an announcement to a file (which
// mixes it into the file), so both say a text with the very same samples.
//
// espeak-ng keeps global state and is not re-entrant: every call goes
// through here, under one lock, and the engine is initialised once per
// process (initialising it again after espeak_Terminate hangs). The voice
// loaded last is remembered here too, so two users switching voices never
// leave each other speaking with the wrong one.
#pragma once

#include "SpeechVoice.h"

#include <functional>
#include <string>
#include <vector>

namespace sonvela::espeak {

struct EngineInfo {
    std::string error; // empty when the engine started
    int sampleRate = 22050;
    std::vector<VoiceInfo> voices; // Mandarin and Cantonese first
};

// Starts the engine on the first call (any thread); the same answer after.
const EngineInfo& Start();

// The outcome of one synthesis.
struct SynthOutcome {
    std::string voiceError; // the voice could not be loaded; nothing was said
    int result = 0;         // espeak-ng's result: 0 when it ran to the end
};

// Receives each buffer of 16-bit mono samples; returns true to stop.
using PcmSink = std::function<bool(const short* samples, int count)>;

// Synthesises `utf8` with the voice `voiceId` at `wordsPerMinute`, at the
// engine's full volume (loudness is applied to the samples: espeak clips
// above its 100). Runs on the calling thread; other callers wait.
SynthOutcome Synthesise(const std::string& utf8, const std::string& voiceId, int wordsPerMinute,
                        const PcmSink& sink);

// The same for work that must never hold up live speech (rendering to a
// file): it waits while a live synthesis waits or runs, and gives the engine
// up within one buffer when live speech asks for it, starting its text again
// afterwards. `restart` is called before each fresh start (drop what `sink`
// has received so far). Returns when the text has been synthesised whole.
SynthOutcome SynthesiseInBackground(const std::string& utf8, const std::string& voiceId,
                                    int wordsPerMinute, const PcmSink& sink,
                                    const std::function<void()>& restart);

// The speech volume as it is applied to the samples: each sample times
// `gain`, rounded to the nearest.
void ApplyGain(const short* samples, int count, float gain, std::vector<short>& out);

} // namespace sonvela::espeak
