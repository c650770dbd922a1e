#include "TForm1.h"

#include "DesktopEntry.h"
#include "Installation.h"
#include "SetupPrompts.h"
#include "SingleInstance.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

namespace sonvela {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFont Enlarged(QFont font, int pointSize, bool bold) {
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TForm1::TForm1(std::span<const InstallFile> files, SetupPrompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), files_(files),
      prompts_(prompts) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Sonvela(普及版)安装程序"));
    setFixedSize(419, 267);

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, 419, 44);
    Label1 = Named(new QLabel(QStringLiteral("欢迎使用Sonvela安装程序"), Panel1), "Label1");
    Label1->setFont(Enlarged(Label1->font(), 16, true));
    Label1->setGeometry(16, 4, 390, 36);

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setGeometry(0, 44, 419, 223);

    Label2 = Named(new QLabel(QStringLiteral("安装信息"), Panel2), "Label2");
    Label2->setFont(Enlarged(Label2->font(), 13, true));
    SetTextColour(Label2, QPalette::WindowText, kRed);
    Label2->setGeometry(16, 10, 200, 26);

    chbstart = Named(new QCheckBox(QStringLiteral("创建\"开始\"菜单快捷方式"), Panel2), "chbstart");
    chbstart->setChecked(true);
    SetTextColour(chbstart, QPalette::WindowText, kBlue);
    chbstart->setGeometry(32, 44, 360, 24);

    chbrun = Named(new QCheckBox(QStringLiteral("安装完成,自动运行软件"), Panel2), "chbrun");
    chbrun->setChecked(true);
    SetTextColour(chbrun, QPalette::WindowText, kBlue);
    chbrun->setGeometry(32, 70, 360, 24);

    Label3 = Named(new QLabel(QStringLiteral("选择安装路径:"), Panel2), "Label3");
    SetTextColour(Label3, QPalette::WindowText, kBlue);
    Label3->setGeometry(16, 104, 200, 22);

    edtpath = Named(new QLineEdit(Panel2), "edtpath");
    edtpath->setGeometry(16, 128, 290, 26);

    Button1 = Named(new QPushButton(QStringLiteral("更改路径..."), Panel2), "Button1");
    Button1->setGeometry(314, 128, 90, 26);

    btnnext = Named(new QPushButton(QStringLiteral("安装"), Panel2), "btnnext");
    SetTextColour(btnnext, QPalette::ButtonText, kLime);
    btnnext->setGeometry(222, 178, 86, 30);

    btnexit = Named(new QPushButton(QStringLiteral("退出"), Panel2), "btnexit");
    SetTextColour(btnexit, QPalette::ButtonText, kLime);
    btnexit->setGeometry(318, 178, 86, 30);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(btnnext, &QPushButton::clicked, this, &TForm1::btnnextClick);
    connect(btnexit, &QPushButton::clicked, this, &TForm1::btnexitClick);
    FormCreate();
}

void TForm1::FormCreate() {
    // The home folder stands where a Windows installer would offer a drive
    // folder; it is shown expanded, so the operator sees where it goes.
    edtpath->setText(QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/sonvela")));
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The close box ends the installer without asking.
    event->accept();
}

void TForm1::Button1Click() {
    const std::optional<QString> picked = prompts_.PickFolder(this, installFolder_, installFolder_);
    if (!picked)
        return;
    installFolder_ = *picked;
    edtpath->setText(installFolder_);
}

void TForm1::btnnextClick() {
    const std::optional<std::filesystem::path> folder =
        InstallFolderFromText(edtpath->text().toStdString(), ToPath(QDir::homePath()));
    if (!folder) {
        prompts_.Warn(this, QStringLiteral("请输入安装路径!"));
        return;
    }
    installFolder_ = FromPath(*folder);
    edtpath->setText(installFolder_);

    if (InstallationExists(*folder)) {
        // A running program would go on writing its database under the
        // replaced one's name, and its drafts would be lost: it has to end
        // first. (Windows refuses to overwrite a running program; Linux
        // does not, so the installer asks the program's own lock.)
        if (ProgramIsRunning()) {
            prompts_.ShowError(this, QStringLiteral("Sonvela正在运行，请先退出Sonvela再安装!"));
            return;
        }
        if (!prompts_.AskYesNo(this, QStringLiteral("该目录已存在Sonvela数据，要覆盖吗？")))
            return;
    }

    setWindowTitle(QStringLiteral("Sonvela安装程序..正在安装"));
    // Paint the new caption before the files are written; no clicks are
    // taken meanwhile, so "安装" cannot start a second run inside this one.
    btnnext->setEnabled(false);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool written = filetodisk();
    btnnext->setEnabled(true);
    if (!written)
        return;

    installed_ = true;
    setWindowTitle(QStringLiteral("Sonvela安装程序..安装完成"));
    btnnext->hide();
    if (chbrun->isChecked())
        StartInstalledProgram();
}

bool TForm1::ProgramIsRunning() {
    const std::optional<SingleInstanceLock> lock =
        SingleInstanceLock::Acquire(SingleInstanceLock::DefaultFolder(), "Sonvela");
    return !lock.has_value();
}

void TForm1::btnexitClick() {
    if (!installed_ && !prompts_.AskOkCancel(this, QStringLiteral("退出安装"),
                                             QStringLiteral("确定要退出本程序的安装吗?")))
        return;
    close();
}

bool TForm1::filetodisk() {
    if (const std::optional<InstallFault> fault =
            WriteInstallFiles(ToPath(installFolder_), files_)) {
        prompts_.ShowError(this, QString::fromStdString(InstallFaultMessage(*fault)));
        return false;
    }
    addlink();
    return true;
}

void TForm1::addlink() {
    WriteDesktopEntries(ToPath(installFolder_), LocateShortcutFolders(RunsAsRoot()),
                        chbstart->isChecked());
}

void TForm1::StartInstalledProgram() {
    // Started on its own, not waited for: the installer may be closed at
    // once and the program goes on.
    QProcess process;
    process.setProgram(QDir(installFolder_).filePath(QStringLiteral("speaker.exe")));
    process.setWorkingDirectory(installFolder_);
    if (!process.startDetached()) {
        prompts_.ShowError(
            this,
            QStringLiteral("无法启动 \"%1\"：\n%2").arg(process.program(), process.errorString()));
    }
}

} // namespace sonvela
