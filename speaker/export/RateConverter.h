// Converts the finished mix (float frames) to the rate a file format needs,
// with an exact frame count: n frames in become round(n * to / from) out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct _SDL_AudioStream;

namespace sonvela {

class RateConverter {
public:
    // Throws std::runtime_error when the converter cannot be built.
    RateConverter(int fromRate, int toRate, int channels);
    ~RateConverter();
    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    // Converts `count` frames; the frames ready so far are appended to `out`.
    bool Put(const float* frames, std::size_t count, std::vector<float>& out);
    // The rest, so that the whole output has exactly its due length.
    bool Finish(std::vector<float>& out);

private:
    bool Take(std::vector<float>& out);

    int from_;
    int to_;
    int channels_;
    _SDL_AudioStream* stream_ = nullptr;
    std::uint64_t in_ = 0;
    std::uint64_t out_ = 0;
};

} // namespace sonvela
