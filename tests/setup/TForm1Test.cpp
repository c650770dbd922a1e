// The installer's window on the offscreen platform, with a small payload
// whose "program" is a script that records where it was started.
#include "TForm1.h"

#include "SetupTestSupport.h"
#include "SingleInstance.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <vector>

namespace sonvela {
namespace {

namespace fs = std::filesystem;
using testing::FakePrompts;
using testing::ReadFile;
using testing::TempHome;
using testing::WriteFile;

const std::vector<InstallFile> kFiles = {
    {"bass_dll", "bass.dll", "library", false, false},
    {"speaker_exe", "speaker.exe", "#!/bin/sh\npwd > started.txt\n", true, false},
    {"speaker_chm", "speaker.chm", "help", false, false},
    {"draft_dat", "draft.dat", "shipped rows", false, true},
    {"gaoping", "books/talk.txt", "book", false, false},
};

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Waits, handling events, until `done` or about five seconds have passed.
template <typename Condition> bool WaitFor(Condition done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return done();
}

class TForm1Test : public ::testing::Test {
protected:
    TForm1Test() : form(kFiles, prompts) { form.show(); }

    template <typename T> T* Control(const char* name) {
        T* control = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Install(const fs::path& folder) {
        Control<QLineEdit>("edtpath")->setText(QStringLiteral("  ") + Q(folder) +
                                               QStringLiteral(" "));
        Control<QPushButton>("btnnext")->click();
    }
    void SetChecked(const char* box, bool checked) { Control<QCheckBox>(box)->setChecked(checked); }

    TempHome temp;
    FakePrompts prompts;
    TForm1 form;
};

TEST_F(TForm1Test, ShowsTheInstallerReadyToInstallIntoTheHomeFolder) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sonvela(普及版)安装程序"));
    EXPECT_EQ(form.size(), QSize(419, 267));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(Control<QLabel>("Label1")->text(), QStringLiteral("欢迎使用Sonvela安装程序"));
    EXPECT_EQ(Control<QLabel>("Label2")->text(), QStringLiteral("安装信息"));
    EXPECT_EQ(Control<QLabel>("Label2")->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(Control<QCheckBox>("chbstart")->text(), QStringLiteral("创建\"开始\"菜单快捷方式"));
    EXPECT_EQ(Control<QCheckBox>("chbrun")->text(), QStringLiteral("安装完成,自动运行软件"));
    EXPECT_TRUE(Control<QCheckBox>("chbstart")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>("chbrun")->isChecked());
    EXPECT_EQ(Control<QLabel>("Label3")->text(), QStringLiteral("选择安装路径:"));
    EXPECT_EQ(Control<QLineEdit>("edtpath")->text(), Q(temp.home() / "sonvela"));
    EXPECT_EQ(Control<QPushButton>("Button1")->text(), QStringLiteral("更改路径..."));
    EXPECT_EQ(Control<QPushButton>("btnnext")->text(), QStringLiteral("安装"));
    EXPECT_EQ(Control<QPushButton>("btnexit")->text(), QStringLiteral("退出"));
    EXPECT_EQ(Control<QPushButton>("btnnext")->palette().color(QPalette::ButtonText),
              QColor(0, 255, 0));
    EXPECT_EQ(Control<QFrame>("Panel1")->height(), 44);
    EXPECT_TRUE(form.installFolder().isEmpty());
    EXPECT_FALSE(form.installed());
}

TEST_F(TForm1Test, AnEmptyPathIsRefused) {
    Control<QLineEdit>("edtpath")->setText(QStringLiteral(" \t "));
    Control<QPushButton>("btnnext")->click();
    EXPECT_EQ(prompts.warnings, QStringList{QStringLiteral("请输入安装路径!")});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sonvela(普及版)安装程序"));
    EXPECT_FALSE(form.installed());
}

TEST_F(TForm1Test, InstallsThreeLevelsDeepWithBothEntriesWithoutStartingWhenNotAsked) {
    SetChecked("chbrun", false);
    const fs::path folder = temp.root() / "a/b/c";
    Install(folder);

    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(u'\n').toStdString();
    EXPECT_TRUE(form.installed());
    EXPECT_EQ(form.installFolder(), Q(folder));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sonvela安装程序..安装完成"));
    EXPECT_TRUE(Control<QPushButton>("btnnext")->isHidden());
    EXPECT_TRUE(fs::is_directory(folder / "books"));
    for (const InstallFile& file : kFiles)
        EXPECT_EQ(ReadFile(folder / fs::path(std::string(file.relativePath))), file.bytes);
    EXPECT_TRUE(fs::exists(temp.desktopEntry()));
    EXPECT_TRUE(fs::exists(temp.menuEntry()));
    EXPECT_NE(ReadFile(temp.desktopEntry()).find("Path=" + folder.string() + "/\n"),
              std::string::npos);

    QThread::msleep(300);
    EXPECT_FALSE(fs::exists(folder / "started.txt")) << "the program was started";

    // Once installed, "退出" ends the installer without asking.
    Control<QPushButton>("btnexit")->click();
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(TForm1Test, WithoutTheStartMenuChoiceOnlyTheDesktopEntryIsMade) {
    SetChecked("chbstart", false);
    SetChecked("chbrun", false);
    Install(temp.root() / "sonvela");
    EXPECT_TRUE(form.installed());
    EXPECT_TRUE(fs::exists(temp.desktopEntry()));
    EXPECT_FALSE(fs::exists(temp.menuEntry()));
}

TEST_F(TForm1Test, StartsTheInstalledProgramInItsFolder) {
    const fs::path folder = temp.root() / "run here";
    Install(folder);
    ASSERT_TRUE(form.installed());
    ASSERT_TRUE(WaitFor([&] { return !ReadFile(folder / "started.txt").empty(); }));
    EXPECT_EQ(ReadFile(folder / "started.txt"), folder.string() + "\n");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(TForm1Test, ReinstallingAsksAndOverwritesKeepingTheOldDatabase) {
    SetChecked("chbrun", false);
    const fs::path folder = temp.root() / "sonvela";
    WriteFile(folder / "speaker.exe", "old program");
    WriteFile(folder / "draft.dat", "the operator's drafts");
    WriteFile(folder / "setinfo.ini", "[Memo]\nfontsize=14\n");

    prompts.answers = {false};
    Install(folder);
    EXPECT_EQ(prompts.questions,
              QStringList{QStringLiteral("该目录已存在Sonvela数据，要覆盖吗？")});
    EXPECT_FALSE(form.installed());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sonvela(普及版)安装程序"));
    EXPECT_EQ(ReadFile(folder / "speaker.exe"), "old program");
    EXPECT_FALSE(fs::exists(folder / "bass.dll"));
    EXPECT_FALSE(fs::exists(temp.desktopEntry()));

    prompts.answers = {true};
    Install(folder);
    EXPECT_TRUE(form.installed());
    EXPECT_EQ(ReadFile(folder / "speaker.exe"), kFiles[1].bytes);
    EXPECT_EQ(ReadFile(folder / "draft.dat"), "shipped rows");
    EXPECT_EQ(ReadFile(folder / "draft.dat.bak"), "the operator's drafts");
    EXPECT_EQ(ReadFile(folder / "setinfo.ini"), "[Memo]\nfontsize=14\n");
}

TEST_F(TForm1Test, DoesNotOverwriteWhileTheProgramRuns) {
    SetChecked("chbrun", false);
    const fs::path folder = temp.root() / "sonvela";
    WriteFile(folder / "speaker.exe", "old program");
    WriteFile(folder / "draft.dat", "the drafts the running program writes to");
    {
        const auto running =
            SingleInstanceLock::Acquire(SingleInstanceLock::DefaultFolder(), "Sonvela");
        ASSERT_TRUE(running && running->Held());
        Install(folder);
        EXPECT_EQ(prompts.errors.size(), 1);
        EXPECT_TRUE(prompts.questions.isEmpty());
        EXPECT_FALSE(form.installed());
        EXPECT_EQ(ReadFile(folder / "draft.dat"), "the drafts the running program writes to");
    }
    // Once it has ended, the installation goes ahead.
    prompts.answers = {true};
    Install(folder);
    EXPECT_TRUE(form.installed());
    EXPECT_EQ(ReadFile(folder / "draft.dat.bak"), "the drafts the running program writes to");
}

TEST_F(TForm1Test, AFailedInstallationStopsWithTheSystemsTextAndCanBeRetried) {
    SetChecked("chbrun", false);
    const fs::path blocked = temp.root() / "blocked";
    WriteFile(blocked, "a file where the folder must be made");
    Install(blocked / "sonvela");

    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains(Q(blocked / "sonvela")));
    EXPECT_TRUE(prompts.errors[0].contains(
        QString::fromStdString(std::make_error_code(std::errc::not_a_directory).message())))
        << prompts.errors[0].toStdString();
    EXPECT_FALSE(form.installed());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Sonvela安装程序..正在安装"));
    EXPECT_TRUE(Control<QPushButton>("btnnext")->isVisible());
    EXPECT_TRUE(Control<QPushButton>("btnnext")->isEnabled());
    EXPECT_FALSE(fs::exists(temp.desktopEntry()));
    EXPECT_FALSE(fs::exists(temp.menuEntry()));

    // A file that cannot be written stops there; what came before stays.
    const fs::path folder = temp.root() / "sonvela";
    WriteFile(folder / "speaker.chm/inside", "");
    Install(folder);
    ASSERT_EQ(prompts.errors.size(), 2);
    EXPECT_TRUE(prompts.errors[1].contains(Q(folder / "speaker.chm")));
    EXPECT_TRUE(fs::exists(folder / "speaker.exe"));
    EXPECT_FALSE(fs::exists(folder / "draft.dat"));
    EXPECT_FALSE(fs::exists(temp.desktopEntry()));

    // Once the obstacle is gone, "安装" finishes the job.
    fs::remove_all(folder / "speaker.chm");
    prompts.answers = {true};
    Install(folder);
    EXPECT_TRUE(form.installed());
    EXPECT_TRUE(fs::exists(temp.desktopEntry()));
}

TEST_F(TForm1Test, QuittingBeforeInstallingAsksFirst) {
    prompts.answers = {false};
    Control<QPushButton>("btnexit")->click();
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("退出安装|确定要退出本程序的安装吗?")});
    EXPECT_TRUE(form.isVisible());

    prompts.answers = {true};
    Control<QPushButton>("btnexit")->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(TForm1Test, TheCloseBoxQuitsWithoutAsking) {
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(prompts.questions.isEmpty());
}

TEST_F(TForm1Test, TheFolderPickerSetsTheFolderOnlyWhenAFolderIsPicked) {
    Control<QPushButton>("Button1")->click();
    EXPECT_EQ(prompts.pickerCalls, QStringList{QStringLiteral("|")});
    EXPECT_EQ(Control<QLineEdit>("edtpath")->text(), Q(temp.home() / "sonvela"));
    EXPECT_TRUE(form.installFolder().isEmpty());

    prompts.pickedFolder = Q(temp.root());
    Control<QPushButton>("Button1")->click();
    EXPECT_EQ(form.installFolder(), Q(temp.root()));
    EXPECT_EQ(Control<QLineEdit>("edtpath")->text(), Q(temp.root()));

    // The next picker shows the folder as its instruction and starts there.
    Control<QPushButton>("Button1")->click();
    EXPECT_EQ(prompts.pickerCalls.last(), Q(temp.root()) + QStringLiteral("|") + Q(temp.root()));
}

} // namespace
} // namespace sonvela
