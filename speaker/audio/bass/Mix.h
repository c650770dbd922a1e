// The mixer's arithmetic, shared by the live output and by rendering an
// announcement to a file: whatever reaches the speakers and whatever is
// written to a file pass the same sum and the same limiter.
#pragma once

#include "Channel.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace sonvela::audio {

// Frames of the mix are interleaved stereo float.
inline constexpr int kMixChannels = 2;

// Clears `out` (frames * kMixChannels samples), adds every playing channel
// into it and limits the sum. Channels whose position moved are told through
// their `changed` condition.
void MixChannels(const std::vector<std::shared_ptr<Channel>>& channels, float* out,
                 std::size_t frames);

// Bends samples above the knee towards a ceiling just under full scale.
void SoftLimit(float* out, std::size_t count);

} // namespace sonvela::audio
