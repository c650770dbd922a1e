// The music panel, the voice notice and the about box in the main window,
// on the offscreen platform, with the real audio library rendering to no
// device.
#include "DataModule.h"
#include "FunctionUnit.h"
#include "Mp3Maker.h"
#include "MusicFolderDialog.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"
#include "TFttsinstall.h"
#include "Tf_about.h"
#include "Tf_speaker.h"
#include "WindowTestSupport.h"
#include "bass.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

namespace fs = std::filesystem;
namespace sys = settings::System;
using test::AnsweringDesktop;
using test::ProgramFolder;
using test::RecordingVoice;
using test::ScratchFolder;
using test::ScriptedDialogs;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class MusicWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr));
    }
    static void TearDownTestSuite() { BASS_Free(); }

    MusicWindowTest() : folder(false), temp("window-temp") {
        // The samples are copied into a temporary folder of this test's own.
        setenv("TMPDIR", temp.Path().c_str(), 1);
    }
    ~MusicWindowTest() override { unsetenv("TMPDIR"); }

    std::unique_ptr<Tf_speaker> Open(bool showNotice = false) {
        if (!showNotice)
            Settings().WriteBool(sys::kSection, sys::Tts_information, true);
        data = TDM::Connect(folder.Path());
        auto window = std::make_unique<Tf_speaker>(
            MainWindowServices{folder.Path(), data.get(), &voice, &dialogs});
        window->SetLinkOpener([this](const QUrl& url) { links.push_back(url); });
        return window;
    }

    SettingsFile Settings() const { return SettingsFile::InFolder(folder.Path()); }

    void AddMp3(const fs::path& path, double seconds) {
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(test::MakeSineMp3({.seconds = seconds, .amplitude = 0.2}, path));
    }

    template <typename T> static T* Child(const QObject* window, const char* name) {
        auto* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    static QStringList Entries(const QListWidget* list) {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    AnsweringDesktop desktop;
    ProgramFolder folder;
    ScratchFolder temp;
    ScriptedDialogs dialogs;
    RecordingVoice voice;
    std::unique_ptr<TDM> data;
    std::vector<QUrl> links;
};

TEST_F(MusicWindowTest, PanelListsTheFallbackFolderAndPlaysThroughTheLibrary) {
    // The stored folder is gone: "mp3files" in the program folder is used,
    // and the stored value stays as it was.
    Settings().WriteString(sys::kSection, sys::Mp3bj, "/no/such/folder");
    AddMp3(fs::path(folder.Path()) / "mp3files" / "b.mp3", 1.5);
    AddMp3(fs::path(folder.Path()) / "mp3files" / "a.mp3", 1.5);
    std::ofstream(fs::path(folder.Path()) / "mp3files" / "notes.txt") << "x";
    auto window = Open();
    auto* list = Child<QListWidget>(window.get(), "BJListBox1");
    EXPECT_EQ(Entries(list), (QStringList{Q("a.mp3"), Q("b.mp3")}));
    EXPECT_EQ(list->toolTip(), Q("双击进行播放"));
    EXPECT_EQ(Settings().ReadString(sys::kSection, sys::Mp3bj, ""), "/no/such/folder");
    EXPECT_TRUE(Child<QTimer>(window.get(), "bj_timer2")->isActive());
    EXPECT_FALSE(Child<QTimer>(window.get(), "bj_timer1")->isActive());
    EXPECT_EQ(window->Music().Level(), 10);

    list->setCurrentRow(1);
    Q_EMIT list->itemDoubleClicked(list->item(1));
    MusicPlayer& music = window->Music();
    EXPECT_GE(music.Stream(), 45u);
    EXPECT_EQ(BASS_ChannelIsActive(music.Stream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(music.Seconds(), 1);
    EXPECT_EQ(window->StatusText(3), QString::fromStdString(folder.Path() + "mp3files/b.mp3"));
    EXPECT_TRUE(Child<QTimer>(window.get(), "bj_timer1")->isActive());

    // The refresh shows the position; F5's toggle stops and starts again
    // with the selected entry.
    music.bj_timer1Timer();
    EXPECT_EQ(Child<QLabel>(window.get(), "RzLEDDisplay1")->text(), Q(" 00 / 01 "));
    window->bj_playing();
    EXPECT_FALSE(music.Playing());
    EXPECT_EQ(BASS_ChannelIsActive(music.Stream()), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    window->bj_playing();
    EXPECT_TRUE(music.Playing());
    EXPECT_EQ(window->StatusText(3), QString::fromStdString(folder.Path() + "mp3files/b.mp3"));

    // The spin boxes drive the panel.
    Child<QSpinBox>(window.get(), "bj_v")->setValue(55);
    EXPECT_EQ(music.Level(), 55);
    float volume = 0;
    BASS_ChannelGetAttribute(music.Stream(), BASS_ATTRIB_VOL, &volume);
    EXPECT_FLOAT_EQ(volume, 0.55f);
    Child<QComboBox>(window.get(), "ComBox1")->setCurrentIndex(1);
    EXPECT_EQ(music.Mode(), PlayMode::Random);
    Child<QToolButton>(window.get(), "bj_stop")->click();
    EXPECT_FALSE(music.Playing());
}

TEST_F(MusicWindowTest, ChoosingAFolderStoresItAtOnce) {
    auto window = Open();
    ScratchFolder chosen("chosen-music");
    AddMp3(chosen / "x.mp3", 0.5);
    QString shownWith;
    window->SetFolderChooser([&](const QString& start) {
        shownWith = start;
        return QString::fromStdString(chosen.Path().string());
    });
    Child<QToolButton>(window.get(), "bj_ok")->click();
    EXPECT_EQ(shownWith, QString::fromStdString(folder.Path()));
    EXPECT_EQ(Entries(Child<QListWidget>(window.get(), "BJListBox1")), QStringList{Q("x.mp3")});
    EXPECT_EQ(Settings().ReadString(sys::kSection, sys::Mp3bj, ""), chosen.Path().string());

    // A name that does not exist yet is made after asking.
    const fs::path fresh = chosen / "new folder";
    window->SetFolderChooser([&](const QString&) { return QString::fromStdString(fresh); });
    desktop.answerYes = true;
    Child<QToolButton>(window.get(), "bj_ok")->click();
    EXPECT_TRUE(fs::is_directory(fresh));
    EXPECT_EQ(desktop.questions.size(), 1u);
    EXPECT_EQ(Settings().ReadString(sys::kSection, sys::Mp3bj, ""), fresh.string());

    // Cancelling changes nothing.
    window->SetFolderChooser([](const QString&) { return QString(); });
    Child<QToolButton>(window.get(), "bj_ok")->click();
    EXPECT_EQ(window->Music().Folder(), fresh.string());
}

TEST(MusicFolderDialog, HandsBackANewNameAndAnExistingFolderWithoutAWarning) {
    ScratchFolder scratch("music-chooser");
    const QString start = QString::fromStdString(scratch.Path().string());
    QDir(start).mkdir(QStringLiteral("old"));
    // Qt's own dialog would answer a missing folder with a modal warning:
    // any modal window that opens is noted and closed.
    QStringList warnings;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            warnings << modal->windowTitle();
            modal->close();
        }
    });
    watcher.start(20);

    for (const QString& name : {Q("新建音乐"), QStringLiteral("old")}) {
        MusicFolderDialog dialog(start);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        EXPECT_TRUE(buttons->button(QDialogButtonBox::Open)->isEnabled()) << name.toStdString();
        QTimer::singleShot(0, &dialog, &MusicFolderDialog::accept);
        const int result = dialog.exec();
        EXPECT_EQ(result, QDialog::Accepted) << name.toStdString();
        EXPECT_EQ(QDir::cleanPath(dialog.ChosenFolder()), QDir(start).filePath(name));
    }
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u',').toStdString();
    EXPECT_FALSE(QDir(start).exists(Q("新建音乐"))) << "the main window asks before creating";
}

