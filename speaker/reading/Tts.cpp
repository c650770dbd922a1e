#include "Tts.h"

#include "DelaySymbols.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace sonvela {
namespace {

using namespace std::chrono_literals;

// Thrown inside a reader when teardown cuts a pause or a wait short.
struct ReaderShutdown {};

// The port is asked for a few bytes beyond the window, so that the reader can
// tell a character cut off by the window's end from one cut off by the end of
// the text (a GB18030 four-byte form needs three more bytes).
constexpr std::int32_t kLookaheadBytes = 3;

// A range longer than this (a loop over the whole of a long text) is taken
// from the editor in pieces of this size, one call on the user-interface
// thread each: converting megabytes in one call would freeze the window for
// a good part of a second, where a piece costs a few milliseconds.
constexpr std::int32_t kRangePieceBytes = 64 * 1024;

} // namespace

// --- Tts --------------------------------------------------------------------

Tts::Tts(ReaderHost& host, std::uint64_t generation, bool cantonese)
    : host_(host), generation_(generation), cantonese_(cantonese) {}

Tts::~Tts() {
    if (thread_.joinable())
        thread_.join();
}

void Tts::Start() {
    thread_ = std::thread([this] { Execute(); });
}

bool Tts::Superseded() const {
    return host_.latestGeneration_.load() != generation_;
}

bool Tts::StopRequested() const {
    return host_.state_.stopreading.load() || Superseded() || host_.ShuttingDown();
}

void Tts::Pause(std::int32_t milliseconds) {
    if (milliseconds > 0 && !host_.SleepFor(std::chrono::milliseconds(milliseconds)))
        throw ReaderShutdown{};
}

void Tts::Speak(const GbkString& text) {
    if (host_.ShuttingDown())
        throw ReaderShutdown{};
    host_.voice_.SpeakPurgeAndWait(GbkToUtf16(text));
}

void Tts::ApplyDelaySign(GbkString& segment) {
    if (!HoldsDelaySign(segment))
        return;
    Pause(host_.state_.signdelay.load());
    segment = RemoveDelaySigns(segment);
}

void Tts::Execute() {
    ReadingState& state = host_.state_;
    // readlock: wait for an earlier reader to end; a reader still waiting at
    // teardown gives up.
    if (!state.readlock.Acquire([this] { return host_.ShuttingDown(); })) {
        finished_ = true;
        host_.NotifyFinished();
        return;
    }

    std::string fault;
    try {
        readwindow_.clear();
        scrolledline_ = 0;
        readline_ = 0;
        segdelay_ = 0;
        if (!StopRequested()) {
            if (state.readrange.load())
                RunRangeLoop();
            else
                RunCaretLoop();
        }
    } catch (const ReaderShutdown&) {
    } catch (const EditorPortClosed&) {
    } catch (const std::exception& e) {
        // Typically the speech engine failing. The finish step runs all the
        // same, so the reading state, the controls and the loop timer are
        // not left waiting for a reader that is gone.
        fault = e.what();
    } catch (...) {
        fault = "Unknown fault";
    }
    Finish(fault);
}

void Tts::Finish(const std::string& fault) {
    ReadingState& state = host_.state_;
    {
        std::lock_guard lock(host_.handoverMutex_);
        // The end time first: the loop timer measures its interval from it
        // as soon as it sees `isreading` false.
        state.SetLastendtime(ReadingState::Clock::now());
        state.readfailed = !fault.empty();
        // A superseded reader leaves the reading state to its successor.
        if (!Superseded())
            state.isreading = false;
    }
    state.readlock.Release();

    // The user-interface calls below throw EditorPortClosed at teardown;
    // nothing is left to report then.
    try {
        if (!Superseded() && !host_.ShuttingDown() && state.enableafter.load())
            host_.editor_.EnableReadingControls();
    } catch (...) {
    }
    try {
        if (!fault.empty() && !host_.ShuttingDown())
            host_.editor_.ReportErrorAsync(fault);
    } catch (...) {
    }
    finished_ = true;
    host_.NotifyFinished();
}

