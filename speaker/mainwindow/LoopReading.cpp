#include "LoopReading.h"

#include "FunctionUnit.h"
#include "ReadingCommands.h"
#include "Tts.h"

#include <limits>

namespace sonvela {

namespace {
constexpr std::int32_t kWholeText = std::numeric_limits<std::int32_t>::max();
} // namespace

bool LoopReading::VoiceChosen() {
    if (!NoVoiceChosen(c_.window.VoiceText()) && c_.reader)
        return true;
    c_.window.WarnNoVoice();
    return false;
}

void LoopReading::ConvertWhenCantonese() {
    if (c_.window.CantoneseChosen())
        c_.window.FillHiddenCopy();
}

void LoopReading::RangeLoop(Settings settings) {
    if (c_.editor.SelectionLength() == 0) {
        InfoBox("请选择所要朗读的内容!");
        return;
    }
    if (c_.editor.TextIsBlank())
        return;
    if (!VoiceChosen())
        return;
    ConvertWhenCantonese();
    Arm(settings);
}

void LoopReading::FullTextLoopFromMenu(Settings settings) {
    if (!VoiceChosen())
        return;
    if (c_.editor.TextIsBlank())
        return;
    c_.editor.SetSelection(0, kWholeText);
    ConvertWhenCantonese();
    Arm(settings);
}

void LoopReading::FullTextLoopFromToolbar(Settings settings) {
    // The tool button selects first: without a voice the whole text stays
    // selected, where the menu item leaves the selection alone.
    c_.editor.SetSelection(0, kWholeText);
    if (c_.editor.TextIsBlank())
        return;
    if (!VoiceChosen())
        return;
    ConvertWhenCantonese();
    Arm(settings);
}

void LoopReading::Arm(Settings settings) {
    looptimes_ = settings.times;
    loopinterval_ = settings.interval;
    loopcount_ = 0;
    c_.state.readfailed = false;
    c_.state.isreading = true;
    c_.state.readrange = true;
    // Between passes the controls stay off; the timer turns them on at the end.
    c_.state.enableafter = false;
    looplength_ = c_.editor.SelectionLength();
    loopstart_ = c_.editor.Caret();
    c_.startTimer();
}

void LoopReading::StartPass() {
    if (c_.reader)
        c_.reader->readtxt({c_.window.VoiceIndex(), c_.window.CantoneseChosen()});
}

void LoopReading::Tick(Clock::time_point now) {
    if (loopcount_ == 0 && c_.state.isreading) {
        c_.window.DisableReadingControls();
        loopcount_ = 1;
        StartPass();
    }
    if (!c_.state.isreading && loopcount_ > 0 && c_.state.readfailed.load()) {
        // The voice failed in this pass and the reader reports it once:
        // every further pass would fail alike and open one more box.
        loopcount_ = looptimes_;
    }
    if (!c_.state.isreading && loopcount_ >= looptimes_) {
        c_.window.StopLoopTimer();
        c_.window.EnableReadingControls();
    }
    if (c_.state.isreading)
        return;
    if (loopcount_ <= 0 || loopcount_ >= looptimes_)
        return;
    if (now - c_.state.lastendtime() > std::chrono::seconds(loopinterval_)) {
        ++loopcount_;
        // The last pass left its last segment selected: select the range again.
        c_.editor.SetSelection(loopstart_, looplength_);
        c_.state.isreading = true;
        StartPass();
    }
}

} // namespace sonvela
