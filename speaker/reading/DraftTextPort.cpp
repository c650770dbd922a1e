#include "DraftTextPort.h"

#include <algorithm>

namespace sonvela {

DraftTextPort::DraftTextPort(GbkString text, GbkString traditional,
                             std::function<void(std::string)> reportError)
    : text_(std::move(text)), traditional_(std::move(traditional)),
      reportError_(std::move(reportError)) {}

GbkString DraftTextPort::TextWindow(std::int32_t offset, std::int32_t maxBytes) {
    if (offset < 0 || offset >= Size() || maxBytes <= 0)
        return {};
    return text_.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(maxBytes));
}

bool DraftTextPort::TextIsBlank() {
    return IsBlank(text_);
}

std::int32_t DraftTextPort::Caret() {
    std::lock_guard lock(mutex_);
    return caret_;
}

void DraftTextPort::SetCaret(std::int32_t offset) {
    std::lock_guard lock(mutex_);
    caret_ = std::clamp(offset, 0, Size());
    selection_ = 0;
}

std::int32_t DraftTextPort::SelectionLength() {
    std::lock_guard lock(mutex_);
    return selection_;
}

void DraftTextPort::SetSelection(std::int32_t start, std::int32_t length) {
    std::lock_guard lock(mutex_);
    caret_ = std::clamp(start, 0, Size());
    selection_ = std::clamp(length, 0, Size() - caret_);
}

GbkString DraftTextPort::SelectedText() {
    std::lock_guard lock(mutex_);
    return text_.substr(static_cast<std::size_t>(caret_), static_cast<std::size_t>(selection_));
}

GbkString DraftTextPort::HiddenCopySelection(std::int32_t start, std::int32_t length) {
    const GbkString& copy = traditional_.size() == text_.size() ? traditional_ : text_;
    start = std::clamp(start, 0, Size());
    length = std::clamp(length, 0, Size() - start);
    return copy.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

void DraftTextPort::ReportErrorAsync(std::string faultText) {
    if (reportError_)
        reportError_(std::move(faultText));
}

} // namespace sonvela
