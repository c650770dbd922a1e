// The reader's view of an editor that lives on the user-interface thread:
// each call is queued to that thread and the calling thread waits for its
// result (the "blocking queued call" of the threading rule in EditorPort.h).
//
// Why this does not use the toolkit's own blocking queued connection: at
// teardown the user-interface thread joins the reader. A reader blocked in a
// toolkit call would then wait for an event loop that no longer runs, and the
// join would never return. Here Close() wakes every waiting call with
// EditorPortClosed, so the join completes.
#pragma once

#include "EditorPort.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace sonvela {

class UiThreadEditorPort final : public EditorPort {
public:
    // Queues a task to the user-interface thread's event loop and returns at
    // once. A task may be dropped unrun (its loop gone); Close() then still
    // wakes its caller.
    using PostToUiThread = std::function<void(std::function<void()>)>;

    // Made on the user-interface thread, which it takes as the thread `ui`
    // belongs to. `ui` must outlive this port.
    UiThreadEditorPort(EditorPort& ui, PostToUiThread post);
    ~UiThreadEditorPort() override;

    UiThreadEditorPort(const UiThreadEditorPort&) = delete;
    UiThreadEditorPort& operator=(const UiThreadEditorPort&) = delete;

    GbkString TextWindow(std::int32_t offset, std::int32_t maxBytes) override;
    bool TextIsBlank() override;
    std::int32_t Caret() override;
    void SetCaret(std::int32_t offset) override;
    std::int32_t SelectionLength() override;
    void SetSelection(std::int32_t start, std::int32_t length) override;
    GbkString SelectedText() override;
    std::int32_t LineOfOffset(std::int32_t offset) override;
    std::int32_t LineCount() override;
    void ScrollOneLine() override;
    void FocusEditor() override;
    GbkString HiddenCopySelection(std::int32_t start, std::int32_t length) override;
    void EnableReadingControls() override;
    void ReportErrorAsync(std::string faultText) override;
    void Close() override;

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        bool closed = false;
    };

    bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

    // Runs `operation` on `ui_`: directly on the user-interface thread,
    // otherwise queued there while this thread waits.
    template <typename Operation>
    auto Blocking(Operation operation) -> decltype(operation(std::declval<EditorPort&>()));

    EditorPort& ui_;
    PostToUiThread post_;
    std::thread::id uiThread_;
    std::shared_ptr<Shared> shared_;
};

} // namespace sonvela
