// The operator's reading commands: read from the caret, the start, the
// current line, the selection and the bookmark; set the bookmark; Stop; and
// the caret position in the first status panel.
//
// The commands decide here, apart from any window: they see the window
// through ReadingWindow and the editor through an EditorPort used on the
// user-interface thread. Every command runs on the user-interface thread. A
// fault of the speech engine propagates to the caller, which ends the command
// with the general error report.
#pragma once

#include "EditorPort.h"
#include "GbkText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sonvela {

class ReaderHost;
class ReadingState;
class SettingsFile;
class SpeechVoice;

// The first status panel: three spaces, the 1-based line, ":" and the
// 1-based column (both given here 0-based).
std::string CaretPanelText(std::int32_t line, std::int32_t column);
// The number before ":" in the first status panel, leading blanks ignored;
// 0 when the panel holds no number there.
std::int32_t LineOfCaretPanel(std::string_view panel);
// No voice is chosen when the voice list's text is empty but for blanks.
bool NoVoiceChosen(std::string_view voiceText);

// What the commands need of the main window.
class ReadingWindow {
public:
    virtual ~ReadingWindow() = default;

    // The voice list's text (UTF-8) and position.
    virtual std::string VoiceText() = 0;
    virtual int VoiceIndex() = 0;
    // The chosen voice reads the traditional-character form of the text.
    virtual bool CantoneseChosen() = 0;

    virtual std::string CaretPanel() = 0;
    virtual void SetCaretPanel(const std::string& text) = 0;
    // Byte offset of the first character of display line `line` and that
    // line's text; -1 and empty when the line does not exist.
    virtual std::int64_t DisplayLineStart(std::int32_t line) = 0;
    virtual GbkString DisplayLineText(std::int32_t line) = 0;

    // btn_disable, btn_enable.
    virtual void DisableReadingControls() = 0;
    virtual void EnableReadingControls() = 0;
    // conv_yyClick: the hidden editor gets the traditional-character copy.
    virtual void FillHiddenCopy() = 0;
    virtual GbkString TraditionalForm(const GbkString& text) = 0;
    // Stops the loop reading's timer.
    virtual void StopLoopTimer() = 0;
    virtual void WarnNoVoice() = 0;
};

struct ReadingCommandsContext {
    ReadingState& state;
    SpeechVoice* voice; // null: no engine (no voice can be chosen)
    ReaderHost* reader; // null exactly when `voice` is
    EditorPort& editor; // the editor, on the user-interface thread
    const SettingsFile& settings;
    ReadingWindow& window;
};

class ReadingCommands {
public:
    explicit ReadingCommands(ReadingCommandsContext context) : c_(context) {}

    void N1Click();      // read from the caret
    void SB_jexuClick(); // read from the start
    void SB_playClick(); // read from the caret position
    void L1Click();      // read the line shown in the first status panel
    void N2Click();      // read the selection
    void N3Click();      // set the bookmark
    void N41Click();     // read from the bookmark
    void SB_stopClick(); // Stop
    void showcaretpos();

private:
    // False (after the warning) when no voice is chosen.
    bool VoiceChosen();
    // Starts a reading from the caret through the reader thread.
    void StartCaretReading();
    // One asynchronous engine call for a line or the selection.
    void SpeakAsOnePiece(const GbkString& text);

    ReadingCommandsContext c_;
};

} // namespace sonvela
