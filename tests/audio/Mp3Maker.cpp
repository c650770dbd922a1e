#include "Mp3Maker.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <unistd.h>
#include <vector>

namespace sonvela::test {

namespace {

void Put16(std::ofstream& out, std::uint16_t value) {
    const char bytes[2] = {static_cast<char>(value & 0xff), static_cast<char>(value >> 8)};
    out.write(bytes, 2);
}

void Put32(std::ofstream& out, std::uint32_t value) {
    Put16(out, static_cast<std::uint16_t>(value & 0xffff));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

bool WriteSineWav(const SineMp3& request, const std::filesystem::path& path) {
    const int channels = request.mono ? 1 : 2;
    const auto frames = static_cast<std::uint32_t>(request.seconds * request.rate);
    const std::uint32_t dataBytes = frames * static_cast<std::uint32_t>(channels) * 2;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    Put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, static_cast<std::uint16_t>(channels));
    Put32(out, static_cast<std::uint32_t>(request.rate));
    Put32(out, static_cast<std::uint32_t>(request.rate * channels * 2));
    Put16(out, static_cast<std::uint16_t>(channels * 2));
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, dataBytes);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double value =
            request.amplitude * 32767.0 *
            std::sin(2.0 * std::numbers::pi * request.frequency * i / request.rate);
        for (int c = 0; c < channels; ++c) {
            samples[static_cast<std::size_t>(i) * channels + c] =
                static_cast<std::int16_t>(std::lround(value));
        }
    }
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * 2));
    return static_cast<bool>(out);
}

} // namespace

bool MakeSineMp3(const SineMp3& request, const std::filesystem::path& path) {
    const auto wav = std::filesystem::path(path).replace_extension(".wav");
    if (!WriteSineWav(request, wav)) {
        return false;
    }
    const std::string command = std::string(SONVELA_LAME) + " --quiet -b 128 '" + wav.string() +
                                "' '" + path.string() + "'";
    const int result = std::system(command.c_str());
    std::filesystem::remove(wav);
    return result == 0 && std::filesystem::exists(path);
}

ScratchFolder::ScratchFolder(const std::string& name)
    : path_(std::filesystem::temp_directory_path() /
            ("sonvela-" + name + "-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace sonvela::test
