// Putting a long text into the editor without freezing the window.
//
// Decoding 50 MB and handing it to the editor in one call keeps the
// user-interface thread busy for seconds, with nothing on screen to say why.
// Here the slow, widget-free part (reading and decoding the file) runs on a
// thread of its own, and the editor is filled a slice at a time; between
// slices the event loop turns, so the window repaints, its clock goes on and
// the status bar shows how far the loading has come. Input from the operator
// is held back until the text is complete (and then delivered), so no
// command acts on half a text.
//
// UI thread only.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

class QLabel;
class QPlainTextEdit;
class QTextDocument;

namespace sonvela {

// Runs `work` on a thread of its own while the event loop turns; returns its
// result. `work` must not touch widgets.
template <typename Work> auto RunAside(Work work) -> decltype(work()) {
    using Result = decltype(work());
    std::optional<Result> result;
    std::exception_ptr fault;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            result.emplace(work());
        } catch (...) {
            fault = std::current_exception();
        }
        // Queued: the loop may not have started yet, and quits once it has.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (fault)
        std::rethrow_exception(fault);
    return std::move(*result);
}

// Replaces the editor's text with `text`, as setPlainText does (caret at
// the start, nothing to undo), a slice of it per turn of the event loop.
// `progress` gets the percentage filled after each step. The text is taken
// over and freed as a whole at the end: one large block goes straight back
// to the system, where thousands of small slices would leave the heap
// scattered.
void FillEditor(QPlainTextEdit* memo, std::u16string text,
                const std::function<void(int percent)>& progress);

// The document's raw text, as QTextDocument::toRawText gives it, copied a
// few thousand paragraphs per turn of the event loop: copying 10 MB at once
// holds the window for more than a frame. Input is held back meanwhile; a
// change of the document from elsewhere (a timer's work) starts the copy
// over, so the text returned is one the document held.
QString TakeRawText(const QTextDocument* document);

// The same copy without an event loop of its own: it goes on from the
// event loop, a step per turn, and `done` gets the text. An edit meanwhile
// starts it over; Cancel, or the taker's end, drops it.
class RawTextTaker final : public QObject {
public:
    explicit RawTextTaker(const QTextDocument* document);

    // Starts the copy (over, when one is running).
    void Start(std::function<void(QString raw)> done);
    void Cancel();
    bool Running() const { return running_; }

private:
    void Step();

    QPointer<const QTextDocument> document_;
    std::function<void(QString raw)> done_;
    QString raw_;
    int nextBlock_ = 0;
    bool running_ = false;
    QTimer timer_;
};

// Shows the loading's progress in a status-bar panel (and a busy cursor)
// once the loading has taken a second; puts the panel's text back when it
// goes.
class LoadingNote {
public:
    // "正在打开 <what> … N%" ("正在载入文章 … N%" without a name).
    LoadingNote(QLabel* panel, QString what);
    // Any other work's note, from its percentage.
    LoadingNote(QLabel* panel, std::function<QString(int percent)> text);
    ~LoadingNote();
    LoadingNote(const LoadingNote&) = delete;
    LoadingNote& operator=(const LoadingNote&) = delete;

    void Show(int percent);

private:
    QLabel* panel_;
    std::function<QString(int percent)> text_;
    QString kept_;
    std::chrono::steady_clock::time_point start_;
    int percent_ = 0;
    bool shown_ = false;
    // Keeps the note current while the file is read and decoded aside.
    QTimer ticker_;
};

} // namespace sonvela
