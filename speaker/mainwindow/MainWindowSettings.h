// What the main window reads from and writes to setinfo.ini at start-up, on
// its font and colour commands and at exit, kept apart from the window so it
// is tested without one. Strings are UTF-8 here; the file holds GBK.
#pragma once

#include "SettingValues.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sonvela {

class SettingsFile;

// Section Memo as start-up applies it. An empty key keeps the design value.
struct EditorAppearance {
    std::optional<Color> background;
    std::optional<Color> textColor;
    int fontSize = 12;
    std::string fontName; // UTF-8, at most 31 bytes of GBK; empty keeps the face
    FontStyle style;
};

EditorAppearance ReadEditorAppearance(const SettingsFile& settings);

// The four keys the font command writes, confirmed or not.
struct FontKeys {
    Color textColor = 0;
    int size = 12;
    std::string faceName; // UTF-8
    FontStyle style;
};

void WriteFontKeys(const SettingsFile& settings, const FontKeys& keys);
void WriteMemoColor(const SettingsFile& settings, Color background);

// The rest of start-up's settings, each with its reader's default and
// limited to its control's range.
struct StartupValues {
    bool showGrid = true;
    int rate = 2;            // -10..15
    int volume = 100;        // 0..100
    int readtimes = 2;       // 1..1000000
    int intervaltime = 60;   // 1..10000000
    int playmode = 0;        // 0 or 1
    int defaultVolume = 40;  // 0..100
    int defaultVolume1 = 10; // 0..100
    int speaker = 0;         // voice list index, not checked
    bool hotKeyF5 = true;
    bool hotKeyF7 = true;
    bool hotKeyF9 = true;
    bool hotKeyF11 = true;
};

StartupValues ReadStartupValues(const SettingsFile& settings);

// The six keys of the exit command. A voice index of -1 (an empty voice
// list) leaves the stored choice as it was rather than losing it.
struct ExitValues {
    int speaker = 0;
    int rate = 0;
    int volume = 0;
    int defaultVolume = 0;
    int defaultVolume1 = 0;
    int playmode = 0;
};

void WriteExitValues(const SettingsFile& settings, const ExitValues& values);

// Status panel 1 at start: "yyyy-mm-dd 星期X". `dayOfWeek` counts from
// Monday = 1 to Sunday = 7.
std::string DateWithWeekday(int year, int month, int day, int dayOfWeek);

} // namespace sonvela
