// The one place that converts between positions in an editor widget and the
// GBK byte offsets the rest of the program speaks.
//
// Cost: a question about an offset finds its paragraph in BlockByteIndex and
// converts that paragraph only (the last one converted is kept until the text
// changes), so a window of a few hundred bytes costs the same in a short and
// in a very long text. The index follows the document's contentsChange.
//
// Display lines are the lines the editor shows, wrapped ones counted: each
// paragraph's layout is forced before its lines are counted, because the
// editor lays paragraphs out lazily and drops the layouts on every resize.
//
// UI thread only.
#pragma once

#include "BlockByteIndex.h"
#include "GbkText.h"

#include <QObject>
#include <cstdint>
#include <vector>

class QPlainTextEdit;
class QTextBlock;

namespace sonvela {

class MemoGbkAdapter final : public QObject {
public:
    explicit MemoGbkAdapter(QPlainTextEdit* memo);

    QPlainTextEdit* Memo() const { return memo_; }

    std::int64_t TotalBytes() const { return index_.TotalBytes(); }
    // Document position of a byte offset (clamped to the text; an offset
    // inside a character is that character's start).
    int PositionOfOffset(std::int64_t offset) const;
    std::int64_t OffsetOfPosition(int position) const;

    GbkString TextWindow(std::int64_t offset, std::int64_t maxBytes) const;
    GbkString Text() const;
    bool TextIsBlank() const;

    std::int64_t Caret() const;
    void SetCaret(std::int64_t offset);
    std::int64_t SelectionLength() const;
    void SetSelection(std::int64_t start, std::int64_t length);
    GbkString SelectedText() const;

    int LineOfOffset(std::int64_t offset) const;
    int LineCount() const;
    // Byte offset of the first character of display line `line`, and the
    // text of that line; -1 and empty when the line does not exist.
    std::int64_t LineStartOffset(int line) const;
    GbkString LineText(int line) const;
    void ScrollOneLine();

private:
    struct BlockBytes {
        int block = -1;
        GbkString gbk;
        // Byte offset of each UTF-16 unit of the paragraph, plus its end; the
        // second half of a surrogate pair has its character's offset.
        std::vector<std::int32_t> unitOffsets;
    };

    void Rebuild();
    void OnContentsChange(int position, int charsRemoved, int charsAdded);
    const BlockBytes& Bytes(const QTextBlock& block) const;
    // Lays out the paragraph when the editor has not, and returns its lines.
    int LaidOutLineCount(const QTextBlock& block) const;
    int FirstLineOfBlock(const QTextBlock& block) const;

    QPlainTextEdit* memo_;
    BlockByteIndex index_;
    int indexedBlocks_ = 1;
    mutable BlockBytes cache_;
};

} // namespace sonvela
