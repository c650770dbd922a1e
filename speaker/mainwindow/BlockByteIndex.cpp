#include "BlockByteIndex.h"

#include <algorithm>
#include <iterator>

namespace sonvela {

void BlockByteIndex::Reset(std::vector<std::int64_t> blockLengths) {
    if (blockLengths.empty())
        blockLengths.push_back(0);
    lengths_ = std::move(blockLengths);
    starts_.assign(lengths_.size(), 0);
    validStarts_ = 1;
}

void BlockByteIndex::Replace(int first, int removed, const std::vector<std::int64_t>& lengths) {
    const auto begin = lengths_.begin() + first;
    lengths_.erase(begin, begin + removed);
    lengths_.insert(lengths_.begin() + first, lengths.begin(), lengths.end());
    if (lengths_.empty())
        lengths_.push_back(0);
    starts_.resize(lengths_.size());
    validStarts_ = std::min(validStarts_, static_cast<std::size_t>(std::max(first, 1)));
}

void BlockByteIndex::RefreshStarts() const {
    for (std::size_t i = std::max<std::size_t>(validStarts_, 1); i < lengths_.size(); ++i)
        starts_[i] = starts_[i - 1] + lengths_[i - 1] + 1;
    starts_[0] = 0;
    validStarts_ = lengths_.size();
}

std::int64_t BlockByteIndex::BlockStart(int block) const {
    if (validStarts_ < lengths_.size())
        RefreshStarts();
    return starts_[static_cast<std::size_t>(block)];
}

std::int64_t BlockByteIndex::TotalBytes() const {
    const int last = BlockCount() - 1;
    return BlockStart(last) + BlockLength(last);
}

BlockByteIndex::Position BlockByteIndex::Locate(std::int64_t offset) const {
    if (validStarts_ < lengths_.size())
        RefreshStarts();
    offset = std::clamp<std::int64_t>(offset, 0, TotalBytes());
    // The last paragraph starting at or before the offset; a line-break byte
    // (start - 1) is the end of the paragraph before.
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    const auto block = static_cast<int>(std::distance(starts_.begin(), after)) - 1;
    return {block, std::min(offset - starts_[static_cast<std::size_t>(block)], BlockLength(block))};
}

} // namespace sonvela
