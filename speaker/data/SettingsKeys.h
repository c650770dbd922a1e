// Every section and key of setinfo.ini, with the default its readers pass.
// Nothing else in the program spells a key.
#pragma once

#include "SettingValues.h"

#include <cstdint>
#include <string_view>

namespace sonvela::settings {

namespace System {
constexpr std::string_view kSection = "System";
constexpr std::string_view Showgrid = "Showgrid";               // bool, true
constexpr std::string_view default_volume = "default_volume";   // 0-100, 40
constexpr std::string_view default_volume1 = "default_volume1"; // 0-100, 10
constexpr std::string_view Readtimes = "Readtimes";             // >= 1, 2
constexpr std::string_view Intervaltime = "Intervaltime";       // seconds >= 1, 60
constexpr std::string_view Playmode = "Playmode";               // 0 or 1, 0
constexpr std::string_view F5 = "F5";                           // bool, true
constexpr std::string_view F7 = "F7";                           // bool, true
constexpr std::string_view F9 = "F9";                           // bool, true
constexpr std::string_view F11 = "F11";                         // bool, true
constexpr std::string_view Delay2 = "Delay2";                   // ms 1-1000000, 800
constexpr std::string_view Mp3bj = "Mp3bj";                     // folder, program folder
constexpr std::string_view Tts_information = "Tts_information"; // bool, false

constexpr bool kShowgridDefault = true;
constexpr std::int32_t kDefaultVolumeDefault = 40;
constexpr std::int32_t kDefaultVolume1Default = 10;
constexpr std::int32_t kReadtimesDefault = 2;
constexpr std::int32_t kIntervaltimeDefault = 60;
constexpr std::int32_t kPlaymodeDefault = 0;
constexpr bool kHotKeyDefault = true;
constexpr std::int32_t kDelay2Default = 800;
constexpr std::int32_t kDelay2Min = 1;
constexpr std::int32_t kDelay2Max = 1000000;
constexpr bool kTtsInformationDefault = false;
} // namespace System

namespace Speaker {
constexpr std::string_view kSection = "Speaker";
constexpr std::string_view Speaker = "Speaker";           // voice index, 0
constexpr std::string_view Rate = "Rate";                 // -10..15, 2
constexpr std::string_view Volume = "Volume";             // 0..100, 120 (the slider limits it)
constexpr std::string_view Datetimetype = "Datetimetype"; // 1..8, 1

constexpr std::int32_t kSpeakerDefault = 0;
constexpr std::int32_t kRateDefault = 2;
constexpr std::int32_t kVolumeDefault = 120;
constexpr std::int32_t kDatetimetypeDefault = 1;
} // namespace Speaker

namespace Memo {
constexpr std::string_view kSection = "Memo";
constexpr std::string_view memocolor = "memocolor"; // colour; empty keeps the design
constexpr std::string_view fontcolor = "fontcolor"; // colour; empty keeps the design
constexpr std::string_view fontsize = "fontsize";   // points, 12
constexpr std::string_view fontname = "fontname";   // face; empty keeps the design
constexpr std::string_view FontStyle = "FontStyle"; // font style, "[]"

// The editor's design appearance.
constexpr Color kDesignBackground = colors::clTeal;
constexpr Color kDesignTextColor = colors::clWhite;
constexpr std::string_view kMemocolorDefaultName = "clTeal";
constexpr std::string_view kFontcolorDefaultName = "clWhite";
constexpr std::int32_t kFontsizeDefault = 12;
constexpr std::string_view kFontStyleDefault = "[]";
constexpr std::size_t kFontnameMaxBytes = 31;
} // namespace Memo

namespace Position {
constexpr std::string_view kSection = "Position";
constexpr std::string_view Lastposi = "Lastposi"; // byte offset of the bookmark, 0
constexpr std::string_view Line = "Line";         // 0-based caret line; written, never read

constexpr std::int32_t kLastposiDefault = 0;
} // namespace Position

} // namespace sonvela::settings
