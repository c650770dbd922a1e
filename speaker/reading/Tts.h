// The reader thread: speaks the editor's text segment by segment, selecting
// each segment while it is spoken, scrolling the editor along, expanding the
// date placeholder and making the pauses of the delay symbols and the delay
// sign.
//
// ReaderHost owns the reader threads (one Tts each) and lives in the main
// window for the whole run. Its start operations, gundong1 and readtxt, run
// on the user-interface thread and never wait for a reader. A reader reaches
// the editor only through its EditorPort.
//
// Shutdown is a handshake: the exit command only sets `stopreading` and does
// not wait; when the host is destroyed at teardown it closes the editor port
// (a reader waiting for the user-interface thread is released), cuts pauses
// short, cuts the engine off until every reader has left its speech, and
// joins every thread. So no reader outlives the objects it uses, and the
// teardown takes no longer than the engine needs to stop.
#pragma once

#include "DatePlaceholder.h"
#include "EditorPort.h"
#include "GbkText.h"
#include "ReadingState.h"
#include "SpeechVoice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sonvela {

// The voice a reading uses.
struct ReadingVoice {
    int index = 0;          // position in the voice list
    bool cantonese = false; // read the hidden traditional-character copy
};

class ReaderHost;

// One reader thread. Made and owned by ReaderHost.
class Tts {
public:
    // The window: at most this many bytes from where the next segment starts.
    static constexpr std::int32_t kWindowBytes = 500;

    ~Tts();
    Tts(const Tts&) = delete;
    Tts& operator=(const Tts&) = delete;

    bool Finished() const { return finished_.load(); }

private:
    friend class ReaderHost;

    Tts(ReaderHost& host, std::uint64_t generation, bool cantonese);
    void Start();

    void Execute();
    void RunRangeLoop();
    // The text of the range of `length` bytes from `rangebase_`, of the
    // editor or of its hidden copy; a long one in pieces. Cut short by a
    // stop request, which ends the reading before anything of it is read.
    GbkString TakeRange(std::int32_t length);
    void RunCaretLoop();
    void Finish(const std::string& fault);

    // A stop request, a newer reading started, or teardown.
    bool StopRequested() const;
    bool Superseded() const;
    // Pauses on the monotonic clock. A stop request does not cut a pause
    // short; only teardown does (ReaderShutdown).
    void Pause(std::int32_t milliseconds);
    void Speak(const GbkString& text);
    // Pause for the delay sign, then drop it from the spoken text.
    void ApplyDelaySign(GbkString& segment);

    ReaderHost& host_;
    const std::uint64_t generation_;
    const bool cantonese_;
    std::thread thread_;
    std::atomic<bool> finished_{false};

    // The reading's working values, touched by this thread only.
    GbkString readtext_;
    GbkString readwindow_;
    GbkString readsegment_;
    std::int32_t rangebase_ = 0;
    std::int32_t rangeoffset_ = 0;
    std::int32_t segstart_ = 0;
    std::int32_t readline_ = 0;
    std::int32_t scrolledline_ = 0;
    std::int32_t segdelay_ = 0;
};

class ReaderHost {
public:
    // `state`, `voice` and `editor` must outlive the host; so does the
    // user-interface thread's willingness to run the port's calls until the
    // host is destroyed. `clock` is read when a placeholder is expanded.
    ReaderHost(ReadingState& state, SpeechVoice& voice, EditorPort& editor,
               LocalClock clock = CurrentLocalDateTime);
    // Teardown handshake (see the top of this file). Closes `editor`.
    ~ReaderHost();

    ReaderHost(const ReaderHost&) = delete;
    ReaderHost& operator=(const ReaderHost&) = delete;

    // User-interface thread. Starts a caret-mode reading: nothing when the
    // editor text is blank; otherwise chooses the voice, focuses the editor,
    // sets the reading state and starts a reader thread.
    void gundong1(const ReadingVoice& voice);
    // User-interface thread. Starts one range-mode pass over the editor's
    // selection (loop reading); `readrange` and `enableafter` stay as the
    // loop command set them.
    //
    // A start while an earlier reader still runs makes that reader end after
    // its current segment, as a stop would, without ending the reading state
    // (`isreading`, the controls) that the new reading now carries; the new
    // reader waits for `readlock` and then reads.
    void readtxt(const ReadingVoice& voice);

    // Never on the user-interface thread (tools and tests): waits until every
    // reader has ended. False when `timeout` passed first.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);
    // Reader threads started and not yet joined. Finished threads are joined
    // at the next start, by WaitUntilIdle and at teardown.
    std::size_t ThreadCount();

private:
    friend class Tts;

    void StartReader(const ReadingVoice& voice, bool caretMode);
    void ReapFinished(std::unique_lock<std::mutex>& threadsLock);
    bool ShuttingDown() const { return shuttingDown_.load(); }
    // False when teardown cut the wait short.
    bool SleepFor(std::chrono::milliseconds duration);
    void NotifyFinished();

    ReadingState& state_;
    SpeechVoice& voice_;
    EditorPort& editor_;
    LocalClock clock_;

    // The newest reading; a reader whose generation differs is superseded.
    std::atomic<std::uint64_t> latestGeneration_{0};
    // Makes "start a reading" and "end a reading" one step each, so a
    // reader that ends just as a new reading starts cannot clear the new
    // reading's `isreading`. Held for a few instructions only.
    std::mutex handoverMutex_;

    std::atomic<bool> shuttingDown_{false};
    std::mutex signalMutex_;
    std::condition_variable signal_;  // teardown, or a reader finished
    std::uint64_t finishedCount_ = 0; // guarded by signalMutex_

    std::mutex threadsMutex_;
    std::vector<std::unique_ptr<Tts>> threads_;
};

} // namespace sonvela
