// Prints the document commands' figures as "name: value" lines:
//   replace_all_1MB_over_100KB  "替换以下" over a 1 MB text with one match
//                               per 100 bytes, over the same in 100 KB
//                               (linear scaling: goal <= 12)
//   open_10MB_ratio             opening a 10 MB GBK file with the open
//                               command, over decoding the same bytes and
//                               putting them into the same editor directly
//                               (goal <= 1.5)
#include "../support/SilentWindowServices.h"
#include "AtomicFile.h"
#include "GbkText.h"
#include "Tf_speaker.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace sonvela;
using sonvela::bench::FileDialogs;
using sonvela::bench::QuietDesktop;
using Ms = std::chrono::duration<double, std::milli>;

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Work> double TimeMs(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Ms(std::chrono::steady_clock::now() - start).count();
}

// Lines of 100 bytes (the line break counts one), each starting with the
// 4-byte search text.
std::string ReplaceText(std::size_t bytes) {
    const std::string line =
        Utf8ToGbk("匹配这是一段用来测量全部替换开销的文字，每一行都有一个要找的词语。"
                  "后面还有一些别的内容凑数") +
        ".\n";
    std::string text;
    while (text.size() < bytes)
        text += line;
    return text;
}

double ReplaceAllMs(Tf_speaker& window, const std::string& gbk) {
    window.Memo1()->setPlainText(QString::fromStdString(GbkToUtf8(gbk)));
    window.Memo1()->moveCursor(QTextCursor::Start);
    // A long text is replaced a share at a time from the event loop: the
    // figure is the whole command, to its last replacement.
    return TimeMs([&] {
        window.SpeedButton4Click();
        while (window.FindRunning())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    });
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QuietDesktop desktop;
    InstallDesktop(&desktop);
    QTemporaryDir folder;
    FileDialogs dialogs;
    Tf_speaker window(
        MainWindowServices{folder.path().toStdString() + "/", nullptr, nullptr, &dialogs});
    window.resize(1000, 700);
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("Fedit"))->setText(QStringLiteral("匹配"));
    window.findChild<QLineEdit*>(QStringLiteral("Redit"))->setText(QStringLiteral("换成了"));

    const std::string small = ReplaceText(100 * 1024);
    const std::string large = ReplaceText(1024 * 1024);
    std::vector<double> smallTimes;
    std::vector<double> largeTimes;
    for (int round = 0; round < 3; ++round) {
        smallTimes.push_back(ReplaceAllMs(window, small));
        largeTimes.push_back(ReplaceAllMs(window, large));
    }
    if (window.Memo1()->toPlainText().contains(QStringLiteral("匹配"))) {
        std::fprintf(stderr, "replace-all left a match behind\n");
        return 1;
    }
    if (std::getenv("SONVELA_BENCH_DETAIL"))
        std::fprintf(stderr, "replace all: 100 KB %.1f ms, 1 MB %.1f ms\n", Median(smallTimes),
                     Median(largeTimes));
    std::printf("replace_all_1MB_over_100KB: %.2f\n", Median(largeTimes) / Median(smallTimes));
    std::fflush(stdout);

    // 10 MB of GBK Chinese text in lines, with CR LF line breaks.
    const std::string line =
        Utf8ToGbk("各位顾客请注意，下面报告今日菜价。西红柿每斤三元五角。\r\n");
    std::string gbk;
    while (gbk.size() < 10u * 1024 * 1024)
        gbk += line;
    const std::string path = folder.filePath(QStringLiteral("big.txt")).toStdString();
    WriteFileAtomically(path, gbk);
    dialogs.file = QString::fromStdString(path);

    std::vector<double> openTimes;
    std::vector<double> directTimes;
    for (int round = 0; round < 5; ++round) {
        window.Memo1()->clear();
        directTimes.push_back(TimeMs([&] {
            const std::optional<std::string> bytes = ReadWholeFile(path);
            QStringDecoder decode("GBK");
            window.Memo1()->setPlainText(
                decode(QByteArrayView(bytes->data(), static_cast<qsizetype>(bytes->size()))));
        }));
        window.Memo1()->clear();
        window.SetEditorModified(false);
        openTimes.push_back(TimeMs([&] { window.SB_openClick(); }));
    }
    if (window.CurrentFileName() != path) {
        std::fprintf(stderr, "the open command did not open the file\n");
        return 1;
    }
    std::printf("open_10MB_ratio: %.2f\n", Median(openTimes) / Median(directTimes));
    InstallDesktop(nullptr);
    return 0;
}
