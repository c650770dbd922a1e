// Carries out the broadcast timetable and the requests of other programs
// while the program runs, window shown or in the tray: on each tick of the
// main window's clock it asks the timetable what is due, lets the runner
// order it around the operator's reading and the time announcement, and does
// what the runner says.
//
// A draft is read by a reader thread of its own over a DraftTextPort, the
// same segmenting, date placeholder and pauses as the operator's reading and
// the same voice and front-end, while the editor's text, caret and modified
// mark stay untouched. A file entry plays through the audio library. Every
// announcement ends in a line of the announcement log.
#pragma once

#include "AnnouncementLog.h"
#include "DraftLookup.h"
#include "DraftTextPort.h"
#include "EntrySound.h"
#include "InstanceRequest.h"
#include "ReadingState.h"
#include "Timetable.h"
#include "TimetableRunner.h"
#include "Tts.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonvela {

// What the driver needs of the main window.
struct TimetableDriverPorts {
    // The operator's reading (or its loop, between two passes) is under way.
    std::function<bool()> operatorReading;
    // The operator's Stop: the reader ends after the segment it speaks.
    std::function<void()> stopOperatorReading;
    // No reader of the operator's speaks any more.
    std::function<bool()> operatorReaderGone;
    std::function<std::optional<DraftText>(std::int64_t id)> draftById;
    std::function<std::optional<DraftText>(const std::string& nameOrId)> findDraft;
    // The voice of an entry's voice name; empty: the main window's voice.
    // Nothing when no voice can be had.
    std::function<std::optional<ReadingVoice>(const std::string& voiceName)> voice;
    std::function<GbkString(const GbkString& text)> traditional;
    // Status panel 3, and the panel of the next entry (hidden when empty).
    std::function<void(const std::string& text)> note;
    std::function<void(const std::string& text)> nextEntryPanel;
    // Speaks `words` (UTF-8) as the time announcement does, over whatever
    // plays. Nothing when spoken, else why not.
    std::function<std::optional<std::string>(const std::string& words)> speakOver;
    // A fault of the voice during a draft's reading: the general error
    // report, shown from the event loop.
    std::function<void(std::string fault)> reportError;
};

class TimetableDriver {
public:
    // Longest text another program may have spoken at once (characters).
    static constexpr std::size_t kLongestSay = 2000;

    TimetableDriver(TimetableDriverPorts ports, SpeechVoice& voice, ReadingState& operatorState,
                    ScheduleClock clock, std::filesystem::path logFile);
    ~TimetableDriver();
    TimetableDriver(const TimetableDriver&) = delete;
    TimetableDriver& operator=(const TimetableDriver&) = delete;

    // The entries from draft.dat, whenever they change.
    void SetEntries(std::vector<TimetableRow> entries);
    // Every tick of the clock. `timeAnnouncementDue`: the time announcement
    // starts on this tick.
    void Tick(bool timeAnnouncementDue);
    // The time announcement handed its words to the voice.
    void TimeAnnouncementSpoken(const std::string& words);
    // The operator pressed Stop: the entry reading drops its other passes.
    void OperatorStopped();

    // Another program's requests; each answers at once.
    RequestAnswer Say(const std::string& words);
    RequestAnswer ReadDraft(const std::string& nameOrId);
    // Ends every announcement and drops those waiting; the caller stops the
    // operator's reading.
    RequestAnswer StopAll();

    // An entry (or a requested draft) reads or waits between its passes.
    bool EntryActive() const { return runner_.Current().has_value(); }
    const AnnouncementLog& Log() const { return log_; }

private:
    // Words handed to the voice over whatever plays: an entry waits for
    // their reckoned end.
    void WordsSpoken(const std::string& words);
    void Execute(const std::vector<RunnerCommand>& commands);
    void StartPass(const TimetableRow& entry, int pass);
    bool PassOver() const;
    void EndPass();
    // Ends the sound or the draft's reader now.
    void CutPass();
    void Record(const TimetableRow& entry, const std::string& outcome);
    std::string Title(const TimetableRow& entry) const;
    void ShowNext();

    TimetableDriverPorts ports_;
    SpeechVoice& voice_;
    ReadingState& operatorState_;
    ScheduleClock clock_;
    Timetable timetable_;
    TimetableRunner runner_;
    AnnouncementLog log_;
    EntrySound sound_;

    // The draft being read: the port outlives its reader host.
    ReadingState draftState_;
    std::unique_ptr<DraftTextPort> draftPort_;
    std::unique_ptr<ReaderHost> draftReader_;
    bool passRunning_ = false;
    int pass_ = 0;
    // The entry that started last, and when.
    std::pair<std::int64_t, std::string> startedAt_{0, {}};

    // The time announcement's words take this long at most, from the tick
    // it was due or from the moment its words went to the voice.
    std::optional<std::chrono::steady_clock::time_point> announcementEnds_;
    std::int64_t lastPanelSecond_ = -1;
    std::int64_t requestIds_ = 0; // requested drafts get ids below zero
};

} // namespace sonvela
