// The export dialog on the offscreen platform: its defaults, an export run
// on its worker with progress, cancelling, the overwrite question, and its
// place in the main window's three menus. Pictures of the dialog and of its
// progress go to the build folder for docs/screenshots.
#include "PumpUntil.h"
#include "TFexportaudio.h"
#include "TestSpeechVoice.h"
#include "Tf_speaker.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <thread>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using sonvela::testing::PumpUntil;

// Half a second of tone per segment, taking `delay` to "synthesise".
class SlowTone final : public SpeechSource {
public:
    explicit SlowTone(std::chrono::milliseconds delay) : delay_(delay) {}
    int SampleRate() const override { return 22050; }
    std::string KeyOf(const GbkString& segment) const override { return segment; }
    std::vector<short> Say(const GbkString&) override {
        std::this_thread::sleep_for(delay_);
        std::vector<short> pcm(11025);
        for (std::size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = static_cast<short>(8000 * std::sin(0.1 * static_cast<double>(i)));
        return pcm;
    }

private:
    std::chrono::milliseconds delay_;
};

double FileSeconds(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (file == nullptr)
        return -1;
    sf_close(file);
    return static_cast<double>(info.frames) / info.samplerate;
}

class ExportDialogTest : public ::testing::Test {
protected:
    ExportDialogTest()
        : dialog(
              [this](int voice, int rate, int volume) {
                  made.push_back({voice, rate, volume});
                  return std::make_unique<SlowTone>(delay);
              },
              [this](const QString& path) {
                  asked.push_back(path);
                  return replace;
              },
              [this](const QString& message) { reports.push_back(message); }) {}

    ExportRequest Request() const {
        ExportRequest request;
        request.text = QStringLiteral("欢迎光临。本店营业到晚上九点！谢谢");
        request.voices = {{"cmn-latn-pinyin", "Chinese Mandarin (espeak-ng)", "cmn"},
                          {"yue", "Chinese Cantonese (espeak-ng)", "yue"}};
        request.voice = 1;
        request.rate = 3;
        request.volume = 70;
        request.loops = 3;
        request.interval = 2;
        request.documentPath = folder.filePath(QStringLiteral("通知.txt"));
        request.defaultFolder = folder.path();
        request.symbols = std::make_shared<const DelaySymbols>(
            DelaySymbols::FromRows({{Utf8ToGbk("。"), 300, true}, {Utf8ToGbk("！"), 0, true}}));
        return request;
    }

    template <typename T> T* Child(const char* name) const {
        return dialog.findChild<T*>(QString::fromLatin1(name));
    }

    void Screenshot(const char* name) {
        QDir().mkpath(QStringLiteral(SONVELA_SCREENSHOT_DIR));
        dialog.grab().save(QStringLiteral(SONVELA_SCREENSHOT_DIR "/") + QString::fromLatin1(name));
    }

    QTemporaryDir folder;
    std::chrono::milliseconds delay{0};
    bool replace = false;
    std::vector<std::array<int, 3>> made;
    std::vector<QString> asked;
    std::vector<QString> reports;
    TFexportaudio dialog;
};

TEST_F(ExportDialogTest, OpensWithTheWindowsValuesAndItsOwnDefaults) {
    ExportRequest request = Request();
    dialog.Prepare(request);
    dialog.show();
    EXPECT_TRUE(Child<QRadioButton>("rb_whole")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>("rb_selection")->isEnabled()); // nothing selected
    EXPECT_EQ(Child<QComboBox>("cb_voice")->currentIndex(), 1);
    EXPECT_FALSE(Child<QCheckBox>("chk_loop")->isChecked());
    EXPECT_FALSE(Child<QSpinBox>("se_loops")->isEnabled());
    EXPECT_EQ(Child<QSpinBox>("se_loops")->value(), 3);
    EXPECT_FALSE(Child<QCheckBox>("chk_music")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>("chk_music")->isEnabled()); // no music files
    EXPECT_EQ(dialog.FileName(), folder.filePath(QStringLiteral("通知.mp3")));

    // The name follows the format.
    Child<QComboBox>("cb_format")->setCurrentIndex(3);
    EXPECT_EQ(dialog.FileName(), folder.filePath(QStringLiteral("通知.flac")));

    // A selection can be chosen; an unsaved text is named 未命名.
    request.selection = QStringLiteral("欢迎光临。");
    request.documentPath.clear();
    request.musicFiles = {"/music/a.mp3"};
    request.musicFolder = QStringLiteral("/music");
    dialog.Prepare(request);
    EXPECT_TRUE(Child<QRadioButton>("rb_selection")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>("chk_music")->isEnabled());
    EXPECT_EQ(dialog.FileName(), folder.filePath(QStringLiteral("未命名.flac")));
    Child<QComboBox>("cb_format")->setCurrentIndex(1);
    Child<QCheckBox>("chk_loop")->setChecked(true);
    EXPECT_TRUE(Child<QSpinBox>("se_interval")->isEnabled());
    Child<QCheckBox>("chk_music")->setChecked(true);
    Screenshot("export-dialog.png");
}

TEST_F(ExportDialogTest, ExportsTheSelectionAsALoopOnItsWorker) {
    ExportRequest request = Request();
    request.selection = QStringLiteral("欢迎光临。");
    dialog.Prepare(request);
    Child<QRadioButton>("rb_selection")->setChecked(true);
    Child<QCheckBox>("chk_loop")->setChecked(true);
    Child<QComboBox>("cb_format")->setCurrentIndex(0); // WAV
    dialog.show();
    dialog.btn_exportClick();
    EXPECT_TRUE(dialog.Running());
    // The controls stay locked while it runs.
    EXPECT_FALSE(Child<QPushButton>("btn_export")->isEnabled());
    ASSERT_TRUE(PumpUntil([&] { return !dialog.Running(); }));
    ASSERT_TRUE(dialog.LastResult().ok) << dialog.LastResult().message;
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0], (std::array<int, 3>{1, 3, 70})); // the panel's voice, speed, volume
    // Three passes of one 0.5 s segment with its 300 ms pause, 2 s apart.
    EXPECT_NEAR(FileSeconds(folder.filePath(QStringLiteral("通知.wav"))), 3 * 0.8 + 2 * 2, 0.02);
    EXPECT_EQ(Child<QProgressBar>("pb_progress")->value(), 1000);
    EXPECT_TRUE(Child<QLabel>("lb_progress")->text().startsWith(QStringLiteral("已导出")));
    EXPECT_TRUE(Child<QPushButton>("btn_export")->isEnabled());
    EXPECT_TRUE(reports.empty());
}

