// Makes the clock chime: two bell strokes, high then low, dying away over
// 2.6 seconds; 44.1 kHz, two channels, 16-bit PCM in a WAV file.
//
// Usage: make_chime <output.wav>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kSeconds = 2.6;

// A struck bell: a few inharmonic partials, each dying away at its own pace.
double Bell(double pitch, double t) {
    struct Partial {
        double ratio, level, decay;
    };
    static constexpr Partial kPartials[] = {
        {1.0, 0.55, 1.6}, {2.0, 0.25, 2.4}, {2.76, 0.12, 3.5}, {5.40, 0.06, 5.0}};
    if (t < 0)
        return 0;
    const double attack = std::min(1.0, t / 0.004);
    double value = 0;
    for (const Partial& p : kPartials)
        value +=
            p.level * std::exp(-p.decay * t) * std::sin(2 * std::numbers::pi * pitch * p.ratio * t);
    return attack * value;
}

void Put(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>(value >> (8 * i) & 0xFF));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    const int frames = static_cast<int>(kRate * kSeconds);
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(frames * kChannels));
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // Fade the last 0.2 s so the sound ends without a click.
        const double fade = std::min(1.0, (kSeconds - t) / 0.2);
        const double value = fade * 0.8 * (Bell(880.0, t) + 0.9 * Bell(659.25, t - 0.55));
        const auto sample =
            static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32000));
        samples.push_back(sample);
        samples.push_back(sample);
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::ofstream out(argv[1], std::ios::binary);
    out.write("RIFF", 4);
    Put(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    Put(out, 16, 4);
    Put(out, 1, 2); // PCM
    Put(out, kChannels, 2);
    Put(out, kRate, 4);
    Put(out, kRate * kChannels * 2, 4);
    Put(out, kChannels * 2, 2);
    Put(out, 16, 2);
    out.write("data", 4);
    Put(out, dataBytes, 4);
    for (std::int16_t sample : samples)
        Put(out, static_cast<std::uint16_t>(sample), 2);
    return out ? 0 : 1;
}
