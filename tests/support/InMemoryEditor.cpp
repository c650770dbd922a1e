#include "InMemoryEditor.h"

#include <algorithm>
#include <utility>

namespace sonvela {

InMemoryEditor::InMemoryEditor(GbkString text) : text_(std::move(text)) {
    IndexLines();
}

void InMemoryEditor::IndexLines() {
    lineStarts_.assign(1, 0);
    for (std::size_t pos = text_.find('\n'); pos != std::string::npos;
         pos = text_.find('\n', pos + 1))
        lineStarts_.push_back(static_cast<std::int32_t>(pos + 1));
}

std::int32_t InMemoryEditor::Clamp(std::int32_t offset) const {
    return std::clamp(offset, 0, Size());
}

void InMemoryEditor::SetText(GbkString text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
    IndexLines();
    selection_ = {};
}

GbkString InMemoryEditor::Text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

void InMemoryEditor::Replace(std::int32_t offset, std::int32_t length, const GbkString& text) {
    std::lock_guard lock(mutex_);
    offset = Clamp(offset);
    length = std::clamp(length, 0, Size() - offset);
    text_.replace(static_cast<std::size_t>(offset), static_cast<std::size_t>(length), text);
    IndexLines();
    std::int32_t caret = selection_.start;
    if (caret >= offset + length)
        caret += static_cast<std::int32_t>(text.size()) - length;
    else if (caret > offset)
        caret = offset;
    selection_ = {Clamp(caret), 0};
}

void InMemoryEditor::SetHiddenCopy(GbkString text) {
    std::lock_guard lock(mutex_);
    hidden_ = std::move(text);
}

InMemoryEditor::Selection InMemoryEditor::CurrentSelection() const {
    std::lock_guard lock(mutex_);
    return selection_;
}

InMemoryEditor::Selection InMemoryEditor::HiddenCopySelectionRange() const {
    std::lock_guard lock(mutex_);
    return hiddenSelection_;
}

void InMemoryEditor::DisableReadingControls() {
    std::lock_guard lock(mutex_);
    controlsEnabled_ = false;
}

bool InMemoryEditor::ControlsEnabled() const {
    std::lock_guard lock(mutex_);
    return controlsEnabled_;
}

int InMemoryEditor::EnableCount() const {
    std::lock_guard lock(mutex_);
    return enableCount_;
}

int InMemoryEditor::ScrollCount() const {
    std::lock_guard lock(mutex_);
    return scrollCount_;
}

int InMemoryEditor::FocusCount() const {
    std::lock_guard lock(mutex_);
    return focusCount_;
}

std::vector<std::string> InMemoryEditor::ReportedErrors() const {
    std::lock_guard lock(mutex_);
    return errors_;
}

std::vector<InMemoryEditor::Selection> InMemoryEditor::SelectionHistory() const {
    std::lock_guard lock(mutex_);
    return selectionHistory_;
}

void InMemoryEditor::SetKeepSelectionHistory(bool keep) {
    std::lock_guard lock(mutex_);
    keepSelectionHistory_ = keep;
    selectionHistory_.clear();
}

GbkString InMemoryEditor::TextWindow(std::int32_t offset, std::int32_t maxBytes) {
    std::lock_guard lock(mutex_);
    offset = Clamp(offset);
    return text_.substr(static_cast<std::size_t>(offset),
                        static_cast<std::size_t>(std::max(maxBytes, 0)));
}

bool InMemoryEditor::TextIsBlank() {
    std::lock_guard lock(mutex_);
    return IsBlank(text_);
}

std::int32_t InMemoryEditor::Caret() {
    std::lock_guard lock(mutex_);
    return selection_.start;
}

void InMemoryEditor::SetCaret(std::int32_t offset) {
    std::lock_guard lock(mutex_);
    selection_ = {Clamp(offset), 0};
}

std::int32_t InMemoryEditor::SelectionLength() {
    std::lock_guard lock(mutex_);
    return selection_.length;
}

void InMemoryEditor::SetSelection(std::int32_t start, std::int32_t length) {
    std::lock_guard lock(mutex_);
    start = Clamp(start);
    selection_ = {start, std::clamp(length, 0, Size() - start)};
    if (keepSelectionHistory_)
        selectionHistory_.push_back(selection_);
}

GbkString InMemoryEditor::SelectedText() {
    std::lock_guard lock(mutex_);
    return text_.substr(static_cast<std::size_t>(selection_.start),
                        static_cast<std::size_t>(selection_.length));
}

std::int32_t InMemoryEditor::LineOfOffset(std::int32_t offset) {
    std::lock_guard lock(mutex_);
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), Clamp(offset));
    return static_cast<std::int32_t>(after - lineStarts_.begin()) - 1;
}

std::int32_t InMemoryEditor::LineCount() {
    std::lock_guard lock(mutex_);
    return static_cast<std::int32_t>(lineStarts_.size());
}

void InMemoryEditor::ScrollOneLine() {
    std::lock_guard lock(mutex_);
    ++scrollCount_;
}

void InMemoryEditor::FocusEditor() {
    std::lock_guard lock(mutex_);
    ++focusCount_;
}

GbkString InMemoryEditor::HiddenCopySelection(std::int32_t start, std::int32_t length) {
    std::lock_guard lock(mutex_);
    const auto size = static_cast<std::int32_t>(hidden_.size());
    start = std::clamp(start, 0, size);
    hiddenSelection_ = {start, std::clamp(length, 0, size - start)};
    return hidden_.substr(static_cast<std::size_t>(hiddenSelection_.start),
                          static_cast<std::size_t>(hiddenSelection_.length));
}

void InMemoryEditor::EnableReadingControls() {
    std::lock_guard lock(mutex_);
    controlsEnabled_ = true;
    ++enableCount_;
}

void InMemoryEditor::ReportErrorAsync(std::string faultText) {
    std::lock_guard lock(mutex_);
    errors_.push_back(std::move(faultText));
}

} // namespace sonvela