TEST_F(ExportDialogTest, CancelStopsTheWorkerAndLeavesNoFile) {
    delay = 40ms;
    ExportRequest request = Request();
    for (int i = 0; i < 200; ++i)
        request.text += QStringLiteral("第%1段。").arg(i);
    dialog.Prepare(request);
    dialog.show();
    dialog.btn_exportClick();
    ASSERT_TRUE(PumpUntil([&] { return Child<QProgressBar>("pb_progress")->value() > 0; }));
    EXPECT_TRUE(Child<QLabel>("lb_progress")->text().contains(QStringLiteral("剩余约")));
    Screenshot("export-progress.png");

    Child<QPushButton>("btn_cancel")->click();
    ASSERT_TRUE(PumpUntil([&] { return !dialog.Running(); }));
    EXPECT_TRUE(dialog.LastResult().cancelled);
    EXPECT_TRUE(dialog.isVisible()); // the first 取消 only stops the export
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    EXPECT_TRUE(reports.empty()); // a cancel is no failure to report
    Child<QPushButton>("btn_cancel")->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ExportDialogTest, AnExistingFileIsReplacedOnlyAfterTheQuestion) {
    const QString target = folder.filePath(QStringLiteral("通知.mp3"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("earlier");
    file.close();
    dialog.Prepare(Request());
    dialog.btn_exportClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], target);
    EXPECT_FALSE(dialog.Running());
    EXPECT_EQ(QFileInfo(target).size(), 7);

    replace = true;
    dialog.btn_exportClick();
    ASSERT_TRUE(PumpUntil([&] { return !dialog.Running(); }));
    EXPECT_TRUE(dialog.LastResult().ok);
    EXPECT_GT(QFileInfo(target).size(), 1000);
}

TEST_F(ExportDialogTest, ABadNameOrAnUnwritableFolderIsReported) {
    dialog.Prepare(Request());
    dialog.findChild<QLineEdit*>(QStringLiteral("ed_file"))
        ->setText(folder.filePath(QStringLiteral("通知.ogg")));
    dialog.btn_exportClick();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains(QStringLiteral(".opus")));

    dialog.findChild<QLineEdit*>(QStringLiteral("ed_file"))
        ->setText(folder.filePath(QStringLiteral("没有/通知.wav")));
    dialog.btn_exportClick();
    ASSERT_TRUE(PumpUntil([&] { return !dialog.Running(); }));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[1].contains(QStringLiteral("文件夹不存在"))) << reports[1].toStdString();
}

TEST(ExportMenusTest, TheFileEditorAndTrayMenusOpenTheDialog) {
    test::AnsweringDesktop desktop;
    test::ProgramFolder folder(false);
    TestSpeechVoice voice;
    Tf_speaker window(MainWindowServices{folder.Path(), nullptr, &voice, nullptr});
    for (const char* name : {"N_export", "N_export1", "N_export2"}) {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QStringLiteral("导出为音频文件…(&E)"));
    }
    window.Memo1()->setPlainText(QStringLiteral("请注意。"));
    window.findChild<QAction*>(QStringLiteral("N_export2"))->trigger();
    ASSERT_NE(window.ExportDialog(), nullptr);
    EXPECT_TRUE(window.ExportDialog()->isVisible());
    EXPECT_TRUE(window.ExportDialog()->FileName().endsWith(QStringLiteral(".mp3")));
}

} // namespace
} // namespace sonvela
