// What the reader thread may do to the main window: the editor, its hidden
// traditional-character copy, the reading controls and the error report.
//
// Threading rule. The editor belongs to the user-interface thread. Every call
// below is carried out on that thread; a call made from the reader thread
// waits until the user-interface thread has done it, so the reader always
// sees the editor as it is between two of its events. Nothing on the
// user-interface thread ever waits for the reader, which is why such a
// blocking call cannot deadlock: the user-interface thread is always free to
// run the call the reader is waiting for. (The one moment it is not free is
// teardown; Close() exists for that moment.)
//
// UiThreadEditorPort (UiThreadEditorPort.h) gives the reader this view over
// an implementation that may only be used on the user-interface thread.
//
// Offsets and lengths count bytes of the editor's GBK text.
#pragma once

#include "GbkText.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sonvela {

// A call made after the port was closed, or one that was waiting for the
// user-interface thread when it was closed.
class EditorPortClosed : public std::runtime_error {
public:
    EditorPortClosed() : std::runtime_error("The editor is closed") {}
};

class EditorPort {
public:
    virtual ~EditorPort() = default;

    // At most `maxBytes` bytes of the text starting at `offset`: fewer at the
    // end of the text, none at or after it. The reader asks for a few bytes
    // more than it uses and cuts the window on a character boundary itself.
    // Must cost the same in a short and in a very long text.
    virtual GbkString TextWindow(std::int32_t offset, std::int32_t maxBytes) = 0;
    // True when the whole text is empty or holds only bytes 0 to 32.
    virtual bool TextIsBlank() = 0;

    // The caret is the selection's start.
    virtual std::int32_t Caret() = 0;
    // Drops the selection; an offset past the end puts the caret at the end.
    virtual void SetCaret(std::int32_t offset) = 0;
    virtual std::int32_t SelectionLength() = 0;
    // Selects `length` bytes from `start` (limited to the text).
    virtual void SetSelection(std::int32_t start, std::int32_t length) = 0;
    virtual GbkString SelectedText() = 0;

    // Display lines, counted from 0; an editor always has at least one line.
    virtual std::int32_t LineOfOffset(std::int32_t offset) = 0;
    virtual std::int32_t LineCount() = 0;
    // Scrolls the view down by one display line.
    virtual void ScrollOneLine() = 0;
    // Makes the editor the window's active control.
    virtual void FocusEditor() = 0;

    // The hidden copy of the editor that holds the traditional-character
    // form of the text, byte for byte as long: selects the same range there
    // and returns its text.
    virtual GbkString HiddenCopySelection(std::int32_t start, std::int32_t length) = 0;

    // btn_enable: re-enables the reading controls.
    virtual void EnableReadingControls() = 0;

    // Hands a fault's text (UTF-8) to the user-interface thread, which shows
    // the general error report. Returns at once: the reader never waits for
    // a modal box.
    virtual void ReportErrorAsync(std::string faultText) = 0;

    // Teardown, on the user-interface thread: calls waiting for that thread
    // and every later call from another thread throw EditorPortClosed, so a
    // reader can be joined while the user-interface thread is busy joining
    // it. Ports whose calls never wait for another thread have nothing to do.
    virtual void Close() {}
};

} // namespace sonvela
