// Loop reading: a range of the editor, or the whole text, read a set number
// of times with a pause between the end of one pass and the start of the
// next. The commands only arm the loop; the window's one-second timer
// (readcycled) starts every pass, the first one included, and ends the loop.
//
// Each pass is a range reading of the reader thread, which sets `isreading`
// false and `lastendtime` when it ends; the timer measures the pause on the
// monotonic clock, so it is the same across midnight or a clock change.
#pragma once

#include "EditorPort.h"
#include "ReadingState.h"

#include <cstdint>
#include <functional>

namespace sonvela {

class ReaderHost;
class ReadingWindow;

struct LoopReadingContext {
    ReadingState& state;
    ReaderHost* reader; // null: no engine (no voice can be chosen)
    EditorPort& editor; // the editor, on the user-interface thread
    ReadingWindow& window;
    // Enables the readcycled timer; ReadingWindow::StopLoopTimer disables it.
    std::function<void()> startTimer;
};

class LoopReading {
public:
    using Clock = ReadingState::Clock;

    explicit LoopReading(LoopReadingContext context) : c_(std::move(context)) {}

    // The values the loop bar's spin boxes hold when a loop command runs;
    // changing them later does not change that loop.
    struct Settings {
        std::int32_t times = 2;    // SpinEdit1
        std::int32_t interval = 0; // SpinEdit2, seconds
    };

    void RangeLoop(Settings settings);               // N36, SB_repeat
    void FullTextLoopFromMenu(Settings settings);    // N22
    void FullTextLoopFromToolbar(Settings settings); // SB_repeat1
    // One tick of readcycled.
    void Tick(Clock::time_point now);

    std::int32_t loopcount() const { return loopcount_; }
    std::int32_t looptimes() const { return looptimes_; }

private:
    bool VoiceChosen();
    void ConvertWhenCantonese();
    void Arm(Settings settings);
    void StartPass();

    LoopReadingContext c_;
    std::int32_t loopcount_ = 0;
    std::int32_t looptimes_ = 0;
    std::int32_t loopinterval_ = 0;
    std::int32_t loopstart_ = 0;
    std::int32_t looplength_ = 0;
};

} // namespace sonvela
