#include "Mp3Frames.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sonvela {
namespace {

constexpr std::array<int, 16> kLayer3Kbps = {0,   32,  40,  48,  56,  64,  80,  96,
                                             112, 128, 160, 192, 224, 256, 320, 0};
constexpr std::array<int, 4> kMpeg1Rates = {44100, 48000, 32000, 0};
constexpr std::size_t kTocEntries = 100;

std::uint32_t ReadBig32(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
           (std::uint32_t{at[2]} << 8) | std::uint32_t{at[3]};
}

void WriteBig32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

void WriteBig16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

// Where the fields of an information frame are.
struct InfoLayout {
    std::size_t frames = 0;
    std::size_t bytes = 0;
    std::optional<std::size_t> toc;
    std::size_t lame = 0;
};

std::optional<InfoLayout> LayoutOf(const std::vector<std::uint8_t>& frame) {
    const auto length = frame.size() >= 4 ? Mp3FrameLength(frame.data()) : std::nullopt;
    if (!length || *length != frame.size())
        return std::nullopt;
    const bool mono = (frame[3] >> 6) == 3;
    const bool protectedByCrc = (frame[1] & 1) == 0;
    std::size_t at = 4 + (protectedByCrc ? 2 : 0) + (mono ? 17 : 32);
    if (at + 8 > frame.size() ||
        (std::memcmp(&frame[at], "Xing", 4) != 0 && std::memcmp(&frame[at], "Info", 4) != 0))
        return std::nullopt;
    const std::uint32_t flags = ReadBig32(&frame[at + 4]);
    if ((flags & 0x3) != 0x3)
        return std::nullopt; // the counts are what this is for
    InfoLayout layout;
    at += 8;
    layout.frames = at;
    layout.bytes = at + 4;
    at += 8;
    if ((flags & 0x4) != 0) {
        layout.toc = at;
        at += kTocEntries;
    }
    if ((flags & 0x8) != 0)
        at += 4;
    layout.lame = at;
    if (layout.lame + 36 > frame.size() || std::memcmp(&frame[layout.lame], "LAME", 4) != 0)
        return std::nullopt;
    return layout;
}

std::uint32_t Moved(std::uint32_t value, std::uint32_t part, std::uint32_t whole) {
    return value - part + whole; // modular arithmetic keeps the difference exact
}

} // namespace

std::optional<std::size_t> Mp3FrameLength(const std::uint8_t* header) {
    // Frame sync, MPEG-1, Layer III.
    if (header[0] != 0xFF || (header[1] & 0xFE) != 0xFA)
        return std::nullopt;
    const int kbps = kLayer3Kbps[header[2] >> 4];
    const int rate = kMpeg1Rates[(header[2] >> 2) & 0x3];
    if (kbps == 0 || rate == 0)
        return std::nullopt;
    const int padding = (header[2] >> 1) & 1;
    return static_cast<std::size_t>(144 * kbps * 1000 / rate + padding);
}

std::optional<std::vector<std::uint32_t>> SplitMp3Frames(const std::uint8_t* bytes,
                                                         std::size_t size) {
    std::vector<std::uint32_t> lengths;
    std::size_t at = 0;
    while (at < size) {
        if (size - at < 4)
            return std::nullopt;
        const auto length = Mp3FrameLength(bytes + at);
        if (!length || *length > size - at)
            return std::nullopt;
        lengths.push_back(static_cast<std::uint32_t>(*length));
        at += *length;
    }
    return lengths;
}

std::uint16_t LameCrc16(const std::uint8_t* bytes, std::size_t size, std::uint16_t crc) {
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

bool RetotalLameFrame(std::vector<std::uint8_t>& frame, const Mp3StreamTotals& part,
                      const Mp3StreamTotals& whole) {
    const auto layout = LayoutOf(frame);
    if (!layout)
        return false;
    WriteBig32(&frame[layout->frames],
               Moved(ReadBig32(&frame[layout->frames]), part.frames, whole.frames));
    WriteBig32(&frame[layout->bytes],
               Moved(ReadBig32(&frame[layout->bytes]), part.musicBytes, whole.musicBytes));
    if (layout->toc && whole.frameLengths != nullptr && whole.musicBytes > 0) {
        // Entry i: how far into the music, in 256ths of its bytes, the frame
        // at i percent of the time starts.
        const auto& lengths = *whole.frameLengths;
        std::uint64_t before = 0;
        std::size_t next = 0;
        for (std::size_t i = 0; i < kTocEntries; ++i) {
            const std::size_t wanted = i * lengths.size() / kTocEntries;
            for (; next < wanted; ++next)
                before += lengths[next];
            frame[*layout->toc + i] = static_cast<std::uint8_t>(
                std::min<std::uint64_t>(255, 256 * before / whole.musicBytes));
        }
    }
    const std::size_t musicLength = layout->lame + 28;
    WriteBig32(&frame[musicLength],
               Moved(ReadBig32(&frame[musicLength]), part.musicBytes, whole.musicBytes));
    WriteBig16(&frame[layout->lame + 32], whole.musicCrc);
    WriteBig16(&frame[layout->lame + 34], LameCrc16(frame.data(), layout->lame + 34));
    return true;
}

} // namespace sonvela
