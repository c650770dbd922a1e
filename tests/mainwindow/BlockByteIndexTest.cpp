#include "BlockByteIndex.h"

#include <gtest/gtest.h>

namespace sonvela {
namespace {

TEST(BlockByteIndex, LocatesOffsetsAcrossParagraphsAndLineBreaks) {
    BlockByteIndex index;
    index.Reset({4, 0, 6}); // "abcd" "" "xxxxxx": starts 0, 5, 6
    EXPECT_EQ(index.TotalBytes(), 12);
    EXPECT_EQ(index.BlockStart(2), 6);

    auto at = [&](std::int64_t offset) {
        const auto p = index.Locate(offset);
        return std::make_pair(p.block, p.offsetInBlock);
    };
    EXPECT_EQ(at(0), std::make_pair(0, std::int64_t{0}));
    EXPECT_EQ(at(4), std::make_pair(0, std::int64_t{4})); // the line break after "abcd"
    EXPECT_EQ(at(5), std::make_pair(1, std::int64_t{0})); // the empty paragraph
    EXPECT_EQ(at(6), std::make_pair(2, std::int64_t{0}));
    EXPECT_EQ(at(12), std::make_pair(2, std::int64_t{6}));
    EXPECT_EQ(at(999), std::make_pair(2, std::int64_t{6}));
    EXPECT_EQ(at(-3), std::make_pair(0, std::int64_t{0}));
}

TEST(BlockByteIndex, ReplacingParagraphsMovesOnlyTheStartsAfterThem) {
    BlockByteIndex index;
    index.Reset({3, 3, 3, 3}); // starts 0 4 8 12
    EXPECT_EQ(index.BlockStart(3), 12);
    index.Replace(1, 2, {10}); // two paragraphs joined into one of 10 bytes
    ASSERT_EQ(index.BlockCount(), 3);
    EXPECT_EQ(index.BlockStart(1), 4);
    EXPECT_EQ(index.BlockStart(2), 15);
    EXPECT_EQ(index.TotalBytes(), 18);
    index.Replace(0, 1, {1, 1, 1}); // a paragraph split in three
    EXPECT_EQ(index.BlockCount(), 5);
    EXPECT_EQ(index.BlockStart(3), 6);
    EXPECT_EQ(index.Locate(7).block, 3);
    index.Replace(0, 5, {});
    EXPECT_EQ(index.BlockCount(), 1);
    EXPECT_EQ(index.TotalBytes(), 0);
}

} // namespace
} // namespace sonvela
