#include "Upsampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace sonvela::audio {

namespace {

// The inner loops run over a fixed number of samples, with pointers that
// cannot overlap: the compiler then turns them into vector code even at -O2,
// whose cost model leaves loops of unknown length or with possibly
// overlapping pointers scalar. That keeps resampling a long text well below
// the cost of synthesising it.
constexpr std::size_t kBlock = 16;
constexpr int kTaps = Upsampler::kTaps;

// out[j] = sum over d of tap[d] * in[j + d].
template <std::size_t N>
void Interpolate(const float* __restrict in, const float* __restrict tap, float* __restrict out) {
    float sum[N] = {};
    for (int d = 0; d < kTaps; ++d) {
        const float weight = tap[d];
        for (std::size_t j = 0; j < N; ++j) {
            sum[j] += weight * in[j + static_cast<std::size_t>(d)];
        }
    }
    for (std::size_t j = 0; j < N; ++j) {
        out[j] = sum[j];
    }
}

// The same for a symmetric filter (tap d equals tap kTaps - 1 - d): the two
// inputs of a pair share one multiply.
template <std::size_t N>
void InterpolateSymmetric(const float* __restrict in, const float* __restrict tap,
                          float* __restrict out) {
    float sum[N] = {};
    for (int d = 0; d < Upsampler::kReach; ++d) {
        const float weight = tap[d];
        const float* near = in + d;
        const float* far = in + (kTaps - 1 - d);
        for (std::size_t j = 0; j < N; ++j) {
            sum[j] += weight * (near[j] + far[j]);
        }
    }
    for (std::size_t j = 0; j < N; ++j) {
        out[j] = sum[j];
    }
}

// Mono doubled into stereo frames: each input sample, then the sample
// interpolated after it, both on the two sides.
template <std::size_t N>
void InterleaveDoubled(const float* __restrict in, const float* __restrict mid,
                       float* __restrict to) {
    for (std::size_t j = 0; j < N; ++j) {
        to[4 * j] = in[j];
        to[4 * j + 1] = in[j];
        to[4 * j + 2] = mid[j];
        to[4 * j + 3] = mid[j];
    }
}

// N 16-bit samples, in the host's order and possibly unaligned, to float.
template <std::size_t N> void ConvertS16(const char* from, float* __restrict to) {
    std::int16_t samples[N];
    std::memcpy(samples, from, sizeof samples);
    for (std::size_t j = 0; j < N; ++j) {
        to[j] = static_cast<float>(samples[j]) * (1.0f / 32768.0f);
    }
}

} // namespace

Upsampler::Upsampler(int factor, int channels, bool sourceFloat)
    : factor_(factor), channels_(channels), float_(sourceFloat) {
    // A windowed sinc with its zeros on the input samples (a Nyquist
    // filter), so phase 0 passes the input through unchanged.
    const double span = static_cast<double>(kReach) * factor_;
    auto prototype = [&](double j) {
        if (std::fabs(j) >= span) {
            return 0.0;
        }
        const double x = j / factor_;
        const double sinc =
            x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        const double window = 0.42 + 0.5 * std::cos(std::numbers::pi * j / span) +
                              0.08 * std::cos(2 * std::numbers::pi * j / span);
        return sinc * window;
    };
    taps_.assign(static_cast<std::size_t>(factor_), std::vector<float>(kTaps, 0.0f));
    for (int phase = 0; phase < factor_; ++phase) {
        double sum = 0;
        for (int d = -kReach + 1; d <= kReach; ++d) {
            sum += prototype(phase - static_cast<double>(d) * factor_);
        }
        for (int d = -kReach + 1; d <= kReach; ++d) {
            // Each phase sums to one: a constant level comes out unchanged.
            taps_[static_cast<std::size_t>(phase)][static_cast<std::size_t>(d + kReach - 1)] =
                static_cast<float>(prototype(phase - static_cast<double>(d) * factor_) / sum);
        }
    }
    if (factor_ == 2) {
        // The midway phase of a doubling lies halfway between its inputs:
        // its taps are symmetric, which the half-band path relies on. Make
        // that exact whatever the rounding of the window.
        auto& tap = taps_[1];
        for (std::size_t d = 0; d < kReach; ++d) {
            tap[kTaps - 1 - d] = tap[d];
        }
    }
    Reset();
}

void Upsampler::Reset() {
    for (auto& channel : input_) {
        channel.assign(kReach, 0.0f);
    }
    next_ = kReach;
}

