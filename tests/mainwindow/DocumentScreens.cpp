// Screenshots of the main window with the find panel open, a match selected
// and the draft grid filled, of the draft list editor, and of the status bar
// while a long text opens, taken from the X server:
// documents_screens <staged program folder> <output folder>.
#include "DataModule.h"
#include "EditorDialogs.h"
#include "GbkText.h"
#include "TFadddraft.h"
#include "Tf_speaker.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace sonvela;

namespace {

// The open dialog picks the staged price list.
class PickingDialogs final : public EditorDialogs {
public:
    explicit PickingDialogs(QString file) : file_(std::move(file)) {}
    void Pick(QString file) { file_ = std::move(file); }
    std::optional<FontChoice> ChooseFont(const FontChoice&, QWidget*) override { return {}; }
    std::optional<QColor> ChooseColor(const QColor&, QWidget*) override { return {}; }
    void OpenWithDesktop(const QString&) override {}
    std::optional<QString> ChooseOpenFile(const QString&, const QString&, QWidget*) override {
        return file_;
    }
    std::optional<QString> ChooseSaveFile(const QString&, const QString&, QWidget*) override {
        return {};
    }

private:
    QString file_;
};

void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(const QPixmap& shot, const QString& path) {
    if (shot.isNull() || !shot.save(path)) {
        std::fprintf(stderr, "could not take %s\n", qPrintable(path));
        return false;
    }
    std::printf("screenshot: %s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: documents_screens <program folder> <output folder>\n");
        return 2;
    }
    const QDir stage(QString::fromLocal8Bit(argv[1]));
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir folder;
    for (const QString& name : {QStringLiteral("draft.dat"), QStringLiteral("报价单.txt")})
        QFile::copy(stage.filePath(name), folder.filePath(name));
    QFile::setPermissions(folder.filePath(QStringLiteral("draft.dat")),
                          QFile::ReadOwner | QFile::WriteOwner);

    const std::string programFolder = folder.path().toStdString() + "/";
    std::unique_ptr<TDM> data = TDM::Connect(programFolder);
    PickingDialogs dialogs(folder.filePath(QStringLiteral("报价单.txt")));
    Tf_speaker window(MainWindowServices{programFolder, data.get(), nullptr, &dialogs});
    window.resize(1000, 720);
    window.show();
    window.SB_openClick();
    window.Image1Click();
    window.findChild<QLineEdit*>(QStringLiteral("Fedit"))->setText(QStringLiteral("每斤"));
    window.findChild<QLineEdit*>(QStringLiteral("Redit"))->setText(QStringLiteral("每公斤"));
    window.SpeedButton2Click();
    window.SpeedButton2Click();
    Settle(800);
    bool ok = Save(window.screen()->grabWindow(window.winId()),
                   out + QStringLiteral("/documents-find-drafts.png"));

    TFadddraft* editor = window.DraftEditor();
    editor->show();
    Settle(800);
    ok = Save(editor->screen()->grabWindow(editor->winId()),
              out + QStringLiteral("/tfadddraft.png")) &&
         ok;
    editor->hide();

    // A text long enough to take a few seconds: the status bar shows how far
    // the opening has come.
    const QString longFile = folder.filePath(QStringLiteral("长篇通知.txt"));
    {
        const std::string line =
            Utf8ToGbk("各位顾客请注意，下面报告今日菜价。西红柿每斤三元五角。\r\n");
        std::string text;
        while (text.size() < 40u * 1024 * 1024)
            text += line;
        QFile file(longFile);
        ok = file.open(QIODevice::WriteOnly) &&
             file.write(text.data(), static_cast<qint64>(text.size())) ==
                 static_cast<qint64>(text.size()) &&
             ok;
    }
    // Only the main window: the voice notice of its first show is closed.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != &window && top->isVisible())
            top->hide();
    dialogs.Pick(longFile);
    bool shot = false;
    bool underWay = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &window, [&] {
        if (shot)
            return;
        if (underWay) {
            // A tick after the note was seen: the panel has been painted.
            shot = true;
            ok = Save(window.screen()->grabWindow(window.winId()),
                      out + QStringLiteral("/opening-progress.png")) &&
                 ok;
            return;
        }
        for (QLabel* label : window.findChildren<QLabel*>()) {
            const QString text = label->text();
            if (!text.startsWith(QStringLiteral("正在打开")))
                continue;
            underWay = text.section(QStringLiteral("… "), 1).remove(QLatin1Char('%')).toInt() >= 30;
        }
    });
    watch.start(100);
    window.SB_openClick();
    watch.stop();
    if (!shot)
        std::fprintf(stderr, "the opening ended before its progress was shown\n");
    return ok && shot ? 0 : 1;
}
