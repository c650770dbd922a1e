// A writer killed at any moment must never leave a settings file that is
// unreadable or holds a mixture of two writes.
#include "AtomicFile.h"
#include "IniDocument.h"
#include "SettingValues.h"
#include "SettingsFile.h"
#include "TempFolder.h"

#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace sonvela;

namespace {

constexpr int kKeys = 8;
constexpr int kWrites = 1000;

std::string KeyOf(int write) {
    return "k" + std::to_string(write % kKeys);
}

// The number of writes the file shows as done, after checking that the file
// is exactly the state after that many writes: every key holds the value of
// its own latest write, none a value from the future or a torn line.
int CompletedWrites(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return 0; // the very first write has not landed yet
    const IniDocument doc = IniDocument::Parse(*bytes);
    int latest = 0;
    for (int k = 0; k < kKeys; ++k) {
        const auto value = doc.Find("Crash", "k" + std::to_string(k));
        if (!value)
            continue;
        const auto number = ParseIniInteger(*value);
        EXPECT_TRUE(number.has_value()) << "unreadable value '" << *value << "'";
        if (number)
            latest = std::max(latest, *number);
    }
    for (int k = 0; k < kKeys; ++k) {
        int expected = latest - ((latest - k) % kKeys + kKeys) % kKeys;
        const auto value = doc.Find("Crash", "k" + std::to_string(k));
        if (expected <= 0)
            EXPECT_FALSE(value.has_value()) << "key k" << k << " written too early";
        else
            EXPECT_EQ(value, std::to_string(expected)) << "key k" << k << " after " << latest;
    }
    return latest;
}

} // namespace

TEST(SettingsCrash, AWriterKilledAtRandomNeverLeavesAHalfFile) {
    test::TempFolder folder;
    const SettingsFile ini = SettingsFile::InFolder(folder.WithSeparator());
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);

    int done = 0;
    int kills = 0;
    int checks = 0;
    while (done < kWrites) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int write = done + 1; write <= kWrites; ++write)
                ini.WriteInteger("Crash", KeyOf(write), write);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status))
            ++kills;

        const int now = CompletedWrites(ini.Path());
        ++checks;
        ASSERT_GE(now, done) << "a completed write was lost";
        if (::testing::Test::HasFailure())
            return;
        done = now;
    }
    EXPECT_GT(kills, 0);
    std::printf("settings crash: %d writes, %d kills, %d checks, file always readable\n", done,
                kills, checks);
}
