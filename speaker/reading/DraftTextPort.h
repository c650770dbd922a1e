// A text the reader speaks that is not in the editor: a draft read by the
// broadcast timetable or at another program's request. The reader walks it
// segment by segment exactly as it walks the editor (the date placeholder
// filled, the pauses of the delay symbols and the delay sign made), while the
// editor's text, caret and modified mark stay as the operator left them.
//
// The caret and selection live here; every call returns at once, so the
// reader never waits for the user-interface thread through this port.
#pragma once

#include "EditorPort.h"

#include <functional>
#include <mutex>

namespace sonvela {

class DraftTextPort final : public EditorPort {
public:
    // `traditional`: the traditional-character form of `text`, byte for byte
    // as long, for a Cantonese voice; empty when not needed. `reportError`
    // must hand the fault to the user-interface thread and return at once.
    DraftTextPort(GbkString text, GbkString traditional,
                  std::function<void(std::string)> reportError);

    GbkString TextWindow(std::int32_t offset, std::int32_t maxBytes) override;
    bool TextIsBlank() override;
    std::int32_t Caret() override;
    void SetCaret(std::int32_t offset) override;
    std::int32_t SelectionLength() override;
    void SetSelection(std::int32_t start, std::int32_t length) override;
    GbkString SelectedText() override;
    // One long line: nothing scrolls.
    std::int32_t LineOfOffset(std::int32_t) override { return 0; }
    std::int32_t LineCount() override { return 1; }
    void ScrollOneLine() override {}
    void FocusEditor() override {}
    GbkString HiddenCopySelection(std::int32_t start, std::int32_t length) override;
    // The editor's controls belong to the operator's reading.
    void EnableReadingControls() override {}
    void ReportErrorAsync(std::string faultText) override;

private:
    std::int32_t Size() const { return static_cast<std::int32_t>(text_.size()); }

    std::mutex mutex_;
    const GbkString text_;
    const GbkString traditional_;
    std::function<void(std::string)> reportError_;
    std::int32_t caret_ = 0;
    std::int32_t selection_ = 0;
};

} // namespace sonvela
