// Keeps the editor's unsaved text on disk while the program runs, so that a
// crash, a kill or a lost display costs at most a few seconds of typing.
// The copy is written a moment after the typing pauses, and at most every
// few seconds while it goes on; it is removed as soon as the text is saved,
// loaded anew or knowingly dropped.
#pragma once

#include "GbkText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

namespace sonvela {

class RecoveryKeeper final : public QObject {
public:
    // `text` gives the editor's whole text as GBK; `fault` hears of a copy
    // that could not be written (once, until a write succeeds again).
    RecoveryKeeper(std::string programFolder, std::function<GbkString()> text,
                   std::function<void(const std::string&)> fault, QObject* parent);

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

private:
    void WriteScheduled();

    std::string folder_;
    std::function<GbkString()> text_;
    std::function<void(const std::string&)> fault_;
    QTimer timer_;
    QElapsedTimer sinceWrite_;
    std::chrono::milliseconds quiet_{2000};
    std::chrono::milliseconds gap_{5000};
    bool started_ = false;
    bool faultReported_ = false;
};

} // namespace sonvela
