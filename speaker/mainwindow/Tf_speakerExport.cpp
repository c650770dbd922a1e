// "导出为音频文件…": the export dialog, opened from the 文件 menu, the editor's
// context menu and the tray menu with what the window holds now.
#include "FrontEnd.h"
#include "FunctionUnit.h"
#include "TFexportaudio.h"
#include "Tf_speaker.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>

namespace sonvela {

void Tf_speaker::ExportAudioClick() {
    if (fexportaudio_ == nullptr) {
        // Tests run the window without the program's front-end: the shipped
        // rules serve them.
        static const frontend::FrontEnd fallbackFrontEnd;
        const frontend::FrontEnd* frontEnd =
            services_.frontEnd != nullptr ? services_.frontEnd : &fallbackFrontEnd;
        const int baseRate = baserate_;
        fexportaudio_ = new TFexportaudio(
            [frontEnd, baseRate](int voice, int rate, int volume) {
                return MakeEspeakSpeech(voice, rate + baseRate, volume, *frontEnd);
            },
            [](const QString& path) {
                return ConfirmBox("该文件: " + path.toStdString() + " 已存在，要覆盖它吗？");
            },
            [](const QString& message) { WarnBox(message.toStdString()); }, this);
    }

    ExportRequest request;
    request.text = memo1_->toPlainText();
    request.selection = memo1_->textCursor().selectedText();
    request.selection.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    request.voices = voices_;
    request.voice = std::max(voiceList_->currentIndex(), 0);
    request.rate = trackBar2_->value();
    request.volume = trackBar1_->value();
    request.loops = spinEdit1_->value();
    request.interval = spinEdit2_->value();
    if (music_) {
        for (int i = 0; i < static_cast<int>(music_->Files().size()); ++i)
            request.musicFiles.push_back(music_->PathOf(i));
        request.musicFolder = QString::fromStdString(music_->Folder());
    }
    request.musicVolume = bjV_->value();
    request.readingVolume = bjV1_->value();
    request.documentPath = QString::fromStdString(currentFileName_);
    request.defaultFolder = QString::fromStdString(services_.programFolder);
    request.symbols = reading_.delaySymbols();
    request.signdelay = reading_.signdelay.load();
    request.datetimetype = reading_.datetimetype.load();
    fexportaudio_->Prepare(request);
    fexportaudio_->show();
    fexportaudio_->raise();
    fexportaudio_->activateWindow();
}

} // namespace sonvela
