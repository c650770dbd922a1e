#include "MusicPlayer.h"

#include "FunctionUnit.h"
#include "MusicFolder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace sonvela {
namespace {

constexpr int kFadeDownStep = 10;
constexpr int kFadeUpStep = 1;

float VolumeOf(int level) {
    return static_cast<float>(level) / 100.0f;
}

} // namespace

int NextFadeLevel(int level, bool reading, int musicVolume, int readingVolume) {
    if (reading) {
        return readingVolume >= level ? readingVolume
                                      : std::max(level - kFadeDownStep, readingVolume);
    }
    return musicVolume <= level ? level : level + kFadeUpStep;
}

std::string PositionText(int elapsedSeconds, int totalSeconds) {
    char text[48];
    std::snprintf(text, sizeof text, " %.2d / %.2d ", elapsedSeconds, totalSeconds);
    return text;
}

MusicPlayer::MusicPlayer(MusicLibrary& library, MusicPanelHooks hooks)
    : library_(library), hooks_(std::move(hooks)) {}

void MusicPlayer::Start(const std::string& folder, int musicVolume, int readingVolume,
                        PlayMode mode) {
    SetFolder(folder);
    bj_v_ = musicVolume;
    bj_v1_ = readingVolume;
    mode_ = mode;
    bj_level_ = bj_v1_;
}

void MusicPlayer::SetFolder(const std::string& folder) {
    folder_ = folder;
    files_ = ListMusicFiles(folder);
    selected_ = -1;
    if (hooks_.showFiles) {
        hooks_.showFiles(files_);
    }
    ListChange();
}

std::string MusicPlayer::PathOf(int position) const {
    return WithBackslash(folder_) + files_.at(static_cast<std::size_t>(position));
}

void MusicPlayer::Select(int position) {
    const int count = static_cast<int>(files_.size());
    // A position before the first entry (Previous from the first entry
    // while another was selected) selects nothing, as a list box does.
    selected_ = position >= 0 && position < count ? position : -1;
    if (hooks_.selectEntry) {
        hooks_.selectEntry(selected_);
    }
}

void MusicPlayer::SetStreamVolume(int level) {
    if (StreamExists(bj_stream_)) {
        library_.SetVolume(bj_stream_, VolumeOf(level));
    }
}

void MusicPlayer::Play() {
    const int count = static_cast<int>(files_.size());
    if (count == 0) {
        hooks_.enableRefresh(false);
        return;
    }
    if (selected_ >= 0) {
        bj_track_ = selected_;
    } else {
        bj_track_ = mode_ == PlayMode::Random ? hooks_.randomPosition(count) : 0;
    }
    const std::string path = PathOf(bj_track_);
    if (hooks_.showTrackPath) {
        hooks_.showTrackPath(path);
    }
    bj_level_ = bj_v1_;
    bj_playing_ = true;
    if (StreamExists(bj_stream_)) {
        library_.StreamFree(bj_stream_);
    }
    bj_stream_ = library_.StreamCreateFile(path);
    if (!StreamExists(bj_stream_)) {
        return; // the refresh timer keeps its state
    }
    // A new stream would otherwise start at full volume until the fade's
    // next tick, and stay there when the music volume is at or below the
    // reading volume: it starts at the level the fade moves from.
    SetStreamVolume(bj_level_);
    const double seconds = library_.Bytes2Seconds(bj_stream_, library_.LengthBytes(bj_stream_));
    bj_seconds_ = seconds > 0 ? static_cast<int>(std::trunc(seconds)) : 0;
    library_.ChannelPlay(bj_stream_);
    hooks_.enableRefresh(true);
}

void MusicPlayer::bj_stopClick() {
    bj_playing_ = false;
    if (StreamExists(bj_stream_)) {
        library_.ChannelStop(bj_stream_);
        // The released handle is kept: every later call on it fails without
        // effect, and the refresh never sees the track end.
        library_.StreamFree(bj_stream_);
    }
}

void MusicPlayer::bj_nextClick() {
    const int count = static_cast<int>(files_.size());
    if (count == 0) {
        return;
    }
    // At or past the last entry (a shorter list since the folder changed)
    // the first follows.
    bj_track_ = bj_track_ >= count - 1 ? 0 : bj_track_ + 1;
    Select(bj_track_);
    ListChange();
    Play();
}

void MusicPlayer::bj_prevClick() {
    if (files_.empty()) {
        return;
    }
    // From the entry the operator selected, which may not be the track
    // that plays; on the first track it plays that track again.
    if (bj_track_ > 0) {
        bj_track_ = selected_ - 1;
    }
    Select(bj_track_);
    ListChange();
    Play();
}

void MusicPlayer::BJListBox1Change(int row) {
    selected_ = row >= 0 && row < static_cast<int>(files_.size()) ? row : -1;
    ListChange();
}

void MusicPlayer::ListChange() {
    SetStreamVolume(Reading() ? bj_v1_ : bj_v_);
}

void MusicPlayer::bj_vChange(int value) {
    bj_v_ = value;
    if (!Reading()) {
        bj_level_ = value;
        SetStreamVolume(bj_level_);
    }
}

void MusicPlayer::bj_v1Change(int value) {
    bj_v1_ = value;
    if (Reading()) {
        bj_level_ = value;
        SetStreamVolume(bj_level_);
    }
}

void MusicPlayer::TogglePlaying() {
    if (bj_playing_) {
        bj_stopClick();
    } else {
        Play();
    }
}

void MusicPlayer::bj_timer1Timer() {
    const double elapsed =
        StreamExists(bj_stream_)
            ? library_.Bytes2Seconds(bj_stream_, library_.PositionBytes(bj_stream_))
            : 0.0;
    // After Stop the released stream reports a negative time: shown as 00.
    const int shown = elapsed > 0 ? static_cast<int>(std::trunc(elapsed)) : 0;
    if (hooks_.showPosition) {
        hooks_.showPosition(PositionText(shown, bj_seconds_));
    }
    if (bj_seconds_ > elapsed) {
        return;
    }
    const int count = static_cast<int>(files_.size());
    int next = 0;
    if (mode_ == PlayMode::InOrder) {
        next = bj_track_ >= count - 1 ? 0 : bj_track_ + 1;
    } else if (count > 0) {
        next = hooks_.randomPosition(count);
    }
    Select(next);
    Play();
}

void MusicPlayer::bj_timer2Timer() {
    if (Reading()) {
        if (!StreamExists(bj_stream_)) {
            return;
        }
        bj_level_ = NextFadeLevel(bj_level_, true, bj_v_, bj_v1_);
        library_.SetVolume(bj_stream_, VolumeOf(bj_level_));
        return;
    }
    if (bj_v_ <= bj_level_ || !StreamExists(bj_stream_)) {
        return;
    }
    bj_level_ = NextFadeLevel(bj_level_, false, bj_v_, bj_v1_);
    library_.SetVolume(bj_stream_, VolumeOf(bj_level_));
}

} // namespace sonvela
