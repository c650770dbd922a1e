#include "RecoveryKeeper.h"

#include "MemoGbkAdapter.h"
#include "SessionRecovery.h"

#include <QTextDocument>
#include <algorithm>
#include <exception>

namespace sonvela {

RecoveryKeeper::RecoveryKeeper(std::string programFolder, const QTextDocument* document,
                               std::function<void(const std::string&)> fault, QObject* parent)
    : QObject(parent), folder_(std::move(programFolder)), document_(document), taker_(document),
      fault_(std::move(fault)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::WriteScheduled);
}

RecoveryKeeper::~RecoveryKeeper() {
    // The copy under way is finished: it is the newest the disk will have.
    if (writer_.joinable())
        writer_.join();
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
    const std::lock_guard lock(file_);
    ++generation_;
    RemoveRecoveryFile(folder_);
}

void RecoveryKeeper::Store(const GbkString& text, unsigned generation) {
    const std::lock_guard lock(file_);
    if (generation != generation_)
        return;
    // An empty editor holds nothing worth offering at the next start.
    if (text.empty())
        RemoveRecoveryFile(folder_);
    else
        WriteRecoveryFile(folder_, text);
}

void RecoveryKeeper::WriteNow() {
    timer_.stop();
    const GbkString text = MemoGbkAdapter::RawTextAsGbk(document_->toRawText());
    unsigned generation = 0;
    {
        // Newer than any copy still being written aside.
        const std::lock_guard lock(file_);
        generation = ++generation_;
    }
    Store(text, generation);
    sinceWrite_.start();
}

void RecoveryKeeper::WriteScheduled() {
    if (writing_) {
        // The last copy is still going to the disk; this one follows it.
        timer_.start(quiet_);
        return;
    }
    if (writer_.joinable())
        writer_.join();
    unsigned generation = 0;
    {
        const std::lock_guard lock(file_);
        generation = ++generation_;
    }
    writing_ = true;
    sinceWrite_.start();
    taker_.Start([this, generation](QString raw) {
        writer_ = std::thread([this, raw = std::move(raw), generation] {
            std::string fault;
            try {
                Store(MemoGbkAdapter::RawTextAsGbk(raw), generation);
            } catch (const std::exception& error) {
                fault = error.what();
                if (fault.empty())
                    fault = "?";
            }
            QMetaObject::invokeMethod(
                this, [this, fault] { WriteDone(fault); }, Qt::QueuedConnection);
        });
    });
}

void RecoveryKeeper::WriteDone(const std::string& fault) {
    writing_ = false;
    if (fault.empty()) {
        faultReported_ = false;
        return;
    }
    // Typing goes on whatever the disk says; the operator hears of it once,
    // not every few seconds.
    if (!faultReported_ && fault_)
        fault_(fault);
    faultReported_ = true;
}

} // namespace sonvela
