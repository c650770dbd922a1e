// The shared reading state: the flags and values through which the main
// window's commands, the loop timer, the music fade and the reader thread
// meet. One instance for the program, owned by the main window.
//
// The flags are polled across threads without a lock: each is written by one
// side and tested by the other at its next look, so each is atomic. The
// per-segment working values of a reading (window, segment, offsets, lines)
// are not here: they belong to the reader thread alone and live in Tts.
#pragma once

#include "DelaySymbols.h"
#include "GbkText.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace sonvela {

class SettingsFile;

// readlock: a lock that a waiting reader can give up at teardown.
class ReadLock {
public:
    // Waits while another holder has the lock. False when `giveUp` returned
    // true first; it is asked at least every 20 ms while waiting.
    template <typename GiveUp> bool Acquire(GiveUp giveUp) {
        std::unique_lock lock(mutex_);
        while (held_) {
            if (giveUp())
                return false;
            released_.wait_for(lock, std::chrono::milliseconds(20));
        }
        held_ = true;
        return true;
    }
    bool TryAcquire();
    void Release();

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
};

class ReadingState {
public:
    using Clock = std::chrono::steady_clock;

    // Stop request: set by Stop and by the commands that replace, save or
    // close the text; cleared by each start. The reader looks at it before
    // each segment and once more just before speaking it.
    std::atomic<bool> stopreading{false};
    // True when the reading in progress is done by a reader thread (Stop
    // sets `stopreading`), false for a single asynchronous engine call (Stop
    // cuts the engine off). Keeps its value after a reader ends.
    std::atomic<bool> threadreading{false};
    // A reading is in progress (the loop timer and the music fade watch it).
    std::atomic<bool> isreading{false};
    // The mode of the next reader: range (true) or caret (false).
    std::atomic<bool> readrange{false};
    // The reader re-enables the reading controls when it ends; looked at in
    // its finish step, not at its start.
    std::atomic<bool> enableafter{false};
    // The last reader ended on a fault (the voice failed). Set before
    // `isreading` goes false, so whoever sees the reading end also sees
    // how it ended; each reader's end sets it anew.
    std::atomic<bool> readfailed{false};
    // The pause before a segment that holds the delay sign, in milliseconds.
    std::atomic<std::int32_t> signdelay{800};
    // The current format type of the date placeholder (1-8); read at each
    // expansion, so a change applies from the next segment.
    std::atomic<std::int32_t> datetimetype{1};

    // When the last reader ended, on the monotonic clock, so that loop
    // reading measures its interval as elapsed time, across midnight and
    // clock changes alike. The clock's epoch until a reader has ended.
    Clock::time_point lastendtime() const;
    void SetLastendtime(Clock::time_point moment);

    // The delay symbols, replaced as a whole by getdelaystring on the
    // user-interface thread; a running reader takes the set afresh for each
    // segment, so it picks up new symbols at its next segment.
    std::shared_ptr<const DelaySymbols> delaySymbols() const;
    void SetDelaySymbols(DelaySymbols symbols);

    // Held by a reader for its whole run so that only one reader speaks.
    ReadLock readlock;

private:
    std::atomic<Clock::rep> lastEndTicks_{0};
    mutable std::mutex symbolsMutex_;
    std::shared_ptr<const DelaySymbols> symbols_ = std::make_shared<const DelaySymbols>();
};

// getdelaystring: rebuilds the delay symbols from the rows of the delay
// table, in the table's order. Runs on the user-interface thread at start-up
// and whenever the system settings are saved.
void getdelaystring(ReadingState& state, const std::vector<DelaySymbolRow>& rows);

// Start-up: the date placeholder's format type from "Datetimetype" and the
// delay sign's pause from "Delay2".
void LoadReadingSettings(ReadingState& state, const SettingsFile& settings);

} // namespace sonvela
