#include "ReadingCommands.h"

#include "ReadingState.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"
#include "SpeechVoice.h"
#include "Tts.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace sonvela {

std::string CaretPanelText(std::int32_t line, std::int32_t column) {
    return "   " + std::to_string(line + 1) + ":" + std::to_string(column + 1);
}

std::int32_t LineOfCaretPanel(std::string_view panel) {
    std::size_t pos = 0;
    while (pos < panel.size() && (panel[pos] == ' ' || panel[pos] == '\t'))
        ++pos;
    std::int64_t number = 0;
    const std::size_t digits = pos;
    while (pos < panel.size() && std::isdigit(static_cast<unsigned char>(panel[pos]))) {
        number = number * 10 + (panel[pos] - '0');
        // A panel is never this long; a number that would overflow is no line.
        if (number > std::numeric_limits<std::int32_t>::max())
            return 0;
        ++pos;
    }
    if (pos == digits || pos >= panel.size() || panel[pos] != ':')
        return 0;
    return static_cast<std::int32_t>(number);
}

bool NoVoiceChosen(std::string_view voiceText) {
    return std::all_of(voiceText.begin(), voiceText.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) <= ' '; });
}

bool ReadingCommands::VoiceChosen() {
    if (!NoVoiceChosen(c_.window.VoiceText()) && c_.voice && c_.reader)
        return true;
    c_.window.WarnNoVoice();
    return false;
}

void ReadingCommands::StartCaretReading() {
    const bool cantonese = c_.window.CantoneseChosen();
    if (cantonese)
        c_.window.FillHiddenCopy();
    c_.reader->gundong1({c_.window.VoiceIndex(), cantonese});
}

void ReadingCommands::SpeakAsOnePiece(const GbkString& text) {
    c_.state.threadreading = false;
    c_.voice->SpeakAsync(GbkToUtf16(text));
}

void ReadingCommands::N1Click() {
    if (c_.editor.TextIsBlank())
        return;
    if (!VoiceChosen())
        return;
    // The controls go off before the reader starts: its finish step turns
    // them on again, and it may finish at once.
    c_.window.DisableReadingControls();
    StartCaretReading();
}

void ReadingCommands::SB_jexuClick() {
    c_.editor.SetCaret(0);
    c_.state.isreading = false;
    N1Click();
}

void ReadingCommands::SB_playClick() {
    c_.state.isreading = false;
    N1Click();
}

void ReadingCommands::L1Click() {
    if (!VoiceChosen())
        return;
    if (c_.state.isreading)
        return;
    // The panel, not the caret: the line the operator last put the caret
    // on, which a reading from the caret does not change.
    const std::int32_t line = LineOfCaretPanel(c_.window.CaretPanel());
    GbkString text = line > 0 ? c_.window.DisplayLineText(line - 1) : GbkString();
    if (IsBlank(text))
        return;
    if (c_.window.CantoneseChosen())
        text = c_.window.TraditionalForm(text);
    c_.voice->SetVoice(c_.window.VoiceIndex());
    SpeakAsOnePiece(text);
}

void ReadingCommands::N2Click() {
    if (!VoiceChosen())
        return;
    if (c_.state.isreading)
        return;
    GbkString text = c_.editor.SelectedText();
    if (c_.window.CantoneseChosen())
        text = c_.window.TraditionalForm(text);
    c_.voice->SetVoice(c_.window.VoiceIndex());
    if (!IsBlank(text))
        SpeakAsOnePiece(text);
}

void ReadingCommands::N3Click() {
    namespace key = settings::Position;
    const std::int32_t caret = c_.editor.Caret();
    const std::int32_t line = LineOfCaretPanel(c_.window.CaretPanel());
    c_.settings.WriteInteger(key::kSection, key::Lastposi, caret);
    c_.settings.WriteInteger(key::kSection, key::Line, line - 1);
}

void ReadingCommands::N41Click() {
    namespace key = settings::Position;
    if (!VoiceChosen())
        return;
    const std::int32_t position =
        c_.settings.ReadInteger(key::kSection, key::Lastposi, key::kLastposiDefault);
    // 0 means no bookmark: the reading starts at the caret. A negative value
    // (a hand-edited file) is no bookmark either.
    if (position > 0)
        c_.editor.SetCaret(position);
    StartCaretReading();
}

void ReadingCommands::SB_stopClick() {
    c_.state.isreading = false;
    c_.window.EnableReadingControls();
    if (c_.state.threadreading) {
        // The reader finishes the segment it speaks, then ends.
        c_.state.stopreading = true;
    } else if (c_.voice) {
        // A line or a selection is one engine call: silence it at once.
        c_.voice->CutOff();
    }
    c_.window.StopLoopTimer();
}

void ReadingCommands::showcaretpos() {
    const std::int32_t caret = c_.editor.Caret();
    const std::int32_t line = c_.editor.LineOfOffset(caret);
    const std::int64_t start = c_.window.DisplayLineStart(line);
    const auto column = static_cast<std::int32_t>(start < 0 ? 0 : caret - start);
    c_.window.SetCaretPanel(CaretPanelText(line, column));
}

} // namespace sonvela