void Upsampler::Process(const void* data, std::size_t frames, std::vector<float>& out) {
    const auto* from = static_cast<const char*>(data);
    if (channels_ == 1) {
        auto& channel = input_[0];
        const std::size_t base = channel.size();
        channel.resize(base + frames);
        float* to = channel.data() + base;
        if (float_) {
            std::memcpy(to, from, frames * sizeof(float));
        } else {
            std::size_t i = 0;
            for (; i + kBlock <= frames; i += kBlock) {
                ConvertS16<kBlock>(from + i * sizeof(std::int16_t), to + i);
            }
            for (; i < frames; ++i) {
                ConvertS16<1>(from + i * sizeof(std::int16_t), to + i);
            }
        }
    } else {
        for (int c = 0; c < channels_; ++c) {
            auto& channel = input_[c];
            const std::size_t base = channel.size();
            channel.resize(base + frames);
            for (std::size_t i = 0; i < frames; ++i) {
                const std::size_t at =
                    i * static_cast<std::size_t>(channels_) + static_cast<std::size_t>(c);
                if (float_) {
                    std::memcpy(&channel[base + i], from + at * sizeof(float), sizeof(float));
                } else {
                    ConvertS16<1>(from + at * sizeof(std::int16_t), &channel[base + i]);
                }
            }
        }
    }
    Emit(out);
}

void Upsampler::Flush(std::vector<float>& out) {
    for (int c = 0; c < channels_; ++c) {
        input_[c].insert(input_[c].end(), kReach, 0.0f);
    }
    Emit(out);
    Reset();
}

void Upsampler::Emit(std::vector<float>& out) {
    const std::size_t size = input_[0].size();
    if (next_ + kReach >= size) {
        return;
    }
    const std::size_t ready = size - kReach - next_;
    const std::size_t start = out.size();
    const auto factor = static_cast<std::size_t>(factor_);
    out.resize(start + ready * factor * 2);
    float* to = out.data() + start;
    if (factor_ == 2 && channels_ == 1) {
        EmitHalfBandMono(input_[0].data() + next_ - kReach + 1, ready, to);
    } else {
        EmitGeneral(ready, to);
    }
    next_ += ready;
    // Keep only the look-back the next outputs need.
    const std::size_t drop = next_ - kReach;
    for (int c = 0; c < channels_; ++c) {
        input_[c].erase(input_[c].begin(), input_[c].begin() + static_cast<std::ptrdiff_t>(drop));
    }
    next_ = kReach;
}

// Doubling is a half-band filter: every other output is the input sample
// itself and the one between is a symmetric sum of its neighbours, so
// there are kReach multiplies per input frame. `in` holds the inputs from
// kReach - 1 before the first one due.
void Upsampler::EmitHalfBandMono(const float* in, std::size_t ready, float* to) const {
    const float* tap = taps_[1].data();
    float mid[kBlock];
    std::size_t m = 0;
    for (; m + kBlock <= ready; m += kBlock) {
        InterpolateSymmetric<kBlock>(in + m, tap, mid);
        InterleaveDoubled<kBlock>(in + m + kReach - 1, mid, to + m * 4);
    }
    for (; m < ready; ++m) {
        InterpolateSymmetric<1>(in + m, tap, mid);
        InterleaveDoubled<1>(in + m + kReach - 1, mid, to + m * 4);
    }
}

void Upsampler::EmitGeneral(std::size_t ready, float* to) const {
    const auto factor = static_cast<std::size_t>(factor_);
    const std::size_t stride = factor * 2;
    float value[kBlock];
    for (int c = 0; c < channels_; ++c) {
        const float* in = input_[c].data() + next_ - kReach + 1;
        for (std::size_t m = 0; m < ready; m += kBlock) {
            const std::size_t count = std::min(kBlock, ready - m);
            for (std::size_t phase = 0; phase < factor; ++phase) {
                const float* tap = taps_[phase].data();
                if (phase == 0) {
                    std::copy(in + m + kReach - 1, in + m + kReach - 1 + count, value);
                } else if (count == kBlock) {
                    Interpolate<kBlock>(in + m, tap, value);
                } else {
                    for (std::size_t j = 0; j < count; ++j) {
                        Interpolate<1>(in + m + j, tap, value + j);
                    }
                }
                float* column = to + m * stride + phase * 2 + static_cast<std::size_t>(c);
                for (std::size_t j = 0; j < count; ++j) {
                    column[j * stride] = value[j];
                    if (channels_ == 1) {
                        column[j * stride + 1] = value[j];
                    }
                }
            }
        }
    }
}

} // namespace sonvela::audio
