// Keeps the editor's unsaved text on disk while the program runs, so that a
// crash, a kill or a lost display costs at most a few seconds of typing.
// The copy is written a moment after the typing pauses, and at most every
// few seconds while it goes on; it is removed as soon as the text is saved,
// loaded anew or knowingly dropped.
//
// Converting and writing a long text takes a good part of a second, so the
// timed copies are made on a thread of their own; the text is taken from
// the editor in steps. A copy still being written when the
// text is saved or dropped is not let to bring the file back.
#pragma once

#include "EditorFill.h"
#include "GbkText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace sonvela {

class RecoveryKeeper final : public QObject {
public:
    // Copies the text of `document` (the editor's); `fault` hears of a copy
    // that could not be written (once, until a write succeeds again).
    RecoveryKeeper(std::string programFolder, const QTextDocument* document,
                   std::function<void(const std::string&)> fault, QObject* parent);
    ~RecoveryKeeper() override;

    // `quiet`: the pause after the last edit before the copy is written;
    // `gap`: the least time between two writes.
    void SetTiming(std::chrono::milliseconds quiet, std::chrono::milliseconds gap);
    // Until started, edits are not copied and nothing is removed: the copy
    // of the last run must survive the start-up's own loading of the editor
    // until it has been offered.
    void Start() { started_ = true; }
    bool Started() const { return started_; }

    // The editor's text changed (and is unsaved).
    void TextChanged();
    // The text is saved or dropped: no copy is kept any longer.
    void Discard();
    // Writes the copy at once; throws on failure (the caller reports it).
    void WriteNow();
    // A timed copy is being converted or written aside.
    bool Writing() const { return writing_; }

private:
    void WriteScheduled();
    void WriteDone(const std::string& fault);
    // Writes (or removes, for an empty text) under the lock, unless the
    // text was saved, dropped or written anew since `generation`.
    void Store(const GbkString& text, unsigned generation);

    std::string folder_;
    const QTextDocument* document_;
    // Takes the text a step per turn of the event loop for a timed copy.
    RawTextTaker taker_;
    // Guards the file and generation_: a write aside and a removal here
    // never cross.
    std::mutex file_;
    unsigned generation_ = 0;
    std::thread writer_;
    bool writing_ = false;
    std::function<void(const std::string&)> fault_;
    QTimer timer_;
    QElapsedTimer sinceWrite_;
    std::chrono::milliseconds quiet_{2000};
    std::chrono::milliseconds gap_{5000};
    bool started_ = false;
    bool faultReported_ = false;
};

} // namespace sonvela
