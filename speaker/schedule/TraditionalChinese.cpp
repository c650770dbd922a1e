#include "TraditionalChinese.h"

#include "TraditionalTable.h"

#include <algorithm>

namespace sonvela {

GbkString TraditionalForm(std::string_view gbk) {
    GbkString result(gbk);
    const TraditionalPair* begin = kTraditionalPairs;
    const TraditionalPair* end = kTraditionalPairs + kTraditionalPairCount;
    for (GbkCharWalker walker(gbk); !walker.AtEnd(); walker.Advance()) {
        const std::string_view character = walker.Current();
        if (character.size() != 2)
            continue;
        const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(character[0]) << 8 |
                                                     static_cast<unsigned char>(character[1]));
        const TraditionalPair* found =
            std::lower_bound(begin, end, code, [](const TraditionalPair& pair, std::uint16_t key) {
                return pair.simplified < key;
            });
        if (found == end || found->simplified != code)
            continue;
        result[walker.Position()] = static_cast<char>(found->traditional >> 8);
        result[walker.Position() + 1] = static_cast<char>(found->traditional & 0xFF);
    }
    return result;
}

} // namespace sonvela
