#include "SettingsFile.h"

#include "AtomicFile.h"
#include "SettingValues.h"
#include "SettingsKeys.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sonvela;
namespace keys = sonvela::settings;

TEST(SettingsFile, MissingFileGivesDefaultsAndAWriteCreatesIt) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    EXPECT_FALSE(ini.Exists());
    EXPECT_EQ(ini.ReadInteger(keys::Speaker::kSection, keys::Speaker::Volume,
                              keys::Speaker::kVolumeDefault),
              120);
    EXPECT_TRUE(ini.ReadBool(keys::System::kSection, keys::System::F5, true));
    EXPECT_EQ(ini.ReadString(keys::Memo::kSection, keys::Memo::fontname, ""), "");

    ini.WriteString(keys::Memo::kSection, keys::Memo::memocolor, ColorToString(colors::clTeal));
    EXPECT_TRUE(ini.Exists());
    EXPECT_EQ(ReadWholeFile(ini.Path()), "[Memo]\r\nmemocolor=clTeal\r\n");
}

TEST(SettingsFile, EachValueFormRoundTrips) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    ini.WriteInteger("Speaker", "Rate", -4);
    ini.WriteBool("System", "F9", false);
    ini.WriteString("System", "Mp3bj", "/home/\xD2\xF4\xC0\xD6"); // a GBK folder name
    ini.WriteString("Memo", "FontStyle", FontStyleToString({true, true, false, false}));

    EXPECT_EQ(ini.ReadInteger("speaker", "rate", 0), -4);
    EXPECT_FALSE(ini.ReadBool("System", "F9", true));
    EXPECT_EQ(ini.ReadString("System", "Mp3bj", ""), "/home/\xD2\xF4\xC0\xD6");
    EXPECT_EQ(StringToFontStyle(ini.ReadString("Memo", "FontStyle", "[]")),
              (FontStyle{true, true, false, false}));
}

TEST(SettingsFile, MalformedOrEmptyIntegersGiveTheDefault) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    WriteFileAtomically(ini.Path(), "[System]\r\nReadtimes=\r\nIntervaltime=ten\r\nF7=0x10\r\n"
                                    "Delay2=$3E8\r\nShowgrid=yes\r\n");
    EXPECT_EQ(ini.ReadInteger("System", "Readtimes", 2), 2);
    EXPECT_EQ(ini.ReadInteger("System", "Intervaltime", 60), 60);
    EXPECT_TRUE(ini.ReadBool("System", "F7", false)); // 16: any non-zero value is true
    EXPECT_EQ(ini.ReadInteger("System", "Delay2", 800), 1000);
    EXPECT_FALSE(ini.ReadBool("System", "Showgrid", false)); // not a number: the default
}

TEST(SettingsFile, StringsAreCutAt2047BytesOnACharacterBoundary) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    std::string longValue = "a";
    for (int i = 0; i < 1100; ++i)
        longValue += "\xD6\xD0";
    ini.WriteString("Memo", "fontname", longValue);
    const std::string read = ini.ReadString("Memo", "fontname", "");
    EXPECT_EQ(read.size(), 2047u); // "a" and 1023 whole characters
    EXPECT_EQ(read, longValue.substr(0, 2047));
}

TEST(SettingsFile, LineBreaksInAValueCannotSplitTheLine) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    ini.WriteString("System", "Mp3bj", "a\r\n[Speaker]\nRate=9");
    EXPECT_EQ(ini.ReadString("System", "Mp3bj", ""), "a  [Speaker] Rate=9");
    EXPECT_EQ(ini.ReadInteger("Speaker", "Rate", 2), 2);
}

TEST(SettingsFile, WritesKeepTheFilePermissionsAndLeaveNoTemporaryFiles) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    ini.WriteInteger("Speaker", "Speaker", 1);
    ASSERT_EQ(::chmod(ini.Path().c_str(), 0640), 0);
    ini.WriteInteger("Speaker", "Speaker", 2);
    struct stat st {};
    ASSERT_EQ(::stat(ini.Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.File("")))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(SettingsFile, AFailedWriteThrowsAndKeepsTheOldFile) {
    test::TempFolder folder;
    const auto ini = SettingsFile::InFolder(folder.WithSeparator());
    ini.WriteInteger("Speaker", "Rate", 3);
    // A folder in place of the file: the rename over it fails.
    const SettingsFile blocked(folder.File("blocked"));
    std::filesystem::create_directory(blocked.Path());
    EXPECT_THROW(blocked.WriteInteger("Speaker", "Rate", 4), std::system_error);
    EXPECT_THROW(SettingsFile("/nonexistent-folder/setinfo.ini").WriteInteger("A", "b", 1),
                 std::system_error);
    EXPECT_EQ(ini.ReadInteger("Speaker", "Rate", 0), 3);
}
