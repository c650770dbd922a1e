#include "MainWindowSettings.h"

#include "GbkText.h"
#include "SettingsFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

class MainWindowSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    SettingsFile settings{dir.filePath(QStringLiteral("setinfo.ini")).toStdString()};
};

TEST_F(MainWindowSettingsTest, MissingKeysKeepTheDesignAndTheReadersDefaults) {
    const EditorAppearance appearance = ReadEditorAppearance(settings);
    EXPECT_FALSE(appearance.background);
    EXPECT_FALSE(appearance.textColor);
    EXPECT_EQ(appearance.fontSize, 12);
    EXPECT_EQ(appearance.fontName, "");
    EXPECT_EQ(appearance.style, FontStyle{});

    const StartupValues values = ReadStartupValues(settings);
    EXPECT_TRUE(values.showGrid);
    EXPECT_EQ(values.rate, 2);
    EXPECT_EQ(values.volume, 100); // the stored default 120, limited by the slider
    EXPECT_EQ(values.readtimes, 2);
    EXPECT_EQ(values.intervaltime, 60);
    EXPECT_EQ(values.playmode, 0);
    EXPECT_EQ(values.defaultVolume, 40);
    EXPECT_EQ(values.defaultVolume1, 10);
    EXPECT_TRUE(values.hotKeyF5 && values.hotKeyF7 && values.hotKeyF9 && values.hotKeyF11);
    EXPECT_FALSE(settings.Exists()); // reading creates nothing
}

TEST_F(MainWindowSettingsTest, StoredValuesAreReadAndLimited) {
    settings.WriteString("Memo", "memocolor", "$00123456");
    settings.WriteString("Memo", "fontcolor", "clRed");
    settings.WriteString("Memo", "FontStyle", "[fsBold,fsStrikeOut]");
    // 20 Chinese characters: 40 bytes of GBK, cut to 15 whole characters.
    settings.WriteString("Memo", "fontname", Utf8ToGbk("文泉驿微米黑文泉驿微米黑文泉驿微米黑文泉"));
    settings.WriteInteger("Speaker", "Rate", 40);
    settings.WriteInteger("Speaker", "Volume", -5);
    settings.WriteInteger("System", "Readtimes", 0);
    settings.WriteBool("System", "F9", false);

    const EditorAppearance appearance = ReadEditorAppearance(settings);
    EXPECT_EQ(appearance.background, Color{0x123456});
    EXPECT_EQ(appearance.textColor, Color{0x0000FF});
    EXPECT_TRUE(appearance.style.bold && appearance.style.strikeOut);
    EXPECT_FALSE(appearance.style.italic);
    EXPECT_EQ(appearance.fontName, "文泉驿微米黑文泉驿微米黑文泉驿");

    const StartupValues values = ReadStartupValues(settings);
    EXPECT_EQ(values.rate, 15);
    EXPECT_EQ(values.volume, 0);
    EXPECT_EQ(values.readtimes, 1);
    EXPECT_FALSE(values.hotKeyF9);
    EXPECT_TRUE(values.hotKeyF7);
}

TEST_F(MainWindowSettingsTest, FontAndExitKeysAreWrittenInTheFileForms) {
    WriteFontKeys(settings, {0xFFFFFF, 14, "文泉驿微米黑", {true, true, false, false}});
    EXPECT_EQ(settings.ReadString("Memo", "fontcolor", ""), "clWhite");
    EXPECT_EQ(settings.ReadInteger("Memo", "fontsize", 0), 14);
    EXPECT_EQ(settings.ReadString("Memo", "fontname", ""), Utf8ToGbk("文泉驿微米黑"));
    EXPECT_EQ(settings.ReadString("Memo", "FontStyle", ""), "[fsBold,fsItalic]");

    settings.WriteInteger("Speaker", "Speaker", 3);
    WriteExitValues(settings, {-1, -4, 77, 55, 5, 1});
    EXPECT_EQ(settings.ReadInteger("Speaker", "Speaker", 0),
              3); // an empty voice list loses nothing
    EXPECT_EQ(settings.ReadInteger("Speaker", "Rate", 0), -4);
    EXPECT_EQ(settings.ReadInteger("Speaker", "Volume", 0), 77);
    EXPECT_EQ(settings.ReadInteger("System", "default_volume", 0), 55);
    EXPECT_EQ(settings.ReadInteger("System", "default_volume1", 0), 5);
    EXPECT_EQ(settings.ReadInteger("System", "Playmode", 0), 1);
    WriteExitValues(settings, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(settings.ReadInteger("Speaker", "Speaker", 9), 0);
}

TEST(DateWithWeekday, NamesEachDayFromMondayToSunday) {
    EXPECT_EQ(DateWithWeekday(2026, 12, 7, 1), "2026-12-07 星期一");
    EXPECT_EQ(DateWithWeekday(2026, 1, 3, 6), "2026-01-03 星期六");
    EXPECT_EQ(DateWithWeekday(2026, 12, 13, 7), "2026-12-13 星期日");
}

} // namespace
} // namespace sonvela
