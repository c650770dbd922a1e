#include "EditorFill.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
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

// A newer fill of the same editor (a text opened while another was still
// going in) ends the older one; the count is kept on the editor, so that
// filling the hidden copy never cuts short the editor's own text.
constexpr const char* kFillGeneration = "sonvelaFillGeneration";

// The editor's own scrolling setting, kept aside while fills run (a fill
// cut short by a newer one leaves it to that one to put back).
constexpr const char* kCentredBefore = "sonvelaCentredBefore";

int NextFillGeneration(QPlainTextEdit* memo) {
    const int next = memo->property(kFillGeneration).toInt() + 1;
    memo->setProperty(kFillGeneration, next);
    return next;
}

// Puts back what a fill changed on the editor while it ran.
void EndFill(QPlainTextEdit* memo) {
    const QVariant centred = memo->property(kCentredBefore);
    if (centred.isValid()) {
        memo->setCenterOnScroll(centred.toBool());
        memo->setProperty(kCentredBefore, QVariant());
    }
    memo->setUpdatesEnabled(true);
}

} // namespace

void FillEditor(QPlainTextEdit* memo, std::u16string text,
                const std::function<void(int percent)>& progress) {
    const int generation = NextFillGeneration(memo);
    const std::size_t total = text.size();
    if (total <= kAtOnceUnits) {
        memo->setPlainText(QString::fromUtf16(text.data(), static_cast<qsizetype>(total)));
        EndFill(memo); // after an older fill it replaced
        return;
    }

    memo->setPlainText(QString());
    QPointer<QPlainTextEdit> alive(memo);
    QTextDocument* document = memo->document();
    // Nothing to undo in a text just opened; an undo step per slice would
    // also cost memory the size of the text.
    document->setUndoRedoEnabled(false);
    // The editor is not painted while it fills: its first lines are all
    // there is to see, and painting them after every step would make the
    // whole loading a third slower.
    memo->viewport()->repaint(); // empty, not the text it held before
    memo->setUpdatesEnabled(false);
    // After every slice the editor measures the text's last screenful to
    // size its scroll bar, laying out those paragraphs and keeping their
    // layouts: over a whole loading a quarter of a long text's paragraphs
    // would keep one, about a hundred bytes each that nothing frees. While
    // it centres on scrolling it counts lines instead; the measurement is
    // made once, at the end.
    if (!memo->property(kCentredBefore).isValid())
        memo->setProperty(kCentredBefore, memo->centerOnScroll());
    memo->setCenterOnScroll(true);
    QTextCursor end(document);
    std::size_t filled = 0;
    while (filled < total) {
        const auto stepEnd = Clock::now() + kStepTime;
        do {
            std::size_t length = std::min(kSliceUnits, total - filled);
            // Never part a surrogate pair: each slice holds whole characters.
            if (filled + length < total && QChar::isHighSurrogate(text[filled + length - 1]))
                ++length;
            end.movePosition(QTextCursor::End);
            // The document copies the slice; no copy of our own is made.
            end.insertText(
                QString::fromRawData(reinterpret_cast<const QChar*>(text.data()) + filled,
                                     static_cast<qsizetype>(length)));
            filled += length;
        } while (filled < total && Clock::now() < stepEnd);
        if (progress)
            progress(static_cast<int>(filled * 100 / total));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!alive)
            return;
        if (memo->property(kFillGeneration).toInt() != generation)
            return; // the newer fill puts the editor back as it was
    }
    document->setUndoRedoEnabled(true);
    std::u16string().swap(text);
    // What the loading's own allocations left free goes back to the system,
    // or the process stays as large as it was at the peak of the loading.
    malloc_trim(0);
    memo->moveCursor(QTextCursor::Start);
    memo->verticalScrollBar()->setValue(0);
    memo->horizontalScrollBar()->setValue(0);
    EndFill(memo);
}

QString TakeRawText(const QTextDocument* document) {
    QPointer<const QTextDocument> alive(document);
    bool changed = true;
    const QMetaObject::Connection watch =
        QObject::connect(document, &QTextDocument::contentsChange, document,
                         [&changed](int, int, int) { changed = true; });
    QString raw;
    while (changed && alive) {
        changed = false;
        raw.clear();
        raw.reserve(document->characterCount());
        auto stepEnd = Clock::now() + kStepTime;
        int sinceLook = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (block != document->begin())
                raw += QChar::ParagraphSeparator;
            raw += block.text();
            if (++sinceLook < 256 || Clock::now() < stepEnd)
                continue;
            sinceLook = 0;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (changed || !alive)
                break;
            stepEnd = Clock::now() + kStepTime;
        }
    }
    if (alive)
        QObject::disconnect(watch);
    return alive ? raw : QString();
}

RawTextTaker::RawTextTaker(const QTextDocument* document) : document_(document) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &RawTextTaker::Step);
    connect(document, &QTextDocument::contentsChange, this, [this](int, int, int) {
        if (!running_)
            return;
        raw_.clear();
        nextBlock_ = 0;
    });
}

void RawTextTaker::Start(std::function<void(QString raw)> done) {
    done_ = std::move(done);
    raw_.clear();
    nextBlock_ = 0;
    running_ = true;
    timer_.start();
}

void RawTextTaker::Cancel() {
    running_ = false;
    timer_.stop();
    done_ = nullptr;
    raw_ = QString();
}

void RawTextTaker::Step() {
    if (!running_ || !document_)
        return;
    if (nextBlock_ == 0)
        raw_.reserve(document_->characterCount());
    const auto stepEnd = Clock::now() + kStepTime;
    QTextBlock block = document_->findBlockByNumber(nextBlock_);
    for (int sinceLook = 0; block.isValid(); block = block.next()) {
        if (block != document_->begin())
            raw_ += QChar::ParagraphSeparator;
        raw_ += block.text();
        ++nextBlock_;
        if (++sinceLook >= 256) {
            sinceLook = 0;
            if (Clock::now() >= stepEnd)
                break;
        }
    }
    // A step that stopped at a paragraph goes on from the next one, if any.
    if (block.isValid() && block.next().isValid()) {
        timer_.start();
        return;
    }
    running_ = false;
    const auto done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(std::move(raw_));
    raw_ = QString();
}

LoadingNote::LoadingNote(QLabel* panel, QString what)
    : LoadingNote(panel, [what = std::move(what)](int percent) {
          return what.isEmpty() ? QStringLiteral("正在载入文章 … %1%").arg(percent)
                                : QStringLiteral("正在打开 %1 … %2%").arg(what).arg(percent);
      }) {}

LoadingNote::LoadingNote(QLabel* panel, std::function<QString(int percent)> text)
    : panel_(panel), text_(std::move(text)), start_(Clock::now()) {
    ticker_.setInterval(250);
    QObject::connect(&ticker_, &QTimer::timeout, &ticker_, [this] { Show(percent_); });
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
        panel_->setText(text_(percent));
}

} // namespace sonvela
