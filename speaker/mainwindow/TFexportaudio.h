// The dialog "导出为音频文件": renders the editor's text (or its selection) as
// an announcement into an audio file, with the voice, speed and volume of
// the options panel, optionally as a loop and over the background music.
// The rendering runs on a worker thread of its own; the dialog shows its
// progress with the time left and can cancel it. A live reading goes on
// undisturbed meanwhile: the export uses no audio device.
#pragma once

#include "AnnouncementExport.h"
#include "SpeechSource.h"
#include "SpeechVoice.h"

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace sonvela {

// What the main window hands the dialog each time it opens it.
struct ExportRequest {
    QString text;      // the editor's whole text
    QString selection; // its selected text; empty when nothing is selected
    std::vector<VoiceInfo> voices;
    int voice = 0;
    int rate = 0; // the speed slider, -10..15
    int volume = 100;
    int loops = 2;                       // the loop bar's values, used when the loop is on
    int interval = 60;                   // seconds
    std::vector<std::string> musicFiles; // full paths, in the panel's order
    QString musicFolder;
    int musicVolume = 40;
    int readingVolume = 10;
    QString documentPath;  // the text's file; empty for an unsaved text
    QString defaultFolder; // for an unsaved text
    std::shared_ptr<const DelaySymbols> symbols;
    int signdelay = 800;
    int datetimetype = 1;
};

class TFexportaudio final : public QDialog {
    Q_OBJECT

public:
    // Makes the speech source for a voice, speed and volume (the real one
    // over espeak-ng; tests give their own).
    using SpeechFactory =
        std::function<std::unique_ptr<SpeechSource>(int voice, int rate, int volume)>;
    // Asks whether an existing file may be replaced; true to replace.
    using OverwriteQuestion = std::function<bool(const QString& path)>;
    // Tells the operator why an export failed.
    using FailureReport = std::function<void(const QString& message)>;

    TFexportaudio(SpeechFactory speech, OverwriteQuestion overwrite, FailureReport report,
                  QWidget* parent = nullptr);
    ~TFexportaudio() override;

    // Fills the controls from the request, with the dialog's defaults: the
    // whole text, no loop, no music, the format last chosen.
    void Prepare(const ExportRequest& request);

    // The 导出 button: checks the file name, asks before replacing a file
    // and starts the worker.
    void btn_exportClick();
    // The 取消 button: cancels a running export, else closes the dialog.
    void btn_cancelClick();

    bool Running() const { return worker_.joinable(); }
    QString FileName() const;
    // The last export's outcome (tests).
    const ExportResult& LastResult() const { return lastResult_; }

Q_SIGNALS:
    // An export ended, written or not.
    void Finished(bool written);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void UpdateControls();
    void FormatChanged();
    void ChooseFile();
    AnnouncementSettings Settings() const;
    void ShowProgress(const ExportProgress& progress);
    void ExportDone(const ExportResult& result);
    void StopWorker();

    SpeechFactory speechFactory_;
    OverwriteQuestion overwrite_;
    FailureReport report_;
    ExportRequest request_;

    QRadioButton* wholeText_ = nullptr;
    QRadioButton* selectionOnly_ = nullptr;
    QComboBox* voiceList_ = nullptr;
    QSlider* rate_ = nullptr;
    QLabel* rateValue_ = nullptr;
    QSlider* volume_ = nullptr;
    QLabel* volumeValue_ = nullptr;
    QCheckBox* loop_ = nullptr;
    QSpinBox* loops_ = nullptr;
    QSpinBox* interval_ = nullptr;
    QCheckBox* music_ = nullptr;
    QLabel* musicInfo_ = nullptr;
    QComboBox* format_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QPushButton* browse_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* cancel_ = nullptr;

    std::atomic<bool> cancelRequested_{false};
    std::thread worker_;
    std::unique_ptr<SpeechSource> speech_;
    ExportResult lastResult_;
};

} // namespace sonvela
