// The one place that converts between positions in an editor widget and the
// GBK byte offsets the rest of the program speaks.
//
// Cost: a question about an offset finds its paragraph in BlockByteIndex and
// converts that paragraph only (the last few converted are kept until the text
// changes), so a window of a few hundred bytes costs the same in a short and
// in a very long text. The index follows the document's contentsChange.
//
// Display lines are the lines the editor shows, wrapped ones counted, and
// numbered as the editor's own scroll bar numbers them: from the line counts
// the document keeps per paragraph, which answer "which line" and "how many"
// without walking the text. The editor lays paragraphs out lazily and drops
// the layouts on every resize, so the paragraph asked about is laid out
// first; a short text is laid out whole, making every number exact, while in
// a long one a paragraph never shown counts as the editor counts it until it
// is laid out. A question thus costs the same in a short and a long text.
//
// UI thread only.
#pragma once

#include "BlockByteIndex.h"
#include "GbkText.h"

#include <QObject>
#include <array>
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
    // What Text() gives, from the document's raw text (toRawText), on any
    // thread: the raw text is taken quickly, the conversion can run aside.
    static GbkString RawTextAsGbk(QString raw);
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
    // Scrolls the line holding `offset` to the top of the view when it is
    // not on screen; leaves the view alone when it is.
    void KeepLineInView(std::int64_t offset);

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
    void ForgetConvertedBlocks();
    // Lays out the paragraph when the editor has not (or threw its layout
    // away on a resize).
    void LayOut(const QTextBlock& block) const;
    // Makes the line numbers the editor keeps (QTextBlock::firstLineNumber,
    // the document's line count) fit for answering; see the .cpp.
    void PrepareLineNumbers() const;
    int VisibleRows() const;

    // Texts up to this many characters are laid out whole for line numbers.
    static constexpr int kWholeLayoutChars = 200'000;

    QPlainTextEdit* memo_;
    BlockByteIndex index_;
    int indexedBlocks_ = 1;
    // The last few paragraphs converted: a window often spans two or three,
    // and a find's next window starts in the last of them.
    mutable std::array<BlockBytes, 4> cache_;
    mutable std::size_t nextSlot_ = 0;
};

} // namespace sonvela
