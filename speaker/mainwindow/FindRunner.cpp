#include "FindRunner.h"

#include "GbkText.h"
#include "MemoGbkAdapter.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>
#include <chrono>

namespace sonvela {

using Clock = std::chrono::steady_clock;

namespace {

// The command's share of a turn of the event loop: well under a frame.
constexpr auto kShareTime = std::chrono::milliseconds(4);
// Windows searched between two looks at the clock (a few microseconds each).
constexpr int kWindowsPerLook = 16;

} // namespace

// The editor as the find engine sees it. While "替换以下" runs, the view is
// not moved to every match it passes: that would lay out the text around
// each one. It is brought to the last one at the end.
class MemoFindTarget final : public FindTarget {
public:
    MemoFindTarget(MemoGbkAdapter& text, bool quiet) : text_(text), quiet_(quiet) {}

    std::int64_t TextSize() const override { return text_.TotalBytes(); }
    GbkString Window(std::int64_t offset, std::int64_t length) const override {
        return text_.TextWindow(offset, length);
    }
    std::int64_t SelectionStart() const override { return text_.Caret(); }
    GbkString SelectedText() const override { return text_.SelectedText(); }
    void Select(std::int64_t start, std::int64_t length) override {
        text_.SetSelection(start, length);
        if (!quiet_)
            Reveal();
    }
    void ReplaceSelection(const GbkString& replacement) override {
        QTextCursor cursor = text_.Memo()->textCursor();
        const std::string utf8 = GbkToUtf8(replacement);
        cursor.insertText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        text_.Memo()->setTextCursor(cursor);
    }
    void Focus() override { text_.Memo()->setFocus(); }

    bool Quiet() const { return quiet_; }
    void Reveal() {
        Focus();
        text_.Memo()->ensureCursorVisible();
    }

private:
    MemoGbkAdapter& text_;
    bool quiet_;
};

FindRunner::FindRunner(MemoGbkAdapter& text, QLabel* statusPanel, QWidget* window)
    : text_(text), panel_(statusPanel), stop_(new QShortcut(QKeySequence(Qt::Key_Escape), window)) {
    // Only while a command runs: Esc means nothing else to the window.
    stop_->setContext(Qt::WindowShortcut);
    stop_->setEnabled(false);
    connect(stop_, &QShortcut::activated, this, &FindRunner::Cancel);
    next_.setSingleShot(true);
    next_.setInterval(0);
    connect(&next_, &QTimer::timeout, this, &FindRunner::RunShare);
}

FindRunner::~FindRunner() {
    // Nothing is reported from here: the window that would hear it is going.
    finished_ = nullptr;
    next_.stop();
    disconnect(edits_);
}

void FindRunner::Start(FindSession& session, const GbkString& search, const GbkString& replacement,
                       const FindOptions& options, bool replaceAll, Finished finished) {
    Cancel();
    target_ = std::make_unique<MemoFindTarget>(text_, replaceAll);
    finished_ = std::move(finished);
    const QString shown = QString::fromStdString(GbkToUtf8(search));
    note_.emplace(panel_, [shown, replaceAll](int percent) {
        return QStringLiteral("%1“%2” … %3%  按 Esc 键停止")
            .arg(replaceAll ? QStringLiteral("正在替换") : QStringLiteral("正在查找"), shown)
            .arg(percent);
    });
    edits_ = connect(text_.Memo()->document(), &QTextDocument::contentsChange, this,
                     [this](int, int, int) {
                         if (!applying_)
                             Cancel();
                     });
    stop_->setEnabled(true);
    applying_ = true;
    run_ = std::make_unique<FindRun>(session, *target_, search, replacement, options, replaceAll);
    applying_ = false;
    RunShare();
}

void FindRunner::Cancel() {
    if (run_)
        End(true);
}

void FindRunner::RunShare() {
    if (!run_)
        return;
    const auto until = Clock::now() + kShareTime;
    bool done = false;
    applying_ = true;
    do
        done = run_->Advance(kWindowsPerLook);
    while (!done && Clock::now() < until);
    applying_ = false;
    if (done) {
        End(false);
        return;
    }
    note_->Show(run_->Percent());
    next_.start();
}

void FindRunner::End(bool cancelled) {
    next_.stop();
    stop_->setEnabled(false);
    disconnect(edits_);
    // Taken off the runner first: what the report does (a message box with
    // its own event loop, a new command) finds no command running.
    const std::unique_ptr<FindRun> run = std::move(run_);
    const std::unique_ptr<MemoFindTarget> target = std::move(target_);
    const Finished finished = std::move(finished_);
    finished_ = nullptr;
    note_.reset();
    if (!cancelled && target->Quiet())
        target->Reveal();
    if (finished)
        finished(run->Step(), run->Options(), cancelled);
}

} // namespace sonvela
