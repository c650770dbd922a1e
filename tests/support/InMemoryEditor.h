// A plain editor in memory that implements EditorPort, for tests that drive
// the reader without a window. Its text is a GBK string with a line index
// (display lines are the lines between line breaks; nothing wraps), so every
// call the reader makes costs the same in a short and in a very long text.
// All members are safe to call from any thread.
#pragma once

#include "EditorPort.h"
#include "GbkText.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace sonvela {

class InMemoryEditor final : public EditorPort {
public:
    struct Selection {
        std::int32_t start = 0;
        std::int32_t length = 0;
        bool operator==(const Selection&) const = default;
    };

    explicit InMemoryEditor(GbkString text = {});

    // --- What a test does to the editor -------------------------------------
    // Replaces the whole text; the caret goes to 0 and the view to the top.
    void SetText(GbkString text);
    GbkString Text() const;
    // Replaces `length` bytes at `offset` as typing would: the selection is
    // dropped and a caret after the edit moves with the text.
    void Replace(std::int32_t offset, std::int32_t length, const GbkString& text);
    // The hidden traditional-character copy.
    void SetHiddenCopy(GbkString text);
    Selection CurrentSelection() const;
    Selection HiddenCopySelectionRange() const;
    // btn_disable, as the reading commands do before a reading.
    void DisableReadingControls();
    bool ControlsEnabled() const;
    int EnableCount() const;
    int ScrollCount() const;
    int FocusCount() const;
    std::vector<std::string> ReportedErrors() const;
    // Every selection set through the port, in order. Off: none is kept.
    std::vector<Selection> SelectionHistory() const;
    void SetKeepSelectionHistory(bool keep);

    // --- EditorPort ----------------------------------------------------------
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

private:
    void IndexLines();
    std::int32_t Size() const { return static_cast<std::int32_t>(text_.size()); }
    std::int32_t Clamp(std::int32_t offset) const;

    mutable std::mutex mutex_;
    GbkString text_;
    GbkString hidden_;
    std::vector<std::int32_t> lineStarts_;
    Selection selection_;
    Selection hiddenSelection_;
    bool controlsEnabled_ = true;
    int enableCount_ = 0;
    int scrollCount_ = 0;
    int focusCount_ = 0;
    std::vector<std::string> errors_;
    bool keepSelectionHistory_ = true;
    std::vector<Selection> selectionHistory_;
};

} // namespace sonvela