TEST_F(MusicWindowTest, TheNoticeOpensAtEveryShowUntilItIsTicked) {
    auto window = Open(true);
    EXPECT_TRUE(window->VoiceNotices().empty());
    window->show();
    ASSERT_EQ(window->VoiceNotices().size(), 1u);
    window->VoiceNotices().front()->close();
    window->hide();
    window->show(); // as the tray icon's click shows it
    ASSERT_EQ(window->VoiceNotices().size(), 2u) << "again at the next show";

    TFttsinstall* notice = window->VoiceNotices().back();
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->windowTitle(), Q("使用须知"));
    EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
    for (const char* status :
         {"chk_liang", "chk_hui", "chk_lily", "chk_huihui", "chk_hunyee", "chk_hanhan"})
        EXPECT_EQ(Child<QLabel>(notice, status)->text(), Q("否")) << status;
    EXPECT_EQ(Child<QLabel>(notice, "Label7")->text(),
              Q("如果软件出现 \" 没有注册类 \" 错误，没有语音库选项，请到"));
    EXPECT_EQ(Child<QLabel>(notice, "liang")->text(), Q("中文男声Liang                 是否安装"));
    EXPECT_EQ(Child<QPushButton>(notice, "sb_hui")->toolTip(), Q("试听效果"));
    EXPECT_FALSE(Child<QPushButton>(notice, "sb_stop")->isVisibleTo(notice));
    EXPECT_FALSE(Child<QCheckBox>(notice, "CheckBox5")->isChecked());

    Child<QCheckBox>(notice, "CheckBox5")->setChecked(true);
    notice->close();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_TRUE(Settings().ReadBool(sys::kSection, sys::Tts_information, false));
    window->hide();
    window->show();
    EXPECT_EQ(window->VoiceNotices().size(), 2u) << "ticked: no notice at the next show";

    // "语音信息" opens one more window on every click, with the box ticked.
    QAction* n44 = Child<QAction>(window.get(), "N44");
    n44->trigger();
    n44->trigger();
    ASSERT_EQ(window->VoiceNotices().size(), 4u);
    EXPECT_TRUE(Child<QCheckBox>(window->VoiceNotices()[3], "CheckBox5")->isChecked());
}

