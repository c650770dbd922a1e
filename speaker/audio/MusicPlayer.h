// The background music panel's logic: the file list of one folder, play,
// stop, next and previous, the once-a-second refresh that moves on at the
// end of a track, and the fade every 20 ms that lowers the music while a
// text is read and raises it again afterwards.
//
// Everything runs on the user-interface thread. The window owns the two
// timers and calls the two tick functions; the panel only switches the
// refresh timer on and off through its hooks, so tests drive it with a clock
// of their own.
#pragma once

#include "MusicLibrary.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sonvela {

// What the panel needs of its window.
struct MusicPanelHooks {
    // Refills the file list (BJListBox1).
    std::function<void(const std::vector<std::string>&)> showFiles;
    // Selects an entry of the list, -1 for none, without counting as the
    // operator's choice.
    std::function<void(int)> selectEntry;
    // The position display (RzLEDDisplay1).
    std::function<void(const std::string&)> showPosition;
    // The fourth panel of the status bar: the track Play started.
    std::function<void(const std::string&)> showTrackPath;
    // Switches the refresh timer (bj_timer1).
    std::function<void(bool)> enableRefresh;
    // Whether a reading is in progress (the shared flag isreading).
    std::function<bool()> isReading;
    // A uniformly random position from 0 to count - 1.
    std::function<int(int count)> randomPosition;
};

enum class PlayMode { InOrder = 0, Random = 1 };

class MusicPlayer {
public:
    MusicPlayer(MusicLibrary& library, MusicPanelHooks hooks);

    // Start-up, in this order: the folder, the volumes and the mode, then
    // the level starts at the reading volume.
    void Start(const std::string& folder, int musicVolume, int readingVolume, PlayMode mode);

    // Sets the folder and refills the list (BJ_DirectoryListBox); the
    // selection is cleared and List change runs. A playing track goes on.
    void SetFolder(const std::string& folder);

    void bj_playClick() { Play(); }
    void bj_stopClick();
    void bj_nextClick();
    void bj_prevClick();
    void BJListBox1DblClick() { Play(); }
    // The operator selected an entry (-1: none); List change runs.
    void BJListBox1Change(int row);
    void bj_vChange(int value);
    void bj_v1Change(int value);
    void ComBox1Change(int position) { mode_ = static_cast<PlayMode>(position == 1 ? 1 : 0); }
    // The F5 hot key: Stop while playing, else Play.
    void TogglePlaying();

    // Refresh, every 1000 ms while enabled.
    void bj_timer1Timer();
    // Fade, every 20 ms for the whole run.
    void bj_timer2Timer();

    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Files() const { return files_; }
    int Selected() const { return selected_; }
    StreamHandle Stream() const { return bj_stream_; }
    int Track() const { return bj_track_; }
    int Seconds() const { return bj_seconds_; }
    int Level() const { return bj_level_; }
    bool Playing() const { return bj_playing_; }
    int MusicVolume() const { return bj_v_; }
    int ReadingVolume() const { return bj_v1_; }
    PlayMode Mode() const { return mode_; }
    // The full path of an entry: the folder, a separator, the name.
    std::string PathOf(int position) const;

private:
    void Play();
    void ListChange();
    void Select(int position);
    bool Reading() const { return hooks_.isReading && hooks_.isReading(); }
    void SetStreamVolume(int level);

    MusicLibrary& library_;
    MusicPanelHooks hooks_;
    std::string folder_;
    std::vector<std::string> files_;
    int selected_ = -1;
    PlayMode mode_ = PlayMode::InOrder;
    int bj_v_ = 40;
    int bj_v1_ = 10;

    StreamHandle bj_stream_ = 0;
    int bj_track_ = 0;
    int bj_seconds_ = 0;
    int bj_level_ = 10;
    bool bj_playing_ = false;
};

// One tick of the fade (every 20 ms): while reading the level falls by 10
// points a tick down to the reading volume; otherwise it rises by 1 point a
// tick up to the music volume. Rendering an announcement to a file steps the
// same fade along the file's own time line.
inline constexpr int kFadeTickMilliseconds = 20;
int NextFadeLevel(int level, bool reading, int musicVolume, int readingVolume);

// " %.2d / %.2d ": elapsed and total whole seconds, at least two digits each.
std::string PositionText(int elapsedSeconds, int totalSeconds);

} // namespace sonvela
