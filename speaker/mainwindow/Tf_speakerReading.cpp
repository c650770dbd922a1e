// The main window's side of reading: the reader threads it owns, the reading
// commands wired to their controls, and what those commands ask of the
// window (ReadingWindow).
#include "EditorFill.h"
#include "FunctionUnit.h"
#include "GbkText.h"
#include "MemoGbkAdapter.h"
#include "Tf_speaker.h"
#include "TraditionalChinese.h"
#include "Tts.h"
#include "UiThreadEditorPort.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>

namespace sonvela {

void Tf_speaker::CreateReader() {
    memo1_->installEventFilter(this);
    memo1_->viewport()->installEventFilter(this);
    // A text put in whole (a file loaded, a new text, an insertion that
    // rebuilds it) leaves the caret at its start: the caret panel says so at
    // once, or the current-line command and the bookmark would work from a
    // line of the text that is gone (or from none, before the first key).
    // Edits by typing are followed by the key release, which refreshes it.
    // The caret is put in place after the change is reported, so the panel
    // follows at the caret's next move, which ends every such command.
    connect(memo1_->document(), &QTextDocument::contentsChange, this,
            [this](int position, int /*removed*/, int added) {
                if (position == 0 && added >= memo1_->document()->characterCount() - 1)
                    caretPanelStale_ = true;
            });
    connect(memo1_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!caretPanelStale_)
            return;
        caretPanelStale_ = false;
        showcaretpos();
    });
    if (!services_.voice)
        return;
    readerPort_ = MakeReaderPort(*editorPort_);
    readerHost_ = std::make_unique<ReaderHost>(reading_, *services_.voice, *readerPort_);
    commands_ = std::make_unique<ReadingCommands>(ReadingCommandsContext{
        reading_, services_.voice, readerHost_.get(), *editorPort_, settings_, *this});
}

void Tf_speaker::ConnectReadingCommands() {
    if (!commands_) {
        // Without a voice the commands still run: each warns that no voice
        // is chosen.
        commands_ = std::make_unique<ReadingCommands>(
            ReadingCommandsContext{reading_, nullptr, nullptr, *editorPort_, settings_, *this});
    }
    const struct {
        const char* name;
        void (Tf_speaker::*command)();
    } kCommands[] = {
        {"SB_jexu", &Tf_speaker::SB_jexuClick}, {"SB_play", &Tf_speaker::SB_playClick},
        {"SB_stop", &Tf_speaker::SB_stopClick}, {"N1", &Tf_speaker::N1Click},
        {"L1", &Tf_speaker::L1Click},           {"N2", &Tf_speaker::N2Click},
        {"N3", &Tf_speaker::N3Click},           {"N41", &Tf_speaker::N41Click},
    };
    for (const auto& each : kCommands) {
        const QString name = QString::fromLatin1(each.name);
        if (auto* button = findChild<QToolButton*>(name))
            connect(button, &QToolButton::clicked, this, each.command);
        else if (auto* item = findChild<QAction*>(name))
            connect(item, &QAction::triggered, this, each.command);
    }
    ConnectLoopReading();
}

void Tf_speaker::N1Click() {
    RunCommand([&] { commands_->N1Click(); });
}

void Tf_speaker::SB_jexuClick() {
    RunCommand([&] { commands_->SB_jexuClick(); });
}

void Tf_speaker::SB_playClick() {
    RunCommand([&] { commands_->SB_playClick(); });
}

void Tf_speaker::L1Click() {
    RunCommand([&] { commands_->L1Click(); });
}

void Tf_speaker::N2Click() {
    RunCommand([&] { commands_->N2Click(); });
}

void Tf_speaker::N3Click() {
    RunCommand([&] { commands_->N3Click(); });
}

void Tf_speaker::N41Click() {
    RunCommand([&] { commands_->N41Click(); });
}

void Tf_speaker::SB_stopClick() {
    RunCommand([&] { commands_->SB_stopClick(); });
}

void Tf_speaker::showcaretpos() {
    if (!commands_)
        return;
    RunCommand([&] { commands_->showcaretpos(); });
}

std::string Tf_speaker::VoiceText() {
    return voiceList_->currentText().toStdString();
}

int Tf_speaker::VoiceIndex() {
    return voiceList_->currentIndex();
}

bool Tf_speaker::CantoneseChosen() {
    const int index = voiceList_->currentIndex();
    return index >= 0 && index < static_cast<int>(voices_.size()) &&
           IsCantoneseVoice(voices_[static_cast<std::size_t>(index)]);
}

std::string Tf_speaker::CaretPanel() {
    return statusPanels_[0]->text().toStdString();
}

void Tf_speaker::SetCaretPanel(const std::string& text) {
    statusPanels_[0]->setText(QString::fromStdString(text));
}

std::int64_t Tf_speaker::DisplayLineStart(std::int32_t line) {
    return memo1Text_->LineStartOffset(line);
}

GbkString Tf_speaker::DisplayLineText(std::int32_t line) {
    return memo1Text_->LineText(line);
}

void Tf_speaker::FillHiddenCopy() {
    // The hidden copy must match the editor byte for byte, since the reader
    // selects there what it selects in the editor: the traditional form keeps
    // every character's length. The editor's modified mark stays as it is,
    // so the exit and new-text commands still ask about unsaved edits.
    //
    // A long text's copy is converted aside and put in in steps, so that
    // starting a Cantonese reading of it does not freeze the window.
    // Only the document's characters are taken here, in steps; turning
    // them into the editor's text is left to the thread aside too.
    const QString raw = TakeRawText(memo1_->document());
    std::u16string copy = RunAside([&raw] {
        return GbkToUtf16(::sonvela::TraditionalForm(MemoGbkAdapter::RawTextAsGbk(raw)));
    });
    FillEditor(memo2_, std::move(copy), nullptr);
}

GbkString Tf_speaker::TraditionalForm(const GbkString& text) {
    return ::sonvela::TraditionalForm(text);
}

void Tf_speaker::WarnNoVoice() {
    WarnBox("请选择语音引擎!");
}

} // namespace sonvela