TEST_F(MusicWindowTest, AnInstalledVoiceShowsYes) {
    voice.voices.push_back({"vw-lily", "VW Lily (Chinese)", "cmn"});
    auto window = Open();
    window->N44Click();
    TFttsinstall* notice = window->VoiceNotices().back();
    EXPECT_EQ(Child<QLabel>(notice, "chk_lily")->text(), Q("是"));
    EXPECT_EQ(Child<QLabel>(notice, "chk_liang")->text(), Q("否"));
}

TEST_F(MusicWindowTest, SamplesPlayFromTheTemporaryFolderBesideTheMusic) {
    auto window = Open();
    window->N44Click();
    TFttsinstall* notice = window->VoiceNotices().back();
    Child<QPushButton>(notice, "sb_liang")->click();
    const fs::path copy = fs::path(TempDir()) / "liang1.mp3";
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_EQ(copy.parent_path().parent_path(), temp.Path());
    const StreamHandle first = notice->SampleStream();
    EXPECT_GE(first, 45u);
    float volume = 0;
    BASS_ChannelGetAttribute(first, BASS_ATTRIB_VOL, &volume);
    EXPECT_FLOAT_EQ(volume, 0.8f);
    EXPECT_TRUE(Child<QPushButton>(notice, "sb_stop")->isVisibleTo(notice));

    // The second sample stops the first.
    Child<QPushButton>(notice, "sb_hunyee")->click();
    EXPECT_NE(notice->SampleStream(), first);
    EXPECT_EQ(BASS_ChannelIsActive(first), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelIsActive(notice->SampleStream()),
              static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    Child<QPushButton>(notice, "sb_stop")->click();
    EXPECT_EQ(BASS_ChannelIsActive(notice->SampleStream()),
              static_cast<DWORD>(BASS_ACTIVE_STOPPED));

    // A file of that name already there is played instead.
    const fs::path own = fs::path(TempDir()) / "hui1.mp3";
    AddMp3(own, 3.0);
    Child<QPushButton>(notice, "sb_hui")->click();
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(notice->SampleStream(),
                                          BASS_ChannelGetLength(notice->SampleStream(), 0)),
                3.0, 0.01);
}

TEST_F(MusicWindowTest, TheBuiltInSamplesAreMp3Recordings) {
    auto window = Open();
    window->N44Click();
    TFttsinstall* notice = window->VoiceNotices().back();
    for (const char* button :
         {"sb_liang", "sb_hui", "sb_lily", "sb_huihui", "sb_hunyee", "sb_hanhan"}) {
        Child<QPushButton>(notice, button)->click();
        EXPECT_GE(notice->SampleStream(), 45u) << button;
        EXPECT_GT(BASS_ChannelGetLength(notice->SampleStream(), 0), 44100u * 8) << button;
    }
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(MusicWindowTest, AboutBoxShowsMemoryAndPlaysTheIntroduction) {
    auto window = Open();
    Tf_about* about = window->AboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), Q("Sonvela"));
    EXPECT_EQ(Child<QLabel>(about, "Label1")->text(), Q("Sonvela(普及版) V2.9"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,3}(,\\d{3})* KB$"))
                    .match(Child<QLabel>(about, "PhysMem")->text())
                    .hasMatch())
        << Child<QLabel>(about, "PhysMem")->text().toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,3} %$"))
                    .match(Child<QLabel>(about, "FreeRes")->text())
                    .hasMatch());

    // No introduce.mp3: nothing happens.
    about->Label8Click();
    EXPECT_EQ(about->IntroductionStream(), 0u);
    fs::copy_file(fs::path(SONVELA_STAGE_DIR) / "introduce.mp3",
                  fs::path(folder.Path()) / "introduce.mp3");
    about->Label8Click();
    EXPECT_GE(about->IntroductionStream(), 45u);
    EXPECT_EQ(BASS_ChannelIsActive(about->IntroductionStream()),
              static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    about->hide();
    EXPECT_EQ(BASS_ChannelIsActive(about->IntroductionStream()),
              static_cast<DWORD>(BASS_ACTIVE_PLAYING))
        << "closing does not stop it";
}

TEST_F(MusicWindowTest, LinksOpenTheirPages) {
    auto window = Open();
    window->N44Click();
    TFttsinstall* notice = window->VoiceNotices().back();
    for (const char* name : {"Label1", "Label6"}) {
        QLabel* label = Child<QLabel>(notice, name);
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &release);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Child<QLabel>(window->AboutBox(), "Label6"), &release);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0], TFttsinstall::VoiceDownloadPage());
    EXPECT_EQ(links[1], TFttsinstall::SupportPage());
    EXPECT_EQ(links[2].scheme(), QStringLiteral("mailto"));
}

} // namespace
} // namespace sonvela
