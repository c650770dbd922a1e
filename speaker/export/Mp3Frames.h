// The few facts about an MPEG-1 Layer III stream that joining encoders'
// output needs: where each frame ends, and the encoder's information frame
// at the start (the Xing or Info header with the LAME extension) that lets
// players skip the encoder's delay and padding and find their way in a
// variable-rate file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace sonvela {

// The length in bytes of the frame whose four header bytes start at
// `header`, or nothing when they are not an MPEG-1 Layer III frame header.
std::optional<std::size_t> Mp3FrameLength(const std::uint8_t* header);

// Splits a run of whole frames into their lengths; nothing when the bytes
// are not such a run (a partial frame at the end counts as not).
std::optional<std::vector<std::uint32_t>> SplitMp3Frames(const std::uint8_t* bytes,
                                                         std::size_t size);

// CRC-16 as the LAME extension uses it (polynomial 0x8005, reflected, from 0).
std::uint16_t LameCrc16(const std::uint8_t* bytes, std::size_t size, std::uint16_t crc = 0);

// What the information frame must say of the finished file.
struct Mp3StreamTotals {
    std::uint32_t frames = 0;     // audio frames, the information frame not counted
    std::uint32_t musicBytes = 0; // bytes of those frames
    std::uint16_t musicCrc = 0;   // LameCrc16 over those bytes
    // The length of each audio frame, in order, for the seek table.
    const std::vector<std::uint32_t>* frameLengths = nullptr;
};

// Rewrites the counts, the seek table and both checksums of an information
// frame that an encoder wrote for a part of the stream (`part`), so that it
// describes the whole (`whole`). The encoder's own conventions (whether a
// count includes the information frame) are kept by moving each count by
// the difference between the part and the whole. False when `frame` is not
// an information frame with a LAME extension.
bool RetotalLameFrame(std::vector<std::uint8_t>& frame, const Mp3StreamTotals& part,
                      const Mp3StreamTotals& whole);

} // namespace sonvela
