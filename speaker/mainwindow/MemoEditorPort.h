// The reader's editor port over the main window's Memo1 and its hidden
// traditional-character copy Memo2.
//
// MemoEditorPort itself runs on the user-interface thread only. The reader
// thread gets ReaderPort(), which carries each call to the user-interface
// thread and waits for it (see EditorPort.h for why that cannot deadlock).
#pragma once

#include "EditorPort.h"
#include "MemoGbkAdapter.h"

#include <functional>
#include <memory>

namespace sonvela {

class UiThreadEditorPort;

class MemoEditorPort final : public EditorPort {
public:
    struct Hooks {
        std::function<void()> enableReadingControls; // btn_enable
        std::function<void()> focusEditor;
        std::function<void(const std::string&)> reportError; // the general error report
    };

    MemoEditorPort(MemoGbkAdapter& memo1, MemoGbkAdapter& memo2, Hooks hooks);

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
    // Shown after the current event, never inside the caller's call.
    void ReportErrorAsync(std::string faultText) override;

private:
    MemoGbkAdapter& memo1_;
    MemoGbkAdapter& memo2_;
    Hooks hooks_;
};

// The port a reader thread uses: calls from other threads are queued to the
// user-interface thread through the application's event loop. Made on the
// user-interface thread; `port` outlives it (close it before `port` goes).
std::unique_ptr<UiThreadEditorPort> MakeReaderPort(EditorPort& port);

} // namespace sonvela
