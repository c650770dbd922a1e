// Renders an announcement to an audio file: the text read as a reading
// from the start (or as a loop of passes with an interval), with the
// configured pauses, the date filled in, the music bed ducked under the
// speech, mixed as the live output mixes it and written as fast as
// synthesis allows. Needs no audio device and no window.
#pragma once

#include "AnnouncementMixer.h"
#include "DatePlaceholder.h"
#include "DelaySymbols.h"
#include "ExportFormat.h"
#include "GbkText.h"

#include <atomic>
#include <functional>
#include <string>

namespace sonvela {

class SpeechSource;

struct AnnouncementSettings {
    GbkString text;          // what is read, as the voice is to read it
    int passes = 1;          // above 1: a loop reading, pass after pass
    int intervalSeconds = 0; // between the end of a pass and the next
    bool loop = false;       // read as loop passes (range mode) even for one pass
    bool withMusic = false;
    MusicBed music;
    DelaySymbols symbols;
    int signdelay = 800;
    int datetimetype = 1;
    LocalClock clock = CurrentLocalDateTime;
};

struct ExportProgress {
    double fraction = 0;          // 0..1 of the text's passes rendered
    double remainingSeconds = -1; // estimate; negative while unknown
    double audioSeconds = 0;      // of announcement written so far
};

struct ExportResult {
    bool ok = false;
    bool cancelled = false;
    std::string message; // for the operator, Chinese; empty on success
    double audioSeconds = 0;
    std::vector<std::string> unplayableMusic;
};

using ExportProgressCallback = std::function<void(const ExportProgress&)>;

// Writes `target` (UTF-8 path) in `format`. A cancel request or a failure
// leaves no file behind and no change to an existing `target`. The progress
// callback is called on the calling thread, a few times a second.
ExportResult ExportAnnouncement(const AnnouncementSettings& settings, SpeechSource& speech,
                                const std::string& target, ExportFormat format,
                                const std::atomic<bool>& cancel,
                                const ExportProgressCallback& progress = {});

} // namespace sonvela
