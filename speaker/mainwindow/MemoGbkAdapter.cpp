#include "MemoGbkAdapter.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <string_view>

namespace sonvela {
namespace {

// A paragraph's text as the document's plain text gives it: a soft line
// break counts as a line break and a non-breaking space as a blank, so that
// offsets agree with the text the program saves and reads.
QString PlainBlockText(const QTextBlock& block) {
    QString text = block.text();
    for (QChar& c : text) {
        if (c == QChar::LineSeparator)
            c = QLatin1Char('\n');
        else if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
    }
    return text;
}

std::u16string_view Utf16View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

std::int64_t BlockGbkLength(const QTextBlock& block) {
    return static_cast<std::int64_t>(Utf16ToGbk(Utf16View(PlainBlockText(block))).size());
}

// A layout's line count, with the paragraph laid out first when the editor
// has not done so yet (or threw the layout away on a resize).
int ForcedLineCount(const QTextDocument* document, const QTextBlock& block) {
    if (!block.isVisible())
        return 0;
    if (block.layout()->lineCount() == 0)
        document->documentLayout()->blockBoundingRect(block);
    return std::max(1, block.layout()->lineCount());
}

// Keeps the view where it is across a cursor change: the reader moves the
// selection and scrolls by itself, as the operator's own commands do.
class ViewKeeper {
public:
    explicit ViewKeeper(QPlainTextEdit* memo)
        : memo_(memo), vertical_(memo->verticalScrollBar()->value()),
          horizontal_(memo->horizontalScrollBar()->value()) {}
    ~ViewKeeper() {
        memo_->verticalScrollBar()->setValue(vertical_);
        memo_->horizontalScrollBar()->setValue(horizontal_);
    }
    ViewKeeper(const ViewKeeper&) = delete;
    ViewKeeper& operator=(const ViewKeeper&) = delete;

private:
    QPlainTextEdit* memo_;
    int vertical_;
    int horizontal_;
};

} // namespace

MemoGbkAdapter::MemoGbkAdapter(QPlainTextEdit* memo) : QObject(memo), memo_(memo) {
    Rebuild();
    connect(memo_->document(), &QTextDocument::contentsChange, this,
            &MemoGbkAdapter::OnContentsChange);
}

void MemoGbkAdapter::Rebuild() {
    const QTextDocument* document = memo_->document();
    std::vector<std::int64_t> lengths;
    lengths.reserve(static_cast<std::size_t>(document->blockCount()));
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lengths.push_back(BlockGbkLength(block));
    index_.Reset(std::move(lengths));
    indexedBlocks_ = document->blockCount();
    ForgetConvertedBlocks();
}

void MemoGbkAdapter::OnContentsChange(int position, int /*charsRemoved*/, int charsAdded) {
    ForgetConvertedBlocks();
    const QTextDocument* document = memo_->document();
    const QTextBlock first = document->findBlock(position);
    QTextBlock last = document->findBlock(position + charsAdded);
    if (!last.isValid())
        last = document->lastBlock();
    if (!first.isValid()) {
        Rebuild();
        return;
    }
    // The paragraphs from the change's start to its end are new; every other
    // paragraph is as it was, so the old span is the new one less the growth.
    const int newCount = document->blockCount();
    const int newSpan = last.blockNumber() - first.blockNumber() + 1;
    const int oldSpan = newSpan - (newCount - indexedBlocks_);
    if (oldSpan < 1 || first.blockNumber() + oldSpan > indexedBlocks_) {
        Rebuild();
        return;
    }
    std::vector<std::int64_t> lengths;
    lengths.reserve(static_cast<std::size_t>(newSpan));
    for (QTextBlock block = first;; block = block.next()) {
        lengths.push_back(BlockGbkLength(block));
        if (block == last)
            break;
    }
    index_.Replace(first.blockNumber(), oldSpan, lengths);
    indexedBlocks_ = newCount;
}

void MemoGbkAdapter::ForgetConvertedBlocks() {
    for (BlockBytes& kept : cache_)
        kept.block = -1;
}

const MemoGbkAdapter::BlockBytes& MemoGbkAdapter::Bytes(const QTextBlock& block) const {
    for (BlockBytes& kept : cache_)
        if (kept.block == block.blockNumber())
            return kept;
    BlockBytes& converted = cache_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % cache_.size();
    const QString text = PlainBlockText(block);
    const std::u16string_view units = Utf16View(text);
    const std::size_t n = units.size();
    converted.block = block.blockNumber();
    converted.gbk = Utf16ToGbk(units);
    converted.unitOffsets.assign(n + 1, 0);

    // Each character of the paragraph is one GBK character (1, 2 or 4 bytes).
    auto unitsOfChar = [&](std::size_t i) {
        return i + 1 < n && QChar::isHighSurrogate(units[i]) && QChar::isLowSurrogate(units[i + 1])
                   ? 2
                   : 1;
    };
    std::size_t byte = 0;
    bool matched = true;
    for (std::size_t i = 0; i < n;) {
        if (byte >= converted.gbk.size()) {
            matched = false;
            break;
        }
        const std::size_t count = unitsOfChar(i);
        for (std::size_t k = 0; k < count; ++k)
            converted.unitOffsets[i + k] = static_cast<std::int32_t>(byte);
        byte += GbkCharLength(converted.gbk, byte);
        i += count;
    }
    if (!matched || byte != converted.gbk.size()) {
        // Text the converter did not turn into one character per character
        // (a broken surrogate): convert character by character instead.
        converted.gbk.clear();
        for (std::size_t i = 0; i < n;) {
            const std::size_t count = unitsOfChar(i);
            for (std::size_t k = 0; k < count; ++k)
                converted.unitOffsets[i + k] = static_cast<std::int32_t>(converted.gbk.size());
            converted.gbk += Utf16ToGbk(units.substr(i, count));
            i += count;
        }
    }
    converted.unitOffsets[n] = static_cast<std::int32_t>(converted.gbk.size());
    return converted;
}

int MemoGbkAdapter::PositionOfOffset(std::int64_t offset) const {
    const BlockByteIndex::Position where = index_.Locate(offset);
    const QTextBlock block = memo_->document()->findBlockByNumber(where.block);
    const BlockBytes& bytes = Bytes(block);
    const auto& offsets = bytes.unitOffsets;
    auto unit = std::upper_bound(offsets.begin(), offsets.end(), where.offsetInBlock) - 1;
    while (unit != offsets.begin() && *(unit - 1) == *unit)
        --unit;
    return block.position() + static_cast<int>(unit - offsets.begin());
}

std::int64_t MemoGbkAdapter::OffsetOfPosition(int position) const {
    const QTextBlock block = memo_->document()->findBlock(std::max(0, position));
    if (!block.isValid())
        return TotalBytes();
    const BlockBytes& bytes = Bytes(block);
    const auto unit = std::clamp<std::size_t>(static_cast<std::size_t>(position - block.position()),
                                              0, bytes.unitOffsets.size() - 1);
    return index_.BlockStart(block.blockNumber()) + bytes.unitOffsets[unit];
}

GbkString MemoGbkAdapter::TextWindow(std::int64_t offset, std::int64_t maxBytes) const {
    GbkString window;
    if (maxBytes <= 0 || offset < 0 || offset >= TotalBytes())
        return window;
    const auto limit = static_cast<std::size_t>(maxBytes);
    BlockByteIndex::Position where = index_.Locate(offset);
    // An offset on a line break belongs to the paragraph before; start the
    // window with that break.
    std::size_t from = static_cast<std::size_t>(where.offsetInBlock);
    for (QTextBlock block = memo_->document()->findBlockByNumber(where.block);
         block.isValid() && window.size() < limit; block = block.next()) {
        const GbkString& gbk = Bytes(block).gbk;
        if (from < gbk.size())
            window.append(gbk, from, limit - window.size());
        if (window.size() < limit && block.next().isValid())
            window += '\n';
        from = 0;
    }
    return window;
}

GbkString MemoGbkAdapter::Text() const {
    return TextWindow(0, TotalBytes());
}

GbkString MemoGbkAdapter::RawTextAsGbk(QString raw) {
    for (QChar& c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
        else if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
    }
    return Utf16ToGbk(Utf16View(raw));
}

bool MemoGbkAdapter::TextIsBlank() const {
    for (QTextBlock block = memo_->document()->begin(); block.isValid(); block = block.next()) {
        for (const QChar c : block.text())
            if (c.unicode() > 32)
                return false;
    }
    return true;
}

std::int64_t MemoGbkAdapter::Caret() const {
    return OffsetOfPosition(memo_->textCursor().selectionStart());
}

void MemoGbkAdapter::SetCaret(std::int64_t offset) {
    ViewKeeper keep(memo_);
    QTextCursor cursor = memo_->textCursor();
    cursor.setPosition(PositionOfOffset(offset));
    memo_->setTextCursor(cursor);
}

std::int64_t MemoGbkAdapter::SelectionLength() const {
    const QTextCursor cursor = memo_->textCursor();
    return OffsetOfPosition(cursor.selectionEnd()) - OffsetOfPosition(cursor.selectionStart());
}

void MemoGbkAdapter::SetSelection(std::int64_t start, std::int64_t length) {
    ViewKeeper keep(memo_);
    start = std::clamp<std::int64_t>(start, 0, TotalBytes());
    const std::int64_t end =
        std::clamp<std::int64_t>(start + std::max<std::int64_t>(length, 0), start, TotalBytes());
    QTextCursor cursor = memo_->textCursor();
    cursor.setPosition(PositionOfOffset(start));
    cursor.setPosition(PositionOfOffset(end), QTextCursor::KeepAnchor);
    memo_->setTextCursor(cursor);
}

GbkString MemoGbkAdapter::SelectedText() const {
    return TextWindow(Caret(), SelectionLength());
}

void MemoGbkAdapter::LayOut(const QTextBlock& block) const {
    ForcedLineCount(memo_->document(), block);
}

void MemoGbkAdapter::PrepareLineNumbers() const {
    const QTextDocument* document = memo_->document();
    if (document->characterCount() <= kWholeLayoutChars) {
        // A text of a few pages is laid out whole: every number is exact.
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            LayOut(block);
        return;
    }
    // A long text: the editor numbers its lines as its scroll bar does,
    // counting a paragraph it has not laid out yet as the lines it last had
    // (one at first). Painting lays out the paragraphs on screen; laying
    // those out here first keeps a painting between two questions from
    // moving the numbers of the lines below them.
    const int rows = VisibleRows();
    QTextBlock block = document->findBlockByLineNumber(memo_->verticalScrollBar()->value());
    for (int lines = 0; block.isValid() && lines <= rows; block = block.next())
        lines += ForcedLineCount(document, block);
}

int MemoGbkAdapter::VisibleRows() const {
    const int spacing = std::max(1, memo_->fontMetrics().lineSpacing());
    return std::max(1, memo_->viewport()->height() / spacing);
}

int MemoGbkAdapter::LineOfOffset(std::int64_t offset) const {
    const int position = PositionOfOffset(offset);
    const QTextBlock block = memo_->document()->findBlock(position);
    if (!block.isValid())
        return std::max(0, LineCount() - 1);
    PrepareLineNumbers();
    LayOut(block);
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    return block.firstLineNumber() + (line.isValid() ? line.lineNumber() : 0);
}

int MemoGbkAdapter::LineCount() const {
    PrepareLineNumbers();
    LayOut(memo_->document()->lastBlock());
    return std::max(1, memo_->document()->lineCount());
}

std::int64_t MemoGbkAdapter::LineStartOffset(int line) const {
    if (line < 0 || line >= LineCount())
        return -1;
    const QTextDocument* document = memo_->document();
    QTextBlock block = document->findBlockByLineNumber(line);
    // Laying a paragraph out may change its line count, and so where the
    // line falls: look again until the paragraph found is laid out.
    while (block.isValid()) {
        LayOut(block);
        const int first = block.firstLineNumber();
        const int count = block.isVisible() ? block.layout()->lineCount() : 0;
        if (line >= first && line < first + count) {
            const QTextLine textLine = block.layout()->lineAt(line - first);
            return OffsetOfPosition(block.position() + textLine.textStart());
        }
        const QTextBlock again = document->findBlockByLineNumber(line);
        block = again.isValid() && again.blockNumber() > block.blockNumber() ? again : block.next();
    }
    return -1;
}

GbkString MemoGbkAdapter::LineText(int line) const {
    const std::int64_t start = LineStartOffset(line);
    if (start < 0)
        return {};
    const int position = PositionOfOffset(start);
    const QTextBlock block = memo_->document()->findBlock(position);
    const QTextLine textLine = block.layout()->lineForTextPosition(position - block.position());
    const int end =
        block.position() + (textLine.isValid() ? textLine.textStart() + textLine.textLength()
                                               : static_cast<int>(block.text().size()));
    return TextWindow(start, OffsetOfPosition(end) - start);
}

void MemoGbkAdapter::KeepLineInView(std::int64_t offset) {
    const int line = LineOfOffset(offset);
    QScrollBar* bar = memo_->verticalScrollBar();
    if (line < bar->value() || line >= bar->value() + VisibleRows())
        bar->setValue(line);
}

void MemoGbkAdapter::ScrollOneLine() {
    QScrollBar* bar = memo_->verticalScrollBar();
    bar->setValue(bar->value() + 1);
}

} // namespace sonvela