GbkString Tts::TakeRange(std::int32_t length) {
    EditorPort& editor = host_.editor_;
    if (length <= kRangePieceBytes)
        return cantonese_ ? editor.HiddenCopySelection(rangebase_, length) : editor.SelectedText();
    // The pieces join byte for byte: each starts where the text of the last
    // one ended, so a piece cut inside a character (which the hidden copy's
    // selection leaves out) is followed by one that begins with it.
    GbkString text;
    text.reserve(static_cast<std::size_t>(length));
    for (std::int32_t taken = 0; taken < length && !StopRequested();) {
        const std::int32_t start = rangebase_ + taken;
        const std::int32_t piece = std::min(kRangePieceBytes, length - taken);
        const GbkString part =
            cantonese_ ? editor.HiddenCopySelection(start, piece) : editor.TextWindow(start, piece);
        if (part.empty())
            break; // the text ends before the range does
        text += part;
        taken += static_cast<std::int32_t>(part.size());
    }
    return text;
}

void Tts::RunRangeLoop() {
    EditorPort& editor = host_.editor_;
    rangeoffset_ = 0;
    rangebase_ = editor.Caret();
    readtext_ = TakeRange(editor.SelectionLength());

    while (!StopRequested()) {
        const std::string_view rest =
            std::string_view(readtext_).substr(static_cast<std::size_t>(rangeoffset_));
        const std::string_view window = rest.substr(0, GbkWholeCharPrefix(rest, kWindowBytes));
        const SegmentCut cut = CutSegment(window, *host_.state_.delaySymbols());
        segdelay_ = cut.segdelay;
        if (window.empty() || StopRequested())
            return;
        const auto length = static_cast<std::int32_t>(cut.length);
        editor.SetSelection(rangebase_ + rangeoffset_, length);
        editor.FocusEditor();
        rangeoffset_ += length;

        readsegment_ = ExpandDatePlaceholder(window.substr(0, cut.length),
                                             host_.state_.datetimetype.load(), host_.clock_);
        ApplyDelaySign(readsegment_);
        Speak(readsegment_);
        Pause(segdelay_);
    }
}

void Tts::RunCaretLoop() {
    EditorPort& editor = host_.editor_;
    while (!StopRequested()) {
        segstart_ = editor.Caret();
        readwindow_ = editor.TextWindow(segstart_, kWindowBytes + kLookaheadBytes);
        // The text ends inside this window exactly when the port had no byte
        // beyond it to give.
        const bool windowReachesEnd = readwindow_.size() <= static_cast<std::size_t>(kWindowBytes);
        readwindow_.resize(GbkWholeCharPrefix(readwindow_, kWindowBytes));

        if (IsBlank(readwindow_)) {
            // A blank window is skipped unspoken. Only blanks up to the end
            // of the text end the reading; ending whenever the caret stands
            // on the last display line would drop any text that follows a
            // long blank run on that line.
            if (readwindow_.empty())
                return;
            editor.SetCaret(segstart_ + static_cast<std::int32_t>(readwindow_.size()));
            if (windowReachesEnd || editor.Caret() <= segstart_)
                return;
            continue;
        }

        const SegmentCut cut = CutSegment(readwindow_, *host_.state_.delaySymbols());
        const auto length = static_cast<std::int32_t>(cut.length);
        segdelay_ = cut.segdelay;
        editor.SetSelection(segstart_, length);
        readsegment_ = cantonese_ ? editor.HiddenCopySelection(segstart_, length)
                                  : readwindow_.substr(0, cut.length);

        // The view follows the reading one line at a time: once a segment
        // was read on another line than the one last scrolled for, scroll
        // once before the next segment.
        if (readline_ != scrolledline_) {
            editor.ScrollOneLine();
            scrolledline_ = readline_;
        }
        if (StopRequested())
            return; // the segment stays selected, unspoken

        readsegment_ =
            ExpandDatePlaceholder(readsegment_, host_.state_.datetimetype.load(), host_.clock_);
        if (!IsBlank(readsegment_)) {
            ApplyDelaySign(readsegment_);
            Speak(readsegment_);
            Pause(segdelay_);
        }

        // A newer reading owns the editor now: leave its caret alone.
        if (Superseded())
            return;
        // A text shortened under the reader ends the reading.
        const std::int32_t lines = editor.LineCount();
        if (lines < readline_)
            return;
        readline_ = editor.LineOfOffset(editor.Caret());
        // A segment on the last line counts one line further, so the view
        // scrolls once more when the reading reaches the last line.
        if (readline_ == lines - 1)
            readline_ = lines;
        editor.SetCaret(segstart_ + length);
    }
}

