// The main window's background music panel, voice notice and about box:
// the controls are wired to MusicPlayer, TFttsinstall and Tf_about.
#include "FunctionUnit.h"
#include "MusicFolder.h"
#include "MusicFolderDialog.h"
#include "SettingsKeys.h"
#include "StatusNoticePanel.h"
#include "TFttsinstall.h"
#include "Tf_about.h"
#include "Tf_speaker.h"
#include "TimetableDriver.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <random>

namespace sonvela {
namespace {

constexpr int kRefreshMs = 1000;
constexpr int kFadeMs = 20;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The audio library has no state of its own in this object; it outlives
// every window, whose children (notices, the about box) release their
// streams as they are destroyed.
MusicLibrary& ProgramMusicLibrary() {
    static BassMusicLibrary library;
    return library;
}

} // namespace

void Tf_speaker::CreateMusicPanel() {
    musicLibrary_ = &ProgramMusicLibrary();
    bjListBox1_ = findChild<QListWidget*>(QStringLiteral("BJListBox1"));
    rzLEDDisplay1_ = findChild<QLabel*>(QStringLiteral("RzLEDDisplay1"));
    linkOpener_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    folderChooser_ = [this](const QString& start) {
        return MusicFolderDialog::Choose(start, this);
    };

    bjTimer1_ = new QTimer(this);
    bjTimer1_->setObjectName(QStringLiteral("bj_timer1"));
    bjTimer1_->setInterval(kRefreshMs);
    bjTimer2_ = new QTimer(this);
    bjTimer2_->setObjectName(QStringLiteral("bj_timer2"));
    bjTimer2_->setInterval(kFadeMs);

    MusicPanelHooks hooks;
    hooks.showFiles = [this](const std::vector<std::string>& files) {
        const QSignalBlocker blocker(bjListBox1_);
        bjListBox1_->clear();
        for (const std::string& name : files)
            bjListBox1_->addItem(FromUtf8(name));
        bjListBox1_->setCurrentRow(-1);
    };
    hooks.selectEntry = [this](int row) { ShowSelectedEntry(row); };
    hooks.showPosition = [this](const std::string& text) {
        rzLEDDisplay1_->setText(FromUtf8(text));
    };
    hooks.showTrackPath = [this](const std::string& path) {
        noticePanel_->SetTrackText(FromUtf8(path));
    };
    hooks.enableRefresh = [this](bool on) {
        // Switching on a running timer keeps its beat, as the panel expects.
        if (!on)
            bjTimer1_->stop();
        else if (!bjTimer1_->isActive())
            bjTimer1_->start();
    };
    // A timetable entry or a requested draft ducks the music as a reading
    // does.
    hooks.isReading = [this] {
        return reading_.isreading.load() || (timetableDriver_ && timetableDriver_->EntryActive());
    };
    hooks.randomPosition = [generator =
                                std::make_shared<std::mt19937>(std::random_device{}())](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(*generator);
    };
    music_ = std::make_unique<MusicPlayer>(*musicLibrary_, std::move(hooks));

    // The controls hold the stored values already (ApplySettings).
    std::string folder = services_.programFolder;
    RunCommand([&] { folder = MusicFolderAtStartup(settings_, services_.programFolder); });
    music_->Start(folder, bjV_->value(), bjV1_->value(),
                  comBox1_->currentIndex() == 1 ? PlayMode::Random : PlayMode::InOrder);

    const auto button = [this](const char* name) {
        return findChild<QToolButton*>(QString::fromLatin1(name));
    };
    connect(button("bj_play"), &QToolButton::clicked, this, [this] { music_->bj_playClick(); });
    connect(button("bj_stop"), &QToolButton::clicked, this, [this] { music_->bj_stopClick(); });
    connect(button("bj_next"), &QToolButton::clicked, this, [this] { music_->bj_nextClick(); });
    connect(button("bj_prev"), &QToolButton::clicked, this, [this] { music_->bj_prevClick(); });
    connect(button("bj_ok"), &QToolButton::clicked, this, &Tf_speaker::bj_okClick);
    connect(bjListBox1_, &QListWidget::currentRowChanged, this,
            [this](int row) { music_->BJListBox1Change(row); });
    connect(bjListBox1_, &QListWidget::itemDoubleClicked, this,
            [this] { music_->BJListBox1DblClick(); });
    connect(bjV_, &QSpinBox::valueChanged, this, [this](int value) { music_->bj_vChange(value); });
    connect(bjV1_, &QSpinBox::valueChanged, this,
            [this](int value) { music_->bj_v1Change(value); });
    connect(comBox1_, &QComboBox::currentIndexChanged, this,
            [this](int position) { music_->ComBox1Change(position); });
    connect(bjTimer1_, &QTimer::timeout, this, [this] { music_->bj_timer1Timer(); });
    connect(bjTimer2_, &QTimer::timeout, this, [this] { music_->bj_timer2Timer(); });
    bjTimer2_->start();

    if (auto* n44 = findChild<QAction*>(QStringLiteral("N44")))
        connect(n44, &QAction::triggered, this, &Tf_speaker::N44Click);
    if (auto* n32 = findChild<QAction*>(QStringLiteral("N32")))
        connect(n32, &QAction::triggered, this, &Tf_speaker::N32Click);
}

void Tf_speaker::CreateAboutBox() {
    // Created once: the memory figures are those of the start.
    AboutServices about;
    about.library = musicLibrary_;
    about.programFolder = services_.programFolder;
    about.openLink = [this](const QUrl& url) { linkOpener_(url); };
    about_ = new Tf_about(std::move(about), this);
}

void Tf_speaker::ShowSelectedEntry(int row) {
    // The panel's own selection is not the operator's: no change event.
    const QSignalBlocker blocker(bjListBox1_);
    bjListBox1_->setCurrentRow(row);
    if (row < 0)
        bjListBox1_->clearSelection();
}

void Tf_speaker::bj_playing() {
    music_->TogglePlaying();
}

void Tf_speaker::bj_okClick() {
    const QString chosen = folderChooser_(FromUtf8(music_->Folder()));
    if (chosen.isEmpty())
        return;
    RunCommand([&] {
        if (!QDir(chosen).exists()) {
            if (!ConfirmBox("文件夹不存在，要创建吗？"))
                return;
            if (!QDir().mkpath(chosen))
                throw std::runtime_error("无法创建文件夹 " + chosen.toStdString());
        }
        const std::string folder = chosen.toStdString();
        music_->SetFolder(folder);
        WriteMusicFolder(settings_, folder);
    });
}

void Tf_speaker::OpenVoiceNotice() {
    VoiceNoticeServices services;
    services.library = musicLibrary_;
    services.settings = settings_;
    for (const VoiceInfo& voice : voices_)
        services.voices.push_back({voice.id, voice.description});
    services.tempFolder = [] { return TempDir(); };
    services.openLink = [this](const QUrl& url) { linkOpener_(url); };
    auto* notice = new TFttsinstall(std::move(services), this);
    notices_.push_back(notice);
    notice->show();
}

void Tf_speaker::ShowVoiceNoticeOnShow() {
    // Read at every show: the notice's box may have been ticked since.
    namespace sys = settings::System;
    bool hidden = false;
    RunCommand([&] { hidden = settings_.ReadBool(sys::kSection, sys::Tts_information, false); });
    if (!hidden)
        OpenVoiceNotice();
}

void Tf_speaker::N44Click() {
    OpenVoiceNotice();
}

void Tf_speaker::N32Click() {
    CreateOtherWindows();
    about_->exec();
}

} // namespace sonvela
