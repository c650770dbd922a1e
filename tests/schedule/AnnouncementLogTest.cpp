// The announcement log: lines read back newest first, kept to one line
// each, rotated by size with a fixed number of old files.
#include "AnnouncementLog.h"

#include "../data/TempFolder.h"
#include "AnnouncementLogFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

using namespace sonvela;
using namespace sonvela::test;

namespace {

LogRecord Record(int n) {
    return {"2026-12-07 09:00:" + std::string(n < 10 ? "0" : "") + std::to_string(n),
            "09:00:00 开门问候", "已播放"};
}

} // namespace

TEST(AnnouncementLog, ReadsBackNewestFirstWithFieldsKeptOnOneLine) {
    TempFolder folder;
    const AnnouncementLog log(folder.File("announcements.log"));
    EXPECT_TRUE(log.Recent(10).empty());
    ASSERT_TRUE(log.Append(Record(1)));
    ASSERT_TRUE(
        log.Append({"2026-12-07 21:50:00", "21:50:00 闭店\t提示\n第二行", "已跳过：文稿已被删除"}));
    const std::vector<LogRecord> expected{
        {"2026-12-07 21:50:00", "21:50:00 闭店 提示 第二行", "已跳过：文稿已被删除"},
        Record(1),
    };
    EXPECT_EQ(log.Recent(10), expected);
    EXPECT_EQ(log.Recent(1), std::vector<LogRecord>{expected[0]});
}

TEST(AnnouncementLog, RotatesBySizeKeepingAFixedNumberOfOldFiles) {
    TempFolder folder;
    const std::string file = folder.File("announcements.log");
    // Room for two lines a file.
    const AnnouncementLog log(file, 2 * 40);
    for (int n = 1; n <= 20; ++n)
        ASSERT_TRUE(log.Append(Record(n)));
    EXPECT_TRUE(std::filesystem::exists(file + "." + std::to_string(AnnouncementLog::kKeptFiles)));
    EXPECT_FALSE(
        std::filesystem::exists(file + "." + std::to_string(AnnouncementLog::kKeptFiles + 1)));
    const auto recent = log.Recent(100);
    ASSERT_FALSE(recent.empty());
    EXPECT_LT(recent.size(), 20u);
    // Newest first and without gaps, across the files.
    for (std::size_t i = 0; i < recent.size(); ++i)
        EXPECT_EQ(recent[i], Record(20 - static_cast<int>(i))) << i;
}

TEST(AnnouncementLog, AFolderThatCannotBeWrittenIsReported) {
    TempFolder folder;
    // A file stands where the folder should be: it can be neither made nor
    // written (whoever runs the test, root included).
    std::ofstream(folder.File("missing")) << "in the way";
    const AnnouncementLog log(folder.File("missing/announcements.log"));
    EXPECT_FALSE(log.Append(Record(1)));
}

namespace {

// Sets an environment variable for one test and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

TEST(AnnouncementLog, LivesInTheUsersDataFolder) {
    const ScopedEnv home("HOME", "/home/店员");
    {
        const ScopedEnv data("XDG_DATA_HOME", "/srv/data");
        EXPECT_EQ(AnnouncementLogFile(), "/srv/data/Sonvela/announcements.log");
    }
    {
        // A relative folder is not allowed there, and is passed over.
        const ScopedEnv data("XDG_DATA_HOME", "data");
        EXPECT_EQ(AnnouncementLogFile(), "/home/店员/.local/share/Sonvela/announcements.log");
    }
    const ScopedEnv data("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(AnnouncementLogFile(), "/home/店员/.local/share/Sonvela/announcements.log");
}

TEST(AnnouncementLog, TheFirstLineOfANewAccountMakesTheDataFolder) {
    TempFolder folder;
    const std::filesystem::path file =
        std::filesystem::path(folder.File("home")) / ".local" / "share" / "Sonvela" / "a.log";
    const AnnouncementLog log(file);
    ASSERT_TRUE(log.Append(Record(1)));
    EXPECT_EQ(log.Recent(5), std::vector<LogRecord>{Record(1)});
}
