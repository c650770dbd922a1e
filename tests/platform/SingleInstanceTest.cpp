#include "SingleInstance.h"

#include "TempFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sonvela;

extern char** environ;

TEST(SingleInstance, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    test::TempFolder folder;
    auto first = SingleInstanceLock::Acquire(folder.File("run"), "Sonvela");
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->Held());
    EXPECT_FALSE(SingleInstanceLock::Acquire(folder.File("run"), "Sonvela").has_value());
    EXPECT_TRUE(SingleInstanceLock::Acquire(folder.File("run"), "Other").has_value());
    first.reset();
    EXPECT_TRUE(SingleInstanceLock::Acquire(folder.File("run"), "Sonvela").has_value());
}

TEST(SingleInstance, AKilledHolderNeverBlocksTheNextStart) {
    test::TempFolder folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto lock = SingleInstanceLock::Acquire(folder.File("run"), "Sonvela");
        const char held = lock && lock->Held() ? '1' : '0';
        (void)::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, '1');
    EXPECT_FALSE(SingleInstanceLock::Acquire(folder.File("run"), "Sonvela").has_value());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(SingleInstanceLock::Acquire(folder.File("run"), "Sonvela").has_value());
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(SingleInstance, AChildProgramDoesNotInheritTheLock) {
    test::TempFolder folder;
    auto lock = SingleInstanceLock::Acquire(folder.File("run"), "Sonvela");
    ASSERT_TRUE(lock.has_value());
    // A converter or a browser started by the program outlives it.
    pid_t sleeper = 0;
    char sleep[] = "sleep";
    char seconds[] = "5";
    char* argv[] = {sleep, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&sleeper, "sleep", nullptr, nullptr, argv, environ), 0);
    lock.reset();
    EXPECT_TRUE(SingleInstanceLock::Acquire(folder.File("run"), "Sonvela").has_value());
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

TEST(SingleInstance, AnUnusableFolderDoesNotKeepTheProgramFromStarting) {
    auto lock = SingleInstanceLock::Acquire("/proc/no-such-folder", "Sonvela");
    ASSERT_TRUE(lock.has_value());
    EXPECT_FALSE(lock->Held());
}
