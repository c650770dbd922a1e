#include "MemoEditorPort.h"

#include "UiThreadEditorPort.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTimer>
#include <limits>

namespace sonvela {
namespace {

std::int32_t ToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

MemoEditorPort::MemoEditorPort(MemoGbkAdapter& memo1, MemoGbkAdapter& memo2, Hooks hooks)
    : memo1_(memo1), memo2_(memo2), hooks_(std::move(hooks)) {}

GbkString MemoEditorPort::TextWindow(std::int32_t offset, std::int32_t maxBytes) {
    return memo1_.TextWindow(offset, maxBytes);
}

bool MemoEditorPort::TextIsBlank() {
    return memo1_.TextIsBlank();
}

std::int32_t MemoEditorPort::Caret() {
    return ToInt32(memo1_.Caret());
}

void MemoEditorPort::SetCaret(std::int32_t offset) {
    memo1_.SetCaret(offset);
}

std::int32_t MemoEditorPort::SelectionLength() {
    return ToInt32(memo1_.SelectionLength());
}

// The segment a reader selects is the one it speaks: it must be on screen,
// however the operator had scrolled the view when the reading started. The
// view moves only when the segment is off screen, so the reader's own
// line-by-line scrolling goes on as before.
void MemoEditorPort::SetSelection(std::int32_t start, std::int32_t length) {
    memo1_.SetSelection(start, length);
    memo1_.KeepLineInView(start);
}

GbkString MemoEditorPort::SelectedText() {
    return memo1_.SelectedText();
}

std::int32_t MemoEditorPort::LineOfOffset(std::int32_t offset) {
    return memo1_.LineOfOffset(offset);
}

std::int32_t MemoEditorPort::LineCount() {
    return memo1_.LineCount();
}

void MemoEditorPort::ScrollOneLine() {
    memo1_.ScrollOneLine();
    memo1_.KeepLineInView(memo1_.Caret());
}

void MemoEditorPort::FocusEditor() {
    if (hooks_.focusEditor)
        hooks_.focusEditor();
}

GbkString MemoEditorPort::HiddenCopySelection(std::int32_t start, std::int32_t length) {
    memo2_.SetSelection(start, length);
    return memo2_.SelectedText();
}

void MemoEditorPort::EnableReadingControls() {
    if (hooks_.enableReadingControls)
        hooks_.enableReadingControls();
}

void MemoEditorPort::ReportErrorAsync(std::string faultText) {
    if (!hooks_.reportError)
        return;
    // A modal box opened inside the reader's call would run a nested event
    // loop under it; show it from the event loop instead.
    QTimer::singleShot(
        0, memo1_.Memo(),
        [report = hooks_.reportError, text = std::move(faultText)] { report(text); });
}

std::unique_ptr<UiThreadEditorPort> MakeReaderPort(EditorPort& port) {
    return std::make_unique<UiThreadEditorPort>(port, [](std::function<void()> task) {
        // Posted to the application object, which outlives every window: a
        // task that arrives after the port was closed finds it closed and
        // does nothing, and never touches a window that is gone.
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
    });
}

} // namespace sonvela
