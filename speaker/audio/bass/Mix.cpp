#include "Mix.h"

#include <algorithm>
#include <cmath>

namespace sonvela::audio {

namespace {

// The mix never reaches full scale: speech at full volume peaks at it on
// its own, the resampler overshoots a little, and music and a chime add up.
// Samples up to the knee pass untouched (quiet and normal material keeps
// its level exactly); above it a smooth curve bends them towards a ceiling
// just under full scale, which they approach but never reach. A voice whose
// peaks stand at full scale loses about half a decibel on those peaks alone.
constexpr float kKnee = 0.8f;
constexpr float kCeiling = 0.98f;

float Bend(float sample) {
    constexpr float span = kCeiling - kKnee;
    const float bent = kKnee + span * std::tanh((std::fabs(sample) - kKnee) / span);
    return std::copysign(bent, sample);
}

} // namespace

void SoftLimit(float* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        // Rare in practice: the common path is one comparison per sample.
        if (out[i] > kKnee || out[i] < -kKnee) {
            out[i] = Bend(out[i]);
        }
    }
}

void MixChannels(const std::vector<std::shared_ptr<Channel>>& channels, float* out,
                 std::size_t frames) {
    std::fill(out, out + frames * kMixChannels, 0.0f);
    for (const auto& channel : channels) {
        if (channel->MixInto(out, frames)) {
            channel->changed.notify_all();
        }
    }
    SoftLimit(out, frames * kMixChannels);
}

} // namespace sonvela::audio
