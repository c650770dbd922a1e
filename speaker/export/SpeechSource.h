// Where the rendering of an announcement gets the sound of each segment:
// 16-bit mono PCM at a fixed rate, loudness already applied.
#pragma once

#include "GbkText.h"

#include <memory>
#include <string>
#include <vector>

namespace sonvela {

class SpeechSource {
public:
    virtual ~SpeechSource() = default;
    virtual int SampleRate() const = 0;
    // The samples for one segment as the reader hands it to the voice (GBK,
    // placeholder filled in, delay sign removed). Throws SpeechError.
    virtual std::vector<short> Say(const GbkString& segment) = 0;
    // A key under which the same segment always sounds the same (so a
    // repeated segment is synthesised once per rendering).
    virtual std::string KeyOf(const GbkString& segment) const = 0;
};

namespace frontend {
class FrontEnd;
}

// The live voice's sound: the Chinese front-end for the chosen voice, then
// espeak-ng at the rate and volume of the options panel, exactly as the
// speech voice prepares and scales a text before it plays it.
std::unique_ptr<SpeechSource> MakeEspeakSpeech(int voiceIndex, int rate, int volume,
                                               const frontend::FrontEnd& frontEnd);

} // namespace sonvela
