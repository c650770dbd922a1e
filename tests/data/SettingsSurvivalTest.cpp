// The operator's settings are never lost to a failed read: a file that
// cannot be read, or may not be written, survives a whole run byte for byte
// and the operator is told once.
#include "AsNormalUser.h"
#include "AtomicFile.h"
#include "FileError.h"
#include "SettingsFile.h"
#include "TempFolder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sonvela;
namespace fs = std::filesystem;

namespace {

const std::string kEightKeys = "[System]\r\nShowgrid=0\r\ndefault_volume=70\r\nReadtimes=5\r\n"
                               "Intervaltime=30\r\nPlaymode=1\r\n[Speaker]\r\nSpeaker=1\r\n"
                               "Rate=4\r\nVolume=90\r\n";

// What start-up and exit do to the file: the check, a few reads, the
// writes the program always makes. Returns what went wrong.
std::string StartAndExit(const std::string& path, bool expectValues) {
    const SettingsFile settings(path);
    const auto message = settings.CheckAtStartup();
    if (!message)
        return "no message at start-up";
    if (message->find("setinfo.ini") == std::string::npos)
        return "the message does not name the file: " + *message;
    if (settings.CheckAtStartup())
        return "told twice";
    const int readtimes = settings.ReadInteger("System", "Readtimes", 2);
    if (readtimes != (expectValues ? 5 : 2))
        return "Readtimes read as " + std::to_string(readtimes);
    // Start-up's and exit's writes neither throw (the operator has been
    // told) nor touch the file.
    try {
        settings.WriteString("Memo", "memocolor", "clTeal");
        settings.WriteInteger("System", "Playmode", 0);
        SettingsFile(settings).WriteInteger("Speaker", "Rate", 2);
    } catch (const std::exception& e) {
        return std::string("a write threw: ") + e.what();
    }
    return "";
}

void GiveToNobody(const test::TempFolder& folder, const std::string& file) {
    if (::geteuid() != 0)
        return;
    ASSERT_EQ(::chown(folder.File("").c_str(), test::kNobody, test::kNobody), 0);
    ASSERT_EQ(::chown(file.c_str(), test::kNobody, test::kNobody), 0);
}

} // namespace

TEST(SettingsSurvival, AsANormalUserUnreadableAndReadOnlyFilesSurviveAStartAndAnExit) {
    for (const mode_t mode : {0000, 0444}) {
        SCOPED_TRACE(mode);
        test::TempFolder folder;
        const std::string path = folder.File("setinfo.ini");
        WriteFileAtomically(path, kEightKeys);
        GiveToNobody(folder, path);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        EXPECT_EQ(test::AsNormalUser([&] { return StartAndExit(path, mode == 0444); }), "");
        ::chmod(path.c_str(), 0644);
        EXPECT_EQ(ReadWholeFile(path), kEightKeys);
    }
}

TEST(SettingsSurvival, AFifoOrAFolderAsTheSettingsFileIsToldAtOnceAndLeftAlone) {
    test::TempFolder folder;
    const std::string fifo = folder.File("setinfo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(StartAndExit(fifo, false), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(fs::is_fifo(fifo));

    test::TempFolder other;
    fs::create_directory(other.File("setinfo.ini"));
    EXPECT_EQ(StartAndExit(other.File("setinfo.ini"), false), "");
    EXPECT_TRUE(fs::is_directory(other.File("setinfo.ini")));
}

TEST(SettingsSurvival, OnlyAMissingFileStartsFromDefaultsAndIsCreated) {
    test::TempFolder folder;
    const SettingsFile settings = SettingsFile::InFolder(folder.WithSeparator());
    EXPECT_FALSE(settings.CheckAtStartup());
    EXPECT_EQ(settings.ReadInteger("System", "Readtimes", 2), 2);
    settings.WriteString("Memo", "memocolor", "clTeal");
    EXPECT_EQ(settings.ReadString("Memo", "memocolor", ""), "clTeal");
}

TEST(SettingsSurvival, AFileMadeReadOnlyDuringTheRunIsToldOnceAndKept) {
    test::TempFolder folder;
    const SettingsFile settings = SettingsFile::InFolder(folder.WithSeparator());
    EXPECT_FALSE(settings.CheckAtStartup());
    settings.WriteInteger("System", "Playmode", 1);
    ASSERT_EQ(::chmod(settings.Path().c_str(), 0444), 0);
    try {
        settings.WriteInteger("System", "Playmode", 0);
        ADD_FAILURE() << "the first refused write says nothing";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Cause(), kCauseReadOnly);
    }
    EXPECT_NO_THROW(settings.WriteInteger("System", "Playmode", 0));
    EXPECT_EQ(settings.ReadInteger("System", "Playmode", 9), 1);
}

TEST(SettingsSurvival, StartUpRemovesWhatKilledSavesLeftBesideTheFile) {
    test::TempFolder folder;
    const SettingsFile settings = SettingsFile::InFolder(folder.WithSeparator());
    settings.WriteInteger("System", "Playmode", 1);
    const std::string leftover = folder.File(".setinfo.ini.sonvela-save-q1W2e3");
    WriteFileAtomically(leftover, "[System]\r\nPlaymode=0\r\n");
    EXPECT_FALSE(settings.CheckAtStartup());
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(settings.ReadInteger("System", "Playmode", 9), 1);
}
