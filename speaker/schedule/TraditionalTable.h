// The generated table of traditional forms: pairs of two-byte GBK codes
// (lead byte << 8 | trail byte), sorted by the simplified code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sonvela {

struct TraditionalPair {
    std::uint16_t simplified;
    std::uint16_t traditional;
};

extern const TraditionalPair kTraditionalPairs[];
extern const std::size_t kTraditionalPairCount;

} // namespace sonvela
