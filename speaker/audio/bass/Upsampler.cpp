#include "Upsampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace sonvela::audio {

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
    taps_.assign(static_cast<std::size_t>(factor_), std::vector<float>(2 * kReach, 0.0f));
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
    Reset();
}

void Upsampler::Reset() {
    for (auto& channel : input_) {
        channel.assign(kReach, 0.0f);
    }
    next_ = kReach;
}

void Upsampler::Process(const void* data, std::size_t frames, std::vector<float>& out) {
    for (int c = 0; c < channels_; ++c) {
        auto& channel = input_[c];
        const std::size_t base = channel.size();
        channel.resize(base + frames);
        for (std::size_t i = 0; i < frames; ++i) {
            const std::size_t at =
                i * static_cast<std::size_t>(channels_) + static_cast<std::size_t>(c);
            float sample = 0;
            if (float_) {
                std::memcpy(&sample, static_cast<const char*>(data) + at * sizeof(float),
                            sizeof sample);
            } else {
                std::int16_t value = 0;
                std::memcpy(&value, static_cast<const char*>(data) + at * sizeof value,
                            sizeof value);
                sample = static_cast<float>(value) * (1.0f / 32768.0f);
            }
            channel[base + i] = sample;
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
    // Phase by phase over the whole block, tap by tap: loops the compiler
    // turns into vector code, which keeps the conversion well below the cost
    // of synthesising the speech.
    phase_.resize(ready);
    for (int c = 0; c < channels_; ++c) {
        const float* in = input_[c].data() + next_ - kReach + 1;
        for (std::size_t phase = 0; phase < factor; ++phase) {
            if (phase == 0) {
                std::copy(in + kReach - 1, in + kReach - 1 + ready, phase_.begin());
            } else {
                std::fill(phase_.begin(), phase_.end(), 0.0f);
                const float* tap = taps_[phase].data();
                for (int d = 0; d < 2 * kReach; ++d) {
                    const float weight = tap[d];
                    const float* from = in + d;
                    float* sum = phase_.data();
                    for (std::size_t m = 0; m < ready; ++m) {
                        sum[m] += weight * from[m];
                    }
                }
            }
            float* column = to + phase * 2 + static_cast<std::size_t>(c);
            const std::size_t stride = factor * 2;
            for (std::size_t m = 0; m < ready; ++m) {
                column[m * stride] = phase_[m];
            }
            if (channels_ == 1) {
                for (std::size_t m = 0; m < ready; ++m) {
                    column[m * stride + 1] = phase_[m];
                }
            }
        }
    }
    next_ += ready;
    // Keep only the look-back the next outputs need.
    const std::size_t drop = next_ - kReach;
    for (int c = 0; c < channels_; ++c) {
        input_[c].erase(input_[c].begin(), input_[c].begin() + static_cast<std::ptrdiff_t>(drop));
    }
    next_ = kReach;
}

} // namespace sonvela::audio
