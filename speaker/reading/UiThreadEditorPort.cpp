#include "UiThreadEditorPort.h"

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

namespace sonvela {
namespace {

template <typename Result> struct PendingCall {
    bool finished = false;
    std::exception_ptr fault;
    std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>> value{};
};

} // namespace

UiThreadEditorPort::UiThreadEditorPort(EditorPort& ui, PostToUiThread post)
    : ui_(ui), post_(std::move(post)), uiThread_(std::this_thread::get_id()),
      shared_(std::make_shared<Shared>()) {}

UiThreadEditorPort::~UiThreadEditorPort() {
    Close();
}

template <typename Operation>
auto UiThreadEditorPort::Blocking(Operation operation)
    -> decltype(operation(std::declval<EditorPort&>())) {
    using Result = decltype(operation(std::declval<EditorPort&>()));
    if (OnUiThread())
        return operation(ui_);

    auto call = std::make_shared<PendingCall<Result>>();
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->closed)
            throw EditorPortClosed();
    }
    post_([shared = shared_, call, operation, ui = &ui_]() mutable {
        // Runs on the user-interface thread, as Close() does, so the port
        // cannot close (nor `ui` go away) between this test and the call.
        {
            std::lock_guard lock(shared->mutex);
            if (shared->closed)
                return;
        }
        try {
            if constexpr (std::is_void_v<Result>)
                operation(*ui);
            else
                call->value.emplace(operation(*ui));
        } catch (...) {
            call->fault = std::current_exception();
        }
        std::lock_guard lock(shared->mutex);
        call->finished = true;
        shared->done.notify_all();
    });

    std::unique_lock lock(shared_->mutex);
    shared_->done.wait(lock, [&] { return call->finished || shared_->closed; });
    if (!call->finished)
        throw EditorPortClosed();
    if (call->fault)
        std::rethrow_exception(call->fault);
    if constexpr (!std::is_void_v<Result>)
        return std::move(*call->value);
}

GbkString UiThreadEditorPort::TextWindow(std::int32_t offset, std::int32_t maxBytes) {
    return Blocking([=](EditorPort& ui) { return ui.TextWindow(offset, maxBytes); });
}

bool UiThreadEditorPort::TextIsBlank() {
    return Blocking([](EditorPort& ui) { return ui.TextIsBlank(); });
}

std::int32_t UiThreadEditorPort::Caret() {
    return Blocking([](EditorPort& ui) { return ui.Caret(); });
}

void UiThreadEditorPort::SetCaret(std::int32_t offset) {
    Blocking([=](EditorPort& ui) { ui.SetCaret(offset); });
}

std::int32_t UiThreadEditorPort::SelectionLength() {
    return Blocking([](EditorPort& ui) { return ui.SelectionLength(); });
}

void UiThreadEditorPort::SetSelection(std::int32_t start, std::int32_t length) {
    Blocking([=](EditorPort& ui) { ui.SetSelection(start, length); });
}

GbkString UiThreadEditorPort::SelectedText() {
    return Blocking([](EditorPort& ui) { return ui.SelectedText(); });
}

std::int32_t UiThreadEditorPort::LineOfOffset(std::int32_t offset) {
    return Blocking([=](EditorPort& ui) { return ui.LineOfOffset(offset); });
}

std::int32_t UiThreadEditorPort::LineCount() {
    return Blocking([](EditorPort& ui) { return ui.LineCount(); });
}

void UiThreadEditorPort::ScrollOneLine() {
    Blocking([](EditorPort& ui) { ui.ScrollOneLine(); });
}

void UiThreadEditorPort::FocusEditor() {
    Blocking([](EditorPort& ui) { ui.FocusEditor(); });
}

GbkString UiThreadEditorPort::HiddenCopySelection(std::int32_t start, std::int32_t length) {
    return Blocking([=](EditorPort& ui) { return ui.HiddenCopySelection(start, length); });
}

void UiThreadEditorPort::EnableReadingControls() {
    Blocking([](EditorPort& ui) { ui.EnableReadingControls(); });
}

void UiThreadEditorPort::ReportErrorAsync(std::string faultText) {
    if (OnUiThread()) {
        ui_.ReportErrorAsync(std::move(faultText));
        return;
    }
    post_([shared = shared_, ui = &ui_, text = std::move(faultText)]() mutable {
        {
            std::lock_guard lock(shared->mutex);
            if (shared->closed)
                return;
        }
        ui->ReportErrorAsync(std::move(text));
    });
}

void UiThreadEditorPort::Close() {
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    shared_->done.notify_all();
}

} // namespace sonvela
