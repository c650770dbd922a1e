#include "MainWindowSettings.h"

#include "GbkText.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace sonvela {
namespace {

namespace memo = settings::Memo;
namespace speaker = settings::Speaker;
namespace sys = settings::System;

std::optional<Color> ReadColorKey(const SettingsFile& settings, std::string_view key,
                                  std::string_view defaultName) {
    if (settings.ReadString(memo::kSection, key, "").empty())
        return std::nullopt;
    // A value that is no colour keeps the design colour.
    return StringToColor(settings.ReadString(memo::kSection, key, defaultName));
}

} // namespace

EditorAppearance ReadEditorAppearance(const SettingsFile& settings) {
    EditorAppearance appearance;
    appearance.background = ReadColorKey(settings, memo::memocolor, memo::kMemocolorDefaultName);
    appearance.textColor = ReadColorKey(settings, memo::fontcolor, memo::kFontcolorDefaultName);
    appearance.fontSize =
        settings.ReadInteger(memo::kSection, memo::fontsize, memo::kFontsizeDefault);
    const std::string name = settings.ReadString(memo::kSection, memo::fontname, "");
    appearance.fontName =
        GbkToUtf8(name.substr(0, GbkWholeCharPrefix(name, memo::kFontnameMaxBytes)));
    appearance.style = StringToFontStyle(
        settings.ReadString(memo::kSection, memo::FontStyle, memo::kFontStyleDefault));
    return appearance;
}

void WriteFontKeys(const SettingsFile& settings, const FontKeys& keys) {
    settings.WriteString(memo::kSection, memo::fontcolor, ColorToString(keys.textColor));
    settings.WriteInteger(memo::kSection, memo::fontsize, keys.size);
    settings.WriteString(memo::kSection, memo::fontname, Utf8ToGbk(keys.faceName));
    settings.WriteString(memo::kSection, memo::FontStyle, FontStyleToString(keys.style));
}

void WriteMemoColor(const SettingsFile& settings, Color background) {
    settings.WriteString(memo::kSection, memo::memocolor, ColorToString(background));
}

StartupValues ReadStartupValues(const SettingsFile& settings) {
    StartupValues v;
    v.showGrid = settings.ReadBool(sys::kSection, sys::Showgrid, sys::kShowgridDefault);
    v.rate = std::clamp(
        settings.ReadInteger(speaker::kSection, speaker::Rate, speaker::kRateDefault), -10, 15);
    v.volume = std::clamp(
        settings.ReadInteger(speaker::kSection, speaker::Volume, speaker::kVolumeDefault), 0, 100);
    v.speaker = settings.ReadInteger(speaker::kSection, speaker::Speaker, speaker::kSpeakerDefault);
    v.readtimes = std::clamp(
        settings.ReadInteger(sys::kSection, sys::Readtimes, sys::kReadtimesDefault), 1, 1000000);
    v.intervaltime = std::clamp(
        settings.ReadInteger(sys::kSection, sys::Intervaltime, sys::kIntervaltimeDefault), 1,
        10000000);
    v.playmode =
        std::clamp(settings.ReadInteger(sys::kSection, sys::Playmode, sys::kPlaymodeDefault), 0, 1);
    v.defaultVolume = std::clamp(
        settings.ReadInteger(sys::kSection, sys::default_volume, sys::kDefaultVolumeDefault), 0,
        100);
    v.defaultVolume1 = std::clamp(
        settings.ReadInteger(sys::kSection, sys::default_volume1, sys::kDefaultVolume1Default), 0,
        100);
    v.hotKeyF5 = settings.ReadBool(sys::kSection, sys::F5, sys::kHotKeyDefault);
    v.hotKeyF7 = settings.ReadBool(sys::kSection, sys::F7, sys::kHotKeyDefault);
    v.hotKeyF9 = settings.ReadBool(sys::kSection, sys::F9, sys::kHotKeyDefault);
    v.hotKeyF11 = settings.ReadBool(sys::kSection, sys::F11, sys::kHotKeyDefault);
    return v;
}

void WriteExitValues(const SettingsFile& settings, const ExitValues& values) {
    if (values.speaker >= 0)
        settings.WriteInteger(speaker::kSection, speaker::Speaker, values.speaker);
    settings.WriteInteger(speaker::kSection, speaker::Rate, values.rate);
    settings.WriteInteger(speaker::kSection, speaker::Volume, values.volume);
    settings.WriteInteger(sys::kSection, sys::default_volume, values.defaultVolume);
    settings.WriteInteger(sys::kSection, sys::default_volume1, values.defaultVolume1);
    settings.WriteInteger(sys::kSection, sys::Playmode, values.playmode);
}

std::string DateWithWeekday(int year, int month, int day, int dayOfWeek) {
    static constexpr std::array<const char*, 7> kDays = {"星期一", "星期二", "星期三", "星期四",
                                                         "星期五", "星期六", "星期日"};
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d ", year, month, day);
    return std::string(date) + kDays[static_cast<std::size_t>(std::clamp(dayOfWeek, 1, 7) - 1)];
}

} // namespace sonvela
