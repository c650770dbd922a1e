// Where each paragraph of the editor starts, counted in GBK bytes.
//
// The editor holds Unicode; the reader speaks GBK byte offsets. Converting the
// whole document for every question would make a 500-byte window cost as much
// as the whole text, so the adapter keeps the GBK length of every paragraph
// (block) here and updates only the paragraphs an edit touched. An offset then
// finds its paragraph by binary search and only that paragraph is converted.
//
// Paragraphs are joined by one line-break byte, so paragraph i starts at the
// sum of the lengths of the paragraphs before it plus i.
#pragma once

#include <cstdint>
#include <vector>

namespace sonvela {

class BlockByteIndex {
public:
    struct Position {
        int block = 0;
        std::int64_t offsetInBlock = 0;
    };

    // The index of a document with these paragraph lengths (at least one).
    void Reset(std::vector<std::int64_t> blockLengths);
    // Paragraphs [first, first + removed) are replaced by `lengths`.
    void Replace(int first, int removed, const std::vector<std::int64_t>& lengths);

    int BlockCount() const { return static_cast<int>(lengths_.size()); }
    std::int64_t BlockLength(int block) const { return lengths_[static_cast<std::size_t>(block)]; }
    std::int64_t BlockStart(int block) const;
    // Bytes of the whole text, line breaks included.
    std::int64_t TotalBytes() const;

    // The paragraph holding `offset`, clamped to the text: an offset on a line
    // break belongs to the end of the paragraph before it; an offset past the
    // end is the end of the last paragraph.
    Position Locate(std::int64_t offset) const;

private:
    // Starts are summed lazily from the first paragraph an edit changed, so a
    // burst of typing costs one pass and a reading costs none.
    void RefreshStarts() const;

    std::vector<std::int64_t> lengths_{0};
    mutable std::vector<std::int64_t> starts_{0};
    mutable std::size_t validStarts_ = 1;
};

} // namespace sonvela
