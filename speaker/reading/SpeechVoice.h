// The voice object all speech goes through: the eight operations the program
// relies on, whatever engine stands behind them.
//
// One voice object is shared by the user-interface thread and the reader
// thread. Every operation may be called from either; none makes one thread
// wait for the other, and a purge from either side cuts off what the other
// queued.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace sonvela {

struct VoiceInfo {
    std::string id;          // the engine's own name of the voice
    std::string description; // shown in the voice list (UTF-8)
    std::string language;    // e.g. "cmn", "yue", "en"
};

// A failing engine call (no audio device, a synthesis error).
class SpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SpeechVoice {
public:
    virtual ~SpeechVoice() = default;

    // The voices in the engine's order: list index i is voice i.
    virtual std::vector<VoiceInfo> GetVoices() = 0;
    // Later speech uses voice `index` of GetVoices().
    virtual void SetVoice(int index) = 0;
    // The engine's own default rate, on the -10..+10 scale.
    virtual int Rate() = 0;
    // Applies to speech started later. The scale is -10..+10 around the
    // engine's normal speed; values beyond it are clamped.
    virtual void SetRate(int rate) = 0;
    // 0..100; applies to speech started later.
    virtual void SetVolume(int volume) = 0;
    // Drops whatever is queued or sounding, then returns only when `text`
    // has been played (or was itself purged by another caller).
    virtual void SpeakPurgeAndWait(const std::u16string& text) = 0;
    // Queues `text` and returns at once.
    virtual void SpeakAsync(const std::u16string& text) = 0;
    // Ends all speech, queued or sounding, at once.
    virtual void CutOff() = 0;
};

// The Cantonese voices get a traditional-character copy of the text: a voice
// counts when its description holds the marker of the known Cantonese voice
// or its language is Cantonese.
bool IsCantoneseVoice(const VoiceInfo& voice);

} // namespace sonvela
