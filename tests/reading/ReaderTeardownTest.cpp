// The reader across threads: through a port that queues every call to a
// user-interface thread, and the teardown handshake that lets the program
// end whatever a reader is doing.
#include "InMemoryEditor.h"
#include "ReaderTestSupport.h"
#include "ReadingState.h"
#include "TestSpeechVoice.h"
#include "Tts.h"
#include "UiThreadEditorPort.h"

#include <deque>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace sonvela {
namespace {

using namespace std::chrono_literals;
using testing::G;
using Clock = std::chrono::steady_clock;

// The event queue of a user-interface thread: the test's own thread plays
// that thread and runs the queued calls when it pumps.
class UiQueue {
public:
    void Post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        posted_.notify_all();
    }

    UiThreadEditorPort::PostToUiThread Poster() {
        return [this](std::function<void()> task) { Post(std::move(task)); };
    }

    void RunPending() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks)
            task();
    }

    // Runs queued calls until `done` holds; false on timeout.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
        const auto deadline = Clock::now() + timeout;
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                if (!posted_.wait_until(lock, std::min(deadline, Clock::now() + 5ms),
                                        [&] { return !tasks_.empty(); })) {
                    if (Clock::now() >= deadline)
                        return false;
                    continue;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};

class CrossThreadReaderTest : public ::testing::Test {
protected:
    CrossThreadReaderTest() { getdelaystring(state, testing::QuickDelayTable()); }

    ReadingState state;
    TestSpeechVoice voice{20us};
    InMemoryEditor editor;
    UiQueue ui;
};

TEST_F(CrossThreadReaderTest, ReadsThroughTheUserInterfaceThread) {
    UiThreadEditorPort port(editor, ui.Poster());
    ReaderHost host(state, voice, port);
    editor.SetText(G("甲。乙！"));
    editor.DisableReadingControls();
    host.gundong1({0, false});

    ASSERT_TRUE(ui.PumpUntil([&] { return editor.ControlsEnabled(); }));
    EXPECT_EQ(voice.SpokenTexts(), (std::vector<GbkString>{G("甲。"), G("乙！")}));
    EXPECT_FALSE(state.isreading.load());
    EXPECT_EQ(editor.CurrentSelection().start, 8); // the end of the text
}

TEST_F(CrossThreadReaderTest, AFaultIsHandedToTheUserInterfaceThreadWithoutWaiting) {
    UiThreadEditorPort port(editor, ui.Poster());
    ReaderHost host(state, voice, port);
    voice.FailSpeakNumber(1, "engine gone");
    editor.SetText(G("甲。"));
    editor.DisableReadingControls();
    host.gundong1({0, false});

    ASSERT_TRUE(ui.PumpUntil([&] { return editor.ControlsEnabled(); }));
    // The reader ends without anyone running the report for it...
    ASSERT_TRUE(host.WaitUntilIdle(5s));
    EXPECT_TRUE(editor.ReportedErrors().empty());
    // ...which the user-interface thread shows at its next turn.
    ASSERT_TRUE(ui.PumpUntil([&] { return !editor.ReportedErrors().empty(); }));
    EXPECT_EQ(editor.ReportedErrors(), std::vector<std::string>{"engine gone"});
}

TEST_F(CrossThreadReaderTest, CloseReleasesACallWaitingForTheUserInterfaceThread) {
    UiThreadEditorPort port(editor, ui.Poster());
    auto waiting = std::async(std::launch::async, [&] { port.FocusEditor(); });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    port.Close();
    EXPECT_THROW(waiting.get(), EditorPortClosed);
    EXPECT_THROW(std::async(std::launch::async, [&] { return port.Caret(); }).get(),
                 EditorPortClosed);
    // The call queued before the close does nothing when it finally runs.
    ui.RunPending();
    EXPECT_EQ(editor.FocusCount(), 0);
    // The user-interface thread itself still reaches the editor directly.
    EXPECT_EQ(port.LineCount(), 1);
}

class TeardownTest : public CrossThreadReaderTest {
protected:
    // Destroys the host as the program's end does; returns how long it took.
    Clock::duration Teardown(std::unique_ptr<ReaderHost>& host) {
        const auto start = Clock::now();
        host.reset();
        return Clock::now() - start;
    }
};

TEST_F(TeardownTest, WhileTheReaderWaitsForTheBusyUserInterfaceThread) {
    UiThreadEditorPort port(editor, ui.Poster());
    auto host = std::make_unique<ReaderHost>(state, voice, port);
    editor.SetText(G("甲。"));
    host->gundong1({0, false});
    std::this_thread::sleep_for(20ms); // the reader asks for the caret; nobody pumps
    EXPECT_LT(Teardown(host), 1s);
    EXPECT_TRUE(voice.Spoken().empty());
}

TEST_F(TeardownTest, DuringALongPause) {
    state.signdelay = 60000;
    auto host = std::make_unique<ReaderHost>(state, voice, editor);
    editor.SetText(G("※甲。"));
    host->gundong1({0, false});
    while (editor.SelectionHistory().empty())
        std::this_thread::sleep_for(1ms);
    EXPECT_LT(Teardown(host), 1s);
    EXPECT_TRUE(voice.Spoken().empty());
}

TEST_F(TeardownTest, DuringALongSpeech) {
    voice.SetTimePerByte(1s);
    auto host = std::make_unique<ReaderHost>(state, voice, editor);
    editor.SetText(G("甲乙丙丁。"));
    host->gundong1({0, false});
    ASSERT_TRUE(voice.WaitForSpeakStarts(1, 5s));
    EXPECT_LT(Teardown(host), 1s);
    ASSERT_EQ(voice.Spoken().size(), 1u);
    EXPECT_TRUE(voice.Spoken()[0].cutShort);
}

TEST_F(TeardownTest, WhileAReaderWaitsForReadlock) {
    auto host = std::make_unique<ReaderHost>(state, voice, editor);
    ASSERT_TRUE(state.readlock.TryAcquire()); // as if another reader held it
    editor.SetText(G("甲。"));
    host->gundong1({0, false});
    std::this_thread::sleep_for(30ms);
    EXPECT_LT(Teardown(host), 1s);
    state.readlock.Release();
    EXPECT_TRUE(voice.Spoken().empty());
}

} // namespace
} // namespace sonvela
