// The voice notice: which of six known Chinese voices the speech engine
// has, a short sample of each, links to download pages, and the box that
// keeps the notice from opening at start-up. Each "语音信息" click opens a
// new one; closing only hides it.
#pragma once

#include "MusicLibrary.h"
#include "SettingsFile.h"
#include "VoiceSamples.h"

#include <QDialog>
#include <QUrl>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace sonvela {

struct VoiceNoticeServices {
    MusicLibrary* library = nullptr;
    SettingsFile settings{""};
    // The speech engine's voices, as the notice is created.
    std::vector<VoiceName> voices;
    // The per-user temporary folder, ending in the separator; asked for at
    // each sample click, so that a folder that cannot be made ends that
    // click with the error report.
    std::function<std::string()> tempFolder;
    std::function<void(const QUrl&)> openLink;
};

class TFttsinstall final : public QDialog {
    Q_OBJECT

public:
    explicit TFttsinstall(VoiceNoticeServices services, QWidget* parent = nullptr);
    ~TFttsinstall() override;

    // A sample button (sb_liang ... sb_hanhan), by its row in KnownVoices().
    void SampleClick(std::size_t row);
    void sb_stopClick();
    StreamHandle SampleStream() const { return samples_.Stream(); }

    // The addresses behind the two links.
    static QUrl VoiceDownloadPage();
    static QUrl SupportPage();

    // Closing: stops the sample and stores the check box.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();

    VoiceNoticeServices services_;
    SamplePlayer samples_;
    QCheckBox* checkBox5_ = nullptr;
    QPushButton* sbStop_ = nullptr;
};

} // namespace sonvela
