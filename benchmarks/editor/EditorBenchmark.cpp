// Prints the editor's figures on the real main window (offscreen platform) as
// "name: value" lines, each beside the same measurement on a 10 KB text made
// in the same run:
//   ui_stall_10MB_ms              longest stretch the user-interface thread
//                                 is busy while the reader reads the first
//                                 200 segments of a 10 MB text (goal <= 16)
//   reader_ui_cost_10MB_over_10KB user-interface time per segment, 10 MB
//                                 over 10 KB (goal <= 1.5)
//   resize_stall_10MB_ms          user-interface time of the first segment
//                                 after a window resize during a reading
//                                 (goal <= 16)
//   caret_panel_10MB_ms           a caret-panel update at the end of the
//                                 text (goal <= 16)
//   open_50MB_stall_ms            longest stretch the user-interface thread
//                                 is busy while a 50 MB GBK text opens
//                                 (goal <= 50)
//   open_50MB_peak_rss_over_file  memory growth while opening, over the
//                                 file's size (goal <= 6); and
//   open_50MB_rss_over_file       the growth once it is open (goal <= 4)
//   cantonese_copy_10MB_stall_ms  longest stretch the user-interface thread
//                                 is busy while the traditional-character
//                                 copy of a 10 MB text is made
//   find_10MB_stall_ms            longest stretch the user-interface thread
//                                 is busy while a find runs through the
//                                 whole text without a match (goal <= 16);
//                                 find_10MB_one_go_ms is the same search
//                                 made in one go, as the panel once did
//   replace_all_10MB_stall_ms     the same for "替换以下" of a word in
//                                 every fiftieth paragraph (goal <= 16),
//                                 replace_all_10MB_ms its whole time; the
//                                 timed recovery copy of the text falls
//                                 inside it (the detail shows it without)
//   loop_10MB_stall_ms            longest stretch the user-interface thread
//                                 is busy while a loop reading of a passage
//                                 near the end of the text starts and reads
//                                 it twice, one second apart (goal <= 16);
//                                 loop_whole_text_10MB_stall_ms the same
//                                 for the start of a loop over the whole
//                                 text, loop_cantonese_10MB_stall_ms for the
//                                 passage read with the Cantonese voice
// SONVELA_BENCH_DETAIL=1 adds the raw times on stderr; SONVELA_BENCH_ONLY=loop
// runs the loop reading figures alone.
#include "../support/SilentWindowServices.h"
#include "AtomicFile.h"
#include "FindText.h"
#include "GbkText.h"
#include "MemoGbkAdapter.h"
#include "ReadingState.h"
#include "RecoveryKeeper.h"
#include "TestSpeechVoice.h"
#include "Tf_speaker.h"
#include "Tts.h"
#include "UiThreadEditorPort.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>

using namespace sonvela;
using sonvela::bench::FileDialogs;
using sonvela::bench::QuietDesktop;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

namespace {

bool Detail() {
    return std::getenv("SONVELA_BENCH_DETAIL") != nullptr;
}

// The longest gap between two ticks of a 1 ms timer: how long the
// user-interface thread could not answer. It sees nested event loops too.
// The thread's own processor time in that gap tells work from a machine too
// busy to run the thread (LongestBusyMs).
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Tick(); });
    }
    void Restart() {
        last_ = Clock::now();
        lastBusy_ = ThreadBusyMs();
        longest_ = 0;
        longestBusy_ = 0;
        timer_.start();
    }
    double LongestMs() {
        Tick();
        return std::max(0.0, longest_ - 1.0);
    }
    double LongestBusyMs() const { return longestBusy_; }

private:
    static double ThreadBusyMs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    }
    void Tick() {
        const auto now = Clock::now();
        const double busy = ThreadBusyMs();
        const double gap = Ms(now - last_).count();
        if (gap > longest_) {
            longest_ = gap;
            longestBusy_ = busy - lastBusy_;
        }
        last_ = now;
        lastBusy_ = busy;
    }
    QTimer timer_;
    Clock::time_point last_;
    double lastBusy_ = 0;
    double longest_ = 0;
    double longestBusy_ = 0;
};

// Time the user-interface thread spends on the reader's calls.
struct Meter {
    double total = 0;
    int calls = 0;
    void Reset() { *this = {}; }
};

