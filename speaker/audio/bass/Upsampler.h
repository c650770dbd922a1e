// Conversion of PCM to the mixer's stereo float at a whole multiple of its
// rate (22050 Hz speech into a 44100 Hz mix is the common case).
//
// SDL's general resampler costs more than espeak-ng takes to synthesise the
// speech; an interpolator for whole factors is a short polyphase filter in
// which every factor-th output is the input sample itself. It also keeps the
// frame count exact: n input frames become exactly n * factor output frames
// once flushed.
#pragma once

#include <cstddef>
#include <vector>

namespace sonvela::audio {

class Upsampler {
public:
    // `factor` 1..8; `channels` 1 or 2; samples 16-bit signed or float.
    Upsampler(int factor, int channels, bool sourceFloat);

    // Converts `frames` frames and appends the output frames that are ready
    // (interleaved stereo) to `out`. The last few input frames are held back
    // until more input or Flush.
    void Process(const void* data, std::size_t frames, std::vector<float>& out);
    // Emits what is held back and starts afresh.
    void Flush(std::vector<float>& out);
    void Reset();

    // Input frames held back for the filter's look-ahead.
    static constexpr int kReach = 6;
    static constexpr int kTaps = 2 * kReach;

private:
    void Emit(std::vector<float>& out);
    // Doubling mono, the speech path: a half-band filter, see Emit.
    void EmitHalfBandMono(const float* in, std::size_t ready, float* to) const;
    void EmitGeneral(std::size_t ready, float* to) const;

    int factor_;
    int channels_;
    bool float_;
    // taps_[phase][d] weighs input m + d - kReach + 1 for output phase
    // `phase` of input m.
    std::vector<std::vector<float>> taps_;
    // Input per channel; `next_` is the next input whose outputs are due.
    std::vector<float> input_[2];
    std::size_t next_ = 0;
};

} // namespace sonvela::audio