// --- ReaderHost ---------------------------------------------------------------

ReaderHost::ReaderHost(ReadingState& state, SpeechVoice& voice, EditorPort& editor,
                       LocalClock clock)
    : state_(state), voice_(voice), editor_(editor), clock_(std::move(clock)) {}

ReaderHost::~ReaderHost() {
    {
        std::lock_guard lock(signalMutex_);
        shuttingDown_ = true;
    }
    signal_.notify_all();
    // A reader waiting for the user-interface thread would wait for this
    // very thread: release it.
    editor_.Close();

    std::unique_lock threadsLock(threadsMutex_);
    const auto allFinished = [this] {
        return std::all_of(threads_.begin(), threads_.end(),
                           [](const auto& reader) { return reader->Finished(); });
    };
    while (!allFinished()) {
        // Speech is the one wait that neither the port nor a pause covers.
        // Cut off repeatedly: a reader may enter its speech just after a cut.
        voice_.CutOff();
        std::unique_lock lock(signalMutex_);
        signal_.wait_for(lock, 20ms);
    }
    threads_.clear(); // joins
}

void ReaderHost::gundong1(const ReadingVoice& voice) {
    if (editor_.TextIsBlank())
        return;
    StartReader(voice, true);
}

void ReaderHost::readtxt(const ReadingVoice& voice) {
    StartReader(voice, false);
}

void ReaderHost::StartReader(const ReadingVoice& voice, bool caretMode) {
    voice_.SetVoice(voice.index);
    editor_.FocusEditor();

    std::unique_lock threadsLock(threadsMutex_);
    ReapFinished(threadsLock);

    std::uint64_t generation = 0;
    {
        std::lock_guard lock(handoverMutex_);
        state_.threadreading = true;
        state_.stopreading = false;
        state_.isreading = true;
        if (caretMode) {
            state_.readrange = false;
            state_.enableafter = true;
        }
        generation = latestGeneration_.load() + 1;
        latestGeneration_ = generation;
    }
    auto reader = std::unique_ptr<Tts>(new Tts(*this, generation, voice.cantonese));
    try {
        reader->Start();
    } catch (...) {
        std::lock_guard lock(handoverMutex_);
        if (latestGeneration_.load() == generation)
            state_.isreading = false;
        throw;
    }
    threads_.push_back(std::move(reader));
}

void ReaderHost::ReapFinished(std::unique_lock<std::mutex>& /*threadsLock*/) {
    std::erase_if(threads_, [](const auto& reader) { return reader->Finished(); });
}

bool ReaderHost::WaitUntilIdle(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::uint64_t finishedBefore = 0;
        {
            std::lock_guard lock(signalMutex_);
            finishedBefore = finishedCount_;
        }
        {
            std::unique_lock threadsLock(threadsMutex_);
            ReapFinished(threadsLock);
            if (threads_.empty())
                return true;
        }
        std::unique_lock lock(signalMutex_);
        if (!signal_.wait_until(lock, deadline, [&] { return finishedCount_ != finishedBefore; }))
            return false;
    }
}

std::size_t ReaderHost::ThreadCount() {
    std::lock_guard lock(threadsMutex_);
    return threads_.size();
}

bool ReaderHost::SleepFor(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    std::unique_lock lock(signalMutex_);
    return !signal_.wait_until(lock, deadline, [this] { return shuttingDown_.load(); });
}

void ReaderHost::NotifyFinished() {
    {
        std::lock_guard lock(signalMutex_);
        ++finishedCount_;
    }
    signal_.notify_all();
}

} // namespace sonvela
