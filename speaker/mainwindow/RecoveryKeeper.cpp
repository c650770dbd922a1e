#include "RecoveryKeeper.h"

#include "SessionRecovery.h"

#include <algorithm>
#include <exception>

namespace sonvela {

RecoveryKeeper::RecoveryKeeper(std::string programFolder, std::function<GbkString()> text,
                               std::function<void(const std::string&)> fault, QObject* parent)
    : QObject(parent), folder_(std::move(programFolder)), text_(std::move(text)),
      fault_(std::move(fault)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::WriteScheduled);
}

void RecoveryKeeper::SetTiming(std::chrono::milliseconds quiet, std::chrono::milliseconds gap) {
    quiet_ = quiet;
    gap_ = gap;
}

void RecoveryKeeper::TextChanged() {
    if (!started_)
        return;
    // While typing goes on the pending write is not pushed back: it comes
    // at the latest `gap` after the previous one, so a long burst of typing
    // is still copied every few seconds.
    if (timer_.isActive())
        return;
    std::chrono::milliseconds wait = quiet_;
    if (sinceWrite_.isValid())
        wait = std::max(wait, gap_ - std::chrono::milliseconds(sinceWrite_.elapsed()));
    timer_.start(wait);
}

void RecoveryKeeper::Discard() {
    if (!started_)
        return;
    timer_.stop();
    RemoveRecoveryFile(folder_);
}

void RecoveryKeeper::WriteNow() {
    timer_.stop();
    const GbkString text = text_();
    // An empty editor holds nothing worth offering at the next start.
    if (text.empty())
        RemoveRecoveryFile(folder_);
    else
        WriteRecoveryFile(folder_, text);
    sinceWrite_.start();
}

void RecoveryKeeper::WriteScheduled() {
    try {
        WriteNow();
        faultReported_ = false;
    } catch (const std::exception& error) {
        // Typing goes on whatever the disk says; the operator hears of it
        // once, not every few seconds.
        sinceWrite_.start();
        if (!faultReported_ && fault_)
            fault_(error.what());
        faultReported_ = true;
    }
}

} // namespace sonvela