void Pump(const std::function<bool()>& done, const char* what) {
    const auto deadline = Clock::now() + 300s;
    while (!done()) {
        if (Clock::now() > deadline) {
            std::fprintf(stderr, "gave up waiting: %s\n", what);
            std::exit(1);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void Settle() {
    const auto until = Clock::now() + 100ms;
    Pump([&] { return Clock::now() > until; }, "settling");
}

// Paragraphs of three sentences, long enough to wrap in the editor.
QString ReadingText(std::size_t bytes) {
    const GbkString paragraph = Utf8ToGbk(
        "这是一个测试用的句子，用来测量朗读的开销。窗口里的编辑器会把较长的段落折成几行显示，"
        "朗读时选中的句子要一直看得见。每一段都以句号结束。\n");
    GbkString text;
    while (text.size() < bytes)
        text += paragraph;
    return QString::fromStdString(GbkToUtf8(text));
}

struct ReadingRun {
    double stallMs = 0;
    double uiMsPerSegment = 0;
    double resizeSegmentMs = 0;
    double resizeStallMs = 0;
    double resizeItselfMs = 0;
};

// Reads the first `segments` segments from the top through the window's own
// editor port, carried to the user-interface thread as the program does.
ReadingRun Read(Tf_speaker& window, Heartbeat& heartbeat, const QString& text, int segments,
                bool resize) {
    window.resize(1000, 700);
    window.Memo1()->setPlainText(text);
    window.Memo1Text().SetCaret(0);
    Settle();

    ReadingRun run;
    Meter meter;
    UiThreadEditorPort port(window.EditorOnUiThread(), [&meter](std::function<void()> task) {
        QMetaObject::invokeMethod(
            qApp,
            [&meter, task = std::move(task)] {
                const auto start = Clock::now();
                task();
                meter.total += Ms(Clock::now() - start).count();
                ++meter.calls;
            },
            Qt::QueuedConnection);
    });
    ReadingState state;
    getdelaystring(state, {{Utf8ToGbk("。"), 0, true}, {Utf8ToGbk("，"), 0, true}});
    TestSpeechVoice voice(0us);
    voice.SetSpeakHook([&](const GbkString&) {
        if (voice.SpeakStarts() >= segments)
            state.stopreading = true;
    });
    {
        ReaderHost host(state, voice, port);
        heartbeat.Restart();
        host.gundong1({0, false});
        int resizedAt = -1;
        bool resizeMeasured = false;
        Pump(
            [&] {
                if (resize && resizedAt < 0 && voice.SpeakStarts() >= segments / 2) {
                    // The editor's own resize, at once: it throws every
                    // layout away before the reader's next call.
                    QPlainTextEdit* memo = window.Memo1();
                    const auto start = Clock::now();
                    memo->resize(memo->width() - 150, memo->height());
                    run.resizeItselfMs = Ms(Clock::now() - start).count();
                    resizedAt = voice.SpeakStarts();
                    meter.Reset();
                    heartbeat.Restart();
                } else if (resizedAt >= 0 && !resizeMeasured && voice.SpeakStarts() > resizedAt) {
                    run.resizeSegmentMs = meter.total;
                    run.resizeStallMs = heartbeat.LongestMs();
                    resizeMeasured = true;
                }
                return host.WaitUntilIdle(0ms);
            },
            "the reading");
        run.stallMs = heartbeat.LongestMs();
        run.uiMsPerSegment = meter.total / std::max(1, voice.SpeakStarts());
    }
    return run;
}

double CaretPanelMs(Tf_speaker& window, const QString& text) {
    window.Memo1()->setPlainText(text);
    Settle();
    window.Memo1Text().SetCaret(window.Memo1Text().TotalBytes());
    const auto start = Clock::now();
    window.showcaretpos();
    return Ms(Clock::now() - start).count();
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return 0;
}

struct OpenRun {
    double stallMs = 0;
    double peakOverFile = 0;
    double afterOverFile = 0;
};

OpenRun Open(Tf_speaker& window, FileDialogs& dialogs, Heartbeat& heartbeat,
             const std::string& path, std::size_t fileBytes) {
    window.Memo1()->clear();
    window.SetEditorModified(false);
    Settle();
    // The peak counts from here: resets the kernel's high-water mark.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKb("VmRSS");
    dialogs.file = QString::fromStdString(path);
    bool opened = false;
    heartbeat.Restart();
    QTimer::singleShot(0, &window, [&] {
        window.SB_openClick();
        opened = true;
    });
    Pump([&] { return opened && window.CurrentFileName() == path; }, "the open command");
    OpenRun run;
    run.stallMs = heartbeat.LongestMs();
    Settle();
    const double file = static_cast<double>(fileBytes) / 1024.0;
    run.peakOverFile = static_cast<double>(StatusKb("VmHWM") - before) / file;
    run.afterOverFile = static_cast<double>(StatusKb("VmRSS") - before) / file;
    return run;
}

double CopyStallMs(Tf_speaker& window, Heartbeat& heartbeat, const QString& text) {
    window.Memo1()->setPlainText(text);
    Settle();
    bool done = false;
    heartbeat.Restart();
    QTimer::singleShot(0, &window, [&] {
        window.conv_yyClick();
        done = true;
    });
    Pump([&] { return done; }, "the traditional-character copy");
    const double stall = heartbeat.LongestMs();
    if (window.Memo2()->document()->characterCount() !=
        window.Memo1()->document()->characterCount()) {
        std::fprintf(stderr, "the copy is not as long as the text\n");
        std::exit(1);
    }
    return stall;
}

// The editor as the find panel once searched it: every window on the
// user-interface thread, in one go.
class OneGoTarget final : public FindTarget {
public:
    explicit OneGoTarget(MemoGbkAdapter& text) : text_(text) {}
    std::int64_t TextSize() const override { return text_.TotalBytes(); }
    GbkString Window(std::int64_t offset, std::int64_t length) const override {
        return text_.TextWindow(offset, length);
    }
    std::int64_t SelectionStart() const override { return text_.Caret(); }
    GbkString SelectedText() const override { return text_.SelectedText(); }
    void Select(std::int64_t start, std::int64_t length) override {
        text_.SetSelection(start, length);
    }
    void ReplaceSelection(const GbkString&) override {}
    void Focus() override {}

private:
    MemoGbkAdapter& text_;
};

const QString kAbsent = QStringLiteral("不在文中的词");
const QString kMarker = QStringLiteral("【甲方】");

void PrepareFind(Tf_speaker& window, const QString& text, const QString& search,
                 const QString& replacement) {
    window.Memo1()->setPlainText(text);
    window.SetEditorModified(false);
    window.Memo1Text().SetCaret(0);
    window.findChild<QLineEdit*>(QStringLiteral("Fedit"))->setText(search);
    window.findChild<QLineEdit*>(QStringLiteral("Redit"))->setText(replacement);
    Settle();
}

double FindOneGoMs(Tf_speaker& window, const QString& text) {
    PrepareFind(window, text, kAbsent, {});
    OneGoTarget target(window.Memo1Text());
    FindSession session;
    FindOptions options;
    const auto start = Clock::now();
    const FindStep step = session.Find(target, Utf8ToGbk(kAbsent.toStdString()), {}, options);
    const double ms = Ms(Clock::now() - start).count();
    if (step.found) {
        std::fprintf(stderr, "found what is not in the text\n");
        std::exit(1);
    }
    return ms;
}

struct FindRunFigures {
    double stallMs = 0;
    double totalMs = 0;
};

FindRunFigures RunFindCommand(Tf_speaker& window, Heartbeat& heartbeat, bool replaceAll) {
    bool clicked = false;
    heartbeat.Restart();
    const auto start = Clock::now();
    QTimer::singleShot(0, &window, [&] {
        if (replaceAll)
            window.SpeedButton4Click();
        else
            window.SpeedButton2Click();
        clicked = true;
    });
    Pump([&] { return clicked && !window.FindRunning(); }, "the find command");
    FindRunFigures figures;
    figures.totalMs = Ms(Clock::now() - start).count();
    figures.stallMs = heartbeat.LongestMs();
    return figures;
}

FindRunFigures FindStall(Tf_speaker& window, Heartbeat& heartbeat, const QString& text) {
    PrepareFind(window, text, kAbsent, {});
    const FindRunFigures figures = RunFindCommand(window, heartbeat, false);
    if (window.Memo1()->textCursor().hasSelection()) {
        std::fprintf(stderr, "found what is not in the text\n");
        std::exit(1);
    }
    return figures;
}

// The reading text with the marker in every fiftieth paragraph.
QString MarkedText(const QString& text) {
    QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (qsizetype i = 10; i < paragraphs.size(); i += 50)
        paragraphs[i].prepend(kMarker);
    return paragraphs.join(QLatin1Char('\n'));
}

FindRunFigures ReplaceAllStall(Tf_speaker& window, Heartbeat& heartbeat, const QString& text) {
    const QString marked = MarkedText(text);
    PrepareFind(window, marked, kMarker, QStringLiteral("【乙方】"));
    const FindRunFigures figures = RunFindCommand(window, heartbeat, true);
    if (window.Memo1()->document()->find(kMarker).position() >= 0) {
        std::fprintf(stderr, "a marker was left\n");
        std::exit(1);
    }
    return figures;
}

std::string FileText(std::size_t bytes) {
    const std::string line =
        Utf8ToGbk("各位顾客请注意，下面报告今日菜价。西红柿每斤三元五角。\r\n");
    std::string gbk;
    gbk.reserve(bytes + line.size());
    while (gbk.size() < bytes)
        gbk += line;
    return gbk;
}

struct LoopRun {
    double stallMs = 0;
    double stallBusyMs = 0;
    double wholeMs = 0;
};

// Two kinds of loop reading, started from the loop bar as the operator does,
// in a window of its own that has the test voice to read with:
//   kPassage     about 2 KB ending 1 KB before the end of the text, selected
//                with the view scrolled there, read twice one second apart;
//   kWholeText   the whole text ("全文循环"), stopped after 200 segments of
//                its first pass: the start is what this measures;
//   kCantonesePassage  the passage with the Cantonese voice, which makes the
//                traditional-character copy first and reads from it.
enum class LoopKind { kPassage, kWholeText, kCantonesePassage };

LoopRun LoopStall(const std::string& programFolder, Heartbeat& heartbeat, const QString& text,
                  LoopKind kind) {
    constexpr int kWholeTextSegments = 200;
    TestSpeechVoice voice(0us);
    Tf_speaker window(MainWindowServices{programFolder, nullptr, &voice, nullptr});
    window.resize(1000, 700);
    window.show();
    window.Memo1()->setPlainText(text);
    window.SetEditorModified(false);
    Settle();
    getdelaystring(window.Reading(), {{Utf8ToGbk("。"), 0, true}, {Utf8ToGbk("，"), 0, true}});
    const std::int64_t total = window.Memo1Text().TotalBytes();
    const std::int64_t length = std::min<std::int64_t>(2048, total / 2);
    QScrollBar* bar = window.Memo1()->verticalScrollBar();
    bar->setValue(bar->maximum());
    Settle();
    window.Memo1Text().SetSelection(std::max<std::int64_t>(0, total - 1024 - length), length);
    window.Memo1()->ensureCursorVisible();
    if (kind == LoopKind::kCantonesePassage)
        window.findChild<QComboBox*>(QStringLiteral("flatComboBox1"))->setCurrentIndex(1);
    window.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(2);
    window.findChild<QSpinBox*>(QStringLiteral("SpinEdit2"))->setValue(1);
    const auto* timer = window.findChild<QTimer*>(QStringLiteral("readcycled"));
    auto* button = window.findChild<QToolButton*>(
        kind == LoopKind::kWholeText ? QStringLiteral("SB_repeat1") : QStringLiteral("SB_repeat"));
    Settle();

    bool clicked = false;
    heartbeat.Restart();
    const auto start = Clock::now();
    QTimer::singleShot(0, &window, [&] {
        button->click();
        clicked = true;
    });
    if (kind == LoopKind::kWholeText) {
        Pump([&] { return voice.SpeakStarts() >= kWholeTextSegments; }, "the whole-text loop");
        window.SB_stopClick();
    }
    Pump([&] { return clicked && !timer->isActive() && !window.Reading().isreading; },
         "the loop reading");
    LoopRun run;
    run.wholeMs = Ms(Clock::now() - start).count();
    run.stallMs = heartbeat.LongestMs();
    run.stallBusyMs = heartbeat.LongestBusyMs();
    const int spoken = voice.SpeakStarts();
    const bool complete = kind == LoopKind::kWholeText ? spoken >= kWholeTextSegments
                                                       : spoken >= 4 && spoken % 2 == 0;
    if (!complete) {
        std::fprintf(stderr, "the loop reading read %d segments\n", spoken);
        std::exit(1);
    }
    window.SetEditorModified(false);
    return run;
}

void PrintLoopFigures(const std::string& programFolder, Heartbeat& heartbeat, const QString& small,
                      const QString& large) {
    const LoopRun smallLoop = LoopStall(programFolder, heartbeat, small, LoopKind::kPassage);
    const LoopRun largeLoop = LoopStall(programFolder, heartbeat, large, LoopKind::kPassage);
    std::printf("loop_10KB_stall_ms: %.1f\n", smallLoop.stallMs);
    std::printf("loop_10MB_stall_ms: %.1f\n", largeLoop.stallMs);
    if (Detail())
        std::fprintf(stderr,
                     "loop reading, whole time: 10 KB %.1f ms, 10 MB %.1f ms; the thread's own "
                     "time in the longest stretch: 10 KB %.1f ms, 10 MB %.1f ms\n",
                     smallLoop.wholeMs, largeLoop.wholeMs, smallLoop.stallBusyMs,
                     largeLoop.stallBusyMs);
    const LoopRun smallWhole = LoopStall(programFolder, heartbeat, small, LoopKind::kWholeText);
    const LoopRun largeWhole = LoopStall(programFolder, heartbeat, large, LoopKind::kWholeText);
    std::printf("loop_whole_text_10KB_stall_ms: %.1f\n", smallWhole.stallMs);
    std::printf("loop_whole_text_10MB_stall_ms: %.1f\n", largeWhole.stallMs);
    const LoopRun smallCantonese =
        LoopStall(programFolder, heartbeat, small, LoopKind::kCantonesePassage);
    const LoopRun largeCantonese =
        LoopStall(programFolder, heartbeat, large, LoopKind::kCantonesePassage);
    std::printf("loop_cantonese_10KB_stall_ms: %.1f\n", smallCantonese.stallMs);
    std::printf("loop_cantonese_10MB_stall_ms: %.1f\n", largeCantonese.stallMs);
    std::fflush(stdout);
}

bool OnlyLoop() {
    const char* only = std::getenv("SONVELA_BENCH_ONLY");
    return only != nullptr && std::string(only) == "loop";
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
    Heartbeat heartbeat;
    Settle();
    const std::string programFolder = folder.path().toStdString() + "/";
    if (OnlyLoop()) {
        PrintLoopFigures(programFolder, heartbeat, ReadingText(10 * 1024),
                         ReadingText(10 * 1024 * 1024));
        InstallDesktop(nullptr);
        return 0;
    }

    // Opening first, while the process is as small as it will be.
    OpenRun openSmall;
    OpenRun openLarge;
    {
        const std::string small = FileText(10 * 1024);
        const std::string smallPath = folder.filePath(QStringLiteral("small.txt")).toStdString();
        WriteFileAtomically(smallPath, small);
        openSmall = Open(window, dialogs, heartbeat, smallPath, small.size());
        std::string large = FileText(50u * 1024 * 1024);
        const std::size_t largeBytes = large.size();
        const std::string largePath = folder.filePath(QStringLiteral("large.txt")).toStdString();
        WriteFileAtomically(largePath, large);
        large = std::string();
        openLarge = Open(window, dialogs, heartbeat, largePath, largeBytes);
    }
    std::printf("open_10KB_stall_ms: %.1f\n", openSmall.stallMs);
    std::printf("open_50MB_stall_ms: %.1f\n", openLarge.stallMs);
    std::printf("open_50MB_peak_rss_over_file: %.2f\n", openLarge.peakOverFile);
    std::printf("open_50MB_rss_over_file: %.2f\n", openLarge.afterOverFile);
    std::fflush(stdout);
    window.Memo1()->clear();
    window.SetEditorModified(false);

    const QString small = ReadingText(10 * 1024);
    const QString large = ReadingText(10 * 1024 * 1024);
    const ReadingRun smallRun = Read(window, heartbeat, small, 200, false);
    const ReadingRun largeRun = Read(window, heartbeat, large, 200, false);
    std::printf("ui_stall_10KB_ms: %.1f\n", smallRun.stallMs);
    std::printf("ui_stall_10MB_ms: %.1f\n", largeRun.stallMs);
    if (Detail())
        std::fprintf(stderr, "ui time per segment: 10 KB %.3f ms, 10 MB %.3f ms\n",
                     smallRun.uiMsPerSegment, largeRun.uiMsPerSegment);
    std::printf("reader_ui_cost_10MB_over_10KB: %.2f\n",
                largeRun.uiMsPerSegment / smallRun.uiMsPerSegment);
    std::fflush(stdout);

    const ReadingRun smallResize = Read(window, heartbeat, small, 120, true);
    const ReadingRun largeResize = Read(window, heartbeat, large, 120, true);
    if (Detail())
        std::fprintf(stderr,
                     "the editor's resize itself: 10 KB %.1f ms, 10 MB %.1f ms; longest stretch "
                     "after it: 10 KB %.1f ms, 10 MB %.1f ms\n",
                     smallResize.resizeItselfMs, largeResize.resizeItselfMs,
                     smallResize.resizeStallMs, largeResize.resizeStallMs);
    std::printf("resize_stall_10KB_ms: %.1f\n", smallResize.resizeSegmentMs);
    std::printf("resize_stall_10MB_ms: %.1f\n", largeResize.resizeSegmentMs);
    std::fflush(stdout);

    std::printf("caret_panel_10KB_ms: %.2f\n", CaretPanelMs(window, small));
    std::printf("caret_panel_10MB_ms: %.2f\n", CaretPanelMs(window, large));

    std::printf("cantonese_copy_10KB_stall_ms: %.1f\n", CopyStallMs(window, heartbeat, small));
    std::printf("cantonese_copy_10MB_stall_ms: %.1f\n", CopyStallMs(window, heartbeat, large));
    std::printf("find_10KB_one_go_ms: %.1f\n", FindOneGoMs(window, small));
    std::printf("find_10MB_one_go_ms: %.1f\n", FindOneGoMs(window, large));
    const FindRunFigures smallFind = FindStall(window, heartbeat, small);
    const FindRunFigures largeFind = FindStall(window, heartbeat, large);
    std::printf("find_10KB_stall_ms: %.1f\n", smallFind.stallMs);
    std::printf("find_10MB_stall_ms: %.1f\n", largeFind.stallMs);
    if (Detail())
        std::fprintf(stderr, "find, whole time: 10 KB %.1f ms, 10 MB %.1f ms\n", smallFind.totalMs,
                     largeFind.totalMs);
    std::fflush(stdout);
    const FindRunFigures smallReplace = ReplaceAllStall(window, heartbeat, small);
    const FindRunFigures largeReplace = ReplaceAllStall(window, heartbeat, large);
    std::printf("replace_all_10KB_stall_ms: %.1f\n", smallReplace.stallMs);
    std::printf("replace_all_10MB_stall_ms: %.1f\n", largeReplace.stallMs);
    std::printf("replace_all_10KB_ms: %.1f\n", smallReplace.totalMs);
    std::printf("replace_all_10MB_ms: %.1f\n", largeReplace.totalMs);
    if (Detail()) {
        // The same with the recovery copy (taken a few seconds after an
        // edit) held off until after the command: the command's own share.
        window.Recovery().SetTiming(std::chrono::minutes(10), std::chrono::minutes(10));
        const FindRunFigures alone = ReplaceAllStall(window, heartbeat, large);
        window.Recovery().SetTiming(std::chrono::seconds(2), std::chrono::seconds(5));
        std::fprintf(stderr, "replace-all on 10 MB without a recovery copy meanwhile: %.1f ms\n",
                     alone.stallMs);
    }
    // The main window's long edited text would have its recovery copy taken
    // during the loop readings: empty it first.
    window.Memo1()->clear();
    window.SetEditorModified(false);
    Settle();
    PrintLoopFigures(programFolder, heartbeat, small, large);
    InstallDesktop(nullptr);
    return 0;
}
