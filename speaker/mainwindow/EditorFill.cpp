#include "EditorFill.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <malloc.h>

namespace sonvela {
namespace {

using Clock = std::chrono::steady_clock;

// About a millisecond or two of the editor's work each; a step takes as many
// as fit in its time.
constexpr std::size_t kSliceUnits = 4 * 1024;
// A text that fits in a few slices goes in at once, as it always did.
constexpr std::size_t kAtOnceUnits = 64 * 1024;
// The editor's share of each turn of the event loop: well under a frame.
constexpr auto kStepTime = std::chrono::milliseconds(5);

// A newer fill (a text opened while another was still going in) ends the
// older one.
int fillGeneration = 0;

} // namespace

std::deque<QString> SliceText(std::u16string_view text) {
    std::deque<QString> slices;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t length = std::min(kSliceUnits, text.size() - from);
        // Never part a surrogate pair: each slice holds whole characters.
        if (from + length < text.size() && QChar::isHighSurrogate(text[from + length - 1]))
            ++length;
        slices.push_back(QString::fromUtf16(text.data() + from, static_cast<qsizetype>(length)));
        from += length;
    }
    return slices;
}

void FillEditor(QPlainTextEdit* memo, std::deque<QString> slices,
                const std::function<void(int percent)>& progress) {
    const int generation = ++fillGeneration;
    qsizetype total = 0;
    for (const QString& slice : slices)
        total += slice.size();
    if (static_cast<std::size_t>(total) <= kAtOnceUnits) {
        QString text;
        text.reserve(total);
        for (const QString& slice : slices)
            text += slice;
        memo->setPlainText(text);
        return;
    }

    memo->setPlainText(QString());
    QPointer<QPlainTextEdit> alive(memo);
    QTextDocument* document = memo->document();
    // Nothing to undo in a text just opened; an undo step per slice would
    // also cost memory the size of the text.
    document->setUndoRedoEnabled(false);
    QTextCursor end(document);
    qsizetype filled = 0;
    while (!slices.empty()) {
        const auto stepEnd = Clock::now() + kStepTime;
        do {
            end.movePosition(QTextCursor::End);
            end.insertText(slices.front());
            filled += slices.front().size();
            slices.pop_front();
        } while (!slices.empty() && Clock::now() < stepEnd);
        if (progress)
            progress(static_cast<int>(filled * 100 / total));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!alive || generation != fillGeneration)
            return;
    }
    document->setUndoRedoEnabled(true);
    // The slices went back to the allocator piece by piece, scattered among
    // the document's own blocks: give the free pages back to the system,
    // or the process stays as large as it was at the peak of the loading.
    malloc_trim(0);
    memo->moveCursor(QTextCursor::Start);
    memo->verticalScrollBar()->setValue(0);
    memo->horizontalScrollBar()->setValue(0);
}

LoadingNote::LoadingNote(QLabel* panel, QString what)
    : panel_(panel), what_(std::move(what)), start_(Clock::now()) {
    ticker_.setInterval(250);
    QObject::connect(&ticker_, &QTimer::timeout, [this] { Show(percent_); });
    ticker_.start();
}

LoadingNote::~LoadingNote() {
    if (!shown_)
        return;
    if (panel_)
        panel_->setText(kept_);
    QApplication::restoreOverrideCursor();
}

void LoadingNote::Show(int percent) {
    percent_ = percent;
    if (!shown_) {
        // A load that ends within a second needs no note.
        if (Clock::now() - start_ < std::chrono::seconds(1))
            return;
        shown_ = true;
        if (panel_)
            kept_ = panel_->text();
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (panel_)
        panel_->setText(QStringLiteral("正在打开 %1 … %2%").arg(what_).arg(percent));
}

} // namespace sonvela
